// Reports, the shift, and the device-information queries: X and Z reports, the register's
// totals read into answer fields without printing, identification, counters, numbers, the
// register's clock and the cash drawer.
#include "adapter/JournalStore.h"
#include "adapter/Norvex.h"
#include "adapter/RegisterModes.h"
#include "core/Logger.h"
#include "core/StringUtils.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {


constexpr int32_t kReportShiftClose = 1;
constexpr int32_t kReportX = 2;

constexpr int kParamVersionMajor = 56;
constexpr int kParamVersionMinor = 57;
constexpr int kParamVersionBuild = 59;
constexpr int kParamDeviceName = 61;

// Registers read here.
constexpr int kRegisterPayments = 3;        // (operation, payment type 1 to 4)
constexpr int kRegisterCashIn = 4;
constexpr int kRegisterCashOut = 5;
constexpr int kRegisterDrawerCash = 10;
constexpr int kRegisterResource15 = 15;
constexpr int kRegisterResource16 = 16;
constexpr int kRegisterShiftState = 18;     // open flag and opening date and time
constexpr int kRegisterLastShift = 21;
constexpr int kRegisterFiscalization = 27;  // INN and machine number
constexpr int kRegisterEklz = 28;           // serial number as the EKLZ keeps it

// Operations of register 3.
constexpr int kOpSale = 1;
constexpr int kOpSaleReturn = 2;
constexpr int kOpPurchase = 4;
constexpr int kOpPurchaseReturn = 5;

// Answer-field command codes.
constexpr int32_t kCodeSeance = 0x01;
constexpr int32_t kCodeOpenSession = 0x02;
constexpr int32_t kCodeResources = 0x03;
constexpr int32_t kCodeReportX = 0x34;
constexpr int32_t kCodeNumbers = 0x35;
constexpr int32_t kCodePayType = 0x36;
constexpr int32_t kCodeReportXExtended = 0x37;
constexpr int32_t kCodeDateTime = 0x43;
constexpr int32_t kCodeParamDoc = 0x4D;
constexpr int32_t kCodeSerialNumber = 0x96;
constexpr int32_t kCodeKkmInfo = 0x97;

// The X report in memory: which register (operation, payment type) fills which field.
struct RegisterField {
    size_t field;
    int operation;
    int payType;
};
constexpr RegisterField kReportXFields[] = {
    {5, kOpSale, 1},  {6, kOpSaleReturn, 1}, {9, kOpPurchase, 1}, {10, kOpPurchaseReturn, 1},
    {11, kOpSale, 2}, {12, kOpSaleReturn, 2}, {13, kOpSale, 4},    {14, kOpSaleReturn, 4},
};
// The operations read per payment type by the extended report and the payment-type report.
constexpr RegisterField kPayTypeFields[] = {
    {5, kOpSale, 0}, {6, kOpSaleReturn, 0}, {9, kOpPurchase, 0}, {10, kOpPurchaseReturn, 0},
};
constexpr int kRegisterPayTypes = 4;

constexpr int kSerialWidth = 11;
const wchar_t* const kZeroWord = L"0000";
const wchar_t* const kZeroDate = L"000000";

// Parameter codes of the clock's parts.
constexpr int32_t kBadHour = -14;
constexpr int32_t kBadDay = -15;

Logger& log() { return Logger::instance(); }

// The integer of two characters from pos; what lies beyond the text's end is not there.
int32_t twoDigitsAt(const std::wstring& text, size_t pos) {
    if (pos >= text.size()) return 0;
    return Str::parseInt(text.substr(pos, 2));
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) return 29;
    return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

// The calendar day before day.month.year, as DDMMYY.
std::wstring previousDayText(int day, int month, int year) {
    if (--day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day = daysInMonth(month, year);
    }
    const int shortYear = ((year % 100) + 100) % 100;
    return Str::format(L"%02d%02d%02d", day, month, shortYear);
}

} // namespace

// --- reports and the shift -------------------------------------------------------------------

