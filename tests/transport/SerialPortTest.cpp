#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include "core/Error.h"
#include "transport/ALLProtocol.h"
#include "transport/posix/SerialPortPosix.h"

using Clock = std::chrono::steady_clock;

namespace {

// ---- settings ----

struct SettingCase {
    const wchar_t* key;
    const wchar_t* text;   // nullptr: key absent
    int (SerialPort::*field)() const;
    int expected;
};

class SettingTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingTest, ReadsWithDefaultsRangesAndSnapping)
{
    const SettingCase& c = GetParam();
    SerialPortPosix port;
    Orn::Settings s;
    if (c.text)
        s.set(c.key, c.text);
    EXPECT_EQ(port.setSettings(s), 0);
    EXPECT_EQ((port.*c.field)(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, SettingTest, ::testing::Values(
    SettingCase{L"BaudRate", L"9600", &SerialPort::baudRate, 9600},
    SettingCase{L"BaudRate", L"10000", &SerialPort::baudRate, 9600},
    SettingCase{L"BaudRate", L"14400", &SerialPort::baudRate, 14400},
    SettingCase{L"BaudRate", L"28799", &SerialPort::baudRate, 19200},
    SettingCase{L"BaudRate", L"86400", &SerialPort::baudRate, 115200},
    SettingCase{L"BaudRate", L"0x1c200", &SerialPort::baudRate, 115200},
    SettingCase{L"BaudRate", L"abc", &SerialPort::baudRate, 115200},
    SettingCase{L"BaudRate", nullptr, &SerialPort::baudRate, 115200},
    SettingCase{L"BaudRate", L"-5", &SerialPort::baudRate, 1200},
    SettingCase{L"Bits", L"3", &SerialPort::dataBits, 8},
    SettingCase{L"Bits", L"9", &SerialPort::dataBits, 8},
    SettingCase{L"Bits", L"7", &SerialPort::dataBits, 7},
    SettingCase{L"Parity", L"5", &SerialPort::parity, 0},
    SettingCase{L"Parity", L"4", &SerialPort::parity, 4},
    SettingCase{L"StopBits", L"-1", &SerialPort::stopBits, 0},
    SettingCase{L"StopBits", L"2", &SerialPort::stopBits, 2},
    SettingCase{L"FlowControl", L"3", &SerialPort::flowControl, 0},
    SettingCase{L"FlowControl", L"1", &SerialPort::flowControl, 1},
    SettingCase{L"Port", L"010", &SerialPort::portNumber, 8},
    SettingCase{L"Port", nullptr, &SerialPort::portNumber, 1}));

class EnvGuard {
public:
    explicit EnvGuard(const char* value)
    {
        if (value)
            setenv("NORVEX_TTY", value, 1);
        else
            unsetenv("NORVEX_TTY");
    }
    ~EnvGuard() { unsetenv("NORVEX_TTY"); }
};

TEST(SerialPortPath, FromEnvironmentPortOrSuffix)
{
    struct Case {
        const char* env;
        const wchar_t* port;
        const wchar_t* suffix;
        const wchar_t* path;
    };
    const Case cases[] = {
        {nullptr, L"3", nullptr, L"/dev/ttyS2"},
        {nullptr, L"1", nullptr, L"/dev/ttyS0"},
        {nullptr, L"0", nullptr, L"/dev/ttyACM0"},
        {nullptr, L"-2", L"ttyUSB1", L"/dev/ttyUSB1"},
        {"", L"2", nullptr, L"/dev/ttyS1"},
        {"/tmp/some-tty", L"2", L"ttyUSB1", L"/tmp/some-tty"},
    };
    for (const Case& c : cases) {
        EnvGuard env(c.env);
        SerialPortPosix port;
        Orn::Settings s;
        s.set(L"Port", c.port);
        if (c.suffix)
            s.set(L"TTYSuffix", c.suffix);
        port.setSettings(s);
        EXPECT_EQ(port.devicePath(), c.path) << c.port;
    }
}

// ---- a pseudo-terminal standing in for the register's line ----

class Pty {
public:
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            path = ptsname(master);
    }
    ~Pty()
    {
        if (master >= 0)
            close(master);
    }

    // The byte the host sent, or -1 after ms of silence.
    int readByte(int ms)
    {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0 || !(p.revents & POLLIN))
            return -1;
        uint8_t b = 0;
        return ::read(master, &b, 1) == 1 ? b : -1;
    }
    void send(std::initializer_list<uint8_t> bytes)
    {
        for (uint8_t b : bytes)
            ASSERT_EQ(::write(master, &b, 1), 1);
    }

    int master = -1;
    std::string path;
};

class PtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.path.empty());
        setenv("NORVEX_TTY", pty.path.c_str(), 1);
    }
    void TearDown() override { unsetenv("NORVEX_TTY"); }

    static double secondsSince(Clock::time_point t)
    {
        return std::chrono::duration<double>(Clock::now() - t).count();
    }

    Pty pty;
};

TEST_F(PtyTest, OpenFailuresAreBusyOrUnavailable)
{
    {
        EnvGuard env("/dev/norvex-no-such-tty");
        SerialPortPosix missing;
        EXPECT_EQ(missing.open(), -3);
        EXPECT_FALSE(missing.isOpen());
    }
    setenv("NORVEX_TTY", pty.path.c_str(), 1);
    SerialPortPosix first;
    ASSERT_EQ(first.open(), 0);
    SerialPortPosix second;
    EXPECT_EQ(second.open(), -14);
    EXPECT_FALSE(second.isOpen());
    first.close();
    EXPECT_EQ(second.open(), 0);
}

