// A day at the till against norvex-emu: receipts, cash moves, reports and the shift close that
// files the shift in the journal, control-tape copies from it, and the next day.
#include <iterator>

#include "test_day.h"

namespace e2e_test {
namespace {

const wchar_t* const kBread = L"ХЛЕБ";
const wchar_t* const kMilk = L"СЫР";

// The title each document of the standard day starts with, in order.
const wchar_t* const kDayTitles[] = {L"ЧЕК ПРОДАЖИ", L"ЧЕК ПРОДАЖИ", L"ВНЕСЕНИЕ", L"ВЫПЛАТА"};

class TillDayTest : public DayTest {
protected:
    // Two sales (cash, then payment type 1), a cash in and a cash out.
    void standardDay() {
        ASSERT_EQ(open(), 0);
        ASSERT_EQ(call<int32_t>("StartSeans"), 0);
        sale(kBread, 4550);
        sale(kMilk, 8900, 1);
        cashIn(10000);
        cashOut(2500);
    }
    static std::string numberText(int number) {
        char text[16];
        std::snprintf(text, sizeof text, "#%04d", number);
        return text;
    }
};

TEST_F(TillDayTest, ShiftCloseFilesEveryDocumentOfTheShift) {
    standardDay();
    ASSERT_EQ(call<int32_t>("XReport"), 0);
    EXPECT_EQ(fieldStr(0), "30");

    // The shift's totals before it closes.
    ASSERT_EQ((call<int32_t, uint8_t, uint8_t>("GetEReport", 0x34, 0)), 0);
    EXPECT_DOUBLE_EQ(fieldFloat(5), 45.50);    // sales paid in cash
    EXPECT_DOUBLE_EQ(fieldFloat(11), 89.00);   // sales of payment type 1
    EXPECT_DOUBLE_EQ(fieldFloat(15), 134.50);
    EXPECT_DOUBLE_EQ(fieldFloat(21), 100.00);
    EXPECT_DOUBLE_EQ(fieldFloat(22), 25.00);
    EXPECT_DOUBLE_EQ(fieldFloat(23), 45.50 + 100.00 - 25.00);
    ASSERT_EQ((call<int32_t, uint8_t, uint8_t>("GetEReport", 0x37, 0)), 0);
    EXPECT_DOUBLE_EQ(fieldFloat(5), 134.50);
    ASSERT_EQ((call<int32_t, uint8_t, uint8_t>("GetEReport", 0x36, 1)), 0);
    EXPECT_DOUBLE_EQ(fieldFloat(5), 89.00);

    ASSERT_EQ(call<int32_t>("ShiftClose"), 0);
    EXPECT_EQ(fieldStr(0), "31");
    EXPECT_EQ(fieldStr(2).substr(0, 2), "08");   // fields from before the report: shift open, seance on

    const std::vector<JournalRow> rows = journal();
    ASSERT_EQ(rows.size(), std::size(kDayTitles));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].shift, 1);
        EXPECT_EQ(rows[i].data.rfind(utf8(kDayTitles[i]), 0), 0u) << rows[i].data;
        EXPECT_NE(rows[i].data.find(numberText(rows[i].number)), std::string::npos) << rows[i].data;
        EXPECT_EQ(rows[i].ts.substr(0, 10), today("iso")) << rows[i].ts;
        EXPECT_EQ(rows[i].ts.size(), 19u);
    }
    EXPECT_NE(rows[0].data.find(utf8(kBread)), std::string::npos);
    EXPECT_NE(rows[1].data.find(utf8(kMilk)), std::string::npos);

    const NorvexEmu::Register reg = stopAndLoad();
    EXPECT_FALSE(reg.shiftOpen());
    EXPECT_EQ(reg.lastShift(), 1);
    EXPECT_EQ(field(reg, 2, 1, 36).at(0), 7);   // value 66
    EXPECT_EQ(field(reg, 2, 1, 94).at(0), 7);   // value 284
}

