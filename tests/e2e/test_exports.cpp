// Every export of the library called through the C API against the emulator, with its result
// checked: the not-implemented stubs by kind, then each family of operations in the situations a
// point-of-sale program meets. Each call goes through one helper that records the name, and the
// last case checks that the recorded names are exactly the library's export table.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "core/StringUtils.h"
#include "emulator/Emulator.h"
#include "norvex.h"
#include "support/NorvexHost.h"

namespace {

using norvex_test::Library;

Library& lib() {
    static Library l;
    return l;
}

std::set<std::string>& calledNames() {
    static std::set<std::string> names;
    return names;
}

// Resolves an export with the type of its public declaration and records that it was called.
template <typename F>
F* exportFn(const char* name) {
    calledNames().insert(name);
    return lib().fn<F>(name);
}
#define NX(name) exportFn<decltype(::name)>(#name)

// Calls an export with every argument zero (null texts, zero numbers).
template <typename R, typename... A>
int64_t zeroCall(R (*f)(A...)) {
    return static_cast<int64_t>(f(A{}...));
}

// Texts go in and come out in code page 1251 (OpenDLL with oemFlag 0).
std::string cp(const wchar_t* text) { return Orn::Utils::String::toCp1251(text); }

std::string field(uint8_t n) {
    std::vector<char> buffer(32002, '\x7f');
    EXPECT_EQ(NX(GetFldStr)(n, buffer.data()), buffer.data());
    return buffer.data();
}

std::string errorText() {
    std::vector<char> buffer(32002, '\x7f');
    EXPECT_EQ(NX(GetErrorMessage)(buffer.data()), buffer.data());
    return buffer.data();
}

std::string resultText(uint16_t code) {
    std::vector<char> buffer(32002, '\x7f');
    EXPECT_EQ(NX(GetErrorMessageNo)(buffer.data(), code), buffer.data());
    return buffer.data();
}

int32_t openDll() { return NX(OpenDLL)("Admin", "0", "COM1", 0); }

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        emu_ = std::make_unique<NorvexEmu::Emulator>(53);
        std::string err;
        ASSERT_TRUE(emu_->start(&err)) << err;
        setenv("NORVEX_TTY", emu_->devicePath().c_str(), 1);
        ASSERT_EQ(openDll(), 0);
    }
    void TearDown() override {
        NX(CloseDLL)();
        unsetenv("NORVEX_TTY");
        if (emu_) emu_->stop();
    }

    template <typename F> auto reg(F&& f) { return emu_->withRegister(std::forward<F>(f)); }
    size_t tapeSize() { return reg([](NorvexEmu::Register& r) { return r.paperTape().size(); }); }
    // Paper tape lines printed from line `from` on, with their padding trimmed.
    std::vector<std::wstring> tapeFrom(size_t from) {
        auto tape = reg([](NorvexEmu::Register& r) { return r.paperTape(); });
        std::vector<std::wstring> lines;
        for (size_t i = from; i < tape.size(); ++i) {
            std::wstring l = tape[i];
            const auto b = l.find_first_not_of(L' ');
            const auto e = l.find_last_not_of(L' ');
            lines.push_back(b == std::wstring::npos ? std::wstring() : l.substr(b, e - b + 1));
        }
        return lines;
    }
    bool printedLine(size_t from, const std::wstring& line) {
        auto lines = tapeFrom(from);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool printedText(size_t from, const std::wstring& text) {
        for (const auto& l : tapeFrom(from))
            if (l.find(text) != std::wstring::npos) return true;
        return false;
    }

    std::unique_ptr<NorvexEmu::Emulator> emu_;
};

struct StubRow {
    const char* name;
    int code;             // answer field 0, for the stubs that prepare answer fields
    int64_t (*call)();
};
#define STUB(name, code) StubRow{#name, code, [] { return zeroCall(NX(name)); }}

