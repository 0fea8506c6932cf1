#pragma once
// The host's side of the register link, written small and separately from the library's
// transport so that the emulator is checked against the protocol itself.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace linkhost {

using Bytes = std::vector<uint8_t>;
enum : uint8_t { STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06, DLE = 0x10, NAK = 0x15 };

inline Bytes frame(const Bytes& payload, bool breakCheck = false) {
    Bytes out{STX};
    uint8_t x = 0;
    for (uint8_t b : payload) {
        if (b == ETX || b == DLE) { out.push_back(DLE); x ^= DLE; }
        out.push_back(b);
        x ^= b;
    }
    out.push_back(ETX);
    x ^= ETX;
    out.push_back(breakCheck ? static_cast<uint8_t>(x ^ 0x5A) : x);
    return out;
}

class Host {
public:
    explicit Host(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios t{};
            tcgetattr(fd_, &t);
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Host() { if (fd_ >= 0) close(fd_); }
    bool ok() const { return fd_ >= 0; }

    int readByte(int ms) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            uint8_t b;
            if (read(fd_, &b, 1) == 1) return b;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) return -1;
            pollfd p{fd_, POLLIN, 0};
            poll(&p, 1, static_cast<int>(left));
        }
    }
    void send(const Bytes& b) { ssize_t n = write(fd_, b.data(), b.size()); (void)n; }
    void send(uint8_t b) { send(Bytes{b}); }

    // Reads a register block after its STX; returns false on a wrong check byte.
    bool readBlock(Bytes& data) {
        data.clear();
        uint8_t x = 0;
        bool esc = false;
        for (;;) {
            int b = readByte(1000);
            if (b < 0) return false;
            x ^= static_cast<uint8_t>(b);
            if (esc) { data.push_back(static_cast<uint8_t>(b)); esc = false; continue; }
            if (b == DLE) { esc = true; continue; }
            if (b == ETX) break;
            data.push_back(static_cast<uint8_t>(b));
        }
        return readByte(1000) == x;
    }

    // One whole exchange: command with the access password; the answer, or an empty vector
    // with failed() set when the link broke. nakCount counts the NAKs the host had to send.
    Bytes transact(const Bytes& command, uint16_t password = 0x0000, int answerMs = 3000) {
        failed_ = false;
        nakCount_ = 0;
        int b = -1;
        for (int i = 0; i < 5 && b != ACK; ++i) {
            send(ENQ);
            b = readByte(500);
        }
        if (b != ACK) return fail();
        Bytes payload{static_cast<uint8_t>(password >> 8), static_cast<uint8_t>(password & 0xFF)};
        payload.insert(payload.end(), command.begin(), command.end());
        send(frame(payload));
        if (readByte(500) != ACK) return fail();
        send(EOT);
        if (!command.empty() && command[0] == 0x47) return {};
        if (readByte(answerMs) != ENQ) return fail();
        send(ACK);
        Bytes data;
        for (int tries = 0; tries < 10; ++tries) {
            if (readByte(2000) != STX) return fail();
            if (readBlock(data)) {
                send(ACK);
                int e = readByte(500);
                if (e != EOT) return fail();
                return data;
            }
            ++nakCount_;
            send(NAK);
        }
        return fail();
    }
    bool failed() const { return failed_; }
    int nakCount() const { return nakCount_; }

private:
    Bytes fail() { failed_ = true; return {}; }
    int fd_ = -1;
    bool failed_ = false;
    int nakCount_ = 0;
};

} // namespace linkhost
