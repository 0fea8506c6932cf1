// The adapter object itself: construction, the error frame, result codes, text conversion,
// the connection and the register settings programmed at open.
#include "adapter/Norvex.h"
#include "adapter/RegisterModes.h"

#include <cmath>
#include <cstdlib>

#include "core/Logger.h"
#include "core/Platform.h"
#include "core/StringUtils.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {

// Factory defaults of the register; the emulator uses the same.
constexpr int32_t kFactoryAccessPassword = 0;
constexpr int32_t kFactoryUserPassword = 30;

constexpr int kModelDefault = 52;
constexpr int kModelLumo30 = 53;


// Error code -> API result code; codes not listed give 65535.
struct ResultRow {
    int32_t error;
    int32_t result;
};
constexpr ResultRow kApiResults[] = {
    {0, 0},
    {-1, 62561},
    {-3, 61442},
    {-10, 11},
    {-14, 61445},
    {-16, 13},
    {-20, 22},
    {-22, 176},
    {-3800, 18},
    {-3801, 13},
    {-3802, 13},
    {-3822, 21},
    {-3825, 5},
    {-3830, 3},
    {-3831, 3},
    {-3837, 41},
    {-3843, 28},
    {-3844, 29},
    {-3852, 20},
    {-3872, 32},
    {-3909, 23},
    {-3910, 53},
    {-3912, 55},
    {-3913, 59},
    {-3915, 67},
    {-3916, 60},
    {-3917, 66},
    {-3918, 63},
    {-3920, 69},
    {-3922, 64},
    {kErrorNotOpened, 177},
    {kErrorAlreadyOpened, 178},
    {kErrorNoFiscalDoc, 179},
    {kErrorFiscalDocOpened, 180},
    {kErrorChequeTypeUnsupported, 6},
};
constexpr int32_t kResultUnlisted = 65535;

// Port speed text -> the register's code in value 34; unlisted texts select 4800.
struct BaudRow {
    const wchar_t* rate;
    int code;
};
constexpr BaudRow kBaudCodes[] = {
    {L"1200", 1}, {L"2400", 2}, {L"4800", 3}, {L"9600", 4},
    {L"14400", 5}, {L"38400", 6}, {L"57600", 7}, {L"115200", 8},
};
constexpr int kBaudCodeUnlisted = 3;
constexpr int kValuePortSpeed = 34;

// Register values programmed at open, in the order they are written.
struct ValueRow {
    int number;
    double value;
};
constexpr ValueRow kOpenValuesBeforeFooter[] = {
    {228, 0},  // "Формат и печать ЭЖ"
    {83, 3},   // print-line command setting
    {235, 3},  // "Печать скидок/надбавок в X и Z-отчёте и при регистрации"
    {252, 3},  // "Отображение налогов в Z-отчёте и при регистрации"
    {59, 3},   // "Печатать название чека продажи"
    {285, 0},  // "Печать служебныйх сообщений"
};
constexpr ValueRow kOpenValuesAfterFooter[] = {
    {286, 1},  // no description in the register's table
    {58, 0},   // "Обнулять счетчик чеков при закрытии смены"
    {67, 0},   // "Кол-во строк клише на КЛ"
};
constexpr int kCaptionAdminName = 118;   // "Имя системного администратора"
constexpr int kCaptionFooterLine = 69;   // "1 строка текста после документа"
constexpr int kValueThroughNumbering = 57;  // "Печатать сквозной номер документов"
constexpr int kValueHeaderLinesTape = 66;   // "Кол-во строк клише на ЧЛ"
constexpr int kValueHeaderLinesTotal = 284; // "Общее кол-во строк клише"

const wchar_t* pageName(int32_t flag) { return flag == 2 ? L"OEM" : L"CP1251"; }

Logger& log() { return Logger::instance(); }

} // namespace

Norvex::Norvex() : parameters(kParameterCount) {
    try {
        log().logCall(3, L"Norvex", L"%d.%d.%d.%d", 1, 1, 6, 204);
        settings.set(L"Model", kModelDefault);
        settings.set(L"AccessPassword", kFactoryAccessPassword);
        settings.set(L"UserPassword", kFactoryUserPassword);
        settings.set(L"Port", 1);
        settings.set(L"BaudRate", 115200);
        settings.set(L"Bits", 8);
        settings.set(L"Parity", 0);
        settings.set(L"StopBits", 0);
        settings.set(L"TTYSuffix", L"ttyACM0");
        parameters[kParamTextWrap].setInt(2);
        parameters[kParamPricePointPosition].setInt(2);
        parameters[kParamDepartment].setInt(0);
        parameters[kParamUserPassword] = settings.find(L"UserPassword");
        driver.reset(createDriver(settings.find(L"Model").toInt()));
    } catch (...) {
        // Built while the library loads: a failure here leaves no driver, which every
        // operation then reports through drv().
    }
}

Norvex::~Norvex() {
    try {
        log().logCall(3, L"~Norvex");
    } catch (...) {
    }
}

