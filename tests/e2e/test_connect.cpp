// Connecting through the C API against the emulator on a real pseudo-terminal: open and close,
// model detection, a receipt left open, missing and busy devices, and link faults.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "emulator/Emulator.h"
#include "support/NorvexHost.h"

namespace {

using norvex_test::Library;
using Clock = std::chrono::steady_clock;

Library& lib() {
    static Library l;
    return l;
}

int32_t openDll(const char* port = "COM1") {
    return lib().call<int32_t, const char*, const char*, const char*, int32_t>("OpenDLL", "Admin", "0", port, 0);
}
int32_t closeDll() { return lib().call<int32_t>("CloseDLL"); }
int32_t getStatus() { return lib().call<int32_t>("GetStatus"); }

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

class Connect : public ::testing::Test {
protected:
    void startEmulator(int model = 53) {
        emu_ = std::make_unique<NorvexEmu::Emulator>(model);
        std::string err;
        ASSERT_TRUE(emu_->start(&err)) << err;
        setenv("NORVEX_TTY", emu_->devicePath().c_str(), 1);
    }
    void TearDown() override {
        closeDll();
        unsetenv("NORVEX_TTY");
        if (emu_) emu_->stop();
    }
    std::unique_ptr<NorvexEmu::Emulator> emu_;
};

TEST_F(Connect, OpensClosesAndRefusesASecondOpen) {
    startEmulator();
    ASSERT_EQ(openDll(), 0);
    EXPECT_EQ(openDll(), 178);
    EXPECT_EQ(lib().call<int32_t>("GetLastDllError"), 178);
    EXPECT_EQ(getStatus(), 0) << "the first connection stays usable";
    EXPECT_EQ(closeDll(), 0);
    EXPECT_EQ(getStatus(), 177);

    // The port is released: another program can take the device exclusively.
    int fd = ::open(emu_->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);

    EXPECT_EQ(openDll(), 0) << "open again after close";
}

TEST_F(Connect, CancelsAReceiptLeftOpenInTheRegister) {
    startEmulator();
    emu_->withRegister([](NorvexEmu::Register& r) {
        r.execute({0x56, 0x01, 0x00, 0x00, 0x00, 0x30});   // registration mode, password 30
        r.execute({0x92, 0x00, 0x01});                     // open a sale receipt
        return 0;
    });
    ASSERT_NE(emu_->withRegister([](NorvexEmu::Register& r) { return r.chequeType(); }), 0)
        << "the emulator should hold an open receipt before the library connects";
    ASSERT_EQ(openDll(), 0);
    EXPECT_EQ(emu_->withRegister([](NorvexEmu::Register& r) { return r.chequeType(); }), 0);
    EXPECT_EQ(emu_->withRegister([](NorvexEmu::Register& r) { return r.mode(); }), 0)
        << "the register is left in no mode after the initial configuration";
}

TEST_F(Connect, MissingDeviceFailsAndCanBeRetried) {
    startEmulator();
    setenv("NORVEX_TTY", "/dev/norvex-no-such-device", 1);
    EXPECT_EQ(openDll(), 61442);
    EXPECT_EQ(getStatus(), 177) << "a failed open leaves the library closed";
    setenv("NORVEX_TTY", emu_->devicePath().c_str(), 1);
    EXPECT_EQ(openDll(), 0);
}

TEST_F(Connect, DeviceHeldByAnotherProgramIsBusy) {
    startEmulator();
    int fd = ::open(emu_->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    ioctl(fd, TIOCEXCL);
    EXPECT_EQ(openDll(), 61445);
    ::close(fd);
    EXPECT_EQ(openDll(), 0) << "retried once the other program let go";
}

// The model is detected from the register; the log of a fresh process says which one was found.
TEST_F(Connect, DetectsTheModelOfTheRegister) {
    for (int model : {53, 52}) {
        SCOPED_TRACE(model);
        startEmulator(model);
        const std::string log = std::string(NORVEX_BINARY_DIR) + "/tests/e2e/norvex_log.txt";
        std::remove(log.c_str());
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // A fresh process: the logger reads its level once, when the library first logs.
            setenv("QLM9_LOG_LVL", "3", 1);
            setenv("NORVEX_E2E_CHILD", "open", 1);
            execl("/proc/self/exe", "test_e2e", "--gtest_filter=Child.OpenAndClose", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("Определенная модель ККМ - " + std::to_string(model)), std::string::npos);
        std::remove(log.c_str());
        emu_->stop();
    }
}

TEST_F(Connect, LinkFaultsEndWithTheAnswerOrTheirErrorInTime) {
    startEmulator();
    ASSERT_EQ(openDll(), 0);

    emu_->corruptAnswers(1);   // one bad check byte: the host asks again and gets the answer
    EXPECT_EQ(getStatus(), 0);
    emu_->nakBlocks(3);        // three refused blocks: within the retry budget
    EXPECT_EQ(getStatus(), 0);

    emu_->ignoreEnq(1000000);  // a register that never takes the line: "Нет связи"
    auto t = Clock::now();
    EXPECT_EQ(getStatus(), 62561);
    EXPECT_LT(secondsSince(t), 20.0);
    emu_->ignoreEnq(0);
    EXPECT_EQ(getStatus(), 0) << "the link recovers";

    emu_->dropAnswers(1000000); // the block is taken but never answered: no answer from the device
    t = Clock::now();
    EXPECT_NE(getStatus(), 0);
    EXPECT_LT(secondsSince(t), 60.0);
    emu_->dropAnswers(0);
    EXPECT_EQ(getStatus(), 0);
}

// Runs only as the child process of the model test.
TEST(Child, OpenAndClose) {
    if (!getenv("NORVEX_E2E_CHILD")) GTEST_SKIP() << "runs only as a child of another test";
    EXPECT_EQ(openDll(), 0);
    EXPECT_EQ(closeDll(), 0);
}

} // namespace
