#pragma once
// A register on a pseudo-terminal: the link protocol's register side served on its own thread,
// commands executed by a Register, faults injected on request for tests.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "emulator/Register.h"

namespace NorvexEmu {

class Emulator {
public:
    explicit Emulator(int model = 53);
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Opens the pseudo-terminal and starts serving. False (with a reason) when it cannot.
    bool start(std::string* error = nullptr);
    void stop();
    bool running() const { return thread_.joinable(); }

    // The device the host opens (the pseudo-terminal's slave side).
    const std::string& devicePath() const { return path_; }
    // Makes path a symbolic link to the device (replacing an existing link); removed by stop().
    bool createLink(const std::string& path, std::string* error = nullptr);

    // Faults, each counted down by the exchanges it hits.
    void ignoreEnq(int n) { ignoreEnq_ = n; }          // the line request goes unanswered
    void nakEnq(int n) { nakEnq_ = n; }                // the line request is refused with NAK
    void nakBlocks(int n) { nakBlocks_ = n; }          // a well-formed host block is refused with NAK
    void dropAnswers(int n) { dropAnswers_ = n; }      // the block is taken, but neither executed nor answered
    void corruptAnswers(int n) { corruptAnswers_ = n; } // the answer's check byte is wrong once per answer
    void setAnswerDelay(int ms) { delayMs_ = ms; }     // pause before announcing each answer

    // Runs f on the register under the emulator's lock.
    template <typename F> auto withRegister(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(*register_);
    }
    // Commands executed so far, and the last one (command code first, without the password).
    uint64_t commandCount() const { return commands_; }
    Bytes lastCommand() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return last_;
    }

private:
    void serve();
    int readByte(int timeoutMs);
    void writeBytes(const Bytes& b);
    void writeByte(uint8_t b) { writeBytes(Bytes{b}); }
    // Reads one host block after the STX; false when it is malformed or its check byte is wrong.
    enum class Block { Good, Bad, Lost };
    Block readBlock(Bytes& data);
    void handleExchange();
    void answer(const Bytes& data);

    mutable std::mutex mutex_;
    std::unique_ptr<Register> register_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int master_ = -1;
    int slave_ = -1;
    int wake_[2] = {-1, -1};
    std::string path_;
    std::string link_;
    int pending_ = -1;   // a byte read ahead that starts the next exchange

    std::atomic<int> ignoreEnq_{0}, nakEnq_{0}, nakBlocks_{0}, dropAnswers_{0}, corruptAnswers_{0}, delayMs_{0};
    std::atomic<uint64_t> commands_{0};
    Bytes last_;
};

} // namespace NorvexEmu