// Stubs that prepare the answer fields with their command code (when opened) and return 0.
const std::vector<StubRow>& fieldStubs() {
    static const std::vector<StubRow> rows = {
        STUB(ChangeService, 0x48), STUB(ClearAllDept, 0x00), STUB(ClearDept, 0x00), STUB(CutFDoc, 0x00),
        STUB(DownLoadHex, 0x00), STUB(DownloadGraphHeader, 0x00), STUB(EJDateTimeReport, 0x7D),
        STUB(EJErase, 0x8D), STUB(EJNoDocEx, 0x00), STUB(EJNoReportEx, 0x00), STUB(EJTimeReport, 0x7D),
        STUB(EKLActivization, 0x09), STUB(EKLActivizationReport, 0x8F), STUB(EKLClose, 0x8D),
        STUB(EKLEJournalReport, 0x8C), STUB(EKLEJournalTotal, 0x8E), STUB(EKLKPKReport, 0x8A),
        STUB(EKLShiftsDateReport, 0x88), STUB(EKLShiftsNumReport, 0x89), STUB(Fiscalization, 0x04),
        STUB(GRunCommand, 0x00), STUB(GetAnswerSize, 0x00), STUB(GetArt, 0x64), STUB(GetCommStatus, 0x00),
        STUB(GetCounters, 0x3D), STUB(GetDateReport, 0x05), STUB(GetDept, 0x61), STUB(GetDrawerParam, 0x45),
        STUB(GetEJParam, 0x49), STUB(GetFiscalInfo, 0x00), STUB(GetLastCommandNum, 0x00),
        STUB(GetLastDoc, 0x3E), STUB(GetLastKPK, 0x3F), STUB(GetNumReport, 0x06), STUB(GetParameters, 0x00),
        STUB(GetPayment, 0x4B), STUB(GetStatusNo, 0x00), STUB(GetStatusNoPlus, 0x00),
        STUB(GetTCPDelay, 0x00), STUB(GetTaxes, 0x59), STUB(ItemDepReceipt, 0x18),
        STUB(ItemDepReceiptEx, 0x18), STUB(ItemDepReceiptPlus, 0x18), STUB(PrintEjournal, 0x72),
        STUB(PrintFiscalReceiptPlus, 0x75), STUB(PrintFiscalSlipPlus, 0x74), STUB(PrintHFDoc, 0x00),
        STUB(ReadCMOS, 0x82), STUB(Sertification, 0x00), STUB(SetArt, 0x63), STUB(SetAutoID, 0x00),
        STUB(SetCommParam, 0x00), STUB(SetDept, 0x60), STUB(SetDrawerParam, 0x44),
        STUB(SetOperNames, 0x47), STUB(SetParamDoc, 0x4C), STUB(SetPayment, 0x4A), STUB(SetPrezenter, 0x00),
        STUB(SetTCPDelay, 0x00), STUB(SetTail, 0x46), STUB(SetTaxes, 0x58), STUB(StartMonitor, 0x00),
        STUB(SubTotalReceipt, 0x16), STUB(SubTotalReceiptPlus, 0x16), STUB(TaxReceipt, 0x1B),
        STUB(TaxReceiptPlus, 0x1B), STUB(TerminateMonitor, 0x00), STUB(TotalReceipt, 0x12),
        STUB(TotalReceiptPlus, 0x12), STUB(WriteCMOS, 0x81),
    };
    return rows;
}

// Stubs that return 0 when opened and 177 otherwise, touching nothing.
const std::vector<StubRow>& guardedStubs() {
    static const std::vector<StubRow> rows = {
        STUB(AddArt, 0), STUB(AddDept, 0), STUB(AddFreeFieldPlus, 0), STUB(AddPayFieldPlus, 0),
        STUB(AddPayFieldPlusEx, 0), STUB(AddPosFieldPlus, 0), STUB(AddPosFieldPlus1, 0),
        STUB(AddPosFieldPlus2, 0), STUB(AddSubDepFieldPlus, 0), STUB(AddSubDepFieldPlusEx, 0),
        STUB(CashDriverEnable, 0), STUB(CloseArt, 0), STUB(CloseDept, 0), STUB(CloseFreeDocPlus, 0),
        STUB(DllComWrite, 0), STUB(DllComWritePlus, 0), STUB(FontSelectFDoc, 0), STUB(GetLastAnswer, 0),
        STUB(GetSerialAnswer, 0), STUB(InitDisplay, 0), STUB(LibEnable, 0), STUB(LogEnable, 0),
        STUB(OpenFiscalDocPlus, 0), STUB(OpenFiscalDocPlusEx, 0), STUB(ReadComm, 0),
        STUB(SetCommTimeout, 0), STUB(SetCommTimeoutMs, 0), STUB(ShowDisplay, 0), STUB(SlipEjectFDoc, 0),
        STUB(SlipSelectFDoc, 0), STUB(WriteComm, 0),
    };
    return rows;
}

