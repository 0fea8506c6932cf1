// Receipt exports: open, items, discounts, payments, barcode and comment, close or cancel;
// cash in and out; the non-fiscal text receipt.
#include <vector>

#include "api/ApiFrame.h"

using namespace Orn::Api;

namespace {

constexpr int32_t kCashIn = 0;
constexpr int32_t kCashOut = 1;

constexpr int32_t kCodeComment = 0x00;
constexpr int32_t kCodeStartNF = 0x50;
constexpr int32_t kCodeLineNF = 0x51;
constexpr int32_t kCodeCloseNF = 0x52;
constexpr int32_t kCodeLinesNF = 0x56;

// Quantities arrive in thousandths.
double thousandths(int32_t q) { return q / 1000.0; }

int32_t startReceipt(const wchar_t* name, uint8_t type) {
    return operation(name, [type](Adapter& a) {
        // A header that fails to print is not reported: openCheque clears that error.
        a.printHeader();
        return a.openCheque(type);
    });
}

// The amount functions run inside the frame, after the entry line and the guard.
template <typename Amount>
int32_t tender(const wchar_t* name, uint8_t type, Amount amount, const char* remark) {
    return operation(name, [=](Adapter& a) {
        const int32_t payType = fixTypeClose(type, kNoReceiptType);
        return a.payment(payType, amount(), text(remark));
    });
}

template <typename Amount>
int32_t commission(const wchar_t* name, uint8_t kind, Amount amount, const char* remark) {
    return operation(name, [=](Adapter& a) { return a.discount(kind, amount(), text(remark)); });
}

template <typename Amount>
int32_t cash(const wchar_t* name, int32_t direction, Amount amount, const char* message) {
    return operation(name, [=](Adapter& a) { return a.moveCash(direction, amount(), text(message)); });
}

auto minor(int32_t v) {
    return [v] { return fromMinor(v); };
}

auto full(const char* s) {
    return [s] { return amountText(s); };
}

} // namespace

extern "C" int32_t NORVEX_API StartReceipt(uint8_t receiptType, int32_t, int32_t, int32_t, int32_t) {
    return startReceipt(L"StartReceipt", receiptType);
}

extern "C" int32_t NORVEX_API StartReceiptPlus(uint8_t receiptType, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return startReceipt(L"StartReceiptPlus", receiptType);
}

extern "C" int32_t NORVEX_API ItemReceipt(const char* name, int32_t, int32_t, int32_t, int32_t price,
                                          int32_t quantity, int32_t) {
    return operation(L"ItemReceipt", [=](Adapter& a) {
        return a.registration(text(name), fromMinor(price), thousandths(quantity), std::wstring());
    });
}

extern "C" int32_t NORVEX_API ItemReceiptPlus(const char* name, int32_t, int32_t, int32_t, const char* remark,
                                              int32_t price, int32_t quantity, int32_t) {
    return operation(L"ItemReceiptPlus", [=](Adapter& a) {
        // Integer division: this variant keeps whole units only.
        const double units = static_cast<double>(quantity / 1000);
        return a.registration(text(name), fromMinor(price), units, text(remark));
    });
}

extern "C" int32_t NORVEX_API ItemReceiptEx(const char* name, int32_t, int32_t, int32_t, const char* remark,
                                            const char* price, int32_t quantity, int32_t) {
    return operation(L"ItemReceiptEx", [=](Adapter& a) {
        return a.registration(text(name), amountText(price), thousandths(quantity), text(remark));
    });
}

extern "C" int32_t NORVEX_API ItemReceiptExx(const char* name, int32_t, int32_t, int32_t, const char* remark,
                                             const char* price, const char* quantity, int32_t) {
    return operation(L"ItemReceiptExx", [=](Adapter& a) {
        const double units = amountText(quantity) / 1000.0;
        return a.registration(text(name), amountText(price), units, text(remark));
    });
}

extern "C" int32_t NORVEX_API TenderReceipt(uint8_t paymentType, int32_t amount, int32_t) {
    return tender(L"TenderReceipt", paymentType, minor(amount), nullptr);
}

extern "C" int32_t NORVEX_API TenderReceiptPlus(uint8_t paymentType, int32_t amount, int32_t, const char* remark) {
    return tender(L"TenderReceiptPlus", paymentType, minor(amount), remark);
}

extern "C" int32_t NORVEX_API TenderReceiptEx(uint8_t paymentType, const char* amount, int32_t, const char* remark) {
    return tender(L"TenderReceiptEx", paymentType, full(amount), remark);
}

