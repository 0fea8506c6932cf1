#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "ScriptedDevice.h"
#include "core/Error.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "transport/ALLProtocol.h"

using Orn::ByteBuffer;
using Orn::Fptr::ALLProtocol;

namespace {

const uint8_t STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06, DLE = 0x10, NAK = 0x15;

Bytes toBytes(const ByteBuffer& b) { return b.vector(); }

// A register block around raw answer bytes, escaped, with its check byte.
Bytes registerBlock(const Bytes& answer, bool corruptCheck = false)
{
    Bytes out{STX};
    uint8_t check = 0;
    for (uint8_t b : answer) {
        if (b == ETX || b == DLE) {
            out.push_back(DLE);
            check ^= DLE;
        }
        out.push_back(b);
        check ^= b;
    }
    out.push_back(ETX);
    check ^= ETX;
    out.push_back(corruptCheck ? static_cast<uint8_t>(check ^ 0xFF) : check);
    return out;
}

Bytes repeat(uint8_t b, int n) { return Bytes(static_cast<size_t>(n), b); }

// Runs f and returns the code it raised, 0 when it returned.
template <typename F>
int raisedCode(F&& f)
{
    try {
        f();
    } catch (const Orn::Exception& e) {
        return e.code();
    }
    return 0;
}

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto d = std::make_unique<ScriptedDevice>();
        dev = d.get();
        link.setDevice(std::move(d));
        link.setPassword(0);
        // Only the pauses cost real time with the scripted line.
        link.setTimeout(1, 1);
        link.setTimeout(7, 0);
    }

public:
    void add(const Bytes& expect, const Bytes& reply) { dev->script.push_back({expect, reply}); }

    // The register's side of a clean exchange up to its announcing ENQ.
    void lineAndBlock()
    {
        add({ENQ}, {ACK});
        add({}, {ACK});
    }

    ALLProtocol link;
    ScriptedDevice* dev = nullptr;
    const ByteBuffer command{0x41};
};

// ---- framing ----

struct FrameCase {
    const wchar_t* passwordSetting;   // nullptr: key absent
    Bytes command;
    Bytes block;
};

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, HostBlockIsByteExact)
{
    const FrameCase& c = GetParam();
    ALLProtocol link;
    link.setDevice(std::make_unique<ScriptedDevice>());
    Orn::Settings s;
    if (c.passwordSetting)
        s.set(L"AccessPassword", c.passwordSetting);
    link.configure(s);
    EXPECT_EQ(toBytes(link.buildBlock(ByteBuffer(c.command.data(), c.command.size()))), c.block);
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameTest, ::testing::Values(
    FrameCase{L"22", {0x41}, {0x02, 0x00, 0x22, 0x41, 0x03, 0x60}},
    FrameCase{nullptr, {0x41}, {0x02, 0x00, 0x00, 0x41, 0x03, 0x42}},          // factory default
    FrameCase{L"xyz", {0x41}, {0x02, 0x00, 0x00, 0x41, 0x03, 0x42}},
    FrameCase{L"-1", {0x41}, {0x02, 0x41, 0x03, 0x42}},                          // no password bytes
    FrameCase{L"0100", {0x41}, {0x02, 0x01, 0x00, 0x41, 0x03, 0x43}},           // decimal, not octal
    FrameCase{L"12345", {0x41}, {0x02, 0x23, 0x45, 0x41, 0x03, 0x24}},          // four lowest digits
    FrameCase{L"1003", {0x41}, {0x02, 0x10, 0x10, 0x10, 0x03, 0x41, 0x03, 0x51}},
    FrameCase{L"0", {0x4B, 0x03, 0x10, 0x02},
              {0x02, 0x00, 0x00, 0x4B, 0x10, 0x03, 0x10, 0x10, 0x02, 0x03, 0x59}}));

TEST_F(ProtocolTest, OverlongHostBlockIsRefusedBeforeAnythingIsSent)
{
    // STX, two password bytes, ETX and the check byte leave 123 bytes for the escaped command.
    EXPECT_EQ(link.buildBlock(ByteBuffer(123)).size(), 128u);

    ByteBuffer plain(124);
    ByteBuffer escapes(62);
    for (size_t i = 0; i < escapes.size(); ++i)
        escapes[i] = DLE;
    for (const ByteBuffer* cmd : {&plain, &escapes}) {
        EXPECT_EQ(raisedCode([&] { link.transact(*cmd, true, -1); }), -6);
        EXPECT_TRUE(dev->writes.empty());
    }
    EXPECT_TRUE(lockFreeForOtherThread(link.lock()));
}