int32_t Norvex::report(int32_t type) {
    log().logCall(3, L"report", L"%d", type);
    return run([&] {
        printHeader();
        if (type == kReportShiftClose) {
            {
                JournalConnection db = openJournalConnection();
                purgeJournal(db.get());
            }
            // While the register's tape still holds the shift being closed.
            journalUpdate();
            // Seven header lines: the next document's header is then not printed again.
            setHeaderLineCount(true);
            drv().setMode(kModeShiftClose, parameters);
            drv().report(kReportShiftClose, parameters);
        } else if (type == kReportX) {
            drv().setMode(kModeReports, parameters);
            drv().report(kReportX, parameters);
        }
    });
}

int32_t Norvex::reportXToMemory() {
    log().logCall(3, L"reportXToMemory");
    return run([&] {
        prepareAnswerFields(kCodeReportX, 24);
        for (const RegisterField& row : kReportXFields)
            setAnswerField(row.field, readRegister(kRegisterPayments, row.operation, row.payType));
        auto sum = [&](size_t a, size_t b, size_t c) {
            return answerFieldDouble(static_cast<int32_t>(a)) + answerFieldDouble(static_cast<int32_t>(b)) +
                   answerFieldDouble(static_cast<int32_t>(c));
        };
        setAnswerAmount(15, sum(5, 11, 13));
        setAnswerAmount(17, sum(6, 12, 14));
        setAnswerField(21, readRegister(kRegisterCashIn, 0, 0));
        setAnswerField(22, readRegister(kRegisterCashOut, 0, 0));
        setAnswerField(23, readRegister(kRegisterDrawerCash, 0, 0));
    });
}

int32_t Norvex::reportXExtendedToMemory() {
    log().logCall(3, L"reportXExtendedToMemory");
    return run([&] {
        prepareAnswerFields(kCodeReportXExtended, 23);
        for (int payType = 1; payType <= kRegisterPayTypes; ++payType) {
            for (const RegisterField& row : kPayTypeFields) {
                drv().getRegister(parameters, kRegisterPayments, row.operation, payType);
                const double total = answerFieldDouble(static_cast<int32_t>(row.field)) +
                                     parameters[kParamSumm].toDouble(0.0);
                setAnswerAmount(row.field, total);
            }
        }
        setAnswerField(17, readRegister(kRegisterCashIn, 0, 0));
        setAnswerField(18, readRegister(kRegisterCashOut, 0, 0));
        setAnswerField(19, readRegister(kRegisterDrawerCash, 0, 0));
    });
}

int32_t Norvex::reportTypeCloseToMemory(int32_t payType) {
    log().logCall(3, L"reportTypeCloseToMemory", L"%d", payType);
    return run([&] {
        prepareAnswerFields(kCodePayType, 11);
        const int registerPayType = payType + 1;
        for (const RegisterField& row : kPayTypeFields)
            setAnswerField(row.field, readRegister(kRegisterPayments, row.operation, registerPayType));
    });
}

int32_t Norvex::openSession(const std::wstring& text) {
    log().logCall(3, L"openSession", L"\"%ls\"", text.c_str());
    return run([&] {
        printHeader();
        drv().setMode(kModeRegistration, parameters);
        updateMode(false);
        drv().openSession(0, text, parameters);
        drv().setMode(kModeSelect, parameters);
        updateMode(false);
        prepareAnswerFields(kCodeOpenSession, 5);
    });
}

int32_t Norvex::setSeanceState(bool started) {
    log().logCall(3, L"setSeanceState", L"%d", started ? 1 : 0);
    return run([&] {
        seanceStarted = started;
        prepareAnswerFields(kCodeSeance, 5);
    });
}

// --- device information ------------------------------------------------------------------------

int32_t Norvex::kkmInfo() {
    log().logCall(3, L"kkmInfo");
    return run([&] {
        prepareAnswerFields(kCodeKkmInfo, 12);
        setAnswerField(5, Str::format(L"%-16ls", parameters[kParamDeviceName].toText().c_str()));
        const std::wstring version =
            Str::format(L"%ls.%ls.%ls", parameters[kParamVersionMajor].toText().c_str(),
                        parameters[kParamVersionMinor].toText().c_str(), parameters[kParamVersionBuild].toText().c_str());
        setAnswerField(6, Str::format(L"%-16ls", version.c_str()));
        setAnswerField(7, Str::format(L"%-11ls", parameters[kParamSerialNumber].toText().c_str()));

        drv().getRegister(parameters, kRegisterFiscalization, 0, 0);
        setAnswerField(8, Str::format(L"%-10ls", parameters[kParamMachineNumber].toText().c_str()));
        setAnswerField(9, Str::format(L"%-12ls", parameters[kParamInn].toText().c_str()));

        drv().getRegister(parameters, kRegisterEklz, 0, 0);
        setAnswerField(11, Str::format(L"%-10ls", parameters[kParamSerialNumber].toText().c_str()));
    });
}

