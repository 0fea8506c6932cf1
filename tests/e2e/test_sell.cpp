// Selling through the C API against the emulator: receipts with discounts and payments,
// returns and cancellations, cash in and out, non-fiscal texts, fiscal and free documents and
// barcodes. After each, the register's paper tape, counters and control tape must show exactly
// what was asked, and the answer fields and result codes must say the same.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/StringUtils.h"
#include "emulator/Emulator.h"
#include "emulator/Script.h"
#include "support/NorvexHost.h"

namespace {

using norvex_test::Library;
using Tape = std::vector<std::wstring>;

Library& lib() {
    static Library l;
    return l;
}

// Texts cross the API in code page 1251 (OpenDLL's flag 0).
std::string cp1251(const std::wstring& text) { return Orn::Utils::String::toCp1251(text); }
std::wstring fromCp1251(const char* text) { return Orn::Utils::String::fromCp1251(text); }

int32_t call0(const char* name) { return lib().call<int32_t>(name); }

class Sell : public ::testing::Test {
protected:
    void SetUp() override {
        emu_ = std::make_unique<NorvexEmu::Emulator>(53);
        std::string err;
        ASSERT_TRUE(emu_->start(&err)) << err;
        setenv("NORVEX_TTY", emu_->devicePath().c_str(), 1);
        ASSERT_EQ(0, (lib().call<int32_t, const char*, const char*, const char*, int32_t>("OpenDLL", "Admin", "0",
                                                                                           "COM1", 0)));
        mark();
    }
    void TearDown() override {
        call0("CloseDLL");
        unsetenv("NORVEX_TTY");
        emu_->stop();
    }

    // Remembers where the tapes end now; printed() and journal() give what came after.
    void mark() {
        paperMark_ = paper().size();
        journalMark_ = emu_->withRegister([](NorvexEmu::Register& r) { return r.controlTape().size(); });
    }
    Tape paper() {
        return emu_->withRegister([](NorvexEmu::Register& r) { return r.paperTape(); });
    }
    Tape printed() {
        const Tape all = paper();
        return Tape(all.begin() + static_cast<std::ptrdiff_t>(std::min(paperMark_, all.size())), all.end());
    }
    Tape journal() {
        const Tape all = emu_->withRegister([](NorvexEmu::Register& r) { return r.controlTape(); });
        return Tape(all.begin() + static_cast<std::ptrdiff_t>(std::min(journalMark_, all.size())), all.end());
    }

    static std::wstring field(int n) {
        std::vector<char> buf(32002, 0);
        lib().call<char*, uint8_t, char*>("GetFldStr", static_cast<uint8_t>(n), buf.data());
        return fromCp1251(buf.data());
    }
    static std::vector<std::wstring> fields() {
        std::vector<std::wstring> out;
        const int32_t n = call0("GetFldsCount");
        for (int i = 0; i < n; ++i) out.push_back(field(i));
        return out;
    }
    static std::wstring errorMessage() {
        std::vector<char> buf(32002, 0);
        lib().call<char*, char*>("GetErrorMessage", buf.data());
        return fromCp1251(buf.data());
    }

    // The receipt exports, with the caller's units.
    static int32_t startReceipt(int type) {
        return lib().call<int32_t, uint8_t, int32_t, int32_t, int32_t, int32_t>("StartReceipt",
                                                                                static_cast<uint8_t>(type), 0, 0, 0, 0);
    }
    static int32_t item(const std::wstring& name, int32_t price, int32_t thousandths) {
        const std::string n = cp1251(name);
        return lib().call<int32_t, const char*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>(
            "ItemReceipt", n.c_str(), 0, 0, 0, price, thousandths, 0);
    }
    static int32_t commission(int kind, int32_t amount) {
        return lib().call<int32_t, uint8_t, int32_t, int32_t>("ComissionReceipt", static_cast<uint8_t>(kind), 0,
                                                             amount);
    }
    static int32_t tender(int type, int32_t amount) {
        return lib().call<int32_t, uint8_t, int32_t, int32_t>("TenderReceipt", static_cast<uint8_t>(type), amount, 0);
    }