// --- error frame ---------------------------------------------------------------------------

void Norvex::logAssignedError() noexcept {
    try {
        if (lastError.code() == 0) return;
        const std::wstring text = lastError.description();
        // The address as hexadecimal digits of its own: "%p" adds "0x" on some C libraries only.
        const unsigned long long address = reinterpret_cast<uintptr_t>(this);
        if (lastError.parameterCode() != 0)
            log().write(2, L"Объекту (0x%0*llX) присвоен код ошибки %d.%d (%ls)", int(2 * sizeof(void*)),
                        address, lastError.code(), lastError.parameterCode(), text.c_str());
        else
            log().write(2, L"Объекту (0x%0*llX) присвоен код ошибки %d (%ls)", int(2 * sizeof(void*)),
                        address, lastError.code(), text.c_str());
    } catch (...) {
    }
}

void Norvex::recordException(const Orn::Exception& e) noexcept {
    try {
        lastError.assign(e);
    } catch (...) {
        lastError.set(-22, 0, std::wstring());
    }
    logAssignedError();
}

void Norvex::recordOutOfMemory() noexcept {
    lastError.set(-22, 0, std::wstring());
    logAssignedError();
}

void Norvex::recordUnexpected(const std::exception* e) noexcept {
    try {
        if (e)
            log().write(2, L"Необрабатываемое исключение (%ls)", Platform::fromAnsi(e->what()).c_str());
        else
            log().write(2, L"Неизвестное исключение");
    } catch (...) {
    }
    // Nothing may cross the library boundary: the failure stays as the last error.
    lastError.set(kErrorUnexpected, 0, std::wstring());
    logAssignedError();
}

int32_t Norvex::apiResultCode() const {
    const int32_t code = lastError.code();
    for (const ResultRow& row : kApiResults)
        if (row.error == code) return row.result;
    return kResultUnlisted;
}

int32_t Norvex::initError(int32_t code) {
    log().logCall(3, L"initError", L"%d", code);
    lastError.set(code, 0, std::wstring());
    return apiResultCode();
}

std::wstring Norvex::errorDescription(int32_t number) {
    log().logCall(3, L"errorDescription", L"%d", number);
    if (number == 65535) return lastError.description();
    bool found = false;
    std::wstring text = apiResultText(number, &found);
    return found ? text : std::wstring(kNoDescription);
}

// --- helpers shared by the families ----------------------------------------------------------

AbstractFptrDriver& Norvex::drv() {
    if (!driver) raiseError(-9);
    return *driver;
}

std::wstring Norvex::readRegister(int reg, int first, int second) {
    drv().getRegister(parameters, reg, first, second);
    return parameters[kParamSumm].toText();
}

int64_t Norvex::amountToMinorUnits(double amount) {
    const double scale = std::pow(10.0, pricePointPosition());
    return static_cast<int64_t>((std::fabs(amount) + 0.00001) * scale);
}

double Norvex::minorUnitsToAmount(int64_t value) {
    return static_cast<double>(value) * std::pow(10.0, -pricePointPosition());
}

// --- text conversion -----------------------------------------------------------------------

std::wstring Norvex::decode(const char* text, int32_t flag) {
    if (flag == 0) flag = decoderFlag;
    log().logCall(3, L"decode", L"from %ls", pageName(flag));
    if (!text) return std::wstring();
    if (flag == 2) return Platform::fromOem(std::string(text));
    return Str::fromCp1251(text);
}

std::string Norvex::decode(const std::wstring& text, int32_t flag) {
    if (flag == 0) flag = decoderFlag;
    log().logCall(3, L"decode", L"\"%ls\" (to %ls)", text.c_str(), pageName(flag));
    if (flag == 2) return Platform::toOem(text);
    return Str::toCp1251(text);
}

void Norvex::setDecoderFlag(int32_t flag) {
    log().logCall(3, L"setDecoderFlag", L"%d", flag);
    decoderFlag = flag;
}

// --- connection ----------------------------------------------------------------------------

int32_t Norvex::updateModel() {
    log().logCall(4, L"updateModel");
    drv().info(parameters);
    const int32_t reported = parameters[kParamModel].toInt();
    log().write(3, L"Определенная модель ККМ - %d", reported);
    return reported == kModelLumo30 ? kModelLumo30 : kModelDefault;
}