TEST_F(ProtocolTest, EmptyCommandAndClosedPortSendNothing)
{
    EXPECT_EQ(raisedCode([&] { link.transact(ByteBuffer(), true, -1); }), -6);
    dev->opened = false;
    EXPECT_EQ(raisedCode([&] { link.transact(command, true, -1); }), -11);
    EXPECT_TRUE(dev->writes.empty());
}

// ---- whole exchanges ----

TEST_F(ProtocolTest, CleanExchangeFramesTheCommandAndUnescapesTheAnswer)
{
    const Bytes answer{0x4B, 0x10, 0x03, 0x00};
    lineAndBlock();
    add({EOT}, {ENQ});
    add({ACK}, registerBlock(answer));
    add({ACK}, {EOT});
    link.setTimeout(5, 4321);
    bool heldDuringExchange = false;
    dev->onWrite = [&] {
        if (dev->writes.size() == 2)
            heldDuringExchange = !lockFreeForOtherThread(link.lock());
    };

    ByteBuffer got = link.transact(command, true, -1);

    EXPECT_EQ(toBytes(got), answer);
    const std::vector<Bytes> expected{{ENQ}, toBytes(link.buildBlock(command)), {EOT}, {ACK}, {ACK}};
    EXPECT_EQ(dev->writes, expected);
    EXPECT_EQ(dev->mismatches, 0);
    EXPECT_TRUE(heldDuringExchange);
    EXPECT_TRUE(lockFreeForOtherThread(link.lock()));
    // A negative answer timeout waits T5 for the announcement.
    EXPECT_NE(std::find(dev->timeouts.begin(), dev->timeouts.end(), 4321), dev->timeouts.end());
}

TEST_F(ProtocolTest, ExplicitAnswerTimeoutReachesTheDevice)
{
    lineAndBlock();
    add({EOT}, {ENQ});
    add({ACK}, registerBlock({0x00}));
    add({ACK}, {EOT});
    link.transact(command, true, 45000);
    EXPECT_NE(std::find(dev->timeouts.begin(), dev->timeouts.end(), 45000), dev->timeouts.end());
}

TEST_F(ProtocolTest, CommandWithoutAnswerReturnsRightAfterEot)
{
    lineAndBlock();
    ByteBuffer got = link.transact(ByteBuffer{0x47, 0x01}, true, -1);
    EXPECT_TRUE(got.empty());
    const std::vector<Bytes> expected{{ENQ}, toBytes(link.buildBlock(ByteBuffer{0x47, 0x01})), {EOT}};
    EXPECT_EQ(dev->writes, expected);
    EXPECT_TRUE(lockFreeForOtherThread(link.lock()));
}

// Register behaviours the exchange must ride out; each still ends with the answer.
struct RecoveryCase {
    const char* name;
    std::function<void(ProtocolTest&)> script;
    std::vector<Bytes> writes;   // {} stands for the host block
};

class RecoveryTest : public ProtocolTest, public ::testing::WithParamInterface<RecoveryCase> {};

TEST_P(RecoveryTest, EndsWithTheAnswer)
{
    const Bytes answer{0x4B, 0x00};
    GetParam().script(*this);
    ByteBuffer got = link.transact(command, true, -1);
    EXPECT_EQ(toBytes(got), answer);
    std::vector<Bytes> expected = GetParam().writes;
    for (Bytes& w : expected)
        if (w.empty())
            w = toBytes(link.buildBlock(command));
    EXPECT_EQ(dev->writes, expected);
    EXPECT_EQ(dev->mismatches, 0);
}

const Bytes kAnswer{0x4B, 0x00};