// Stubs that return 0 whether the library is opened or not.
const std::vector<StubRow>& freeStubs() {
    static const std::vector<StubRow> rows = {
        STUB(ChangeFiscalDocSum, 0), STUB(CheckBit, 0), STUB(CheckHealth, 0), STUB(CheckMask, 0),
        STUB(DownLoadHexLPC, 0), STUB(EJReadPageEx, 0), STUB(EJZreport, 0), STUB(FiscalizationNew, 0),
        STUB(GNRunCommand, 0), STUB(GetCommandSize, 0), STUB(GetCurrency, 0), STUB(GetErrorMessageEx, 0),
        STUB(GetFldArr, 0), STUB(GetPaperLengthBeforeEndFDoc, 0), STUB(GetPaperLengthFDoc, 0),
        STUB(GetPrnByte, 0), STUB(GetShiftCloseTime, 0), STUB(GetShiftState, 0), STUB(GhangeService, 0),
        STUB(IniActivated, 0), STUB(LineFeedFDoc, 0), STUB(OpenDLLEx, 0), STUB(PrintHFDocEx, 0),
        STUB(PrintHFDocPlus, 0), STUB(PrintLogo, 0), STUB(ReadTCP, 0), STUB(RunCashCode, 0),
        STUB(SetBillType, 0), STUB(SetCOMPort, 0), STUB(SetCashCode, 0), STUB(SetCurrency, 0),
        STUB(SetDTR, 0), STUB(SetDTRControl, 0), STUB(SetDecimalPoint, 0), STUB(SetIDChar, 0),
        STUB(SetShiftCloseTime, 0), STUB(VirtualPaperLimitFDoc, 0), STUB(WriteTCP, 0), STUB(XmlForm, 0),
        STUB(XmlFormEx, 0), STUB(XmlFormPlus, 0), STUB(XonXoffEnable, 0),
    };
    return rows;
}
#undef STUB

TEST_F(Exports, StubsAnswerByTheirKind) {
    ASSERT_EQ(fieldStubs().size(), 70u);
    ASSERT_EQ(guardedStubs().size(), 31u);
    ASSERT_EQ(freeStubs().size(), 42u);

    for (const auto& row : fieldStubs()) {
        SCOPED_TRACE(row.name);
        // Leave eight fields with another code first, so the stub is seen replacing them.
        ASSERT_EQ(NX(GetNumbers)(), 0);
        ASSERT_EQ(NX(GetFldsCount)(), 8);
        EXPECT_EQ(row.call(), 0);
        EXPECT_EQ(NX(GetFldsCount)(), 5);
        EXPECT_EQ(NX(GetFldByte)(0), row.code);
        EXPECT_EQ(NX(GetFldInt)(0), row.code);
        EXPECT_EQ(NX(GetFldWord)(3), 0) << "no error in the status query";
        EXPECT_EQ(NX(GetFldByte)(4), 0x76) << "status byte 6 closes field 4";
    }
    for (const auto& row : guardedStubs()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(), 0);
    }
    for (const auto& row : freeStubs()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(), 0);
    }

    EXPECT_EQ(NX(OpenTCPDLL)(0, 0, 0, 0, 0), 178) << "refused while opened";
    EXPECT_EQ(NX(GetLastDllError)(), 178);

    std::vector<char> buffer(64, '\x7f');
    for (auto* f : {NX(GetCommand), NX(GetAnswer)}) {
        std::fill(buffer.begin(), buffer.end(), '\x7f');
        EXPECT_EQ(f(buffer.data()), buffer.data());
        EXPECT_EQ(std::string(buffer.data()), cp(L"Метод не реализован"));
        EXPECT_EQ(f(nullptr), nullptr);
    }

    // After CloseDLL the guarded kinds refuse again; the free ones and the reverse guard answer 0.
    ASSERT_EQ(NX(CloseDLL)(), 0);
    for (const auto* rows : {&fieldStubs(), &guardedStubs()})
        for (const auto& row : *rows) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(row.call(), 177);
        }
    for (const auto& row : freeStubs()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(), 0);
    }
    EXPECT_EQ(NX(OpenTCPDLL)(0, 0, 0, 0, 0), 0);
    std::fill(buffer.begin(), buffer.end(), '\x7f');
    EXPECT_EQ(NX(GetCommand)(buffer.data()), buffer.data());
    EXPECT_EQ(buffer[0], '\x7f') << "nothing is written when not opened";
}

