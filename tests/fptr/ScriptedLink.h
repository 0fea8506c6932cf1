#pragma once
// A register driver whose command exchange is played from a script instead of a serial line.
//
//   ScriptedLink drv(53);                         // model 53, capability mask 477, port "open"
//   drv.expect({0x91, 0x13, 0x00, 0x00}, {0x55, 0x00, ...});   // exact command -> answer
//   drv.answerAny({0x55, 0x00});                  // next command, whatever it is -> answer
//   drv.failWith({0x3F}, -20);                     // the exchange raises -20 for this command
//   ... call driver operations ...
//   EXPECT_TRUE(drv.finished());                   // every step was used
//   drv.sent()                                     // every command the driver handed the link
//
// The exchange behaves as the link does towards the driver: with the check flag set an answer
// 0x55 <code> (code not 0) to any command but 0x45 raises the register's error; command 0x47
// gets an empty answer without consuming a step. A command that differs from the scripted one,
// or one sent after the script ran out, fails the test and raises -20 (no answer).
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/ByteBuffer.h"
#include "core/Error.h"
#include "fptr/tavro20/ModelTables.h"
#include "fptr/tavro20/TavroDrv.h"
#include "transport/AbstractIODevice.h"

namespace norvex_test {

using Bytes = std::vector<uint8_t>;

// The register's plain success answer.
inline const Bytes kOk{0x55, 0x00};

inline Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::string hexBytes(const Bytes& b) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < b.size(); ++i) {
        if (i) s += ' ';
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

// A device that only reports whether it is open; no bytes ever move through it.
class FakePort : public AbstractIODevice {
public:
    explicit FakePort(bool open) : open_(open) {}
    int read(uint8_t*, int) override { return 0; }
    int write(const uint8_t*, int count) override { return count; }
    int type() const override { return 1; }
    int configure(const Orn::Settings&) override { ++configured; return 0; }
    int open() override { open_ = true; return 0; }
    int close() override { open_ = false; return 0; }
    bool isOpen() const override { return open_; }
    int configured = 0;

private:
    bool open_;
};

class ScriptedLink : public Orn::Fptr::Tavro20::TavroDrv {
public:
    struct Sent {
        Bytes command;
        bool check;
        int timeout;
    };

    explicit ScriptedLink(int model = 53, unsigned capabilities = 477, bool portOpen = true)
        : TavroDrv(model, capabilities, Orn::Fptr::Tavro20::modelDescriptor(model)) {
        auto port = std::make_unique<FakePort>(portOpen);
        port_ = port.get();
        setDevice(std::move(port));
    }

    // The next command must be exactly `command`; the link answers `answer`.
    ScriptedLink& expect(const Bytes& command, const Bytes& answer) {
        steps_.push_back(Step{true, command, answer, 0});
        return *this;
    }
    // The next command may be anything; the link answers `answer`.
    ScriptedLink& answerAny(const Bytes& answer) {
        steps_.push_back(Step{false, {}, answer, 0});
        return *this;
    }
    // The next command must be `command`; the exchange raises `code` instead of answering.
    ScriptedLink& failWith(const Bytes& command, int32_t code) {
        steps_.push_back(Step{true, command, {}, code});
        return *this;
    }

    const std::vector<Sent>& sent() const { return sent_; }
    // Commands only, for byte-for-byte comparisons of whole sequences.
    const std::vector<Bytes>& commands() const { return commands_; }
    bool finished() const { return steps_.empty(); }
    size_t remaining() const { return steps_.size(); }
    FakePort* port() { return port_; }   // valid while the driver keeps this device

    Orn::ByteBuffer transact(const Orn::ByteBuffer& command, bool checkError, int answerTimeout) override {
        Bytes cmd = command.vector();
        sent_.push_back(Sent{cmd, checkError, answerTimeout});
        commands_.push_back(cmd);
        if (!cmd.empty() && cmd[0] == 0x47) return Orn::ByteBuffer();
        if (steps_.empty()) {
            ADD_FAILURE() << "unscripted command " << hexBytes(cmd);
            Orn::raiseError(-20);
        }
        Step step = steps_.front();
        steps_.pop_front();
        if (step.exact && step.command != cmd) {
            ADD_FAILURE() << "command " << hexBytes(cmd) << ", expected " << hexBytes(step.command);
            Orn::raiseError(-20);
        }
        if (step.raise) Orn::raiseError(step.raise);
        if (checkError && !cmd.empty() && cmd[0] != 0x45 && step.answer.size() >= 2 &&
            step.answer[0] == 0x55 && step.answer[1] != 0)
            Orn::raiseError(Orn::errorFromRegisterCode(step.answer[1]));
        return Orn::ByteBuffer(step.answer.data(), step.answer.size());
    }

private:
    struct Step {
        bool exact;
        Bytes command;
        Bytes answer;
        int32_t raise;
    };
    std::deque<Step> steps_;
    std::vector<Sent> sent_;
    std::vector<Bytes> commands_;
    FakePort* port_ = nullptr;
};

// Runs `body` and returns the code (and parameter code) of the Orn::Exception it raised;
// {0, 0} when it raised nothing.
template <typename F> std::pair<int32_t, int32_t> raisedBy(F&& body) {
    try {
        body();
    } catch (const Orn::Exception& e) {
        return {e.code(), e.parameterCode()};
    }
    return {0, 0};
}

} // namespace norvex_test
