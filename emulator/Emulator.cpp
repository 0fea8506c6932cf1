#include "emulator/Emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace NorvexEmu {

namespace {

constexpr uint8_t STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06, DLE = 0x10, NAK = 0x15;

// Waits of the register's side, generous against the host's timeouts.
constexpr int kByteWait = 500;      // each byte inside a block
constexpr int kBlockWait = 2000;    // the block after the register's ACK to ENQ
constexpr int kEotWait = 1000;      // the host's EOT after the register accepted the block
constexpr int kAckWait = 2000;      // the host's ACK to the register's ENQ, and to its block
constexpr int kRetries = 10;
constexpr size_t kMaxBlock = 128;   // bytes between STX and ETX, escapes included

void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

Emulator::Emulator(int model) : register_(new Register(model)) {}

Emulator::~Emulator() { stop(); }

bool Emulator::start(std::string* error) {
    if (running()) return true;
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        stop();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail("posix_openpt");
    if (grantpt(master_) != 0) return fail("grantpt");
    if (unlockpt(master_) != 0) return fail("unlockpt");
    char name[256] = {0};
    if (ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
    path_ = name;
    // Holding the slave open keeps the master readable between host sessions.
    slave_ = open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) return fail("open slave");
    makeRaw(slave_);
    makeRaw(master_);
    if (pipe(wake_) != 0) return fail("pipe");
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    stop_ = false;
    thread_ = std::thread(&Emulator::serve, this);
    return true;
}

void Emulator::stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        char c = 0;
        ssize_t w = write(wake_[1], &c, 1);
        (void)w;
    }
    if (thread_.joinable()) thread_.join();
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    if (!link_.empty()) {
        unlink(link_.c_str());
        link_.clear();
    }
}

bool Emulator::createLink(const std::string& path, std::string* error) {
    if (path_.empty()) {
        if (error) *error = "emulator not started";
        return false;
    }
    unlink(path.c_str());
    if (symlink(path_.c_str(), path.c_str()) != 0) {
        if (error) *error = "symlink " + path + ": " + std::strerror(errno);
        return false;
    }
    link_ = path;
    return true;
}

int Emulator::readByte(int timeoutMs) {
    if (pending_ >= 0) {
        int b = pending_;
        pending_ = -1;
        return b;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!stop_) {
        uint8_t b = 0;
        ssize_t n = read(master_, &b, 1);
        if (n == 1) return b;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return -1;
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        // A hung-up slave reports POLLHUP at once; waiting in small steps avoids spinning.
        int wait = static_cast<int>(left.count() < 20 ? left.count() : 20);
        if (poll(fds, 2, wait) < 0 && errno != EINTR) return -1;
        if (fds[1].revents) return -1;
    }
    return -1;
}

void Emulator::writeBytes(const Bytes& b) {
    size_t off = 0;
    int spins = 0;
    while (off < b.size() && !stop_) {
        ssize_t n = write(master_, b.data() + off, b.size() - off);
        if (n > 0) {
            off += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        if (++spins > 200) return;   // nobody reads: drop rather than block forever
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 10);
    }
}

void Emulator::serve() {
    while (!stop_) {
        int b = readByte(200);
        if (b != ENQ) continue;     // the idle line ignores anything but a line request
        if (ignoreEnq_ > 0) { --ignoreEnq_; continue; }
        if (nakEnq_ > 0) { --nakEnq_; writeByte(NAK); continue; }
        writeByte(ACK);
        handleExchange();
    }
}

Emulator::Block Emulator::readBlock(Bytes& data) {
    data.clear();
    uint8_t check = 0;
    size_t raw = 0;
    bool escaped = false;
    for (;;) {
        int b = readByte(kByteWait);
        if (b < 0) return Block::Lost;
        check ^= static_cast<uint8_t>(b);
        if (++raw > kMaxBlock + 1) return Block::Bad;
        if (escaped) { data.push_back(static_cast<uint8_t>(b)); escaped = false; continue; }
        if (b == DLE) { escaped = true; continue; }
        if (b == ETX) break;
        data.push_back(static_cast<uint8_t>(b));
    }
    int c = readByte(kByteWait);
    if (c < 0) return Block::Lost;
    return static_cast<uint8_t>(c) == check ? Block::Good : Block::Bad;
}

void Emulator::handleExchange() {
    Bytes data;
    for (int attempt = 0;; ++attempt) {
        if (attempt >= kRetries) return;
        int b;
        do {
            b = readByte(kBlockWait);
            if (b == ENQ) writeByte(ACK);   // the host asked again: the line is still granted
        } while (b >= 0 && b != STX);
        if (b < 0) return;
        Block r = readBlock(data);
        if (r == Block::Good && nakBlocks_ > 0) { --nakBlocks_; r = Block::Bad; }
        if (r == Block::Good) break;
        writeByte(NAK);
    }
    writeByte(ACK);
    // The host closes its transmission with EOT; a new ENQ instead starts the next exchange.
    for (;;) {
        int b = readByte(kEotWait);
        if (b < 0 || b == EOT) break;
        if (b == ENQ) { pending_ = b; break; }
    }
    if (data.size() < 2) return;
    uint16_t password = static_cast<uint16_t>((data[0] << 8) | data[1]);
    Bytes command(data.begin() + 2, data.end());
    if (dropAnswers_ > 0) { --dropAnswers_; return; }
    Bytes reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reply = register_->execute(password, command);
        last_ = command;
        ++commands_;
    }
    if (!command.empty() && command[0] == 0x47) return;
    if (delayMs_ > 0) {
        for (int waited = 0; waited < delayMs_ && !stop_; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    answer(reply);
}

void Emulator::answer(const Bytes& reply) {
    Bytes block{STX};
    uint8_t check = 0;
    for (uint8_t b : reply) {
        if (b == ETX || b == DLE) { block.push_back(DLE); check ^= DLE; }
        block.push_back(b);
        check ^= b;
    }
    block.push_back(ETX);
    check ^= ETX;
    bool corrupt = corruptAnswers_ > 0;
    if (corrupt) --corruptAnswers_;

    // Announce the answer until the host accepts the line.
    bool granted = false;
    for (int i = 0; i < kRetries && !granted && !stop_; ++i) {
        writeByte(ENQ);
        for (;;) {
            int b = readByte(kAckWait);
            if (b < 0) break;
            if (b == ACK) { granted = true; break; }
            if (b == ENQ) { pending_ = b; return; }   // the host gave up and starts anew
        }
    }
    if (!granted) return;
    for (int i = 0; i < kRetries && !stop_; ++i) {
        Bytes out = block;
        out.push_back(corrupt && i == 0 ? static_cast<uint8_t>(check ^ 0xFF) : check);
        writeBytes(out);
        int b;
        do {
            b = readByte(kAckWait);
        } while (b >= 0 && b != ACK && b != NAK && b != ENQ);
        if (b == ACK) { writeByte(EOT); return; }
        if (b == ENQ) { pending_ = b; return; }
        // NAK or silence: send the block again.
    }
}

} // namespace NorvexEmu
