// State file and paper tape output.
#include "emulator/Register.h"

#include <fstream>
#include <sstream>

#include "core/Platform.h"

namespace NorvexEmu {

namespace {

std::string hex(const Bytes& b) {
    static const char* d = "0123456789ABCDEF";
    std::string s;
    for (uint8_t x : b) { s += d[x >> 4]; s += d[x & 15]; }
    return s;
}

bool unhex(const std::string& s, Bytes& out) {
    out.clear();
    if (s.size() % 2) return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        int v = 0;
        for (int k = 0; k < 2; ++k) {
            char ch = s[i + static_cast<size_t>(k)];
            int n = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                  : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
            if (n < 0) return false;
            v = v * 16 + n;
        }
        out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

} // namespace

bool Register::save(const std::string& path, std::string* error) const {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) { if (error) *error = "cannot write " + path; return false; }
    f << "norvex-emu-state 1\n";
    f << "model " << model_ << "\n";
    f << "clock-offset " << static_cast<long long>(clockOffset_) << "\n";
    f << "serial " << (serialSet_ ? serial_ : std::string("-")) << "\n";
    f << "fiscal " << (fiscalized_ ? 1 : 0) << " " << inn_ << " " << machineNumber_ << " " << fiscalShift_ << " "
      << fiscalDay_ << " " << fiscalMonth_ << " " << fiscalYear_ << " " << eklzNumber_ << "\n";
    f << "shift " << (shiftOpen_ ? 1 : 0) << " " << static_cast<long long>(shiftOpenedAt_) << " " << shiftNumber_
      << "\n";
    f << "numbers " << chequeNumber_ << " " << documentNumber_ << "\n";
    f << "cash " << cash_ << " " << grandTotal_ << "\n";
    f << "paper-out " << (paperOut_ ? 1 : 0) << "\n";
    f << "totals";
    for (int op = 0; op < 7; ++op) {
        f << " " << totals_.registrations[op] << " " << totals_.discounts[op] << " " << totals_.receipts[op];
        for (int p = 0; p < 5; ++p) f << " " << totals_.payments[op][p];
    }
    f << " " << totals_.annulled << " " << totals_.cashIn << " " << totals_.cashOut << " " << totals_.cashInCount
      << " " << totals_.cashOutCount << "\n";
    f << "cheque " << chequeType_ << " " << cheque_.registrations << " " << cheque_.discounts;
    for (int p = 0; p < 5; ++p) f << " " << cheque_.paid[p];
    f << "\n";
    for (const auto& r : fiscal_)
        f << "fm " << r.shift << " " << r.day << " " << r.month << " " << r.year << " " << r.sales << " "
          << r.returns << " " << r.purchases << " " << r.purchaseReturns << "\n";
    for (const auto& kv : fields_)
        f << "field " << (kv.first >> 24) << " " << ((kv.first >> 8) & 0xFFFF) << " " << (kv.first & 0xFF) << " "
          << hex(kv.second) << "\n";
    for (const auto& l : journal_) f << "tape " << Platform::toUtf8(l) << "\n";
    for (const auto& l : lastDocument_) f << "last " << Platform::toUtf8(l) << "\n";
    f.flush();
    if (!f) { if (error) *error = "cannot write " + path; return false; }
    return true;
}

bool Register::load(const std::string& path, std::string* error) {
    std::ifstream f(path, std::ios::binary);
    if (!f) { if (error) *error = "cannot read " + path; return false; }
    std::string line;
    if (!std::getline(f, line) || line != "norvex-emu-state 1") {
        if (error) *error = path + ": not a state file";
        return false;
    }
    Register fresh(model_);
    Register& r = fresh;
    int lineNo = 1;
    while (std::getline(f, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string k;
        in >> k;
        bool good = true;
        if (k == "model") {
            int m = 0;
            in >> m;
            r = Register(m);
        } else if (k == "clock-offset") {
            long long v = 0; in >> v; r.clockOffset_ = static_cast<std::time_t>(v);
        } else if (k == "serial") {
            std::string s; in >> s;
            r.serialSet_ = s != "-";
            r.serial_ = r.serialSet_ ? s : std::string();
        } else if (k == "fiscal") {
            int fz = 0;
            in >> fz >> r.inn_ >> r.machineNumber_ >> r.fiscalShift_ >> r.fiscalDay_ >> r.fiscalMonth_ >> r.fiscalYear_
               >> r.eklzNumber_;
            r.fiscalized_ = fz != 0;
        } else if (k == "shift") {
            int o = 0; long long at = 0;
            in >> o >> at >> r.shiftNumber_;
            r.shiftOpen_ = o != 0;
            r.shiftOpenedAt_ = static_cast<std::time_t>(at);
        } else if (k == "numbers") {
            in >> r.chequeNumber_ >> r.documentNumber_;
        } else if (k == "cash") {
            in >> r.cash_ >> r.grandTotal_;
        } else if (k == "paper-out") {
            int p = 0; in >> p; r.paperOut_ = p != 0;
        } else if (k == "totals") {
            ShiftTotals& t = r.totals_;
            for (int op = 0; op < 7; ++op) {
                in >> t.registrations[op] >> t.discounts[op] >> t.receipts[op];
                for (int p = 0; p < 5; ++p) in >> t.payments[op][p];
            }
            in >> t.annulled >> t.cashIn >> t.cashOut >> t.cashInCount >> t.cashOutCount;
        } else if (k == "cheque") {
            in >> r.chequeType_ >> r.cheque_.registrations >> r.cheque_.discounts;
            for (int p = 0; p < 5; ++p) in >> r.cheque_.paid[p];
            if (r.chequeType_ < 0 || r.chequeType_ > 6) good = false;
        } else if (k == "fm") {
            FiscalRecord rec;
            in >> rec.shift >> rec.day >> rec.month >> rec.year >> rec.sales >> rec.returns >> rec.purchases
               >> rec.purchaseReturns;
            r.fiscal_.push_back(rec);
        } else if (k == "field") {
            int t = 0, row = 0, fl = 0;
            std::string h;
            Bytes b;
            in >> t >> row >> fl >> h;
            good = unhex(h, b) && r.setField(t, row, fl, b);
        } else if (k == "tape" || k == "last") {
            std::string text = line.size() > k.size() + 1 ? line.substr(k.size() + 1) : std::string();
            (k == "tape" ? r.journal_ : r.lastDocument_).push_back(Platform::fromUtf8(text));
            continue;
        } else {
            good = false;
        }
        if (!good || in.fail()) {
            if (error) *error = path + ":" + std::to_string(lineNo) + ": bad line";
            return false;
        }
    }
    // Only a file that read completely replaces the running state.
    model_ = r.model_;
    clockOffset_ = r.clockOffset_;
    serial_ = r.serial_;
    serialSet_ = r.serialSet_;
    fiscalized_ = r.fiscalized_;
    inn_ = r.inn_;
    machineNumber_ = r.machineNumber_;
    fiscalShift_ = r.fiscalShift_;
    fiscalDay_ = r.fiscalDay_;
    fiscalMonth_ = r.fiscalMonth_;
    fiscalYear_ = r.fiscalYear_;
    eklzNumber_ = r.eklzNumber_;
    shiftOpen_ = r.shiftOpen_;
    shiftOpenedAt_ = r.shiftOpenedAt_;
    shiftNumber_ = r.shiftNumber_;
    chequeNumber_ = r.chequeNumber_;
    documentNumber_ = r.documentNumber_;
    cash_ = r.cash_;
    grandTotal_ = r.grandTotal_;
    paperOut_ = r.paperOut_;
    totals_ = r.totals_;
    chequeType_ = r.chequeType_;
    cheque_ = r.cheque_;
    collecting_ = chequeType_ != 0;
    fiscal_ = r.fiscal_;
    fields_ = r.fields_;
    journal_ = r.journal_;
    journalCursor_ = 0;
    lastDocument_ = r.lastDocument_;
    return true;
}

bool Register::writeTape(const std::string& path, std::string* error) const {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) { if (error) *error = "cannot write " + path; return false; }
    for (const auto& l : paper_) f << Platform::toUtf8(l) << "\n";
    f.flush();
    if (!f) { if (error) *error = "cannot write " + path; return false; }
    return true;
}

} // namespace NorvexEmu
