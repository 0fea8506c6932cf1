// Reports of the register driver: start commands, following a running report, the Z report's
// second wait, and the readable reports, against a scripted link.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ScriptedLink.h"
#include "core/Platform.h"
#include "fptr/Reports.h"
#include "fptr/tavro20/Tavro20Report.h"

using norvex_test::Bytes;
using norvex_test::cat;
using norvex_test::kOk;
using norvex_test::ScriptedLink;
using norvex_test::raisedBy;
namespace T20 = Orn::Fptr::Tavro20;

namespace {

const Bytes kState{0x45};

Bytes stateAnswer(uint8_t mode, uint8_t flags = 0) { return {0x55, mode, flags}; }

// Polls go without the real pause; the pauses asked for are recorded.
struct ReportTest : ::testing::Test {
    std::vector<uint32_t> pauses;
    T20::ReportSleep previous;
    Orn::ParameterSet params{106};
    void SetUp() override {
        previous = T20::setReportSleepForTests([this](uint32_t ms) { pauses.push_back(ms); });
    }
    void TearDown() override { T20::setReportSleepForTests(previous); }

    static size_t polls(const ScriptedLink& drv) {
        size_t n = 0;
        for (const auto& s : drv.sent()) n += s.command == kState;
        return n;
    }
};

TEST_F(ReportTest, UnknownTypesSendNothing) {
    for (int type : {-1, 3, 5, 8, 19, 33, 37, 41}) {
        SCOPED_TRACE(type);
        ScriptedLink drv;
        EXPECT_EQ(std::make_pair(-6, -20), raisedBy([&] { drv.report(type, params); }));
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST_F(ReportTest, StartCommandsByType) {
    struct Case {
        int model, type;
        Bytes command;
        uint8_t finalMode;
    };
    const Case cases[] = {
        {53, 0, {0x54}, 0x03},
        {47, 0, {0xB7, 0x01, 0x01}, 0x03},
        {52, 0, {0xB7, 0x01, 0x01}, 0x03},
        {53, 7, {0x67, 0x02}, 0x02},
        {53, 34, {0xB6, 0x00, 0x12, 0x34}, 0x03},
        {53, 35, {0xB7, 0x01, 0x01}, 0x03},
        {53, 36, {0xB7, 0x02, 0x01}, 0x03},
    };
    params[12].setInt(1234);
    params[63].setInt(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "model " << c.model << " type " << c.type);
        ScriptedLink drv(c.model);
        drv.expect(c.command, kOk).expect(kState, stateAnswer(c.finalMode));
        EXPECT_EQ(0, drv.report(c.type, params));
        EXPECT_TRUE(drv.finished());
    }
    ScriptedLink drv;
    params[63].setInt(0);
    drv.expect({0xB7, 0x02, 0x00}, kOk).expect(kState, stateAnswer(0x03));
    drv.report(36, params);
    EXPECT_TRUE(drv.finished());
}

TEST_F(ReportTest, XReportPollsUntilTheModeChanges) {
    struct Case {
        uint8_t finalMode;
        int32_t raised;
    };
    for (const Case& c : {Case{0x02, 0}, Case{0x00, -3883}, Case{0x03, -3883}}) {
        SCOPED_TRACE(int(c.finalMode));
        pauses.clear();
        ScriptedLink drv;
        drv.expect({0x67, 0x01}, kOk)
            .expect(kState, stateAnswer(0x22))
            .expect(kState, stateAnswer(0x22))
            .expect(kState, stateAnswer(c.finalMode));
        EXPECT_EQ(c.raised, raisedBy([&] { drv.report(2, params); }).first);
        EXPECT_TRUE(drv.finished());
        EXPECT_EQ(3u, polls(drv));
        EXPECT_EQ((std::vector<uint32_t>{500, 500, 500}), pauses);
    }
}

TEST_F(ReportTest, ReportStillRunningAtItsLimitIsInterrupted) {
    // Type 7 allows 5 s; with 1 s between polls the wait gives up after about five.
    T20::setReportSleepForTests([](uint32_t) { Platform::sleepMs(1000); });
    ScriptedLink drv;
    drv.expect({0x67, 0x02}, kOk);
    for (int i = 0; i < 10; ++i) drv.expect(kState, stateAnswer(0x22));
    const uint32_t started = Platform::tickCount();
    EXPECT_EQ(-3883, raisedBy([&] { drv.report(7, params); }).first);
    EXPECT_LT(Platform::tickCount() - started, 30000u);
    EXPECT_GT(drv.remaining(), 0u);
}

TEST_F(ReportTest, FaultsEndTheWaitAtOnce) {
    struct Case {
        uint8_t mode, flags;
        int32_t raised;
    };
    const Case cases[] = {
        {0x02, 0x01, -3807}, {0x02, 0x02, -3873}, {0x02, 0x04, -3909}, {0x02, 0x07, -3807}, {0x02, 0x06, -3873},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.flags));
        ScriptedLink drv;
        drv.expect({0x67, 0x01}, kOk).expect(kState, stateAnswer(c.mode, c.flags));
        EXPECT_EQ(c.raised, raisedBy([&] { drv.report(2, params); }).first);
        EXPECT_TRUE(drv.finished());
    }
}

