#pragma once
// The adapter: the one object that implements every API operation on top of the
// fiscal-printer driver interface. Its sources are split by operation family.
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "core/Value.h"
#include "fptr/AbstractFptrDriver.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

// Adapter error codes (no catalogue text of their own).
enum AdapterErrorCode : int32_t {
    kErrorNotOpened = -30001,
    kErrorAlreadyOpened = -30002,
    kErrorNoFiscalDoc = -30003,
    kErrorFiscalDocOpened = -30004,
    kErrorChequeTypeUnsupported = -30005,
};

// What an unexpected standard (or unknown) exception leaves as the last error: the library
// boundary never lets it through.
constexpr int32_t kErrorUnexpected = -199;

// Parameter numbers of the driver's parameter set that the adapter relies on.
enum AdapterParameter : int {
    kParamModel = 0,
    kParamSumm = 1,
    kParamDeviceFlags = 8,
    kParamTextWrap = 9,
    kParamDocumentNumber = 12,
    kParamCheckNumber = 17,
    kParamCheckState = 18,
    kParamDepartment = 23,
    kParamMode = 27,
    kParamShiftNumber = 31,
    kParamUserPassword = 34,
    kParamInn = 42,
    kParamSerialNumber = 45,
    kParamMachineNumber = 46,
    kParamMinute = 48,
    kParamHour = 49,
    kParamDay = 50,
    kParamMonth = 51,
    kParamYear = 52,
    kParamRegisterValue = 53,
    kParamShiftOpened = 54,
    kParamPricePointPosition = 65,
};

constexpr size_t kParameterCount = 106;
constexpr uint32_t kNoHeaderRowLimit = 0xFFFFFFFFu;

// One line of the fiscal document being assembled.
struct DocumentLine {
    std::wstring text;
    int8_t attribute = 0;
};

// A field text read as a little-endian hexadecimal number of `bytes` bytes (1, 2 or 4),
// pairs taken from the end of the text; missing digits count as 0.
uint32_t readHexField(const std::wstring& text, int bytes);

class Norvex {
public:
    Norvex();
    virtual ~Norvex();
    Norvex(const Norvex&) = delete;
    Norvex& operator=(const Norvex&) = delete;

    // --- connection and settings -------------------------------------------------------
    int32_t openDLL(const std::wstring& adminName, const std::wstring& accessPassword,
                    const std::wstring& port, const std::wstring& baudRate);
    int32_t closeDLL();
    int32_t setBaudrate(const std::wstring& rate);
    int32_t status();
    uint8_t statusByte(uint32_t n);
    void updateMode(bool force);
    int32_t updateModel();
    int32_t pricePointPosition();
    std::wstring decode(const char* text, int32_t flag);
    std::string decode(const std::wstring& text, int32_t flag);
    void setDecoderFlag(int32_t flag);
    int32_t initError(int32_t code);
    std::wstring errorDescription(int32_t number);
    int32_t apiResultCode() const;
    bool isOpened() const { return opened; }
    int32_t setValue(int32_t number, double value);
    void setHeaderLineCount(bool full);

    // --- answer fields -------------------------------------------------------------------
    int32_t prepareAnswerFields(int32_t code, int32_t count);
    int32_t answerFieldCount() const;
    int32_t answerField(int32_t n, Value& out) const;
    // Reader side of the GetFld family (a missing field reads as the empty text).
    uint32_t answerFieldHex(int32_t n, int bytes) const;   // GetFldInt 4, GetFldWord 2, GetFldByte 1
    double answerFieldDouble(int32_t n) const;             // GetFldFloat
    std::wstring answerFieldText(int32_t n) const;         // GetFldStr (before encoding)

    // --- receipts ------------------------------------------------------------------------
    int32_t openCheque(int32_t type);
    int32_t registration(const std::wstring& name, double price, double quantity,
                         const std::wstring& remark);
    int32_t discount(int32_t kind, double amount, const std::wstring& remark);
    int32_t payment(int32_t type, double amount, const std::wstring& remark);
    int32_t closeCheque();
    int32_t cancelCheque();
    int32_t moveCash(int32_t direction, double amount, const std::wstring& text);
    int32_t printBarcode(int32_t type, const std::wstring& data, int32_t height, int32_t textFlag);
    std::wstring summ();
    int32_t printHeader();