extern "C" int32_t NORVEX_API ComissionReceipt(uint8_t kind, int32_t, int32_t amount) {
    return commission(L"ComissionReceipt", kind, minor(amount), nullptr);
}

extern "C" int32_t NORVEX_API ComissionReceiptPlus(uint8_t kind, int32_t, int32_t amount, const char* remark) {
    return commission(L"ComissionReceiptPlus", kind, minor(amount), remark);
}

extern "C" int32_t NORVEX_API ComissionReceiptEx(uint8_t kind, int32_t, const char* amount, const char* remark) {
    return commission(L"ComissionReceiptEx", kind, full(amount), remark);
}

extern "C" int32_t NORVEX_API ComissionReceiptExx(uint8_t kind, int32_t, const char* amount, const char* remark) {
    return commission(L"ComissionReceiptExx", kind, full(amount), remark);
}

extern "C" int32_t NORVEX_API BarcodeReceipt(uint8_t barcodeType, uint8_t printText, int32_t, uint8_t height,
                                             int32_t, const char* data) {
    return operation(L"BarcodeReceipt", [=](Adapter& a) {
        return a.printBarcode(barcodeType, text(data), height, printText);
    });
}

extern "C" int32_t NORVEX_API CommentReceipt(const char* line) {
    return operation(L"CommentReceipt", [line](Adapter& a) {
        const std::wstring t = text(line);
        a.prepareAnswerFields(kCodeComment, 5);
        return a.printString(t);
    });
}

extern "C" int32_t NORVEX_API CloseReceipt(void) {
    return operation(L"CloseReceipt", [](Adapter& a) { return a.closeCheque(); });
}

extern "C" int32_t NORVEX_API CancelReceipt(void) {
    return operation(L"CancelReceipt", [](Adapter& a) { return a.cancelCheque(); });
}

extern "C" int32_t NORVEX_API ToCash(int32_t amount) { return cash(L"ToCash", kCashIn, minor(amount), nullptr); }

extern "C" int32_t NORVEX_API ToCashPlus(int32_t amount, const char* message) {
    return cash(L"ToCashPlus", kCashIn, minor(amount), message);
}

extern "C" int32_t NORVEX_API ToCashEx(const char* amount, const char* message) {
    return cash(L"ToCashEx", kCashIn, full(amount), message);
}

extern "C" int32_t NORVEX_API FromCash(int32_t amount) { return cash(L"FromCash", kCashOut, minor(amount), nullptr); }

extern "C" int32_t NORVEX_API FromCashPlus(int32_t amount, const char* message) {
    return cash(L"FromCashPlus", kCashOut, minor(amount), message);
}

extern "C" int32_t NORVEX_API FromCashEx(const char* amount, const char* message) {
    return cash(L"FromCashEx", kCashOut, full(amount), message);
}

extern "C" int32_t NORVEX_API StartReceiptNF(void) {
    return operation(L"StartReceiptNF", [](Adapter& a) {
        a.prepareAnswerFields(kCodeStartNF, 5);
        return a.printHeader();
    });
}

extern "C" int32_t NORVEX_API LineReceiptNF(const char* line) {
    return operation(L"LineReceiptNF", [line](Adapter& a) {
        a.prepareAnswerFields(kCodeLineNF, 5);
        return a.printString(text(line));
    });
}

extern "C" int32_t NORVEX_API LinesReceiptNF(const char* line1, const char* line2, const char* line3,
                                             const char* line4, const char* line5, const char* line6,
                                             const char* line7, const char* line8, const char* line9,
                                             const char* line10) {
    const char* const raw[] = {line1, line2, line3, line4, line5, line6, line7, line8, line9, line10};
    return operation(L"LinesReceiptNF", [&raw](Adapter& a) {
        a.prepareAnswerFields(kCodeLinesNF, 5);
        std::vector<std::wstring> lines;
        for (const char* line : raw) lines.push_back(text(line));
        // Empty lines print like the others; the first failure ends the receipt body.
        for (const std::wstring& line : lines)
            if (a.printString(line) != 0) break;
        return a.apiResultCode();
    });
}

extern "C" int32_t NORVEX_API CloseReceiptNF(void) {
    return operation(L"CloseReceiptNF", [](Adapter& a) {
        a.prepareAnswerFields(kCodeCloseNF, 5);
        return a.printFooter();
    });
}