INSTANTIATE_TEST_SUITE_P(Link, RecoveryTest, ::testing::Values(
    RecoveryCase{"NakFourTimesThenAck", [](ProtocolTest& t) {
        auto& r = t;
        for (int i = 0; i < 4; ++i) r.add({ENQ}, {NAK});
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {ENQ}, {ENQ}, {ENQ}, {ENQ}, {}, {EOT}, {ACK}, {ACK}}},
    RecoveryCase{"RegisterAnswersEnqWithEnq", [](ProtocolTest& t) {
        auto& r = t;
        r.add({ENQ}, {ENQ});
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {ENQ}, {}, {EOT}, {ACK}, {ACK}}},
    RecoveryCase{"EnqAtSecondBlockSendAnnouncesTheAnswer", [](ProtocolTest& t) {
        auto& r = t;
        r.add({ENQ}, {ACK});
        r.add({}, {NAK});
        r.add({}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {}, {ACK}, {ACK}}},
    RecoveryCase{"EnqAtFirstBlockSendIsNotAnAnnouncement", [](ProtocolTest& t) {
        auto& r = t;
        r.add({ENQ}, {ACK});
        r.add({}, {ENQ});
        r.add({}, {ACK});
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {}, {EOT}, {ACK}, {ACK}}},
    RecoveryCase{"NinetyNineStrayBytesBeforeTheAnnouncement", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        Bytes stray = repeat(0x30, 99);
        stray.push_back(ENQ);
        r.add({EOT}, stray);
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {EOT}, {ACK}, {ACK}}},
    RecoveryCase{"BadCheckByteThenGoodBlock", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer, true));
        r.add({NAK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {EOT}, {ACK}, {NAK}, {ACK}}},
    RecoveryCase{"TenRepeatedEnqs", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        for (int i = 0; i < 10; ++i) r.add({ACK}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {EOT}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}, {ACK}}},
    RecoveryCase{"RegisterRepeatsItsBlockOnce", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, registerBlock(kAnswer));
        r.add({ACK}, {EOT});
    }, {{ENQ}, {}, {EOT}, {ACK}, {ACK}, {ACK}}}),
    [](const ::testing::TestParamInfo<RecoveryCase>& i) { return std::string(i.param.name); });

// ---- failures: code, failure number in the log, lock left free ----

struct FailureCase {
    const char* name;
    std::function<void(ProtocolTest&)> script;
    int code;
    int failure;
    Bytes lastWrite;   // empty: not checked
};

class FailureTest : public ProtocolTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    static void SetUpTestSuite()
    {
        setenv("QLM9_LOG_LVL", "3", 1);
        Logger::instance().reloadForTests();
        logExisted() = std::ifstream(logPath()).good();
    }
    static void TearDownTestSuite()
    {
        unsetenv("QLM9_LOG_LVL");
        Logger::instance().reloadForTests();
        if (!logExisted())
            std::remove(logPath().c_str());
    }
    static std::string logPath() { return Platform::toUtf8(Logger::instance().path()); }
    static bool& logExisted()
    {
        static bool existed = false;
        return existed;
    }

    static std::string readLog()
    {
        std::ifstream f(logPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
};

TEST_P(FailureTest, RaisesLogsAndLeavesTheLock)
{
    const FailureCase& c = GetParam();
    c.script(*this);
    const size_t logBefore = readLog().size();

    EXPECT_EQ(raisedCode([&] { link.transact(command, true, -1); }), c.code);

    EXPECT_TRUE(lockFreeForOtherThread(link.lock()));
    EXPECT_EQ(dev->mismatches, 0);
    if (!c.lastWrite.empty()) {
        ASSERT_FALSE(dev->writes.empty());
        EXPECT_EQ(dev->writes.back(), c.lastWrite);
    }
    const std::string added = readLog().substr(logBefore);
    EXPECT_NE(added.find("failed for some reason @ " + std::to_string(c.failure)), std::string::npos) << added;
}

INSTANTIATE_TEST_SUITE_P(Link, FailureTest, ::testing::Values(
    FailureCase{"NakToEveryEnq", [](ProtocolTest& t) {
        auto& r = t;
        for (int i = 0; i < 5; ++i) r.add({ENQ}, {NAK});
        r.add({EOT}, {});
    }, -1, 355, {EOT}},
    FailureCase{"SilentLine", [](ProtocolTest&) {}, -1, 355, {EOT}},
    FailureCase{"EnqCollisionsExhaustTheCycles", [](ProtocolTest& t) {
        auto& r = t;
        for (int i = 0; i < 101; ++i) r.add({ENQ}, {ENQ});
        r.add({EOT}, {});
    }, -1, 355, {EOT}},
    FailureCase{"BlockNeverAcknowledged", [](ProtocolTest& t) {
        auto& r = t;
        r.add({ENQ}, {ACK});
        for (int i = 0; i < 10; ++i) r.add({}, {NAK});
        r.add({EOT}, {});
    }, -1, 355, {EOT}},
    FailureCase{"NoAnnouncement", [](ProtocolTest& t) {
        t.lineAndBlock();
    }, -20, 247, {EOT}},
    FailureCase{"HundredStrayBytesWithoutAnnouncement", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        Bytes stray = repeat(0x30, 100);
        stray.push_back(ENQ);
        r.add({EOT}, stray);
    }, -20, 244, {EOT}},
    FailureCase{"NoStx", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
    }, -20, 265, {ACK}},
    FailureCase{"HundredStrayBytesWithoutStx", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        Bytes stray = repeat(0x30, 100);
        Bytes block = registerBlock(kAnswer);
        stray.insert(stray.end(), block.begin(), block.end());
        r.add({ACK}, stray);
    }, -20, 262, {ACK}},
    FailureCase{"ElevenRepeatedEnqs", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        for (int i = 0; i < 11; ++i) r.add({ACK}, {ENQ});
    }, -20, 338, {ACK}},
    FailureCase{"ElevenBadBlocks", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        r.add({ACK}, registerBlock(kAnswer, true));
        for (int i = 0; i < 10; ++i) r.add({NAK}, registerBlock(kAnswer, true));
    }, -20, 344, {NAK}},
    FailureCase{"OverlongRegisterBlocks", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        // 129 data bytes: each attempt is cut at the 129th, the rest read as stray bytes.
        Bytes longBlock{STX};
        Bytes data = repeat(0x41, 129);
        longBlock.insert(longBlock.end(), data.begin(), data.end());
        Bytes all;
        for (int i = 0; i < 11; ++i) all.insert(all.end(), longBlock.begin(), longBlock.end());
        r.add({EOT}, {ENQ});
        r.add({ACK}, all);
    }, -20, 344, {ACK}},
    FailureCase{"ElevenRepeatedBlocks", [](ProtocolTest& t) {
        auto& r = t;
        r.lineAndBlock();
        r.add({EOT}, {ENQ});
        for (int i = 0; i < 12; ++i) r.add({ACK}, registerBlock(kAnswer));
    }, -20, 350, {ACK}}),
    [](const ::testing::TestParamInfo<FailureCase>& i) { return std::string(i.param.name); });