int32_t Norvex::resources() {
    log().logCall(3, L"resources");
    return run([&] {
        prepareAnswerFields(kCodeResources, 10);
        drv().getRegister(parameters, kRegisterResource15, 0, 0);
        setAnswerField(5, Str::format(L"%02X", static_cast<unsigned>(parameters[kParamRegisterValue].toInt())));
        drv().getRegister(parameters, kRegisterResource16, 0, 0);
        setAnswerHex16(6, static_cast<uint16_t>(parameters[kParamRegisterValue].toInt64()));
        drv().getRegister(parameters, kRegisterLastShift, 0, 0);
        setAnswerHex16(7, static_cast<uint16_t>(parameters[kParamShiftNumber].toInt64()));

        drv().getRegister(parameters, kRegisterShiftState, 0, 0);
        if (!parameters[kParamShiftOpened].toBool(false)) {
            setAnswerField(8, kZeroDate);
            setAnswerField(9, kZeroWord);
        } else {
            setAnswerField(8, previousDayText(parameters[kParamDay].toInt(), parameters[kParamMonth].toInt(),
                                              parameters[kParamYear].toInt()));
            setAnswerField(9, Str::format(L"%02d%02d", parameters[kParamHour].toInt(), parameters[kParamMinute].toInt()));
        }
    });
}

int32_t Norvex::fillNumbers() {
    log().logCall(3, L"fillNumbers");
    return run([&] {
        drv().info(parameters);
        prepareAnswerFields(kCodeNumbers, 8);
        // Wrapping to 16 bits is the layout: no receipt yet (0) reads FFFF.
        setAnswerHex16(5, static_cast<uint16_t>(parameters[kParamCheckNumber].toInt64() - 1));
        setAnswerHex16(6, static_cast<uint16_t>(parameters[kParamDocumentNumber].toInt64() - 1));
        setAnswerField(7, kZeroWord);
    });
}

int32_t Norvex::fillSerialNumber() {
    log().logCall(3, L"fillSerialNumber");
    return run([&] {
        prepareAnswerFields(kCodeSerialNumber, 6);
        setAnswerField(5, Str::pad(parameters[kParamSerialNumber].toText(), kSerialWidth, 1, L'0'));
    });
}

int32_t Norvex::getParamDoc() {
    log().logCall(3, L"getParamDoc");
    return run([&] {
        prepareAnswerFields(kCodeParamDoc, 8);
        setAnswerField(5, kZeroWord);
        setAnswerField(6, kZeroWord);
        setAnswerField(7, kZeroWord);
    });
}

int32_t Norvex::dateTime() {
    log().logCall(3, L"dateTime");
    return run([&] {
        // The status query reads the register's clock.
        prepareAnswerFields(kCodeDateTime, 7);
        setAnswerField(5, Str::format(L"%02d%02d%02d", parameters[kParamDay].toInt(), parameters[kParamMonth].toInt(),
                                      parameters[kParamYear].toInt() % 100));
        setAnswerField(6, Str::format(L"%02d%02d", parameters[kParamHour].toInt(), parameters[kParamMinute].toInt()));
    });
}

int32_t Norvex::setDateTime(const std::wstring& date, const std::wstring& time) {
    log().logCall(3, L"setDateTime", L"\"%ls\" \"%ls\"", date.c_str(), time.c_str());
    return run([&] {
        // Without day and month, or without the hour, there is no clock setting to make.
        if (date.size() < 4) raiseError(-6, kBadDay);
        if (time.size() < 2) raiseError(-6, kBadHour);
        drv().setDate(twoDigitsAt(date, 0), twoDigitsAt(date, 2), twoDigitsAt(date, 4), parameters);
        drv().setTime(twoDigitsAt(time, 0), twoDigitsAt(time, 2), 0, parameters);
    });
}

int32_t Norvex::openDrawer() {
    log().logCall(3, L"openDrawer");
    return run([&] { drv().openDrawer(parameters); });
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