    std::unique_ptr<NorvexEmu::Emulator> emu_;
    size_t paperMark_ = 0;
    size_t journalMark_ = 0;
};

// The lines from the first one equal to `first` to the end; empty when there is none.
Tape fromLine(const Tape& t, const std::wstring& first) {
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i] == first) return Tape(t.begin() + static_cast<std::ptrdiff_t>(i), t.end());
    return Tape();
}

bool startsWith(const std::wstring& s, const std::wstring& head) { return s.compare(0, head.size(), head) == 0; }

// A line of the register's width with the label on the left and "=amount" on the right.
std::wstring amountLine(const std::wstring& label, const std::wstring& amount) {
    const std::wstring right = L"=" + amount;
    return label + std::wstring(48 - label.size() - right.size(), L' ') + right;
}
std::wstring nameLine(const std::wstring& name) { return name + std::wstring(48 - name.size(), L' '); }

// The number line closes every document: "#NNNN ККМ <factory number> ... date time".
void expectNumberLine(const std::wstring& line, int document) {
    wchar_t head[32];
    std::swprintf(head, 32, L"#%04d ККМ 00012345 ", document);
    EXPECT_TRUE(startsWith(line, head)) << cp1251(line);
    EXPECT_EQ(48u, line.size());
}

class SellTotals : public Sell {
protected:
    NorvexEmu::ShiftTotals totals() {
        return emu_->withRegister([](NorvexEmu::Register& r) { return r.totals(); });
    }
    int64_t drawer() {
        return emu_->withRegister([](NorvexEmu::Register& r) { return r.cashInDrawer(); });
    }
    void script(const std::string& text) {
        std::string err;
        ASSERT_TRUE(emu_->withRegister([&](NorvexEmu::Register& r) { return NorvexEmu::runScript(r, text, &err); }))
            << err;
        mark();
    }
    static int32_t fromCash(int32_t amount) { return lib().call<int32_t, int32_t>("FromCash", amount); }
    static double floatField(int n) { return lib().call<double, uint8_t>("GetFldFloat", static_cast<uint8_t>(n)); }
};