TEST_F(ReportTest, FlagsAreIgnoredWhileASubModeIsShown) {
    ScriptedLink drv;
    drv.expect({0x67, 0x01}, kOk).expect(kState, stateAnswer(0x22, 0x07)).expect(kState, stateAnswer(0x02));
    EXPECT_EQ(0, drv.report(2, params));
    EXPECT_TRUE(drv.finished());
}

TEST_F(ReportTest, RefusedStartCommandDoesNotWait) {
    ScriptedLink drv;
    drv.expect({0x67, 0x01}, {0x55, 0x66});
    EXPECT_EQ(Orn::errorFromRegisterCode(0x66), raisedBy([&] { drv.report(2, params); }).first);
    EXPECT_TRUE(pauses.empty());
}

TEST_F(ReportTest, ZReportWaitsTwiceAndAcceptsBothEndModes) {
    for (uint8_t endMode : {uint8_t(0x03), uint8_t(0x17)}) {
        SCOPED_TRACE(int(endMode));
        ScriptedLink drv;
        drv.expect({0x5A}, kOk)
            .expect(kState, stateAnswer(0x23))
            .expect(kState, stateAnswer(endMode))
            // second wait: 0x17 and 0x23 still count as running
            .expect(kState, stateAnswer(endMode == 0x17 ? 0x17 : 0x23))
            .expect(kState, stateAnswer(0x03));
        EXPECT_EQ(0, drv.report(1, params));
        EXPECT_TRUE(drv.finished());
        EXPECT_EQ(40000, drv.sent()[0].timeout);
    }
}

TEST_F(ReportTest, ZReportInterruptedIsForgivenOnlyWhenTheShiftClosed) {
    for (bool shiftOpen : {false, true}) {
        SCOPED_TRACE(shiftOpen);
        ScriptedLink drv;
        Bytes status(23, 0x00);
        status[0] = 0x44;
        status[9] = shiftOpen ? 0x02 : 0x00;
        drv.expect({0x5A}, kOk)
            .expect(kState, stateAnswer(0x07))               // not an accepted end
            .expect(kState, stateAnswer(0x02, 0x01))          // second wait: its fault is ignored
            .expect({0x3F}, status);
        EXPECT_EQ(shiftOpen ? -3883 : 0, raisedBy([&] { drv.report(1, params); }).first);
        EXPECT_TRUE(drv.finished());
    }
}

TEST_F(ReportTest, ZReportShortStatusDoesNotForgive) {
    ScriptedLink drv;
    drv.expect({0x5A}, kOk).expect(kState, stateAnswer(0x07)).expect(kState, stateAnswer(0x03))
        .expect({0x3F}, {0x44, 0x00, 0x00});
    EXPECT_EQ(-3883, raisedBy([&] { drv.report(1, params); }).first);
}

TEST_F(ReportTest, ZReportPaperOutStopsBeforeTheSecondWait) {
    ScriptedLink drv;
    drv.expect({0x5A}, kOk).expect(kState, stateAnswer(0x03, 0x01));
    EXPECT_EQ(-3807, raisedBy([&] { drv.report(1, params); }).first);
    EXPECT_TRUE(drv.finished());
    EXPECT_EQ(2u, drv.sent().size());
}

// ---- readable reports ---------------------------------------------------------------------

std::vector<std::wstring> lines(Orn::Fptr::Reports::AbstractReport& rep, Orn::ParameterSet& p) {
    std::vector<std::wstring> out;
    while (auto* item = rep.next()) {
        item->fill(p);
        out.push_back(p[32].toText());
    }
    return out;
}

TEST_F(ReportTest, QueryOnlyReportsNothingAndSendsNothing) {
    for (int type : {19, 20, 41}) {
        ScriptedLink drv;
        EXPECT_EQ(nullptr, drv.beginReport(type, params, true));
        EXPECT_TRUE(drv.sent().empty());
    }
    ScriptedLink drv;
    EXPECT_EQ(std::make_pair(-6, -20), raisedBy([&] { delete drv.beginReport(18, params, false); }));
    EXPECT_TRUE(drv.sent().empty());
}

TEST_F(ReportTest, JournalLinesSwapDollarAndNumeroSigns) {
    ScriptedLink drv;
    drv.expect({0xC3, 0x01, 0x00, 0x00}, {0x55, 0x00, 'a', '$', 'b', 0x00, 'x'})
        .expect({0xC3, 0x00, 0x00, 0x00}, {0x55, 0x00, 0xB9, 0xC0})   // "№А" in Windows-1251
        .expect({0xC3, 0x00, 0x00, 0x00}, kOk)
        .failWith({0xC3, 0x00, 0x00, 0x00}, -17);
    std::unique_ptr<Orn::Fptr::Reports::AbstractReport> rep(drv.beginReport(41, params, false));
    ASSERT_NE(nullptr, rep);
    EXPECT_EQ(41, rep->type());
    EXPECT_EQ((std::vector<std::wstring>{L"a\u2116b", L"$\u0410", L""}), lines(*rep, params));
    EXPECT_EQ(nullptr, rep->next());
    EXPECT_EQ(3, rep->clear());
    EXPECT_EQ(nullptr, rep->next());
}