TEST_F(Exports, ConnectionAndService) {
    EXPECT_EQ(openDll(), 178);
    EXPECT_EQ(NX(GetLastDllError)(), 178);
    EXPECT_EQ(resultText(178), cp(L"Повторное подключение DLL"));
    EXPECT_EQ(errorText(), cp(L"Описание ошибки недоступно"));
    EXPECT_EQ(NX(OpenDLLPlus)("Admin", "0", "COM1", "115200", 0), 178);

    char version[16];
    std::fill(std::begin(version), std::end(version), '\x7f');
    EXPECT_EQ(NX(GetDllVer)(version), version);
    EXPECT_STREQ(version, "1.1.6.204");

    // The register keeps the password it already had, so the link goes on working.
    EXPECT_EQ(NX(SetPassword)("0"), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x40);
    EXPECT_EQ(reg([](NorvexEmu::Register& r) { return r.accessPassword(); }), 0);

    for (auto* setRate : {+[] { return NX(SetInterfaceParam)("115200", 7, 7); }, +[] { return NX(ChangeBaudrate)("57600"); }}) {
        EXPECT_EQ(setRate(), 0);
        EXPECT_EQ(NX(GetFldByte)(0), 0x94);
    }
    EXPECT_EQ(NX(GetStatus)(), 0) << "the host side keeps its speed";

    EXPECT_EQ(NX(CashDriverOpen)(), 0);
    EXPECT_EQ(NX(ExceptToLog)(cp(L"строка для журнала").c_str()), 0);
    EXPECT_EQ(NX(GetStatus)(), 0);
    EXPECT_EQ(errorText(), cp(L"Ошибок нет"));
    EXPECT_EQ(resultText(0), cp(L"Ошибок нет. Счетчики обновлены"));

    // The administrator's name is the cashier of a positioned document. (Latin letters: the
    // register's read-back table does not return the Cyrillic bytes its write table makes.)
    EXPECT_EQ(NX(ChangeOpName)("Petrov"), 0);
    const size_t from = tapeSize();
    ASSERT_EQ(NX(OpenFiscalDoc)(0, 0, 0, 1, 0, 0, 0, 0, 0, 100), 0);
    ASSERT_EQ(NX(AddPosField)(0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 20, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0), 0);
    ASSERT_EQ(NX(PrintFiscalReceipt)(), 0);
    EXPECT_TRUE(printedLine(from, L"Petrov"));

    EXPECT_EQ(NX(CloseDLL)(), 0);
    EXPECT_EQ(NX(GetStatus)(), 177);
    EXPECT_EQ(NX(OpenDLLPlus)("Admin", "0", "COM1", "115200", 0), 0);
    EXPECT_EQ(NX(GetStatus)(), 0);
}