TEST_F(SellTotals, SaleOfThreeLinesWithSurchargeTwoPaymentsAndChange) {
    ASSERT_EQ(0, startReceipt(0));
    EXPECT_EQ(6, call0("GetFldsCount"));
    EXPECT_EQ(L"10", field(0));
    EXPECT_EQ(L"0000", field(3));

    ASSERT_EQ(0, item(L"Хлеб", 4550, 2000));
    EXPECT_EQ(L"11", field(0));
    EXPECT_EQ(L"45.500000", field(5));
    EXPECT_DOUBLE_EQ(91.0, floatField(6));
    ASSERT_EQ(0, item(L"Молоко", 8990, 1000));
    ASSERT_EQ(0, item(L"Сыр", 12345, 500));
    EXPECT_DOUBLE_EQ(242.63, floatField(6));

    ASSERT_EQ(0, commission(0, 1000));  // kind 0: a surcharge
    EXPECT_EQ(8, call0("GetFldsCount"));
    EXPECT_EQ(L"15", field(0));
    EXPECT_DOUBLE_EQ(252.63, floatField(7));

    ASSERT_EQ(0, tender(2, 10000));  // card
    EXPECT_EQ(L"13", field(0));
    EXPECT_EQ(L"152.630000", field(5));
    EXPECT_EQ(L"0.000000", field(6));
    ASSERT_EQ(0, tender(0, 20000));  // cash
    EXPECT_EQ(L"0.000000", field(5));
    EXPECT_EQ(L"47.370000", field(6));

    ASSERT_EQ(0, call0("CloseReceipt"));
    EXPECT_EQ(5, call0("GetFldsCount"));
    EXPECT_EQ(L"14", field(0));

    const Tape expected{L"ЧЕК ПРОДАЖИ",
                        nameLine(L"Хлеб"),
                        L"  2.000 X 45.50",
                        amountLine(L"", L"91.00"),
                        nameLine(L"Молоко"),
                        amountLine(L"", L"89.90"),
                        nameLine(L"Сыр"),
                        L"  0.500 X 123.45",
                        amountLine(L"", L"61.73"),
                        amountLine(L"НАДБАВКА", L"10.00"),
                        amountLine(L"ИТОГ", L"252.63"),
                        amountLine(L"ПЛАТ. КАРТОЙ", L"100.00"),
                        amountLine(L"НАЛИЧНЫМИ", L"200.00"),
                        amountLine(L"СДАЧА", L"47.37")};
    Tape receipt = fromLine(printed(), L"ЧЕК ПРОДАЖИ");
    ASSERT_EQ(expected.size() + 1, receipt.size());
    expectNumberLine(receipt.back(), 1);
    receipt.pop_back();
    EXPECT_EQ(expected, receipt);
    // The header went out once, ahead of the receipt.
    const Tape all = printed();
    EXPECT_EQ(1, std::count(all.begin(), all.end(), L"ДОБРО ПОЖАЛОВАТЬ!"));
    EXPECT_LT(std::find(all.begin(), all.end(), L"ДОБРО ПОЖАЛОВАТЬ!"), std::find(all.begin(), all.end(), L"ЧЕК ПРОДАЖИ"));

    const Tape control = journal();
    ASSERT_EQ(expected.size() + 2, control.size());
    EXPECT_EQ(L"СМЕНА 0001 ОТКРЫТА", control.front());
    EXPECT_EQ(expected, Tape(control.begin() + 1, control.end() - 1));

    const NorvexEmu::ShiftTotals t = totals();
    EXPECT_EQ(1, t.receipts[1]);
    EXPECT_EQ(24263, t.registrations[1]);
    EXPECT_EQ(-1000, t.discounts[1]);  // surcharges count negative
    EXPECT_EQ(10000, t.payments[1][4]);
    EXPECT_EQ(15263, t.payments[1][1]);
    EXPECT_EQ(15263, drawer());
}

TEST_F(SellTotals, ReturnPaysOutOfTheDrawer) {
    script("cash-in 500");
    ASSERT_EQ(0, startReceipt(1));
    ASSERT_EQ(0, item(L"Чай", 15000, 1000));
    ASSERT_EQ(0, tender(0, 15000));
    ASSERT_EQ(0, call0("CloseReceipt"));

    Tape receipt = fromLine(printed(), L"ЧЕК ВОЗВРАТА ПРОДАЖИ");
    const Tape expected{L"ЧЕК ВОЗВРАТА ПРОДАЖИ", nameLine(L"Чай"), amountLine(L"", L"150.00"),
                        amountLine(L"ИТОГ", L"150.00"), amountLine(L"НАЛИЧНЫМИ", L"150.00")};
    ASSERT_EQ(expected.size() + 1, receipt.size());
    receipt.pop_back();
    EXPECT_EQ(expected, receipt);
    Tape control = journal();
    ASSERT_EQ(expected.size() + 1, control.size());
    control.pop_back();
    EXPECT_EQ(expected, control);
    EXPECT_EQ(1, totals().receipts[2]);
    EXPECT_EQ(15000, totals().registrations[2]);
    EXPECT_EQ(35000, drawer());
}

