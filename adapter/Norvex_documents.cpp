// Fiscal documents assembled field by field and printed at the end as a one-line receipt
// with its copies; non-fiscal text lines, the footer, captions and the cutter; the small
// text accessors the position fields use.
#include <algorithm>
#include <new>
#include <stdexcept>

#include "adapter/Norvex.h"
#include "adapter/RegisterModes.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "core/StringUtils.h"
#include "fptr/tavro20/TavroDrv.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {

constexpr int kCaptionAccessPasswordNumber = 121;  // "Пароль доступа"
constexpr int32_t kErrorWrongPassword = -3825;    // "Неверный пароль"

constexpr int kParamFormatFlags = 8;       // cleared ahead of formatted printing
constexpr int kParamTypeClose = 15;
constexpr int kParamDocumentType = 16;
constexpr int kParamName = 33;
constexpr int kParamCharLineLength = 36;
constexpr int kParamRegistrationFlags = 64;
constexpr int kParamTitleAttribute = 91;   // boolean text attribute, set only for the copy title
constexpr int kParamTapeHeight = 98;       // receipt-tape height selector

constexpr int kRegistrationFlagPurchase = 2;
constexpr int8_t kAttributeTall = 0x10;
constexpr int kHeightTall = 1;
constexpr int kHeightNone = 3;

constexpr int kWrapParameterCode = -3;     // reported as "Ошибка в Caption"

// Register counters read back.
constexpr int kRegisterDocumentNumber = 19;
constexpr int kRegisterSerialNumber = 22;
constexpr int kRegisterLineWidth = 24;
constexpr int kRegisterInn = 27;

constexpr int kCaptionAdminName = 118;     // "Имя системного администратора"
constexpr int kCutPartial = 2;

constexpr int32_t kCodeNonFiscal = 0x00;
constexpr int32_t kCodeFiscalDoc = 0x73;

const wchar_t kCopyTitle[] = L"КОПИЯ ЧЕКА";

Logger& log() { return Logger::instance(); }

// Prints text cut to the line width by the driver's wrapping, one printText per line. A driver
// without its own wrapping gets the text as one line.
void printWrapped(AbstractFptrDriver& driver, const std::wstring& text, ParameterSet& params) {
    if (auto* tavro = dynamic_cast<Tavro20::TavroDrv*>(&driver)) {
        tavro->printWrapped(text, kWrapParameterCode,
                            [tavro](const std::wstring& line) { return tavro->printText(line); }, params);
        return;
    }
    driver.printText(text);
}

} // namespace

// --- fiscal document -------------------------------------------------------------------------

int32_t Norvex::openFiscalDoc(int32_t type, int32_t payType, double total, int32_t printouts) {
    log().logCall(3, L"openFiscalDoc", L"%d %d %lf", type, payType, total);
    return run([&] {
        drv().info(parameters);
        // A receipt left open in the register would swallow the document: it goes unasked.
        if (parameters[kParamCheckState].toInt() != 0) drv().cancelCheque(parameters);
        parameters[kParamSumm].setDouble(total);
        parameters[kParamTypeClose].setInt(payType);
        parameters[kParamDocumentType].setInt(type);
        fiscalDocOpened = true;
        copyCount = printouts;
        documentLines.clear();
    });
}

bool Norvex::isFiscalDocOpened() {
    log().logCall(4, L"isFiscalDocOpened");
    return fiscalDocOpened;
}

void Norvex::limitHeaderRows(uint32_t row) {
    headerRowLimit = row == kNoHeaderRowLimit ? row : std::min(headerRowLimit, row);
}