TEST_F(Exports, ReceiptsAndCash) {
    auto total = [this] { return reg([](NorvexEmu::Register& r) { return r.chequeTotal(); }); };
    const size_t from = tapeSize();

    ASSERT_EQ(NX(StartReceipt)(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x10);
    EXPECT_EQ(NX(GetFldsCount)(), 6);
    ASSERT_NE(reg([](NorvexEmu::Register& r) { return r.chequeType(); }), 0);

    // Each way of giving price and quantity; the receipt total after each line.
    struct Item {
        const char* how;
        int32_t (*add)();
        double price;
        int64_t totalAfter;
    };
    const Item items[] = {
        {"minor units, thousandths", [] { return NX(ItemReceipt)(cp(L"Хлеб").c_str(), 0, 0, 0, 10000, 1500, 0); }, 100.0, 15000},
        {"whole units only", [] { return NX(ItemReceiptPlus)("Milk", 0, 0, 0, "r", 5000, 2500, 0); }, 50.0, 25000},
        {"price text", [] { return NX(ItemReceiptEx)("Tea", 0, 0, 0, "r", "10.5", 2000, 0); }, 10.5, 27100},
        {"price and quantity texts", [] { return NX(ItemReceiptExx)("Jam", 0, 0, 0, "r", "10.5", "2000", 0); }, 10.5, 29200},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.how);
        ASSERT_EQ(item.add(), 0);
        EXPECT_EQ(total(), item.totalAfter);
        EXPECT_EQ(NX(GetFldByte)(0), 0x11);
        EXPECT_EQ(NX(GetFldsCount)(), 7);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(5), item.price);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(6), item.totalAfter / 100.0);
    }
    EXPECT_TRUE(printedLine(from, L"Хлеб"));

    // Kind 0 is a surcharge, any other kind a discount: the pairs cancel out.
    struct Change {
        const char* how;
        int32_t (*apply)();
        int64_t totalAfter;
    };
    const Change changes[] = {
        {"discount, minor units", [] { return NX(ComissionReceipt)(1, 0, 200); }, 29000},
        {"surcharge, minor units", [] { return NX(ComissionReceiptPlus)(0, 0, 200, "r"); }, 29200},
        {"discount, text", [] { return NX(ComissionReceiptEx)(1, 0, "1.50", "r"); }, 29050},
        {"surcharge, text", [] { return NX(ComissionReceiptExx)(0, 0, "1.50", "r"); }, 29200},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.how);
        ASSERT_EQ(change.apply(), 0);
        EXPECT_EQ(total(), change.totalAfter);
        EXPECT_EQ(NX(GetFldByte)(0), 0x15);
        EXPECT_EQ(NX(GetFldsCount)(), 8);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(7), change.totalAfter / 100.0);
    }

    const size_t beforeBarcode = tapeSize();
    EXPECT_EQ(NX(BarcodeReceipt)(3, 1, 0, 40, 0, "96385074"), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x1A);
    EXPECT_GT(tapeSize(), beforeBarcode) << "the barcode is printed as a picture";
    EXPECT_EQ(NX(CommentReceipt)(cp(L"Спасибо за покупку").c_str()), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x00);
    EXPECT_TRUE(printedLine(from, L"Спасибо за покупку"));

    // 292.00 paid as 100 cash, 50 by payment type 2 (sent as 3), then 200 cash: 58 change.
    EXPECT_EQ(NX(TenderReceipt)(0, 10000, 0), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x13);
    EXPECT_DOUBLE_EQ(NX(GetFldFloat)(5), 192.0);
    EXPECT_EQ(NX(TenderReceiptPlus)(2, 5000, 0, "card"), 0);
    EXPECT_DOUBLE_EQ(NX(GetFldFloat)(5), 142.0);
    EXPECT_EQ(NX(TenderReceiptEx)(0, "200.00", 0, "r"), 0);
    EXPECT_DOUBLE_EQ(NX(GetFldFloat)(5), 0.0);
    EXPECT_DOUBLE_EQ(NX(GetFldFloat)(6), 58.0);
    EXPECT_EQ(NX(CloseReceipt)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x14);
    EXPECT_EQ(reg([](NorvexEmu::Register& r) { return r.chequeType(); }), 0);
    EXPECT_EQ(reg([](NorvexEmu::Register& r) { return r.totals().payments[1][4]; }), 5000)
        << "API payment type 2 is the register's type 4 (payment type 3 plus one)";

    ASSERT_EQ(NX(StartReceiptPlus)(0, 0, 0, 0, 0, 0), 0);
    ASSERT_EQ(NX(ItemReceipt)("X", 0, 0, 0, 100, 1000, 0), 0);
    EXPECT_EQ(NX(CancelReceipt)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x17);
    EXPECT_EQ(reg([](NorvexEmu::Register& r) { return r.chequeType(); }), 0);
    EXPECT_EQ(NX(StartReceipt)(6, 0, 0, 0, 0), 6) << "receipt types above 5 are refused";
    EXPECT_EQ(NX(StartReceipt)(3, 0, 0, 0, 0), 6);

    // Cash in and out; fields 5 and 6 are the drawer before and after.
    auto drawer = [this] { return reg([](NorvexEmu::Register& r) { return r.cashInDrawer(); }); };
    struct Move {
        const char* how;
        int32_t (*move)();
        int code;
        int64_t delta;
    };
    const Move moves[] = {
        {"in, minor units", [] { return NX(ToCash)(10000); }, 0x32, 10000},
        {"in, with text", [] { return NX(ToCashPlus)(250, cp(L"Размен").c_str()); }, 0x32, 250},
        {"in, amount text", [] { return NX(ToCashEx)("1.50", "t"); }, 0x32, 150},
        {"out, minor units", [] { return NX(FromCash)(100); }, 0x33, -100},
        {"out, with text", [] { return NX(FromCashPlus)(100, "t"); }, 0x33, -100},
        {"out, amount text", [] { return NX(FromCashEx)("0.50", "t"); }, 0x33, -50},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.how);
        const int64_t before = drawer();
        ASSERT_EQ(m.move(), 0);
        EXPECT_EQ(drawer(), before + m.delta);
        EXPECT_EQ(NX(GetFldByte)(0), m.code);
        EXPECT_EQ(NX(GetFldsCount)(), 7);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(5), before / 100.0);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(6), (before + m.delta) / 100.0);
    }

    // A non-fiscal text receipt.
    const size_t nf = tapeSize();
    EXPECT_EQ(NX(StartReceiptNF)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x50);
    EXPECT_EQ(NX(LineReceiptNF)(cp(L"Первая строка").c_str()), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x51);
    EXPECT_EQ(NX(LinesReceiptNF)("second", "third", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "eleventh"), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x56);
    EXPECT_EQ(NX(CloseReceiptNF)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x52);
    EXPECT_TRUE(printedLine(nf, L"Первая строка"));
    EXPECT_TRUE(printedLine(nf, L"third"));
    EXPECT_TRUE(printedLine(nf, L"eleventh"));
}