TEST_F(ReportTest, JournalOtherErrorsPropagate) {
    ScriptedLink drv;
    drv.expect({0xC3, 0x01, 0x00, 0x00}, {0x55, 0x00, 'a'}).failWith({0xC3, 0x00, 0x00, 0x00}, -20);
    Orn::Fptr::Reports::AbstractReport* rep = nullptr;
    EXPECT_EQ(-20, raisedBy([&] { rep = drv.beginReport(41, params, false); }).first);
    EXPECT_EQ(nullptr, rep);
}

TEST_F(ReportTest, RomReportReadsBlocksUpToTheTotal) {
    ScriptedLink drv;
    params[83].setInt(-1);
    drv.expect({0x83}, {0x55, 0x00, 0x00, 0x05})
        .expect({0x84}, {0x55, 0x00, 0x0A, 0xFF, 0x00})   // 3 bytes counted, last one dropped
        .expect({0x84}, {0x55, 0x00, 0x01, 0x02});
    std::unique_ptr<Orn::Fptr::Reports::AbstractReport> rep(drv.beginReport(19, params, false));
    ASSERT_NE(nullptr, rep);
    EXPECT_TRUE(drv.finished());
    EXPECT_EQ((std::vector<std::wstring>{L"0A FF ", L"01 "}), lines(*rep, params));
}

TEST_F(ReportTest, RomReportOneBlockAndEmptyTotals) {
    ScriptedLink drv;
    params[83].setInt(2);
    drv.expect({0x9C, 0x02}, {0x55, 0x00, 0x00, 0x00, 0x02}).expect({0x84}, {0x55, 0x00, 0xAB, 0xCD});
    std::unique_ptr<Orn::Fptr::Reports::AbstractReport> rep(drv.beginReport(20, params, false));
    EXPECT_EQ((std::vector<std::wstring>{L"AB "}), lines(*rep, params));

    params[83].setInt(-1);
    drv.expect({0x83}, {0x55, 0x00});   // a total missing from the answer reads as 0
    rep.reset(drv.beginReport(19, params, false));
    EXPECT_EQ(nullptr, rep->next());
    EXPECT_TRUE(drv.finished());
}

TEST_F(ReportTest, RomReportBlockWithoutDataIsAnError) {
    ScriptedLink drv;
    params[83].setInt(-1);
    drv.expect({0x83}, {0x55, 0x00, 0x00, 0x10}).expect({0x84}, {0x55, 0x00});
    EXPECT_EQ(-15, raisedBy([&] { delete drv.beginReport(19, params, false); }).first);
    EXPECT_TRUE(drv.finished());
}

// ---- fiscal range and EKLZ ------------------------------------------------------------------

TEST_F(ReportTest, FiscalRangeTakesPlainDateBytes) {
    ScriptedLink drv;
    drv.expect({0x63}, {0x55, 0x00, 12, 11, 95, 31, 1, 7, 0x00, 0x01, 0x12, 0x34});
    drv.fiscalRange(params);
    EXPECT_EQ(12, params[50].toInt());
    EXPECT_EQ(11, params[51].toInt());
    EXPECT_EQ(1995, params[52].toInt());
    EXPECT_EQ(31, params[81].toInt());
    EXPECT_EQ(1, params[80].toInt());
    EXPECT_EQ(2007, params[79].toInt());
    EXPECT_EQ(1, params[31].toInt());
    EXPECT_EQ(1234, params[82].toInt());
}

TEST_F(ReportTest, EklzStatusFields) {
    ScriptedLink drv;
    params[26].setInt(2);
    drv.expect({0xAE}, {0x55, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45,   // amount
                        9, 3, 14, 10, 30,                           // year, month, day, hour, minute
                        0x00, 0x00, 0x00, 0x56, 0x78,               // counter
                        0x01, 0x23, 0x45, 0x67, 0x89,               // EKLZ number
                        0x0C, 0x00, 0x42});
    int amount = 0;
    EXPECT_EQ(0, drv.eklzStatus(amount, params));
    EXPECT_EQ(1234500, amount);
    EXPECT_EQ(2009, params[52].toInt());
    EXPECT_EQ(3, params[51].toInt());
    EXPECT_EQ(14, params[50].toInt());
    EXPECT_EQ(10, params[49].toInt());
    EXPECT_EQ(30, params[48].toInt());
    EXPECT_EQ(0, params[47].toInt());
    EXPECT_EQ(5678, params[78].toInt64());
    EXPECT_EQ(L"0123456789", params[45].toText());
    EXPECT_EQ(12, params[77].toInt());
    EXPECT_EQ(42, params[31].toInt());
}

TEST_F(ReportTest, EklzServiceCommands) {
    ScriptedLink drv;
    drv.expect({0xA6}, kOk).expect({0xA7}, kOk);
    EXPECT_EQ(0, drv.eklzActivate(params));
    EXPECT_EQ(0, drv.eklzCloseArchive(params));
    EXPECT_TRUE(drv.finished());
}

} // namespace
