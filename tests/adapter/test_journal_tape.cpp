// The document journal over the scripted driver: the shift documents are filed under, cutting
// the control tape into documents, and the control-tape copies with their headings.
#include <algorithm>

#include "test_journal.h"

namespace adapter_test {
namespace {

using namespace Orn::Fptr::Norvex;

const wchar_t* const kShiftOpenedLine = L"СМЕНА 0042 ОТКРЫТА";
const wchar_t* const kSale = L"ЧЕК ПРОДАЖИ";

class JournalTapeTest : public JournalTest {
protected:
    void SetUp() override {
        JournalTest::SetUp();
        script().flags = 0x09;   // bit 0 set: documents are filed under the shift
        script().shiftNumber = 41;
        script().shiftOpened = true;
        ASSERT_EQ(open(), 0);   // prepares the journal's tables
        script().calls.clear();
    }
    // What went to the paper from the first control-tape heading on.
    static std::vector<std::wstring> copyPrinted() {
        const auto& p = script().printed;
        auto it = std::find(p.begin(), p.end(), std::wstring(L"КОНТРОЛЬНАЯ ЛЕНТА"));
        return std::vector<std::wstring>(it, p.end());
    }
};

TEST_F(JournalTapeTest, CurrentShiftNumber) {
    struct Case {
        int flags;
        int last;
        bool open;
        int32_t expected;
    };
    const Case cases[] = {
        {0x09, 9999, true, 0},   // the four-digit count starts again
        {0x09, 41, true, 42},
        {0x09, 41, false, 41},
        {0x08, 41, true, 0},     // bit 0 clear
    };
    for (const Case& c : cases) {
        script().flags = c.flags;
        script().shiftNumber = c.last;
        script().shiftOpened = c.open;
        EXPECT_EQ(adapter->currentShiftNumber(), c.expected) << c.last << (c.open ? " open" : " closed");
    }
}

TEST_F(JournalTapeTest, SixLineTapeGivesTwoDatedDocumentsWithoutTheShiftLine) {
    script().tape = {kShiftOpenedLine, kSale, L"ТОВАР 1        =100.00", L"#0007 ККМ 00012345 ИНН 000000000000 09-12-26 14:05",
                     kSale, L"#0008 ККМ 00012345   09-12-26 14:07"};
    adapter->journalUpdate();
    EXPECT_EQ(rows(), (std::vector<JournalRow>{
                          {7, 42, utf8(L"ЧЕК ПРОДАЖИ\nТОВАР 1        =100.00\n#0007 ККМ 00012345 ИНН 000000000000 09-12-26 14:05\n"),
                           "2026-12-09 14:05:00"},
                          {8, 42, utf8(L"ЧЕК ПРОДАЖИ\n#0008 ККМ 00012345   09-12-26 14:07\n"), "2026-12-09 14:07:00"},
                      }));
    // The register is asked for the shift once per document, and the tape is read in mode 2.
    EXPECT_EQ(script().count("beginReport 41"), 1u);
    EXPECT_EQ(script().callsFrom("setMode 2").at(1), "beginReport 41");
}

TEST_F(JournalTapeTest, CuttingTheTape) {
    struct Case {
        const char* what;
        std::vector<std::wstring> lines;
        std::vector<JournalDocument> expected;
    };
    const Case cases[] = {
        {"annulled receipt is dropped; what follows is kept under the last number",
         {kSale, L"#0003 ККМ 1 01-02-25 09:00", kSale, L"ТОВАР", L"ЧЕК АННУЛИРОВАН", L"ПОСЛЕ", L"ВНЕСЕНИЕ",
          L"#0005 ККМ 1 01-02-25 09:10"},
         {{3, L"2025-02-01 09:00", L"ЧЕК ПРОДАЖИ\n#0003 ККМ 1 01-02-25 09:00\n"},
          {3, L"2025-02-01 09:00", L"ПОСЛЕ\n"},
          {5, L"2025-02-01 09:10", L"ВНЕСЕНИЕ\n#0005 ККМ 1 01-02-25 09:10\n"}}},
        {"document without a number line takes the previous number and time",
         {L"ВЫПЛАТА", L"ТЕКСТ", L"ЧЕК ВОЗВРАТА ПРОДАЖИ", L"#12 01-02-25 09:00", L"ЧЕК ПОКУПКИ", L"ТЕКСТ"},
         {{0, L"", L"ВЫПЛАТА\nТЕКСТ\n"},
          {12, L"2025-02-01 09:00", L"ЧЕК ВОЗВРАТА ПРОДАЖИ\n#12 01-02-25 09:00\n"},
          {12, L"2025-02-01 09:00", L"ЧЕК ПОКУПКИ\nТЕКСТ\n"}}},
        {"unreadable number lines keep the previous time",
         {kSale, L"#0001 01-02-25 09:00", kSale, L"#0002", kSale, L"#0003 32-13-25x 9:00", kSale,
          L"#0004 ККМ 01-02 09:00"},
         {{1, L"2025-02-01 09:00", L"ЧЕК ПРОДАЖИ\n#0001 01-02-25 09:00\n"},
          {2, L"2025-02-01 09:00", L"ЧЕК ПРОДАЖИ\n#0002\n"},
          {3, L"2025-02-01 09:00", L"ЧЕК ПРОДАЖИ\n#0003 32-13-25x 9:00\n"},
          {4, L"2025-02-01 09:00", L"ЧЕК ПРОДАЖИ\n#0004 ККМ 01-02 09:00\n"}}},
        {"a title only counts at the start of a line; empty lines stay",
         {L"ЧЕК ВОЗВРАТА ПОКУПКИ", L"", L" ЧЕК ПРОДАЖИ", L"#9 31-12-99 23:59"},
         {{9, L"2099-12-31 23:59", L"ЧЕК ВОЗВРАТА ПОКУПКИ\n\n ЧЕК ПРОДАЖИ\n#9 31-12-99 23:59\n"}}},
        {"nothing before the first title is stored", {kShiftOpenedLine, kSale, L"ЧЕК АННУЛИРОВАН"}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<JournalDocument> got = cutJournal(c.lines, 2025);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].number, c.expected[i].number) << c.what << " #" << i;
            EXPECT_EQ(got[i].timestamp, c.expected[i].timestamp) << c.what << " #" << i;
            EXPECT_EQ(got[i].text, c.expected[i].text) << c.what << " #" << i;
        }
    }
}