    // --- fiscal documents and free text --------------------------------------------------
    int32_t openFiscalDoc(int32_t type, int32_t payType, double total, int32_t printouts);
    bool isFiscalDocOpened();
    void limitHeaderRows(uint32_t row);
    int32_t addString(uint32_t row, uint32_t column, int8_t attribute, const std::wstring& text);
    int32_t printFormatString(int8_t attribute, const std::wstring& text);
    int32_t printString(const std::wstring& text);
    int32_t closeFiscalDoc(bool print);
    int32_t closeNonFiscalDoc();
    int32_t printFooter();
    int32_t setCaption(int32_t number, const std::wstring& text);
    int32_t cut(int32_t feedLines);
    std::wstring serialNumber();
    std::wstring docNumber();
    std::wstring inn();
    std::wstring cashier();
    std::wstring date();
    std::wstring time();
    // The lines of the fiscal document being assembled, row by row.
    const std::vector<DocumentLine>& documentBuffer() const { return documentLines; }

    // --- reports, shift and device information -------------------------------------------
    int32_t report(int32_t type);
    int32_t reportXToMemory();
    int32_t reportXExtendedToMemory();
    int32_t reportTypeCloseToMemory(int32_t payType);
    int32_t openSession(const std::wstring& text);
    int32_t setSeanceState(bool started);
    int32_t kkmInfo();
    int32_t resources();
    int32_t fillNumbers();
    int32_t fillSerialNumber();
    int32_t getParamDoc();
    int32_t dateTime();
    int32_t setDateTime(const std::wstring& date, const std::wstring& time);
    int32_t openDrawer();

    // --- document journal ----------------------------------------------------------------
    void journalUpdate();
    int32_t printChequeByShift(int32_t shift);
    int32_t printChequeByNumber(int32_t first, int32_t last);
    int32_t currentShiftNumber();

    // --- read access for the API layer and tests -----------------------------------------
    const NorvexError& error() const { return lastError; }
    const Settings& connectionSettings() const { return settings; }
    ParameterSet& parameterSet() { return parameters; }
    AbstractFptrDriver* currentDriver() const { return driver.get(); }
    int32_t currentDecoderFlag() const { return decoderFlag; }
    uint32_t currentHeaderRowLimit() const { return headerRowLimit; }

    // --- shared by the operation families --------------------------------------------------
    // Runs body with the last error cleared; a failure becomes the last error. Returns
    // apiResultCode(). Nothing escapes.
    template <typename Body>
    int32_t run(Body&& body) noexcept {
        lastError.clear();
        protect(std::forward<Body>(body));
        return apiResultCode();
    }

    // Runs body keeping the last error it finds; a failure becomes the last error.
    // True when the body completed.
    template <typename Body>
    bool protect(Body&& body) noexcept {
        try {
            body();
            return true;
        } catch (const Orn::Exception& e) {
            recordException(e);
        } catch (const std::bad_alloc&) {
            recordOutOfMemory();
        } catch (const std::exception& e) {
            recordUnexpected(&e);
        } catch (...) {
            recordUnexpected(nullptr);
        }
        return false;
    }

    // The driver in use; raises -9 when there is none (a model the registry does not know).
    AbstractFptrDriver& drv();
    // Reads register reg (first, second) and returns the text it left in parameter 1.
    std::wstring readRegister(int reg, int first, int second);
    // Money between currency amounts and the driver's minor units (pricePointPosition decimals).
    int64_t amountToMinorUnits(double amount);
    double minorUnitsToAmount(int64_t value);
    // Answer field writers; the field vector grows when n is beyond its end.
    void setAnswerField(size_t n, const std::wstring& text);
    void setAnswerHex16(size_t n, uint16_t value);    // low byte first
    void setAnswerAmount(size_t n, double amount);    // "%lf"

private:
    void recordException(const Orn::Exception& e) noexcept;
    void recordOutOfMemory() noexcept;
    void recordUnexpected(const std::exception* e) noexcept;
    void logAssignedError() noexcept;
    void configureRegister(const std::wstring& adminName);
    void prepareJournal();

    int32_t decoderFlag = 0;
    NorvexError lastError;
    std::unique_ptr<AbstractFptrDriver> driver;
    Settings settings;
    ParameterSet parameters;
    std::vector<Value> answerFields;
    bool opened = false;
    std::array<uint8_t, 6> statusBytes{};
    bool fiscalDocOpened = false;
    std::vector<DocumentLine> documentLines;
    uint32_t headerRowLimit = kNoHeaderRowLimit;
    bool seanceStarted = false;
    int32_t copyCount = 0;
};

// The library's one adapter, built while the library loads.
Norvex& norvexAdapter();

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
