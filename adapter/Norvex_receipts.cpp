// Receipt operations: open, lines, discounts and surcharges, payments, close and cancel,
// cash in and out, barcodes inside a document, and the header printed ahead of documents.
// The receipt's state lives in the register; the adapter only reads it back.
#include <iterator>
#include <memory>

#include "adapter/Norvex.h"
#include "adapter/RegisterModes.h"
#include "core/Logger.h"
#include "core/StringUtils.h"
#include "graphic/Barcode.h"
#include "graphic/Picture.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {


constexpr int kParamName = 33;
constexpr int kParamPixelLineLength = 39;

// Register counters read back after a step.
constexpr int kRegisterDrawerCash = 10;
constexpr int kRegisterChequeTotal = 20;

// Register values the header printing works on.
constexpr int kValueCutAfterDocument = 51;  // "Отрезать чек после завершения"
constexpr int kValueHeaderLinesTape = 66;   // "Кол-во строк клише на ЧЛ"
constexpr double kFullHeader = 7.0;

// Answer-field command codes of the receipt operations.
constexpr int32_t kCodeOpenCheque = 0x10;
constexpr int32_t kCodeRegistration = 0x11;
constexpr int32_t kCodePayment = 0x13;
constexpr int32_t kCodeCloseCheque = 0x14;
constexpr int32_t kCodeDiscount = 0x15;
constexpr int32_t kCodeCancelCheque = 0x17;
constexpr int32_t kCodeBarcode = 0x1A;
constexpr int32_t kCodeCashIn = 0x32;
constexpr int32_t kCodeCashOut = 0x33;

// The caller's receipt type -> the register's; -1 for types the register is not asked about.
constexpr int kChequeTypes[] = {
    1,   // 0 sale
    2,   // 1 return
    2,   // 2 return
    -1,  // 3 not supported
    4,   // 4 purchase
    5,   // 5 purchase return
};

// The caller's barcode type -> the renderer's kind; -1 for types that print nothing.
constexpr int kBarcodeKinds[] = {
    2,   // 0 UPC-A
    -1,  // 1 not supported
    1,   // 2 EAN-13
    0,   // 3 EAN-8
    3,   // 4 Code 39
};

constexpr int32_t kErrorPictureTooWide = -3931;  // "Размер картинки слишком большой"

Logger& log() { return Logger::instance(); }

} // namespace

int32_t Norvex::openCheque(int32_t type) {
    log().logCall(3, L"openCheque", L"%d", type);
    return run([&] {
        const uint32_t index = static_cast<uint32_t>(type);
        const int chequeType = index < std::size(kChequeTypes) ? kChequeTypes[index] : -1;
        if (chequeType < 0) raiseError(kErrorChequeTypeUnsupported);

        drv().setMode(kModeRegistration, parameters);
        updateMode(false);
        drv().openCheque(0, chequeType, parameters);

        prepareAnswerFields(kCodeOpenCheque, 6);
        setAnswerHex16(5, static_cast<uint16_t>(parameters[kParamCheckNumber].toInt()));
    });
}

int32_t Norvex::registration(const std::wstring& name, double price, double quantity,
                             const std::wstring& remark) {
    log().logCall(3, L"registration", L"\"%ls\" %lf %lf \"%ls\"", name.c_str(), price, quantity, remark.c_str());
    return run([&] {
        drv().info(parameters);
        parameters[kParamName].setText(name);
        drv().registration(parameters[kParamCheckState].toInt(), amountToMinorUnits(price), quantity, parameters);
        drv().getRegister(parameters, kRegisterChequeTotal, 0, 0);

        prepareAnswerFields(kCodeRegistration, 7);
        setAnswerAmount(5, price);
        setAnswerField(6, parameters[kParamSumm].toText());
    });
}

int32_t Norvex::discount(int32_t kind, double amount, const std::wstring& remark) {
    log().logCall(3, L"discount", L"%d %lf \"%ls\"", kind, amount, remark.c_str());
    return run([&] {
        // Always an amount, never a percentage; the kind only chooses the sign byte.
        const int sign = kind == 0 ? 1 : 0;
        drv().discount(0, 0, sign, amountToMinorUnits(amount), parameters);
        drv().getRegister(parameters, kRegisterChequeTotal, 0, 0);

        prepareAnswerFields(kCodeDiscount, 8);
        setAnswerField(7, parameters[kParamSumm].toText());
    });
}

