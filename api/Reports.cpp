// Report, shift and journal exports.
#include "api/ApiFrame.h"

using namespace Orn::Api;

namespace {

constexpr int32_t kReportShiftClose = 1;
constexpr int32_t kReportX = 2;
constexpr int32_t kCurrentShift = -1;
constexpr int32_t kNoLastNumber = -1;

constexpr int32_t kCodeXReport = 0x30;
constexpr int32_t kCodeShiftClose = 0x31;
constexpr int32_t kCodeJournalRange = 0x7E;
constexpr int32_t kCodeJournalDoc = 0x7F;
constexpr int32_t kCodeJournalShift = 0x84;

// GetEReport commands.
constexpr uint8_t kEReportX = 0x34;
constexpr uint8_t kEReportNumbers = 0x35;
constexpr uint8_t kEReportPayType = 0x36;
constexpr uint8_t kEReportXExtended = 0x37;

// The fields describe the register as it was before the report: the report prepares none.
int32_t shiftClose(const wchar_t* name, bool finished) {
    auto body = [](Adapter& a) {
        a.prepareAnswerFields(kCodeShiftClose, 5);
        return a.report(kReportShiftClose);
    };
    return finished ? operation(name, body) : unfinishedOperation(name, body);
}

int32_t printShift(Adapter& a, int32_t shift) {
    a.prepareAnswerFields(kCodeJournalShift, 5);
    return a.printChequeByShift(shift);
}

int32_t shiftOpen(const wchar_t* name, const char* message) {
    return operation(name, [message](Adapter& a) { return a.openSession(text(message)); });
}

} // namespace

extern "C" int32_t NORVEX_API XReport(void) {
    return operation(L"XReport", [](Adapter& a) {
        a.prepareAnswerFields(kCodeXReport, 5);
        return a.report(kReportX);
    });
}

extern "C" int32_t NORVEX_API ShiftClose(void) { return shiftClose(L"ShiftClose", true); }
extern "C" int32_t NORVEX_API ShiftCloseEx(void) { return shiftClose(L"ShiftCloseEx", false); }

extern "C" int32_t NORVEX_API ShiftOpen(const char* message) { return shiftOpen(L"ShiftOpen", message); }

extern "C" int32_t NORVEX_API ShiftOpenEx(int32_t, int32_t, const char* message) {
    return shiftOpen(L"ShiftOpenEx", message);
}

extern "C" int32_t NORVEX_API StartSeans(void) {
    return operation(L"StartSeans", [](Adapter& a) { return a.setSeanceState(true); });
}

extern "C" int32_t NORVEX_API GetEReport(uint8_t command, uint8_t parameter) {
    return frame([=] { logEntry(L"GetEReport", L"cmd %x(%d)", command, parameter); },
                 [=](Adapter& a) {
                     switch (command) {
                     case kEReportX:
                         return a.reportXToMemory();
                     case kEReportNumbers:
                         return a.fillNumbers();
                     case kEReportPayType:
                         return a.reportTypeCloseToMemory(fixTypeClose(parameter, kNoReceiptType));
                     case kEReportXExtended:
                         return a.reportXExtendedToMemory();
                     default:
                         return 0;
                     }
                 });
}

extern "C" int32_t NORVEX_API EJPrint(void) {
    return operation(L"EJPrint", [](Adapter& a) { return printShift(a, kCurrentShift); });
}

extern "C" int32_t NORVEX_API EJPrintEx(int32_t shift) {
    return frame([shift] { logEntry(L"EJPrintEx", L"%d", shift); },
                 [shift](Adapter& a) { return printShift(a, shift); });
}

extern "C" int32_t NORVEX_API EJNoDoc(int32_t number) {
    return frame([number] { logEntry(L"EJNoDoc", L"%d", number); },
                 [number](Adapter& a) {
                     a.prepareAnswerFields(kCodeJournalDoc, 5);
                     return a.printChequeByNumber(number, kNoLastNumber);
                 });
}

extern "C" int32_t NORVEX_API EJNoReport(int32_t first, int32_t last) {
    return frame([=] { logEntry(L"EJNoReport", L"%d - %d", first, last); },
                 [=](Adapter& a) {
                     a.prepareAnswerFields(kCodeJournalRange, 5);
                     return a.printChequeByNumber(first, last);
                 });
}
