// The register's side of the link over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <ctime>
#include <unistd.h>

#include "emulator/Emulator.h"
#include "emulator/LinkHost.h"

using linkhost::Bytes;
using linkhost::Host;

namespace {

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        std::string err;
        ASSERT_TRUE(emu.start(&err)) << err;
        host.reset(new Host(emu.devicePath()));
        ASSERT_TRUE(host->ok());
    }
    NorvexEmu::Emulator emu{53};
    std::unique_ptr<Host> host;
};

const Bytes kEnterReg{0x56, 0x01, 0x00, 0x00, 0x00, 0x30};

} // namespace

TEST_F(Link, AnswersStateAndEscapesAnswerBytes) {
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));
    // Mode byte 0x03 must travel escaped in the answer; the host helper unescapes it.
    ASSERT_EQ(host->transact({0x56, 0x03, 0x00, 0x00, 0x00, 0x30}), (Bytes{0x55, 0x00}));
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x03, 0x00}));
}

TEST_F(Link, WrongAccessPasswordIsRefused) {
    EXPECT_EQ(host->transact({0x45}, 0x1234), (Bytes{0x55, 140}));
    EXPECT_EQ(host->transact({0x45}, 0x0000), (Bytes{0x55, 0x00, 0x00}));
}

TEST_F(Link, BadCheckByteIsAnsweredWithNakAndTheBlockCanBeResent) {
    host->send(linkhost::ENQ);
    ASSERT_EQ(host->readByte(500), linkhost::ACK);
    Bytes payload{0x00, 0x00, 0x45};
    host->send(linkhost::frame(payload, true));
    EXPECT_EQ(host->readByte(500), linkhost::NAK);
    host->send(linkhost::frame(payload));
    EXPECT_EQ(host->readByte(500), linkhost::ACK);
    host->send(linkhost::EOT);
    EXPECT_EQ(host->readByte(2000), linkhost::ENQ);
    EXPECT_EQ(emu.commandCount(), 1u);
}

TEST_F(Link, CommandBytesNeedingEscapesArriveIntact) {
    // Field write in programming mode with the data bytes DLE and ETX, read back unchanged.
    ASSERT_EQ(host->transact({0x56, 0x04, 0x00, 0x00, 0x00, 0x30}), (Bytes{0x55, 0x00}));
    ASSERT_EQ(host->transact({0x50, 0x02, 0x00, 0x01, 0x17, 0x10, 0x03}), (Bytes{0x55, 0x00}));
    EXPECT_EQ(host->transact({0x46, 0x02, 0x00, 0x01, 0x17}, 0x1003), (Bytes{0x55, 0x00, 0x10, 0x03}));
    EXPECT_EQ(host->transact({0x45}, 0x0000), (Bytes{0x55, 140}));
}

TEST_F(Link, CorruptedAnswerIsRepeatedAfterTheHostsNak) {
    emu.corruptAnswers(1);
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));
    EXPECT_EQ(host->nakCount(), 1);
}

TEST_F(Link, LineFaults) {
    emu.nakEnq(5);
    host->transact({0x45});
    EXPECT_TRUE(host->failed());
    EXPECT_EQ(emu.commandCount(), 0u);

    emu.ignoreEnq(2);   // fewer than the host's five tries
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));

    emu.dropAnswers(1);
    host->transact({0x45}, 0, 800);
    EXPECT_TRUE(host->failed());
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));

    emu.nakBlocks(1);
    host->transact({0x45});
    EXPECT_TRUE(host->failed());   // this small host does not resend a refused block
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));
}

TEST_F(Link, BeepHasNoAnswer) {
    EXPECT_TRUE(host->transact({0x47}).empty());
    EXPECT_FALSE(host->failed());
    // Nothing follows on the line; the next exchange works at once.
    EXPECT_EQ(host->readByte(300), -1);
    EXPECT_EQ(host->transact({0x45}), (Bytes{0x55, 0x00, 0x00}));
}

TEST_F(Link, StatusAnswerLayout) {
    ASSERT_EQ(host->transact(kEnterReg), (Bytes{0x55, 0x00}));
    std::time_t before = std::time(nullptr);
    Bytes s = host->transact({0x3F});
    ASSERT_GE(s.size(), 23u);
    EXPECT_EQ(s[0], 0x44);
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 15); };
    std::tm t{};
    t.tm_year = 100 + bcd(s[3]); t.tm_mon = bcd(s[4]) - 1; t.tm_mday = bcd(s[5]);
    t.tm_hour = bcd(s[6]); t.tm_min = bcd(s[7]); t.tm_sec = bcd(s[8]); t.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&t), before)), 5.0);
    EXPECT_EQ(s[9] & 0x02, 0);                                   // shift closed
    EXPECT_EQ((Bytes{s[10], s[11], s[12], s[13]}), (Bytes{0x00, 0x01, 0x23, 0x45}));
    EXPECT_EQ(s[14], 53);
    EXPECT_EQ(s[17], 0x01);
    EXPECT_EQ((Bytes{s[20], s[21]}), (Bytes{0x00, 0x00}));
    EXPECT_EQ(s[22], 0);
}

TEST_F(Link, SymlinkPointsAtTheDevice) {
    std::string link = "/tmp/norvex-emu-test-link-" + std::to_string(getpid());
    std::string err;
    ASSERT_TRUE(emu.createLink(link, &err)) << err;
    Host viaLink(link);
    ASSERT_TRUE(viaLink.ok());
    host.reset();
    EXPECT_EQ(viaLink.transact({0x45}), (Bytes{0x55, 0x00, 0x00}));
    emu.stop();
    EXPECT_NE(access(link.c_str(), F_OK), 0);
}