int32_t Norvex::addString(uint32_t row, uint32_t column, int8_t attribute, const std::wstring& text) {
    log().logCall(3, L"addString", L"%d %d %d %ls", static_cast<int32_t>(row), static_cast<int32_t>(column),
                  static_cast<int>(attribute), text.c_str());
    if (static_cast<int32_t>(row) < 0 || static_cast<int32_t>(column) < 0) return 0;
    // A document is a printed slip: positions far beyond any paper are refused up front rather
    // than left to exhaust memory.
    constexpr uint32_t kMaxRows = 65536;
    constexpr size_t kMaxColumns = 32001;
    if (row >= kMaxRows || static_cast<size_t>(column) + text.size() > kMaxColumns) {
        lastError.set(-22, 0, std::wstring());
        return apiResultCode();
    }
    try {
        if (row >= documentLines.size()) documentLines.resize(static_cast<size_t>(row) + 1);
        DocumentLine& line = documentLines[row];
        std::wstring& s = line.text;
        // The padding keeps the layout callers rely on: a row that grows keeps trailing spaces.
        if (column > s.size()) s.append(column - 1, L' ');
        const size_t end = static_cast<size_t>(column) + text.size();
        if (end > s.size()) s.append(end - s.size() - 1, L' ');
        // An empty text placed past the end of its row leaves the padded row as it is.
        if (column <= s.size()) s.replace(column, text.size(), text);
        line.attribute = attribute;
    } catch (const std::bad_alloc&) {
        // A row or column too far out for memory: reported, the buffer keeps what it had.
        lastError.set(-22, 0, std::wstring());
        return apiResultCode();
    } catch (const std::length_error&) {
        lastError.set(-22, 0, std::wstring());
        return apiResultCode();
    }
    return 0;
}

int32_t Norvex::printFormatString(int8_t attribute, const std::wstring& text) {
    log().logCall(3, L"printFormatString", L"%d %ls", static_cast<int>(attribute), text.c_str());
    return run([&] {
        parameters[kParamTapeHeight].setInt((attribute & kAttributeTall) ? kHeightTall : kHeightNone);
        parameters[kParamFormatFlags].setInt(0);
        printWrapped(drv(), text, parameters);
    });
}

int32_t Norvex::printString(const std::wstring& text) {
    log().logCall(3, L"printString", L"\"%ls\"", text.c_str());
    return run([&] {
        // A line starting with a control character is not for the paper.
        if (!text.empty() && static_cast<uint32_t>(text[0]) < 0x20) return;
        printWrapped(drv(), text, parameters);
    });
}

int32_t Norvex::closeFiscalDoc(bool print) {
    log().logCall(3, L"closeFiscalDoc");
    const int32_t result = run([&] {
        const int32_t documentType = parameters[kParamDocumentType].toInt();
        if (!print) {
            openCheque(documentType);
            drv().cancelCheque(parameters);
        } else {
            const size_t count = documentLines.size();
            size_t row = 0;
            while (row < count && documentLines[row].text.empty()) ++row;

            // Rows above the first position field print before the receipt is opened and
            // again ahead of every copy.
            std::vector<DocumentLine> header;
            const size_t headerEnd = std::min<size_t>(count, headerRowLimit);
            for (; row < headerEnd; ++row) {
                printFormatString(documentLines[row].attribute, documentLines[row].text);
                header.push_back(documentLines[row]);
            }

            openCheque(documentType);
            drv().info(parameters);
            if (documentType != 0) {
                int32_t flags = parameters[kParamRegistrationFlags].toInt();
                if (parameters[kParamTypeClose].toInt() != 0)
                    flags |= kRegistrationFlagPurchase;
                else
                    flags &= ~kRegistrationFlagPurchase;
                parameters[kParamRegistrationFlags].setInt(flags);
            }
            for (; row < count; ++row) printFormatString(documentLines[row].attribute, documentLines[row].text);

            // One line of the whole total. The sign is kept for the register to judge, and the
            // tolerance goes away from zero so a negative total keeps its last minor unit.
            parameters[kParamName].setText(std::wstring());
            const double total = parameters[kParamSumm].toDouble(0.0);
            const int64_t price = total < 0 ? -amountToMinorUnits(total) : amountToMinorUnits(total);
            drv().registration(parameters[kParamCheckState].toInt(), price, 1.0, parameters);
            drv().closeCheque(0, parameters[kParamTypeClose].toInt(), parameters);

            drv().getRegister(parameters, kRegisterLineWidth, 0, 0);
            const std::wstring title = Str::pad(kCopyTitle, parameters[kParamCharLineLength].toInt(), 2, L' ');
            for (int32_t copy = 1; copy < copyCount; ++copy) {
                parameters[kParamTitleAttribute].setBool(true);
                drv().printFormattedText(title, parameters);
                parameters[kParamTitleAttribute].setBool(false);
                for (const DocumentLine& line : header) printFormatString(line.attribute, line.text);
                drv().printLastCopy(parameters);
            }
        }

        prepareAnswerFields(kCodeFiscalDoc, 6);
        setAnswerHex16(5, static_cast<uint16_t>(parameters[kParamCheckNumber].toInt() - 1));
    });
    // The document ends here whether or not it reached the paper.
    fiscalDocOpened = false;
    copyCount = 0;
    documentLines.clear();
    return result;
}