TEST_F(TillDayTest, ControlTapeCopiesFromTheJournal) {
    standardDay();
    const std::vector<JournalRow> before = journal();
    EXPECT_TRUE(before.empty());   // nothing filed before a copy or a shift close

    // By number: the journal is refreshed from the register first.
    ASSERT_EQ((call<int32_t, int32_t>("EJNoDoc", 1)), 0);
    EXPECT_EQ(fieldStr(0), "7F");
    const std::vector<JournalRow> rows = journal();
    ASSERT_EQ(rows.size(), std::size(kDayTitles));
    const int first = rows.front().number;
    const int second = rows[1].number;

    struct Case {
        const char* name;
        int32_t a, b;
        std::wstring heading;
        std::vector<std::wstring> present, absent;
    };
    const Case cases[] = {
        {"EJNoDoc", first, -1, Orn::Utils::String::format(L"Документ №%d", first), {kBread}, {kMilk}},
        {"EJNoReport", first, second, Orn::Utils::String::format(L"Документы с №%d по №%d", first, second), {kBread, kMilk},
         {L"ВЫПЛАТА"}},
        {"EJPrint", 0, 0, L"Смена №1", {kBread, kMilk, L"ВНЕСЕНИЕ", L"ВЫПЛАТА"}, {}},
        {"EJPrintEx", 1, 0, L"Смена №1", {kBread, kMilk, L"ВНЕСЕНИЕ", L"ВЫПЛАТА"}, {}},
        {"EJPrintEx", 7, 0, L"Смена №7", {}, {kBread, kMilk}},
    };
    for (const Case& c : cases) {
        const std::string name = c.name;
        int32_t r = -1;
        if (name == "EJNoDoc") r = call<int32_t, int32_t>("EJNoDoc", c.a);
        else if (name == "EJNoReport") r = call<int32_t, int32_t, int32_t>("EJNoReport", c.a, c.b);
        else if (name == "EJPrint") r = call<int32_t>("EJPrint");
        else r = call<int32_t, int32_t>("EJPrintEx", c.a);
        EXPECT_EQ(r, 0) << c.name;
        // Ask for the paper so far: the emulator writes it on SIGUSR1.
        kill(emu_->pid(), SIGUSR1);
        std::vector<std::string> copy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            copy = paperFromLast(utf8(L"ОНТРОЛЬНАЯ ЛЕНТА"));   // the register prints К as a Latin K
            if (holds(copy, utf8(c.heading))) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(holds(copy, utf8(c.heading))) << c.name << " " << c.a;
        for (const std::wstring& text : c.present) EXPECT_TRUE(holds(copy, utf8(text))) << c.name << " " << utf8(text);
        for (const std::wstring& text : c.absent) EXPECT_FALSE(holds(copy, utf8(text))) << c.name << " " << utf8(text);
    }
}

TEST_F(TillDayTest, SecondDayContinuesTheNumbering) {
    ASSERT_EQ(open(), 0);
    sale(kBread, 1000);
    ASSERT_EQ(call<int32_t>("ShiftClose"), 0);
    ASSERT_EQ((call<int32_t, const char*>("ShiftOpen", cp1251(L"Вторая смена").c_str())), 0);
    EXPECT_EQ(fieldStr(0), "02");
    sale(kMilk, 2000);
    ASSERT_EQ(call<int32_t>("ShiftClose"), 0);

    const std::vector<JournalRow> rows = journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].shift, 1);
    EXPECT_EQ(rows[1].shift, 2);
    EXPECT_GT(rows[1].number, rows[0].number);
    EXPECT_NE(rows[1].data.find(utf8(kMilk)), std::string::npos);

    const NorvexEmu::Register reg = stopAndLoad();
    EXPECT_EQ(reg.lastShift(), 2);
}

} // namespace
} // namespace e2e_test
