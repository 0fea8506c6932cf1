// Fiscal documents laid out by the caller, and free documents of plain text lines.
#include "api/ApiFrame.h"

using namespace Orn::Api;
using Orn::Fptr::Norvex::kErrorFiscalDocOpened;
using Orn::Fptr::Norvex::kErrorNoFiscalDoc;

namespace {

constexpr int32_t kCodeFreeDoc = 0x70;
constexpr int32_t kCodeCloseFDoc = 0x00;
constexpr uint32_t kAllRows = 0xFFFFFFFFu;
// "Недопустимое значение": the caller's argument has no meaning here.
constexpr int32_t kErrorInvalidValue = -6;

// One field placement: row, column and font attribute, each in its own argument slot.
struct Placement {
    uint16_t row;
    uint16_t column;
    int8_t attribute;
};

// Opening while a document is assembled is refused with 180.
template <typename Total>
int32_t openDoc(const wchar_t* name, uint8_t receiptType, uint8_t paymentType, uint8_t copies, Total total) {
    return operation(name, [=](Adapter& a) {
        if (a.isFiscalDocOpened()) return a.initError(kErrorFiscalDocOpened);
        const int32_t payType = fixTypeClose(paymentType, receiptType);
        return a.openFiscalDoc(receiptType, payType, total(), copies);
    });
}

// Everything else on a fiscal document needs one being assembled, else 179.
template <typename Body>
int32_t onOpenDoc(const wchar_t* name, Body&& body) {
    return operation(name, [&body](Adapter& a) {
        if (!a.isFiscalDocOpened()) return a.initError(kErrorNoFiscalDoc);
        return body(a);
    });
}

// The seven standard fields, in this order, at the caller's placements.
int32_t standardFields(const wchar_t* name, const Placement (&at)[7]) {
    return onOpenDoc(name, [&at](Adapter& a) {
        a.limitHeaderRows(kAllRows);
        for (const Placement& p : at) a.limitHeaderRows(p.row);
        // A refused field does not fail the export.
        auto add = [&a, &at](int i, const std::wstring& value) {
            a.addString(at[i].row, at[i].column, at[i].attribute, value);
        };
        add(0, a.serialNumber());
        add(1, a.docNumber());
        add(2, a.date());
        add(3, a.time());
        add(4, a.inn());
        add(5, a.cashier());
        add(6, a.summ());
        return 0;
    });
}

int32_t freeField(const wchar_t* name, uint16_t row, uint16_t column, int8_t attribute, const char* line) {
    return onOpenDoc(name, [=](Adapter& a) { return a.addString(row, column, attribute, text(line)); });
}

int32_t closeDoc(const wchar_t* name, bool print, bool finished = true) {
    auto body = [print](Adapter& a) {
        if (!a.isFiscalDocOpened()) return a.initError(kErrorNoFiscalDoc);
        return a.closeFiscalDoc(print);
    };
    return finished ? operation(name, body) : unfinishedOperation(name, body);
}

int32_t closeFDoc(const wchar_t* name, bool finished = true) {
    auto body = [](Adapter& a) {
        a.prepareAnswerFields(kCodeCloseFDoc, 5);
        return a.closeNonFiscalDoc();
    };
    return finished ? operation(name, body) : unfinishedOperation(name, body);
}

int32_t cut(const wchar_t* name, int32_t feedLines) {
    return operation(name, [feedLines](Adapter& a) {
        a.prepareAnswerFields(kCodeFreeDoc, 5);
        return a.cut(feedLines);
    });
}

auto hundredths(int32_t v) {
    return [v] { return v / 100.0; };
}

auto hundredthsText(const char* s) {
    return [s] { return amountText(s) / 100.0; };
}

} // namespace

extern "C" int32_t NORVEX_API OpenFiscalDoc(uint8_t receiptType, uint8_t paymentType, int32_t, uint8_t copies,
                                            int32_t, int32_t, int32_t, int32_t, int32_t, int32_t total) {
    return openDoc(L"OpenFiscalDoc", receiptType, paymentType, copies, hundredths(total));
}

extern "C" int32_t NORVEX_API OpenFiscalDoc77(uint8_t receiptType, uint8_t paymentType, int32_t, uint8_t copies,
                                              int32_t, int32_t, int32_t, int32_t, int32_t, int32_t total) {
    return openDoc(L"OpenFiscalDoc77", receiptType, paymentType, copies, hundredths(total));
}

extern "C" int32_t NORVEX_API OpenFiscalDocEx(uint8_t receiptType, uint8_t paymentType, int32_t, uint8_t copies,
                                              int32_t, int32_t, int32_t, int32_t, int32_t, const char* total) {
    return openDoc(L"OpenFiscalDocEx", receiptType, paymentType, copies, hundredthsText(total));
}

extern "C" int32_t NORVEX_API OpenFiscalDocEx77(uint8_t receiptType, uint8_t paymentType, int32_t, uint8_t copies,
                                                int32_t, int32_t, int32_t, int32_t, int32_t, const char* total) {
    return openDoc(L"OpenFiscalDocEx77", receiptType, paymentType, copies, hundredthsText(total));
}

