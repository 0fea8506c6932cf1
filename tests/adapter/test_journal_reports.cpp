// Reports, the shift and the device-information queries over the scripted driver: the order
// of the Z report's steps, the totals read into answer fields, and the query layouts.
#include <algorithm>

#include "test_journal.h"

namespace adapter_test {
namespace {

using Orn::ParameterSet;

// Register 3 answers 100 × operation + payment type, so every field tells where it came from;
// registers 4, 5 and 10 answer 4.5, 5.5 and 10.5.
void distinctRegisters(ParameterSet& p, int reg, int first, int second) {
    if (reg == 3) p[1].setDouble(100.0 * first + second);
    if (reg == 4 || reg == 5 || reg == 10) p[1].setDouble(reg + 0.5);
}

class ReportsTest : public JournalTest {
protected:
    std::wstring field(int n) const { return adapter->answerFieldText(n); }
    double amount(int n) const { return adapter->answerFieldDouble(n); }
    size_t position(const std::string& call) const {
        const auto& c = script().calls;
        return static_cast<size_t>(std::find(c.begin(), c.end(), call) - c.begin());
    }
};

TEST_F(ReportsTest, XReportLeavesTheJournalAlone) {
    EXPECT_EQ(adapter->report(2), 0);
    const std::vector<std::string> tail = script().callsFrom("setMode 2");
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail[1], "report 2");
    EXPECT_EQ(script().count("beginReport 41"), 0u);
    EXPECT_LT(position("printHeader"), position("report 2"));
}

TEST_F(ReportsTest, ZReportFilesTheShiftAndSetsTheFullHeaderBeforeClosing) {
    script().flags = 0x09;
    script().shiftNumber = 3;
    script().shiftOpened = true;
    script().tape = {L"ЧЕК ПРОДАЖИ", L"#0001 01-02-25 09:00"};
    store(1, 1, "very old\n");
    sql("UPDATE EJ SET TS = DATETIME('now', 'localtime', '-2 years');");

    EXPECT_EQ(adapter->report(1), 0);
    const std::vector<JournalRow> left = rows();
    ASSERT_EQ(left.size(), 1u);   // the old row is trimmed, the shift filed
    EXPECT_EQ(left[0].shift, 4);

    // After the tape: both header counts at 7, then the report in mode 3.
    std::vector<std::string> steps;
    for (const std::string& call : script().callsFrom("beginReport 41"))
        if (call.rfind("setValue", 0) == 0 || call.rfind("setMode 3", 0) == 0 || call.rfind("report", 0) == 0)
            steps.push_back(call);
    EXPECT_EQ(steps, (std::vector<std::string>{"setValue 66=7", "setValue 284=7", "setMode 3", "report 1"}));
}

TEST_F(ReportsTest, ZReportIsNotTakenWhenTheTapeCannotBeRead) {
    fail("beginReport", -3801);
    EXPECT_EQ(adapter->report(1), 13);
    EXPECT_EQ(script().count("report 1"), 0u);
    EXPECT_EQ(script().count("setMode 3"), 0u);
}

TEST_F(ReportsTest, XReportInMemory) {
    script().onRegister = distinctRegisters;
    EXPECT_EQ(adapter->reportXToMemory(), 0);
    ASSERT_EQ(adapter->answerFieldCount(), 24);
    EXPECT_EQ(field(0), L"34");
    const std::pair<int, double> filled[] = {{5, 101},  {6, 201},  {9, 401},  {10, 501}, {11, 102},
                                             {12, 202}, {13, 104}, {14, 204}, {15, 307}, {17, 607},
                                             {21, 4.5}, {22, 5.5}, {23, 10.5}};
    for (const auto& f : filled) EXPECT_DOUBLE_EQ(amount(f.first), f.second) << "field " << f.first;
    EXPECT_EQ(field(15), L"307.000000");
    for (int n : {7, 8, 16, 18, 19, 20}) EXPECT_EQ(field(n), L"") << "field " << n;
}

TEST_F(ReportsTest, ExtendedReportSumsEveryPaymentType) {
    script().onRegister = distinctRegisters;
    EXPECT_EQ(adapter->reportXExtendedToMemory(), 0);
    ASSERT_EQ(adapter->answerFieldCount(), 23);
    EXPECT_EQ(field(5), L"410.000000");   // 101 + 102 + 103 + 104
    EXPECT_DOUBLE_EQ(amount(6), 810);
    EXPECT_DOUBLE_EQ(amount(9), 1610);
    EXPECT_DOUBLE_EQ(amount(10), 2010);
    EXPECT_DOUBLE_EQ(amount(17), 4.5);
    EXPECT_DOUBLE_EQ(amount(18), 5.5);
    EXPECT_DOUBLE_EQ(amount(19), 10.5);
}

TEST_F(ReportsTest, PaymentTypeReportReadsTheNextRegisterType) {
    script().onRegister = distinctRegisters;
    EXPECT_EQ(adapter->reportTypeCloseToMemory(0), 0);
    EXPECT_EQ(adapter->answerFieldCount(), 11);
    EXPECT_DOUBLE_EQ(amount(5), 101);
    EXPECT_DOUBLE_EQ(amount(10), 501);
    EXPECT_EQ(adapter->reportTypeCloseToMemory(3), 0);
    EXPECT_DOUBLE_EQ(amount(6), 204);
    EXPECT_DOUBLE_EQ(amount(9), 404);
}

TEST_F(ReportsTest, FailedRegisterReadLeavesLaterFieldsEmpty) {
    fail("getRegister 3,1,2", -3801);
    EXPECT_EQ(adapter->reportXToMemory(), 13);
    EXPECT_NE(field(5), L"");
    EXPECT_EQ(field(11), L"");
    EXPECT_EQ(field(23), L"");
}

TEST_F(ReportsTest, OpenSessionAndSeance) {
    EXPECT_EQ(adapter->openSession(L"Смена"), 0);
    const std::vector<std::string> tail = script().callsFrom("setMode 1");
    ASSERT_GE(tail.size(), 4u);
    EXPECT_EQ(tail[2], "openSession");
    EXPECT_EQ(tail[3], "setMode 0");
    EXPECT_EQ(field(0), L"02");
    EXPECT_EQ(field(2), L"0100");

    EXPECT_EQ(adapter->setSeanceState(true), 0);
    EXPECT_EQ(field(0), L"01");
    EXPECT_EQ(field(2), L"0000");
}

TEST_F(ReportsTest, ResourcesGiveTheDayBeforeTheShiftOpened) {
    struct Case {
        int day, month, year;
        const wchar_t* expected;
    };
    const Case cases[] = {{1, 3, 2024, L"290224"}, {1, 3, 2023, L"280223"}, {1, 1, 2025, L"311224"},
                          {15, 7, 2026, L"140726"}};
    for (const Case& c : cases) {
        script().onRegister = [&c](ParameterSet& p, int reg, int, int) {
            if (reg == 15) p[53].setInt(0x2A);
            if (reg == 16) p[53].setInt(0x1234);
            if (reg == 21) p[31].setInt(177);
            if (reg == 18) {
                p[54].setBool(true);
                p[50].setInt(c.day);
                p[51].setInt(c.month);
                p[52].setInt(c.year);
                p[49].setInt(8);
                p[48].setInt(5);
            }
        };
        EXPECT_EQ(adapter->resources(), 0);
        EXPECT_EQ(adapter->answerFieldCount(), 10);
        EXPECT_EQ(field(5), L"2A");
        EXPECT_EQ(field(6), L"3412");
        EXPECT_EQ(field(7), L"B100");
        EXPECT_EQ(field(8), c.expected);
        EXPECT_EQ(field(9), L"0805");
    }
    script().onRegister = [](ParameterSet& p, int reg, int, int) {
        if (reg == 18) p[54].setBool(false);
    };
    EXPECT_EQ(adapter->resources(), 0);
    EXPECT_EQ(field(8), L"000000");
    EXPECT_EQ(field(9), L"0000");
}

TEST_F(ReportsTest, NumbersAreTheLastOnesUsed) {
    struct Case {
        int receipt, document;
        const wchar_t *field5, *field6;
    };
    for (const Case& c : {Case{0, 1, L"FFFF", L"0000"}, Case{2, 300, L"0100", L"2B01"}}) {
        script().onInfo = [&c](ParameterSet& p) {
            p[17].setInt(c.receipt);
            p[12].setInt(c.document);
        };
        EXPECT_EQ(adapter->fillNumbers(), 0);
        EXPECT_EQ(adapter->answerFieldCount(), 8);
        EXPECT_EQ(field(5), c.field5);
        EXPECT_EQ(field(6), c.field6);
        EXPECT_EQ(field(7), L"0000");
    }
}

TEST_F(ReportsTest, SerialNumberIsElevenCharacters) {
    struct Case {
        const wchar_t *serial, *expected;
    };
    for (const Case& c : {Case{L"123456", L"00000123456"}, Case{L"123456789012", L"12345678901"}}) {
        script().serial = c.serial;
        EXPECT_EQ(adapter->fillSerialNumber(), 0);
        EXPECT_EQ(field(0), L"96");
        EXPECT_EQ(field(5), c.expected);
    }
}

TEST_F(ReportsTest, DeviceInformationWidths) {
    script().serial = L"00012345";
    script().onInfo = [](ParameterSet& p) {
        p[56].setInt(3);
        p[57].setInt(1);
        p[59].setInt(2044);
        p[61].setText(L"LUMO");
    };
    script().onRegister = [](ParameterSet& p, int reg, int, int) {
        if (reg == 27) {
            p[42].setText(L"007712345678");
            p[46].setText(L"0000004242");
        }
        if (reg == 28) p[45].setText(L"1122334455");
    };
    EXPECT_EQ(adapter->kkmInfo(), 0);
    EXPECT_EQ(adapter->answerFieldCount(), 12);
    EXPECT_EQ(field(5), L"LUMO            ");
    EXPECT_EQ(field(6), L"3.1.2044        ");
    EXPECT_EQ(field(7), L"00012345   ");
    EXPECT_EQ(field(8), L"0000004242");
    EXPECT_EQ(field(9), L"007712345678");
    EXPECT_EQ(field(10), L"");
    EXPECT_EQ(field(11), L"1122334455");

    EXPECT_EQ(adapter->getParamDoc(), 0);
    EXPECT_EQ(adapter->answerFieldCount(), 8);
    for (int n : {5, 6, 7}) EXPECT_EQ(field(n), L"0000");
}

TEST_F(ReportsTest, DateAndTimeOfTheRegister) {
    script().onInfo = [](ParameterSet& p) {
        p[50].setInt(5);
        p[51].setInt(3);
        p[52].setInt(2016);
        p[49].setInt(9);
        p[48].setInt(7);
    };
    EXPECT_EQ(adapter->dateTime(), 0);
    EXPECT_EQ(field(0), L"43");
    EXPECT_EQ(field(5), L"050316");
    EXPECT_EQ(field(6), L"0907");
}

TEST_F(ReportsTest, SetDateTimeReadsFixedPositions) {
    struct Case {
        const wchar_t *date, *time;
        const char *setDate, *setTime;
    };
    const Case cases[] = {
        {L"311216", L"2359", "setDate 31.12.16", "setTime 23:59:0"},
        {L"3112", L"23", "setDate 31.12.0", "setTime 23:0:0"},
        {L"31121", L"235", "setDate 31.12.1", "setTime 23:5:0"},
    };
    for (const Case& c : cases) {
        script().calls.clear();
        EXPECT_EQ(adapter->setDateTime(c.date, c.time), 0);
        EXPECT_EQ(script().calls, (std::vector<std::string>{c.setDate, c.setTime}));
    }
}

TEST_F(ReportsTest, SetDateTimeRefusesTextsWithoutDayMonthOrHour) {
    struct Case {
        const wchar_t *date, *time;
        int32_t parameterCode;
    };
    for (const Case& c : {Case{L"311", L"2359", -15}, Case{L"", L"", -15}, Case{L"311216", L"2", -14}}) {
        script().calls.clear();
        EXPECT_NE(adapter->setDateTime(c.date, c.time), 0);
        EXPECT_EQ(adapter->error().code(), -6);
        EXPECT_EQ(adapter->error().parameterCode(), c.parameterCode);
        EXPECT_TRUE(script().calls.empty());
    }
}

TEST_F(ReportsTest, OpenDrawer) {
    EXPECT_EQ(adapter->openDrawer(), 0);
    EXPECT_EQ(script().calls, (std::vector<std::string>{"openDrawer"}));
    fail("openDrawer", -3801);
    EXPECT_EQ(adapter->openDrawer(), 13);
}

} // namespace
} // namespace adapter_test