TEST_F(SellTotals, CancelledReceiptLeavesNoSaleAndLateCallsAreRefused) {
    ASSERT_EQ(0, startReceipt(0));
    ASSERT_EQ(0, item(L"Халва", 25000, 1000));
    ASSERT_EQ(0, call0("CancelReceipt"));
    EXPECT_EQ(L"17", field(0));
    EXPECT_EQ(5, call0("GetFldsCount"));

    const Tape expected{L"ЧЕК ПРОДАЖИ", nameLine(L"Халва"), amountLine(L"", L"250.00"), L"ЧЕК АННУЛИРОВАН"};
    EXPECT_EQ(expected, fromLine(printed(), L"ЧЕК ПРОДАЖИ"));
    EXPECT_EQ(expected, fromLine(journal(), L"ЧЕК ПРОДАЖИ"));
    EXPECT_EQ(1, totals().annulled);
    EXPECT_EQ(0, totals().receipts[1]);
    EXPECT_EQ(0, drawer());

    // With no receipt open the register refuses what needs one; the fields stay as they were.
    mark();
    const struct { const char* what; int32_t result; } late[] = {
        {"CancelReceipt", call0("CancelReceipt")},
        {"CloseReceipt", call0("CloseReceipt")},
        {"ItemReceipt", item(L"Халва", 100, 1000)},
        {"TenderReceipt", tender(0, 100)},
    };
    for (const auto& l : late) EXPECT_EQ(13, l.result) << l.what;
    EXPECT_EQ(13, call0("GetLastDllError"));
    EXPECT_EQ(L"Чек закрыт - операция невозможна", errorMessage());
    EXPECT_EQ(L"17", field(0));
    EXPECT_TRUE(fromLine(printed(), L"ЧЕК ПРОДАЖИ").empty());
}

TEST_F(SellTotals, CashInAndOutReportTheDrawerBeforeAndAfter) {
    const std::string text = cp1251(L"Размен");
    ASSERT_EQ(0, (lib().call<int32_t, int32_t, const char*>("ToCashPlus", 50000, text.c_str())));
    EXPECT_EQ(7, call0("GetFldsCount"));
    EXPECT_EQ(L"32", field(0));
    EXPECT_DOUBLE_EQ(0.0, floatField(5));
    EXPECT_DOUBLE_EQ(500.0, floatField(6));

    ASSERT_EQ(0, fromCash(12000));
    EXPECT_EQ(L"33", field(0));
    EXPECT_DOUBLE_EQ(500.0, floatField(5));
    EXPECT_DOUBLE_EQ(380.0, floatField(6));

    const Tape paper = printed();
    const Tape in = fromLine(paper, L"ВНЕСЕНИЕ");
    ASSERT_GE(in.size(), 3u);
    EXPECT_EQ(amountLine(L"", L"500.00"), in[1]);
    expectNumberLine(in[2], 1);
    const Tape out = fromLine(paper, L"ВЫПЛАТА");
    ASSERT_EQ(3u, out.size());
    EXPECT_EQ(amountLine(L"", L"120.00"), out[1]);
    expectNumberLine(out[2], 2);
    EXPECT_LT(std::find(paper.begin(), paper.end(), L"Размен"), std::find(paper.begin(), paper.end(), L"ВНЕСЕНИЕ"));

    const Tape control = journal();
    EXPECT_EQ(3u, fromLine(control, L"ВЫПЛАТА").size());
    EXPECT_EQ(6u, fromLine(control, L"ВНЕСЕНИЕ").size());
    EXPECT_EQ(50000, totals().cashIn);
    EXPECT_EQ(12000, totals().cashOut);
    EXPECT_EQ(38000, drawer());

    // More than the drawer holds: refused by the register, nothing printed.
    mark();
    EXPECT_EQ(18, fromCash(100000));
    EXPECT_EQ(L"В ККМ нет денег для выплаты", errorMessage());
    EXPECT_TRUE(fromLine(printed(), L"ВЫПЛАТА").empty());
    EXPECT_EQ(38000, drawer());
}



// --- documents -------------------------------------------------------------------------------