TEST_F(Exports, FiscalAndFreeDocuments) {
    auto sales = [this] { return reg([](NorvexEmu::Register& r) { return r.totals().registrations[1]; }); };
    const size_t from = tapeSize();

    EXPECT_EQ(NX(AddFreeField)(0, 0, 0, 0, 0, "x"), 179) << "no document open";
    EXPECT_EQ(NX(CloseFreeDoc77)(), 179);

    ASSERT_EQ(NX(OpenFiscalDoc)(0, 0, 0, 1, 0, 0, 0, 0, 0, 12345), 0);
    EXPECT_EQ(NX(OpenFiscalDocEx)(0, 0, 0, 1, 0, 0, 0, 0, 0, "1"), 180);
    EXPECT_EQ(NX(AddPosField)(0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 20, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0), 0);
    EXPECT_EQ(NX(AddFreeField)(6, 2, 0, 0, 0, cp(L"Подпись").c_str()), 0);
    ASSERT_EQ(NX(PrintFiscalReceipt)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x73);
    EXPECT_EQ(NX(GetFldsCount)(), 6);
    EXPECT_EQ(sales(), 12345);
    EXPECT_TRUE(printedText(from, L"123.45")) << "the sum field";
    EXPECT_TRUE(printedLine(from, L"Подпись"));

    // Closing without printing annuls it: nothing is sold.
    ASSERT_EQ(NX(OpenFiscalDoc77)(0, 0, 0, 1, 0, 0, 0, 0, 0, 1000), 0);
    EXPECT_EQ(NX(CloseFreeDoc)(), 0);
    EXPECT_EQ(sales(), 12345);
    EXPECT_EQ(reg([](NorvexEmu::Register& r) { return r.chequeType(); }), 0);

    // The total as text is in hundredths too.
    ASSERT_EQ(NX(OpenFiscalDocEx)(0, 0, 0, 1, 0, 0, 0, 0, 0, "5000"), 0);
    EXPECT_EQ(NX(AddPosField77)(0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 20, 0, 3, 0, 0, 999, 999, 0, 0, 0, 0, 4, 0, 0, 5, 0, 0), 0);
    EXPECT_EQ(NX(AddFreeField77)(6, 0, 0, 0, 0, "free"), 0);
    EXPECT_EQ(NX(PrintFiscalSlip)(), 0);
    EXPECT_EQ(sales(), 12345 + 5000);

    ASSERT_EQ(NX(OpenFiscalDocEx77)(0, 0, 0, 1, 0, 0, 0, 0, 0, "2000"), 0);
    EXPECT_EQ(NX(PrintFiscalSlip77)(), 0);
    EXPECT_EQ(sales(), 12345 + 5000 + 2000);

    ASSERT_EQ(NX(OpenFiscalDoc77)(0, 0, 0, 1, 0, 0, 0, 0, 0, 1000), 0);
    EXPECT_EQ(NX(CloseFreeDoc77)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x73);
    EXPECT_EQ(sales(), 12345 + 5000 + 2000);

    // A free document: texts cut to their length, or printed from a start position.
    const size_t doc = tapeSize();
    EXPECT_EQ(NX(OpenFDoc)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x70);
    EXPECT_EQ(NX(PrintFDoc)("abcdefghij", 4), 0);
    EXPECT_EQ(NX(PrintOEMDoc)(cp(L"Проверка").c_str(), 20), 0);
    EXPECT_EQ(NX(PrintOEMCRLFDoc)(cp(L"Вторая").c_str(), 3), 0);
    const size_t beforeBarcode = tapeSize();
    EXPECT_EQ(NX(PrintBarcodeFDoc)(3, 0, 40, 0, 1, 8, "96385074999"), 0) << "cut to its 8 characters";
    EXPECT_EQ(NX(GetFldByte)(0), 0x1A);
    EXPECT_GT(tapeSize(), beforeBarcode);
    EXPECT_EQ(NX(FreeDoc)("--tail", 2), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x70);
    const auto tape = tapeFrom(doc);
    EXPECT_TRUE(std::find(tape.begin(), tape.end(), L"abcd") != tape.end());
    EXPECT_TRUE(std::find(tape.begin(), tape.end(), L"Проверка") != tape.end());
    EXPECT_TRUE(std::find(tape.begin(), tape.end(), L"Вто") != tape.end());
    EXPECT_TRUE(std::find(tape.begin(), tape.end(), L"tail") != tape.end());

    auto cuts = [this] {
        int n = 0;
        for (const auto& l : tapeFrom(0)) n += l.find(L"✂") != std::wstring::npos;
        return n;
    };
    const int cutsBefore = cuts();
    EXPECT_EQ(NX(FreeDocCut)(), 0);
    EXPECT_EQ(NX(FreeDocCutPlus)(3), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x70);
    EXPECT_EQ(cuts(), cutsBefore + 2);

    for (auto* close : {+[] { return NX(CloseFDoc)(); }, +[] { return NX(CloseFDocPlus)(); },
                        +[] { return NX(CloseFDocEx)(0, 0); }}) {
        ASSERT_EQ(NX(GetNumbers)(), 0);
        EXPECT_EQ(close(), 0);
        EXPECT_EQ(NX(GetFldByte)(0), 0x00);
        EXPECT_EQ(NX(GetFldsCount)(), 5);
    }
}

