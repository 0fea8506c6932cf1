#include "emulator/Script.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace NorvexEmu {

namespace {

constexpr int64_t kOperatorPassword = 30;

bool amount(const std::string& s, int64_t& out) {
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end || v < 0) return false;
    out = static_cast<int64_t>(std::floor(v * 100 + 0.5));
    return true;
}

class Runner {
public:
    explicit Runner(Register& r) : reg_(r) {}

    // Sends one command; false with the register's error byte described.
    bool send(const Bytes& c, Bytes* answer = nullptr) {
        Bytes a = reg_.execute(c);
        if (answer) *answer = a;
        if (a.size() >= 2 && a[0] == 0x55 && a[1] != 0) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "register refused command 0x%02X with error %d", c.empty() ? 0 : c[0], a[1]);
            error_ = buf;
            return false;
        }
        return true;
    }
    bool enter(int mode) {
        if (!send({0x48})) return false;
        Bytes c{0x56, static_cast<uint8_t>(mode)};
        appendBcd(c, kOperatorPassword, 4);
        return send(c);
    }
    bool waitReport() {
        for (int i = 0; i < 100; ++i) {
            Bytes s = reg_.execute({0x45});
            if (s.size() >= 2 && (s[1] >> 4) == 0 && s[1] != 0x17) return true;
        }
        error_ = "report did not end";
        return false;
    }
    bool receipt(int type, int64_t price, int64_t qty, int payType) {
        if (!enter(1)) return false;
        if (!send({0x92, 0x00, static_cast<uint8_t>(type)})) return false;
        uint8_t code = (type == 1 || type == 4) ? 0x52 : (type == 2 || type == 5) ? 0x57 : 0x41;
        Bytes r{code, 0x00};
        appendBcd(r, price, 5);
        appendBcd(r, qty, 5);
        if (code == 0x52) r.push_back(0x01);
        if (!send(r)) return false;
        Bytes close{0x4A, 0x00, bcdByte(payType)};
        appendBcd(close, 0, 5);
        return send(close) && send({0x48});
    }

    bool line(const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> w;
        for (std::string s; in >> s;) w.push_back(s);
        if (w.empty() || w[0][0] == '#') return true;
        const std::string& k = w[0];
        auto arg = [&](size_t i) { return i < w.size() ? w[i] : std::string(); };
        int64_t v = 0, q = 1000;
        if (k == "paper") {
            if (arg(1) != "out" && arg(1) != "in") return bad("paper out|in");
            reg_.setPaperOut(arg(1) == "out");
            return true;
        }
        if (k == "sale" || k == "return" || k == "purchase" || k == "purchase-return") {
            if (!amount(arg(1), v)) return bad(k + " PRICE [QUANTITY] [PAYTYPE]");
            if (w.size() > 2) {
                int64_t qq = 0;
                if (!amount(arg(2), qq)) return bad("quantity");
                q = qq * 10;
            }
            int pay = w.size() > 3 ? std::atoi(arg(3).c_str()) : 1;
            int type = k == "sale" ? 1 : k == "return" ? 2 : k == "purchase" ? 4 : 5;
            return receipt(type, v, q, pay);
        }
        if (k == "cash-in" || k == "cash-out") {
            if (!amount(arg(1), v)) return bad(k + " SUM");
            Bytes c{static_cast<uint8_t>(k == "cash-in" ? 0x49 : 0x4F), 0x00};
            appendBcd(c, v, 5);
            return enter(1) && send(c) && send({0x48});
        }
        if (k == "open-shift") {
            return enter(1) && send({0x9A, 0x00}) && send({0x48});
        }
        if (k == "shift-age") {
            if (!reg_.shiftOpen()) return bad("shift-age needs an open shift");
            reg_.ageShift(std::atoi(arg(1).c_str()));
            return true;
        }
        if (k == "x-report") return enter(2) && send({0x67, 0x01}) && waitReport() && send({0x48});
        if (k == "z-report") return enter(3) && send({0x5A}) && waitReport() && send({0x48});
        if (k == "date" && w.size() == 4) {
            return send({0x64, bcdByte(std::atoi(arg(1).c_str())), bcdByte(std::atoi(arg(2).c_str())),
                         bcdByte(std::atoi(arg(3).c_str()) % 100)});
        }
        if (k == "time" && w.size() >= 3) {
            return send({0x4B, bcdByte(std::atoi(arg(1).c_str())), bcdByte(std::atoi(arg(2).c_str())),
                         bcdByte(std::atoi(arg(3).c_str()))});
        }
        if (k == "serial") {
            reg_.setSerialNumber(arg(1) == "none" ? std::string() : arg(1));
            return true;
        }
        if (k == "hex") {
            Bytes c;
            for (size_t i = 1; i < w.size(); ++i) c.push_back(static_cast<uint8_t>(std::strtoul(w[i].c_str(), nullptr, 16)));
            return send(c);
        }
        return bad("unknown command '" + k + "'");
    }

    bool bad(const std::string& what) {
        error_ = what;
        return false;
    }
    std::string error_;

private:
    Register& reg_;
};

} // namespace

bool runScript(Register& reg, const std::string& text, std::string* error) {
    Runner r(reg);
    std::istringstream in(text);
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        ++n;
        if (!r.line(line)) {
            if (error) *error = "line " + std::to_string(n) + ": " + r.error_;
            return false;
        }
    }
    return true;
}

} // namespace NorvexEmu