int32_t Norvex::payment(int32_t type, double amount, const std::wstring& remark) {
    log().logCall(3, L"payment", L"%d %lf \"%ls\"", type, amount, remark.c_str());
    return run([&] {
        int64_t remainder = 0;
        int64_t change = 0;
        drv().payment(0, type, amountToMinorUnits(amount), remainder, change, parameters);

        prepareAnswerFields(kCodePayment, 7);
        setAnswerAmount(5, minorUnitsToAmount(remainder));
        setAnswerAmount(6, minorUnitsToAmount(change));
    });
}

int32_t Norvex::closeCheque() {
    log().logCall(3, L"closeCheque");
    return run([&] {
        drv().closeCheque(0, 0, parameters);
        prepareAnswerFields(kCodeCloseCheque, 5);
    });
}

int32_t Norvex::cancelCheque() {
    log().logCall(3, L"cancelCheque");
    return run([&] {
        drv().cancelCheque(parameters);
        prepareAnswerFields(kCodeCancelCheque, 5);
    });
}

int32_t Norvex::moveCash(int32_t direction, double amount, const std::wstring& text) {
    log().logCall(3, L"moveCash", L"%d %lf \"%ls\"", direction, amount, text.c_str());
    return run([&] {
        // A header that fails to print does not stop the cash movement.
        printHeader();

        drv().getRegister(parameters, kRegisterDrawerCash, 0, 0);
        const double before = parameters[kParamSumm].toDouble(0.0);
        drv().addTextField(text, parameters);
        drv().setMode(kModeRegistration, parameters);
        updateMode(false);
        drv().moveCash(direction, 0, amountToMinorUnits(amount), parameters);
        drv().getRegister(parameters, kRegisterDrawerCash, 0, 0);
        const double after = parameters[kParamSumm].toDouble(0.0);

        prepareAnswerFields(direction == 0 ? kCodeCashIn : kCodeCashOut, 7);
        setAnswerAmount(5, before);
        setAnswerAmount(6, after);
    });
}

int32_t Norvex::printBarcode(int32_t type, const std::wstring& data, int32_t height, int32_t textFlag) {
    log().logCall(3, L"printBarcode", L"%d \"%ls\" %d %d", type, data.c_str(), height, textFlag);
    return run([&] {
        drv().info(parameters);
        const uint32_t index = static_cast<uint32_t>(type);
        const int kind = index < std::size(kBarcodeKinds) ? kBarcodeKinds[index] : -1;
        if (kind < 0) return;  // nothing to print for this type, and nothing to report

        auto picture = std::make_unique<Graphic::BitPicture>();
        Graphic::renderBarcode(*picture, data, kind, true, 0, 1.0, height, textFlag == 0, L"ffffff", L"000000");
        const int32_t lineWidth = parameters[kParamPixelLineLength].toInt();
        if (picture->width() > lineWidth) raiseError(kErrorPictureTooWide);

        prepareAnswerFields(kCodeBarcode, 5);
        drv().printPicture(*picture, (lineWidth - picture->width()) / 2, parameters);
    });
}

std::wstring Norvex::summ() {
    log().logCall(3, L"summ");
    return Str::format(L"%.2lf", parameters[kParamSumm].toDouble(0.0));
}

int32_t Norvex::printHeader() {
    log().logCall(3, L"printHeader");
    return run([&] {
        drv().setMode(kModeProgramming, parameters);
        updateMode(false);
        double headerLines = 0.0;
        drv().value(headerLines, kValueHeaderLinesTape, parameters);

        // Seven header lines are already set after a Z report: the header then stays unprinted.
        if (headerLines != kFullHeader) {
            setHeaderLineCount(true);
            drv().setMode(kModeProgramming, parameters);
            updateMode(false);
            double savedCut = 0.0;
            drv().value(savedCut, kValueCutAfterDocument, parameters);
            drv().setValue(0.0, kValueCutAfterDocument, parameters);
            try {
                drv().printHeader(parameters);
                drv().setValue(savedCut, kValueCutAfterDocument, parameters);
            } catch (const Orn::Exception& e) {
                // Put the cut option back before reporting; if even that is refused, the
                // header failure is still the one worth reporting.
                const int32_t code = e.code();
                const int32_t parameterCode = e.parameterCode();
                try {
                    drv().setValue(savedCut, kValueCutAfterDocument, parameters);
                } catch (const Orn::Exception&) {
                }
                raiseError(code, parameterCode);
            }
        }

        setHeaderLineCount(false);
        drv().resetMode(parameters);
        updateMode(false);
    });
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