TEST_F(Exports, ShiftReportsAndJournal) {
    auto shiftOpen = [this] { return reg([](NorvexEmu::Register& r) { return r.shiftOpen(); }); };
    auto lastShift = [this] { return reg([](NorvexEmu::Register& r) { return r.lastShift(); }); };

    EXPECT_EQ(NX(StartSeans)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x01);
    EXPECT_EQ(NX(GetFldWord)(2), 0x0000) << "seance started, shift closed, no document";

    EXPECT_EQ(NX(ShiftOpen)(cp(L"Иванов").c_str()), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x02);
    EXPECT_TRUE(shiftOpen());
    ASSERT_EQ(NX(GetStatus)(), 0);
    EXPECT_EQ(NX(GetFldWord)(2), 0x0800) << "the open shift shows in field 2";

    // One cash sale of 100.00 for the report totals.
    ASSERT_EQ(NX(StartReceipt)(0, 0, 0, 0, 0), 0);
    ASSERT_EQ(NX(ItemReceipt)(cp(L"Чай").c_str(), 0, 0, 0, 10000, 1000, 0), 0);
    ASSERT_EQ(NX(TenderReceipt)(0, 10000, 0), 0);
    ASSERT_EQ(NX(CloseReceipt)(), 0);

    const size_t x = tapeSize();
    EXPECT_EQ(NX(XReport)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x30);
    EXPECT_GT(tapeSize(), x);
    EXPECT_TRUE(shiftOpen()) << "an X report keeps the shift";

    // Report totals into the answer fields: code, count, and the cash sale where each puts it.
    struct Totals {
        const char* how;
        int32_t (*read)();
        int code;
        int count;
        uint8_t saleField;
    };
    const Totals totals[] = {
        {"GetMony", [] { return NX(GetMony)(); }, 0x34, 24, 15},
        {"GetEReport 34", [] { return NX(GetEReport)(0x34, 0); }, 0x34, 24, 5},
        {"GetEReport 36, payment type 0", [] { return NX(GetEReport)(0x36, 0); }, 0x36, 11, 5},
        {"GetEReport 37", [] { return NX(GetEReport)(0x37, 0); }, 0x37, 23, 5},
    };
    for (const auto& t : totals) {
        SCOPED_TRACE(t.how);
        ASSERT_EQ(t.read(), 0);
        EXPECT_EQ(NX(GetFldByte)(0), t.code);
        EXPECT_EQ(NX(GetFldsCount)(), t.count);
        EXPECT_DOUBLE_EQ(NX(GetFldFloat)(t.saleField), 100.0);
    }
    ASSERT_EQ(NX(GetEReport)(0x35, 0), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x35);
    EXPECT_EQ(NX(GetFldsCount)(), 8);
    EXPECT_EQ(NX(GetEReport)(0x40, 0), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x35) << "an unknown report changes nothing";
    EXPECT_EQ(NX(GetFldsCount)(), 8);

    // Copies from the local journal of the open shift.
    size_t from = tapeSize();
    EXPECT_EQ(NX(EJPrint)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x84);
    // Copies go back through the host's text encoding, which prints К as the Latin K.
    EXPECT_TRUE(printedText(from, L"ОНТРОЛЬНАЯ ЛЕНТА"));
    EXPECT_TRUE(printedLine(from, L"Смена №1"));
    EXPECT_TRUE(printedText(from, L"ПРОДАЖИ"));
    from = tapeSize();
    EXPECT_EQ(NX(EJPrintEx)(1), 0);
    EXPECT_TRUE(printedLine(from, L"Смена №1"));
    from = tapeSize();
    EXPECT_EQ(NX(EJNoDoc)(1), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x7F);
    EXPECT_TRUE(printedLine(from, L"Документ №1"));
    EXPECT_TRUE(printedText(from, L"Чай"));
    from = tapeSize();
    EXPECT_EQ(NX(EJNoReport)(1, 2), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x7E);
    EXPECT_TRUE(printedLine(from, L"Документы с №1 по №2"));

    EXPECT_EQ(NX(ShiftClose)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x31);
    EXPECT_FALSE(shiftOpen());
    EXPECT_EQ(lastShift(), 1);

    EXPECT_EQ(NX(ShiftOpenEx)(7, 7, "Cashier"), 0);
    EXPECT_TRUE(shiftOpen());
    EXPECT_EQ(NX(ShiftCloseEx)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x31);
    EXPECT_FALSE(shiftOpen());
    EXPECT_EQ(lastShift(), 2);
}