int32_t Norvex::openDLL(const std::wstring& adminName, const std::wstring& accessPassword,
                        const std::wstring& port, const std::wstring& baudRate) {
    log().logCall(3, L"openDLL", L"\"%ls\" \"%ls\" \"%ls\" \"%ls\"", adminName.c_str(),
                  accessPassword.c_str(), port.c_str(), baudRate.c_str());
    const int32_t result = run([&] {
        // The number follows "COM"; without it the text from its third character on.
        std::wstring portText;
        const size_t com = port.find(L"COM");
        if (com != std::wstring::npos)
            portText = port.substr(com + 3);
        else if (port.size() >= 2)
            portText = port.substr(2);
        else
            raiseError(-6, -24);  // no port number at all

        const std::wstring override = Platform::getEnv(L"NORVEX_COM");
        if (!override.empty()) {
            log().write(2, L"Подмена номера порта на %ls", override.c_str());
            portText = override;
        }

        settings.set(L"Model", kModelDefault);
        settings.set(L"Port", Str::parseInt(portText));
        settings.set(L"AccessPassword", accessPassword);
        if (!baudRate.empty()) settings.set(L"BaudRate", baudRate);

        drv().setSettings(settings);
        drv().setEnabled(1);

        const int32_t model = updateModel();
        settings.set(L"Model", model);
        std::unique_ptr<AbstractFptrDriver> detected(createDriver(model));
        if (!detected) raiseError(-9);
        if (detected.get() != driver.get()) {
            // The old driver releases its port when it is destroyed.
            driver.reset();
            driver = std::move(detected);
        } else {
            detected.release();
        }

        drv().setSettings(settings);
        drv().setEnabled(1);
        drv().info(parameters);
        if (parameters[kParamCheckState].toInt() != 0) drv().cancelCheque(parameters);

        configureRegister(adminName);
        prepareJournal();
        opened = true;
    });
    if (!opened && driver) {
        // A failed open must not keep the port: a retry with other settings opens it anew.
        const NorvexError failure = lastError;
        protect([&] { driver->setEnabled(0); });
        lastError = failure;
    }
    return result;
}

void Norvex::configureRegister(const std::wstring& adminName) {
    try {
        AbstractFptrDriver& d = drv();
        d.setMode(kModeProgramming, parameters);
        updateMode(false);
        d.setCaption(adminName, kCaptionAdminName, parameters);
        for (const ValueRow& row : kOpenValuesBeforeFooter) d.setValue(row.value, row.number, parameters);
        d.setCaption(std::wstring(), kCaptionFooterLine, parameters);
        for (const ValueRow& row : kOpenValuesAfterFooter) d.setValue(row.value, row.number, parameters);

        double numbering = 0;
        d.value(numbering, kValueThroughNumbering, parameters);
        const int32_t cleared = static_cast<int32_t>(numbering) & ~2;
        d.setValue(cleared, kValueThroughNumbering, parameters);

        setHeaderLineCount(false);
        lastError.clear();
        drv().resetMode(parameters);
        updateMode(false);
    } catch (const Orn::Exception&) {
        // The open does not depend on these settings being accepted.
    }
}

int32_t Norvex::closeDLL() {
    log().logCall(3, L"closeDLL");
    return run([&] {
        drv().setEnabled(0);
        opened = false;
    });
}

int32_t Norvex::setBaudrate(const std::wstring& rate) {
    log().logCall(3, L"setBaudrate", L"%ls", rate.c_str());
    return run([&] {
        drv().setMode(kModeProgramming, parameters);
        updateMode(false);
        int code = kBaudCodeUnlisted;
        for (const BaudRow& row : kBaudCodes)
            if (rate == row.rate) code = row.code;
        drv().setValue(code, kValuePortSpeed, parameters);
    });
}

// --- status and mode -----------------------------------------------------------------------

int32_t Norvex::status() {
    log().logCall(3, L"status");
    lastError.clear();
    statusBytes.fill(0);
    return run([&] {
        drv().info(parameters);
        const int32_t flags = parameters[kParamDeviceFlags].toInt();
        std::array<uint8_t, 6> bytes{0x3E, 0x12, 0x32, 0x12, 0x52, 0x76};
        if (flags & 0x08) {
            bytes[2] = 0x12;
            bytes[4] = 0x12;
        }
        if (flags & 0x20) bytes[2] |= 0x80;
        statusBytes = bytes;
    });
}

uint8_t Norvex::statusByte(uint32_t n) {
    log().logCall(3, L"statusByte", L"%d", static_cast<int>(n));
    if (n < 1 || n > statusBytes.size()) return 0;
    return statusBytes[n - 1];
}

void Norvex::updateMode(bool force) {
    log().logCall(4, L"updateMode");
    const NorvexError saved = lastError;
    if (saved.code() == 0 || force)
        protect([&] { parameters[kParamMode].setInt(drv().state(parameters) & 0xFF); });
    lastError = saved;
}

int32_t Norvex::pricePointPosition() {
    log().logCall(3, L"pricePointPosition");
    return parameters[kParamPricePointPosition].toInt();
}

// --- register values -----------------------------------------------------------------------

int32_t Norvex::setValue(int32_t number, double value) {
    log().logCall(3, L"setValue", L"%d %lf", number, value);
    return run([&] {
        drv().setMode(kModeProgramming, parameters);
        updateMode(false);
        drv().setValue(value, number, parameters);
        drv().setMode(kModeSelect, parameters);
        updateMode(false);
    });
}

void Norvex::setHeaderLineCount(bool full) {
    const double lines = full ? 7.0 : 1.0;
    setValue(kValueHeaderLinesTape, lines);
    setValue(kValueHeaderLinesTotal, lines);
    lastError.clear();
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