class SellDocuments : public SellTotals {
protected:
    static int32_t text1(const char* name, const std::wstring& text) {
        const std::string t = cp1251(text);
        return lib().call<int32_t, const char*>(name, t.c_str());
    }
    static int32_t text2(const char* name, const std::wstring& text, int32_t n) {
        const std::string t = cp1251(text);
        return lib().call<int32_t, const char*, int32_t>(name, t.c_str(), n);
    }
    static int32_t openFiscalDoc(int type, int payType, int copies, int32_t total) {
        return lib().call<int32_t, uint8_t, uint8_t, int32_t, uint8_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                          int32_t>("OpenFiscalDoc", static_cast<uint8_t>(type), static_cast<uint8_t>(payType), 0,
                                   static_cast<uint8_t>(copies), 0, 0, 0, 0, 0, total);
    }
    static int32_t freeField(int row, int column, const std::wstring& text) {
        const std::string t = cp1251(text);
        return lib().call<int32_t, uint16_t, uint16_t, int8_t, int32_t, int32_t, const char*>(
            "AddFreeField", static_cast<uint16_t>(row), static_cast<uint16_t>(column), 0, 0, 0, t.c_str());
    }
    // The seven standard fields, each on a row and column of its own.
    static int32_t posFields(const int (&rc)[7][2]) {
        using U = uint16_t;
        using A = int8_t;
        auto f = lib().fn<int32_t(U, U, A, U, U, A, U, U, A, U, U, A, U, U, A, U, U, A, U, U, A)>("AddPosField");
        return f(U(rc[0][0]), U(rc[0][1]), 0, U(rc[1][0]), U(rc[1][1]), 0, U(rc[2][0]), U(rc[2][1]), 0,
                 U(rc[3][0]), U(rc[3][1]), 0, U(rc[4][0]), U(rc[4][1]), 0, U(rc[5][0]), U(rc[5][1]), 0,
                 U(rc[6][0]), U(rc[6][1]), 0);
    }
    static int32_t barcode(int type, int textFlag, int height, const char* data) {
        return lib().call<int32_t, uint8_t, uint8_t, int32_t, uint8_t, int32_t, const char*>(
            "BarcodeReceipt", static_cast<uint8_t>(type), static_cast<uint8_t>(textFlag), 0,
            static_cast<uint8_t>(height), 0, data);
    }
};