TEST_F(PtyTest, ClosedPortRefusesTransfers)
{
    SerialPortPosix port;
    uint8_t b = 0;
    EXPECT_EQ(port.read(&b, 1), -1);
    EXPECT_EQ(port.write(&b, 1), -1);
    EXPECT_EQ(port.purgeInput(false), -1);
    EXPECT_EQ(port.setParity(2), -1);
}

TEST_F(PtyTest, TimeoutsWaitForNextOpenWhenClosed)
{
    SerialPortPosix port;
    EXPECT_EQ(port.setTimeouts(20, 0, 0), 0);     // unchanged
    EXPECT_EQ(port.setTimeouts(300, -1, 0), -1);  // stored for the next open
    EXPECT_EQ(port.timeout(), 300);
    ASSERT_EQ(port.open(), 0);
    EXPECT_EQ(port.setTimeouts(200, -1, 0), 0);
}

TEST_F(PtyTest, ReadReturnsOnceTheRequestedBytesArrive)
{
    SerialPortPosix port;
    ASSERT_EQ(port.open(), 0);
    port.setTimeouts(20000, -1, 0);
    std::thread peer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.send({0x01, 0x02, 0x03});
    });
    uint8_t buf[3] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buf, 3), 3);
    EXPECT_LT(secondsSince(start), 10.0);
    peer.join();
    EXPECT_EQ(buf[2], 0x03);
}

TEST_F(PtyTest, SilentReadEndsWithNothing)
{
    SerialPortPosix port;
    ASSERT_EQ(port.open(), 0);
    port.setTimeouts(300, -1, 0);
    uint8_t b = 0;
    const auto start = Clock::now();
    EXPECT_EQ(port.read(&b, 1), 0);
    EXPECT_LT(secondsSince(start), 10.0);
}

TEST_F(PtyTest, ZeroTimeoutTakesWhatIsThere)
{
    SerialPortPosix port;
    ASSERT_EQ(port.open(), 0);
    pty.send({0x11, 0x12});
    // Wait (bounded) until both bytes have reached the port's side.
    uint8_t buf[8] = {};
    int got = 0;
    port.setTimeouts(0, 0, 0);
    for (int i = 0; i < 200 && got < 2; ++i) {
        int n = port.read(buf + got, 8 - got);
        ASSERT_GE(n, 0);
        got += n;
        if (got < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got, 2);
    EXPECT_EQ(port.read(buf, 8), 0);
}

TEST_F(PtyTest, AnyDataModeReturnsWithTheFirstBytes)
{
    SerialPortPosix port;
    ASSERT_EQ(port.open(), 0);
    port.setTimeouts(-1, 0, 0);
    std::thread peer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.send({0x21});
    });
    uint8_t buf[16] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buf, 16), 1);
    EXPECT_LT(secondsSince(start), 10.0);
    peer.join();
}

TEST_F(PtyTest, ConfigureReopensAndAFailedReopenStaysClosed)
{
    SerialPortPosix port;
    ASSERT_EQ(port.open(), 0);
    Orn::Settings s;
    s.set(L"BaudRate", L"9600");
    EXPECT_EQ(port.configure(s), 0);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.baudRate(), 9600);
    setenv("NORVEX_TTY", "/dev/norvex-no-such-tty", 1);
    EXPECT_EQ(port.configure(s), 0);
    EXPECT_FALSE(port.isOpen());
}

// ---- one exchange over the pseudo-terminal ----

const uint8_t STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06;

TEST_F(PtyTest, ExchangeEndsWithTheAnswer)
{
    Orn::Fptr::ALLProtocol link;
    Orn::Settings s;
    s.set(L"AccessPassword", L"30");
    link.configure(s);
    ASSERT_TRUE(link.open());

    std::atomic<bool> blockOk{false};
    std::thread reg([&] {
        if (pty.readByte(5000) != ENQ) return;
        pty.send({ACK});
        // The host block: STX 00 30 41 ETX check.
        const int expected[] = {STX, 0x00, 0x30, 0x41, ETX, 0x00 ^ 0x30 ^ 0x41 ^ ETX};
        bool same = true;
        for (int e : expected)
            same = pty.readByte(5000) == e && same;
        blockOk = same;
        pty.send({ACK});
        if (pty.readByte(5000) != EOT) return;
        pty.send({ENQ});
        if (pty.readByte(5000) != ACK) return;
        pty.send({STX, 0x4B, 0x00, ETX, 0x4B ^ 0x00 ^ ETX});
        if (pty.readByte(5000) != ACK) return;
        pty.send({EOT});
    });

    const auto start = Clock::now();
    Orn::ByteBuffer answer;
    int code = 0;
    try {
        answer = link.transact(Orn::ByteBuffer{0x41}, true, -1);
    } catch (const Orn::Exception& e) {
        code = e.code();
    }
    reg.join();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(blockOk);
    EXPECT_EQ(answer, (Orn::ByteBuffer{0x4B, 0x00}));
    EXPECT_LT(secondsSince(start), 20.0);
}

TEST_F(PtyTest, SilentRegisterEndsTheExchange)
{
    Orn::Fptr::ALLProtocol link;
    link.configure(Orn::Settings());
    ASSERT_TRUE(link.open());
    link.setTimeout(1, 100);
    const auto start = Clock::now();
    int code = 0;
    try {
        link.transact(Orn::ByteBuffer{0x41}, true, -1);
    } catch (const Orn::Exception& e) {
        code = e.code();
    }
    EXPECT_EQ(code, -1);
    EXPECT_LT(secondsSince(start), 20.0);
    EXPECT_TRUE(link.lock().tryEnter());
    link.lock().leave();
}

} // namespace