// ---- error answers ----

struct ErrorAnswerCase {
    Bytes command;
    Bytes answer;
    bool checkError;
    int code;   // expected raise, 0 when the answer comes back unchanged
};

class ErrorAnswerTest : public ProtocolTest, public ::testing::WithParamInterface<ErrorAnswerCase> {};

TEST_P(ErrorAnswerTest, MapsOrReturns)
{
    const ErrorAnswerCase& c = GetParam();
    lineAndBlock();
    add({EOT}, {ENQ});
    add({ACK}, registerBlock(c.answer));
    add({ACK}, {EOT});
    ByteBuffer got;
    const int raised = raisedCode([&] { got = link.transact(ByteBuffer(c.command.data(), c.command.size()), c.checkError, -1); });
    EXPECT_EQ(raised, c.code);
    if (c.code == 0) {
        EXPECT_EQ(toBytes(got), c.answer);
    }
    EXPECT_TRUE(lockFreeForOtherThread(link.lock()));
}

INSTANTIATE_TEST_SUITE_P(Answers, ErrorAnswerTest, ::testing::Values(
    ErrorAnswerCase{{0x41}, {0x55, 0x00}, true, 0},
    ErrorAnswerCase{{0x41}, {0x55, 0x09}, true, Orn::errorFromRegisterCode(9)},
    ErrorAnswerCase{{0x45}, {0x55, 0x09}, true, 0},
    ErrorAnswerCase{{0x41}, {0x55, 0x09}, false, 0},
    ErrorAnswerCase{{0x41}, {0x55}, true, -15},                       // code byte missing
    ErrorAnswerCase{{0x41}, {0x55}, false, 0}));

TEST(ProtocolBaseTest, MissingDeviceRaises)
{
    ALLProtocol link;
    link.setDevice(nullptr);
    uint8_t b = 0;
    EXPECT_EQ(raisedCode([&] { link.open(); }), -22);
    EXPECT_EQ(raisedCode([&] { link.close(); }), -22);
    EXPECT_EQ(raisedCode([&] { link.readByte(&b, 10, -1); }), -22);
    EXPECT_EQ(raisedCode([&] { link.writeByte(b, 10, -1); }), -22);
    EXPECT_EQ(raisedCode([&] { link.configure(Orn::Settings()); }), -23);
    EXPECT_FALSE(link.isOpen());
}

TEST(ProtocolBaseTest, TimeoutsAreSettableAndReset)
{
    ALLProtocol link;
    const int defaults[8] = {500, 2000, 500, 500, 10000, 500, 500, 1000};
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(link.timeoutValue(i), defaults[i - 1]);
    link.setTimeout(8, 7);
    link.setTimeout(9, 7);   // ignored
    link.setTimeout(0, 7);   // ignored
    EXPECT_EQ(link.timeoutValue(8), 7);
    link.resetTimeouts();
    EXPECT_EQ(link.timeoutValue(8), 1000);
}

} // namespace