// --- non-fiscal text -------------------------------------------------------------------------

int32_t Norvex::closeNonFiscalDoc() {
    log().logCall(3, L"closeNonFiscalDoc");
    return run([&] {
        prepareAnswerFields(kCodeNonFiscal, 5);
        printFooter();
    });
}

int32_t Norvex::printFooter() {
    log().logCall(3, L"printFooter");
    return run([&] {
        drv().setMode(kModeReports, parameters);
        updateMode(false);
        drv().printFooter(parameters);
        drv().setMode(kModeSelect, parameters);
        updateMode(false);
    });
}

int32_t Norvex::setCaption(int32_t number, const std::wstring& text) {
    log().logCall(3, L"setCaption", L"%d %ls", number, text.c_str());
    return run([&] {
        drv().setMode(kModeProgramming, parameters);
        updateMode(false);
        drv().setCaption(text, number, parameters);
        try {
            drv().resetMode(parameters);
        } catch (const Orn::Exception& e) {
            // A register that takes a new access password at once refuses the very next
            // command sent with the old one; keep talking to it with the new password instead
            // of losing the connection and reporting the successful write as a failure.
            if (number != kCaptionAccessPasswordNumber || e.code() != kErrorWrongPassword) throw;
            settings.set(L"AccessPassword", text);
            drv().setSettings(settings);
            drv().resetMode(parameters);
        }
        updateMode(false);
    });
}

int32_t Norvex::cut(int32_t feedLines) {
    log().logCall(3, L"cut", L"%d", feedLines);
    return run([&] {
        for (int32_t i = 0; i < feedLines; ++i) drv().printText(std::wstring());
        drv().cut(kCutPartial, parameters);
    });
}

// --- text accessors --------------------------------------------------------------------------
// They keep the last error: a failed read is recorded and the parameter's current text returned.

std::wstring Norvex::serialNumber() {
    log().logCall(3, L"serialNumber");
    protect([&] { drv().getRegister(parameters, kRegisterSerialNumber, 0, 0); });
    return parameters[kParamSerialNumber].toText();
}

std::wstring Norvex::docNumber() {
    log().logCall(3, L"docNumber");
    protect([&] { drv().getRegister(parameters, kRegisterDocumentNumber, 0, 0); });
    return parameters[kParamCheckNumber].toText();
}

std::wstring Norvex::inn() {
    log().logCall(3, L"inn");
    protect([&] { drv().getRegister(parameters, kRegisterInn, 0, 0); });
    return parameters[kParamInn].toText();
}

std::wstring Norvex::cashier() {
    log().logCall(3, L"cashier");
    std::wstring name;
    protect([&] {
        drv().setMode(kModeProgramming, parameters);
        std::wstring read;
        drv().caption(read, kCaptionAdminName, parameters);
        name = read;
        drv().resetMode(parameters);
    });
    return name;
}

std::wstring Norvex::date() {
    log().logCall(3, L"date");
    const Platform::LocalTime now = Platform::localTime();
    return Str::format(L"%02d-%02d-%02d", now.day, now.month, now.year % 100);
}

std::wstring Norvex::time() {
    log().logCall(3, L"time");
    const Platform::LocalTime now = Platform::localTime();
    return Str::format(L"%02d:%02d", now.hour, now.minute);
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