TEST_F(JournalTapeTest, DocumentWithoutNumberLineReplacesThePreviousRowOfItsShift) {
    script().tape = {kSale, L"#0004 01-02-25 09:00", L"ВЫПЛАТА", L"СУММА"};
    adapter->journalUpdate();
    EXPECT_EQ(rows(), (std::vector<JournalRow>{{4, 42, utf8(L"ВЫПЛАТА\nСУММА\n"), "2025-02-01 09:00:00"}}));
}

TEST_F(JournalTapeTest, CopyOfTheCurrentShiftRefreshesTheJournalFirst) {
    store(1, 41, utf8(L"СТАРАЯ СМЕНА\n"));
    script().tape = {kSale, L"#0001 01-02-25 09:00"};
    EXPECT_EQ(adapter->printChequeByShift(-1), 0);
    EXPECT_EQ(copyPrinted(), (std::vector<std::wstring>{L"КОНТРОЛЬНАЯ ЛЕНТА", L"Смена №42", L"ЧЕК ПРОДАЖИ",
                                                         L"#0001 01-02-25 09:00"}));
    EXPECT_EQ(script().count("printFooter"), 1u);
}

TEST_F(JournalTapeTest, CopyOfAGivenShiftPrintsOnlyWhatTheJournalHolds) {
    store(1, 41, utf8(L"ДОКУМЕНТ 1\n\n\nКОНЕЦ\n"));
    script().tape = {kSale, L"#0002 01-02-25 09:00"};
    EXPECT_EQ(adapter->printChequeByShift(41), 0);
    EXPECT_EQ(script().count("beginReport 41"), 0u);
    // Empty lines between line feeds are printed; the final line feed adds none.
    EXPECT_EQ(copyPrinted(),
              (std::vector<std::wstring>{L"КОНТРОЛЬНАЯ ЛЕНТА", L"Смена №41", L"ДОКУМЕНТ 1", L"", L"", L"КОНЕЦ"}));
}

TEST_F(JournalTapeTest, CopiesByNumberTakeEveryShiftUnderTheirHeading) {
    store(5, 40, "A5\n");
    store(5, 41, "B5\n");
    store(7, 41, "B7\n");
    store(9, 41, "B9\n");
    struct Case {
        int32_t first, last;
        std::wstring heading;
        size_t lines;
    };
    for (const Case& c : {Case{5, -1, L"Документ №5", 2}, Case{3, 7, L"Документы с №3 по №7", 3}}) {
        script().printed.clear();
        script().calls.clear();
        EXPECT_EQ(adapter->printChequeByNumber(c.first, c.last), 0);
        EXPECT_EQ(script().count("beginReport 41"), 1u);   // always refreshed first
        const std::vector<std::wstring> printed = copyPrinted();
        ASSERT_EQ(printed.size(), 2 + c.lines);
        EXPECT_EQ(printed[1], c.heading);
    }
}

TEST_F(JournalTapeTest, TapeThatCannotBeReadEndsTheCopyAfterTheHeader) {
    fail("beginReport", -3801);
    EXPECT_EQ(adapter->printChequeByNumber(1, -1), 13);
    EXPECT_TRUE(copyPrinted().empty());
    EXPECT_EQ(script().count("printFooter"), 0u);
}

TEST_F(JournalTapeTest, JournalThatCannotBeOpenedPrintsHeadingsOnly) {
    setJournalPathForTests(L"/nonexistent-norvex-dir/norvex_tavro.db");
    script().tape = {kSale, L"#0001 01-02-25 09:00"};
    EXPECT_EQ(adapter->printChequeByShift(-1), 0);
    EXPECT_EQ(copyPrinted(), (std::vector<std::wstring>{L"КОНТРОЛЬНАЯ ЛЕНТА", L"Смена №42"}));
    EXPECT_EQ(adapter->report(1), 0);
    EXPECT_EQ(script().calls.back(), "report 1");
}

} // namespace
} // namespace adapter_test