// What the register, with its tables as they are now, prints for all seven header lines or
// for its footer: taken on a copy, so the register itself is not touched.
Tape registerPrints(NorvexEmu::Emulator& emu, uint8_t command) {
    return emu.withRegister([command](NorvexEmu::Register& live) {
        NorvexEmu::Register copy = live;
        const size_t before = copy.paperTape().size();
        copy.setField(2, 1, 36, NorvexEmu::Bytes{0x07});
        copy.execute(NorvexEmu::Bytes{command});
        return Tape(copy.paperTape().begin() + static_cast<std::ptrdiff_t>(before), copy.paperTape().end());
    });
}
Tape operator+(Tape a, const Tape& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The register's character table sends К as a Latin K, and Ё as Е.
std::wstring asPrinted(std::wstring s) {
    for (wchar_t& c : s) {
        if (c == L'К') c = L'K';
        if (c == L'ё') c = L'е';
    }
    return s;
}

TEST_F(SellDocuments, NonFiscalReceiptPrintsBetweenHeaderAndFooterOnly) {
    ASSERT_EQ(0, call0("StartReceiptNF"));
    ASSERT_EQ(0, text1("LineReceiptNF", L"Строка один"));
    EXPECT_EQ(L"51", field(0));
    ASSERT_EQ(0, text1("LineReceiptNF", L"\tуправляющая строка"));  // skipped
    ASSERT_EQ(0, call0("CloseReceiptNF"));
    EXPECT_EQ(L"52", field(0));
    EXPECT_EQ(registerPrints(*emu_, 0x6C) + Tape{nameLine(L"Строка один")} + registerPrints(*emu_, 0x73), printed());
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(0, totals().receipts[1]);
}

TEST_F(SellDocuments, FiscalDocumentWithPositionAndFreeFieldsPrintedTwice) {
    EXPECT_EQ(179, freeField(0, 0, L"раньше времени"));
    ASSERT_EQ(0, openFiscalDoc(0, 0, 2, 15050));
    EXPECT_EQ(180, openFiscalDoc(0, 0, 1, 100));
    ASSERT_EQ(0, freeField(0, 0, L"ООО Ромашка"));
    ASSERT_EQ(0, freeField(1, 4, L"Счёт 15"));
    const int rc[7][2] = {{3, 0}, {3, 20}, {4, 0}, {4, 12}, {5, 0}, {6, 0}, {7, 30}};
    ASSERT_EQ(0, posFields(rc));
    ASSERT_EQ(0, freeField(7, 0, L"ИТОГО:"));
    ASSERT_EQ(0, freeField(9, 0, L"Спасибо"));
    const std::time_t now = std::time(nullptr);
    ASSERT_EQ(0, call0("PrintFiscalReceipt"));
    EXPECT_EQ(6, call0("GetFldsCount"));
    EXPECT_EQ(L"73", field(0));
    EXPECT_EQ(L"0100", field(5));  // the number of the receipt just printed
    EXPECT_EQ(179, call0("PrintFiscalReceipt"));

    wchar_t date[16];
    std::wcsftime(date, 16, L"%d-%m-%y", std::localtime(&now));
    const Tape header{nameLine(L"ООО Ромашка"), nameLine(L"    Счет 15"), nameLine(L"")};
    const Tape body{nameLine(std::wstring(L"00012345") + std::wstring(12, L' ') + L"1"),
                    L"",  // date and time, checked below
                    nameLine(L"007701234567"),
                    nameLine(L"Admin"),
                    nameLine(L"ИТОГО:" + std::wstring(24, L' ') + L"150.50"),
                    nameLine(L""),
                    nameLine(L"Спасибо"),
                    nameLine(L""),  // the one registration line carries no name
                    amountLine(L"", L"150.50"),
                    amountLine(L"ИТОГ", L"150.50"),
                    amountLine(L"НАЛИЧНЫМИ", L"150.50")};

    Tape paper = printed();
    ASSERT_EQ(header.size() + 2 + body.size() + 1 + 1 + header.size() + 1 + 1 + body.size() + 1, paper.size());
    auto at = paper.begin();
    auto take = [&](size_t n) {
        Tape part(at, at + static_cast<std::ptrdiff_t>(n));
        at += static_cast<std::ptrdiff_t>(n);
        return part;
    };
    auto expectBody = [&](Tape part) {
        EXPECT_TRUE(startsWith(part[1], std::wstring(date) + L"    ")) << cp1251(part[1]);
        EXPECT_EQ(L':', part[1][14]);
        part[1].clear();
        EXPECT_EQ(body, part);
    };
    EXPECT_EQ(header, take(header.size()));  // rows above the first position field come first
    EXPECT_EQ((Tape{L"СМЕНА 0001 ОТКРЫТА", L"ЧЕК ПРОДАЖИ"}), take(2));
    expectBody(take(body.size()));
    expectNumberLine(take(1)[0], 1);
    // The second printout: the title, the header rows again, then the register's copy.
    EXPECT_EQ(Tape{asPrinted(std::wstring(19, L' ') + L"КОПИЯ ЧЕКА" + std::wstring(19, L' '))}, take(1));
    EXPECT_EQ(header, take(header.size()));
    EXPECT_EQ((Tape{L"КОПИЯ", L"ЧЕК ПРОДАЖИ"}), take(2));
    expectBody(take(body.size()));
    expectNumberLine(take(1)[0], 1);

    const Tape control = journal();
    ASSERT_EQ(2 + body.size() + 1, control.size());
    EXPECT_EQ(L"ЧЕК ПРОДАЖИ", control[1]);
    expectBody(Tape(control.begin() + 2, control.end() - 1));
    EXPECT_EQ(1, totals().receipts[1]);
    EXPECT_EQ(15050, totals().registrations[1]);
    EXPECT_EQ(15050, drawer());
}

TEST_F(SellDocuments, AnnulledFiscalDocumentCancelsItsReceipt) {
    ASSERT_EQ(0, openFiscalDoc(0, 0, 1, 5000));
    ASSERT_EQ(0, freeField(0, 0, L"не будет"));
    ASSERT_EQ(0, call0("CloseFreeDoc"));
    EXPECT_EQ(L"73", field(0));
    EXPECT_EQ(179, freeField(0, 0, L"после"));
    EXPECT_EQ((Tape{L"ЧЕК ПРОДАЖИ", L"ЧЕК АННУЛИРОВАН"}), fromLine(printed(), L"ЧЕК ПРОДАЖИ"));
    EXPECT_EQ(1, totals().annulled);
    EXPECT_EQ(0, totals().receipts[1]);
}

TEST_F(SellDocuments, FreeDocumentWithCut) {
    ASSERT_EQ(0, call0("OpenFDoc"));
    EXPECT_EQ(L"70", field(0));
    ASSERT_EQ(0, text2("PrintFDoc", L"Текст документа", 5));
    ASSERT_EQ(0, text2("FreeDoc", L"12345abc", 5));
    ASSERT_EQ(0, call0("CloseFDoc"));
    EXPECT_EQ(L"00", field(0));
    ASSERT_EQ(0, (lib().call<int32_t, uint8_t>("FreeDocCutPlus", 2)));
    EXPECT_EQ(L"70", field(0));
    const Tape expected = registerPrints(*emu_, 0x6C) + Tape{nameLine(L"Текст"), nameLine(L"abc")} +
                          registerPrints(*emu_, 0x73) + Tape{L"", L"", L"✂ - - - - - - - - -"};
    EXPECT_EQ(expected, printed());
    EXPECT_TRUE(journal().empty());
}

TEST_F(SellDocuments, BarcodeIsPrintedCentredInsideTheReceipt) {
    ASSERT_EQ(0, startReceipt(0));
    ASSERT_EQ(0, item(L"Халва", 10000, 1000));
    mark();
    ASSERT_EQ(0, barcode(2, 0, 8, "4006381333931"));  // EAN-13 without its digits
    EXPECT_EQ(5, call0("GetFldsCount"));
    EXPECT_EQ(L"1A", field(0));
    const Tape art = printed();
    ASSERT_FALSE(art.empty());
    // Every row of the picture starts at the same indent and holds only bars and gaps.
    const size_t indent = art[0].find_first_not_of(L' ');
    size_t right = 0;
    for (const std::wstring& row : art) {
        EXPECT_EQ(row.find_first_not_of(L' '), indent);
        EXPECT_EQ(std::wstring::npos, row.find_first_not_of(L" █"));
        right = std::max(right, row.size());
    }
    // Two dots a character on a line of 576 dots: the bars sit in its middle, quiet zones aside.
    const double middle = (static_cast<double>(indent) + static_cast<double>(right)) / 2.0;
    EXPECT_NEAR(144.0, middle, 4.0);
    EXPECT_GT(right - indent, 40u);

    // A barcode wider than the line fails before anything is printed.
    mark();
    EXPECT_EQ(65535, barcode(4, 1, 8, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
    EXPECT_EQ(L"Размер картинки слишком большой", errorMessage());
    EXPECT_TRUE(printed().empty());
    ASSERT_EQ(0, tender(0, 10000));
    ASSERT_EQ(0, call0("CloseReceipt"));
    EXPECT_EQ(1, totals().receipts[1]);
}

} // namespace