TEST_F(Exports, SettingsAndQueries) {
    ASSERT_EQ(NX(GetStatus)(), 0);
    EXPECT_EQ(NX(GetFldsCount)(), 5);
    EXPECT_EQ(NX(GetFldByte)(0), 0x00);
    EXPECT_EQ(NX(GetStatusPlus)(), 0);
    EXPECT_EQ(NX(GetStatusNum)(1), 0x3E);
    EXPECT_EQ(NX(GetStatusNum)(6), 0x76);
    EXPECT_EQ(NX(GetStatusNum)(7), 0);
    EXPECT_EQ(NX(CheckStatusNum)(1, 1), 1);
    EXPECT_EQ(NX(CheckStatusNum)(1, 0), 0);

    // The register's clock, set from texts and read back.
    EXPECT_EQ(NX(SetDateEx)("311230", "2359"), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x42);
    ASSERT_EQ(NX(GetDate)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x43);
    EXPECT_EQ(NX(GetFldsCount)(), 7);
    EXPECT_EQ(field(5), "311230");
    EXPECT_EQ(field(6), "2359");
    EXPECT_EQ(NX(GetFldInt)(5), 0x311230);

    EXPECT_EQ(NX(SetDate)(), 0) << "back to the computer's clock";
    ASSERT_EQ(NX(GetDate)(), 0);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char today[40];
    std::snprintf(today, sizeof today, "%02d%02d%02d", local.tm_mday, local.tm_mon + 1, local.tm_year % 100);
    EXPECT_EQ(field(5), today);

    // Header lines: the footer of a document prints them.
    EXPECT_EQ(NX(SetHeader)("H1", "H2", "H3", "H4"), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x41);
    EXPECT_EQ(NX(SetHeaderNew)("N1", "N2", "N3", "N4", "N5", cp(L"Добро пожаловать").c_str()), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x4E);
    const size_t from = tapeSize();
    ASSERT_EQ(NX(OpenFDoc)(), 0);
    ASSERT_EQ(NX(CloseFDoc)(), 0);
    EXPECT_TRUE(printedLine(from, L"N1"));
    EXPECT_TRUE(printedLine(from, L"Добро пожаловать"));
    EXPECT_FALSE(printedLine(from, L"H1")) << "replaced by the second call";

    EXPECT_EQ(NX(GetParamDoc)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x4D);
    EXPECT_EQ(NX(GetFldsCount)(), 8);
    EXPECT_EQ(field(5), "0000");

    EXPECT_EQ(NX(GetSerialNum)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x96);
    EXPECT_EQ(NX(GetFldsCount)(), 6);
    EXPECT_EQ(field(5), "00000012345");

    EXPECT_EQ(NX(GetFiscalNums)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x97);
    EXPECT_EQ(NX(GetFldsCount)(), 12);
    EXPECT_NE(field(7).find("12345"), std::string::npos) << field(7);
    EXPECT_EQ(field(7).size(), 11u);

    EXPECT_EQ(NX(GetNumbers)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x35);
    EXPECT_EQ(NX(GetFldsCount)(), 8);
    EXPECT_EQ(field(7), "0000");

    EXPECT_EQ(NX(GetResource)(), 0);
    EXPECT_EQ(NX(GetFldByte)(0), 0x03);
    EXPECT_EQ(NX(GetFldsCount)(), 10);
    EXPECT_EQ(field(8), "000000") << "no shift open";
    EXPECT_EQ(field(9), "0000");

    // Readers past the last field.
    EXPECT_EQ(NX(GetFldInt)(200), 0);
    EXPECT_EQ(NX(GetFldWord)(200), 0);
    EXPECT_EQ(NX(GetFldByte)(200), 0);
    EXPECT_EQ(NX(GetFldFloat)(200), 0.0);
    EXPECT_EQ(field(200), "");
    EXPECT_EQ(NX(GetFldFloat)(0), 3.0) << "field 0 holds 03, read as a decimal number";
}

// Runs last in this file: every export of the library was called by the cases above.
TEST(ExportsCoverage, EveryExportWasCalled) {
    const std::string filter = ::testing::GTEST_FLAG(filter);
    if (filter != "*") GTEST_SKIP() << "needs the whole program to have run";
    std::set<std::string> table;
#define NORVEX_EXPORT(result, name, argc, kind, code, params) table.insert(#name);
#include "api/ExportList.h"
#undef NORVEX_EXPORT
    ASSERT_EQ(table.size(), 242u);
    std::vector<std::string> missing, extra;
    std::set_difference(table.begin(), table.end(), calledNames().begin(), calledNames().end(), std::back_inserter(missing));
    std::set_difference(calledNames().begin(), calledNames().end(), table.begin(), table.end(), std::back_inserter(extra));
    EXPECT_TRUE(missing.empty()) << "never called: " << ::testing::PrintToString(missing);
    EXPECT_TRUE(extra.empty()) << "not in the export table: " << ::testing::PrintToString(extra);
}

} // namespace