extern "C" int32_t NORVEX_API AddPosField(uint16_t r1, uint16_t c1, int8_t f1, uint16_t r2, uint16_t c2, int8_t f2,
                                          uint16_t r3, uint16_t c3, int8_t f3, uint16_t r4, uint16_t c4, int8_t f4,
                                          uint16_t r5, uint16_t c5, int8_t f5, uint16_t r6, uint16_t c6, int8_t f6,
                                          uint16_t r7, uint16_t c7, int8_t f7) {
    const Placement at[7] = {{r1, c1, f1}, {r2, c2, f2}, {r3, c3, f3}, {r4, c4, f4},
                             {r5, c5, f5}, {r6, c6, f6}, {r7, c7, f7}};
    return standardFields(L"AddPosField", at);
}

extern "C" int32_t NORVEX_API AddPosField77(uint16_t r1, uint16_t c1, int8_t f1, uint16_t r2, uint16_t c2, int8_t f2,
                                            uint16_t r3, uint16_t c3, int8_t f3, uint16_t r4, uint16_t c4, int8_t f4,
                                            uint16_t r5, uint16_t c5, int8_t f5, int32_t, int32_t, int32_t, int32_t,
                                            int32_t, int32_t, uint16_t r6, uint16_t c6, int8_t f6, uint16_t r7,
                                            uint16_t c7, int8_t f7) {
    const Placement at[7] = {{r1, c1, f1}, {r2, c2, f2}, {r3, c3, f3}, {r4, c4, f4},
                             {r5, c5, f5}, {r6, c6, f6}, {r7, c7, f7}};
    return standardFields(L"AddPosField77", at);
}

extern "C" int32_t NORVEX_API AddFreeField(uint16_t row, uint16_t column, int8_t font, int32_t, int32_t,
                                           const char* line) {
    return freeField(L"AddFreeField", row, column, font, line);
}

extern "C" int32_t NORVEX_API AddFreeField77(uint16_t row, uint16_t column, int8_t font, int32_t, int32_t,
                                             const char* line) {
    return freeField(L"AddFreeField77", row, column, font, line);
}

extern "C" int32_t NORVEX_API PrintFiscalReceipt(void) { return closeDoc(L"PrintFiscalReceipt", true); }
extern "C" int32_t NORVEX_API PrintFiscalSlip(void) { return closeDoc(L"PrintFiscalSlip", true, false); }
extern "C" int32_t NORVEX_API PrintFiscalSlip77(void) { return closeDoc(L"PrintFiscalSlip77", true, false); }
extern "C" int32_t NORVEX_API CloseFreeDoc(void) { return closeDoc(L"CloseFreeDoc", false); }
extern "C" int32_t NORVEX_API CloseFreeDoc77(void) { return closeDoc(L"CloseFreeDoc77", false); }

extern "C" int32_t NORVEX_API OpenFDoc(void) {
    return operation(L"OpenFDoc", [](Adapter& a) {
        a.prepareAnswerFields(kCodeFreeDoc, 5);
        return a.printHeader();
    });
}

extern "C" int32_t NORVEX_API PrintFDoc(const char* line, int32_t length) {
    return frame([length] { logEntry(L"PrintFDoc", L"%d", length); },
                 [=](Adapter& a) { return a.printString(leftPart(text(line), length)); });
}

// The two OEM variants read their text as code page 1251 whatever OpenDLL chose.
extern "C" int32_t NORVEX_API PrintOEMDoc(const char* line, int32_t length) {
    return frame([length] { logEntry(L"PrintOEMDoc", L"%d", length); },
                 [=](Adapter& a) { return a.printString(leftPart(text(line, kCodePage1251), length)); });
}

extern "C" int32_t NORVEX_API PrintOEMCRLFDoc(const char* line, int32_t length) {
    return frame([length] { logEntry(L"PrintOEMCRLFDoc", L"%d", length); },
                 [=](Adapter& a) { return a.printString(leftPart(text(line, kCodePage1251), length)); });
}

extern "C" int32_t NORVEX_API PrintBarcodeFDoc(uint8_t barcodeType, int32_t, uint8_t height, int32_t,
                                               uint8_t printText, uint8_t length, const char* data) {
    return unfinishedOperation(L"PrintBarcodeFDoc", [=](Adapter& a) {
        return a.printBarcode(barcodeType, leftPart(text(data), length), height, printText);
    });
}

extern "C" int32_t NORVEX_API CloseFDoc(void) { return closeFDoc(L"CloseFDoc"); }
extern "C" int32_t NORVEX_API CloseFDocPlus(void) { return closeFDoc(L"CloseFDocPlus"); }
extern "C" int32_t NORVEX_API CloseFDocEx(int32_t, int32_t) { return closeFDoc(L"CloseFDocEx", false); }

extern "C" int32_t NORVEX_API FreeDoc(const char* line, int32_t start) {
    return operation(L"FreeDoc", [=](Adapter& a) {
        a.prepareAnswerFields(kCodeFreeDoc, 5);
        const std::wstring t = text(line);
        // A start outside the text leaves nothing to print: refuse it rather than read past the end.
        if (start < 0 || static_cast<size_t>(start) > t.size()) return a.initError(kErrorInvalidValue);
        return a.printString(t.substr(static_cast<size_t>(start)));
    });
}

extern "C" int32_t NORVEX_API FreeDocCut(void) { return cut(L"FreeDocCut", 0); }
extern "C" int32_t NORVEX_API FreeDocCutPlus(uint8_t lines) { return cut(L"FreeDocCutPlus", lines); }
