#include "Error.h"

#include <map>
#include <string>

#include "ErrorCatalogue.h"
#include "Logger.h"
#include "Platform.h"

namespace Orn {

using namespace Catalogue;

const wchar_t* const kNoDescription = L"Описание ошибки недоступно";

namespace {

const wchar_t* const kNotSupportedSuffix = L" не поддерживается в данной модели оборудования";

// Code -> text map of one table, built on first use.
template <typename Row, typename TextOf>
std::map<int32_t, std::wstring> buildMap(const Row* rows, size_t n, TextOf textOf) {
    std::map<int32_t, std::wstring> m;
    for (size_t i = 0; i < n; ++i) {
        std::wstring text = textOf(rows[i]);
        if (!text.empty()) m.emplace(rows[i].code, text);  // rows without a text of their own stay out
    }
    return m;
}

std::wstring lookup(const std::map<int32_t, std::wstring>& m, int32_t code, bool* found = nullptr) {
    auto it = m.find(code);
    if (found) *found = it != m.end();
    return it != m.end() ? it->second : std::wstring(kNoDescription);
}

std::wstring plainText(const CodeText& r) {
    return r.text ? std::wstring(r.text) : std::wstring();
}

const std::map<int32_t, std::wstring>& driverMap() {
    static const std::map<int32_t, std::wstring> m = buildMap(kDriverTable, kDriverTableSize, plainText);
    return m;
}

const std::map<int32_t, std::wstring>& parameterMap() {
    static const std::map<int32_t, std::wstring> m =
        buildMap(kParameterTable, kParameterTableSize, [](const ParameterRow& r) {
            if (r.text) return std::wstring(r.text);
            return r.name ? std::wstring(L"Ошибка в ") + r.name : std::wstring();
        });
    return m;
}

const std::map<int32_t, std::wstring>& fptrMap() {
    static const std::map<int32_t, std::wstring> m =
        buildMap(kFptrTable, kFptrTableSize, [](const FptrRow& r) {
            return r.text ? std::wstring(r.text) : std::wstring();
        });
    return m;
}

const std::map<int32_t, std::wstring>& scaleLPMap() {
    static const std::map<int32_t, std::wstring> m = buildMap(kScaleLPTable, kScaleLPTableSize, plainText);
    return m;
}

const std::map<int32_t, std::wstring>& scaleMap() {
    static const std::map<int32_t, std::wstring> m = buildMap(kScaleTable, kScaleTableSize, plainText);
    return m;
}

const std::map<int32_t, std::wstring>& rcpprnMap() {
    static const std::map<int32_t, std::wstring> m =
        buildMap(kRcpprnTable, kRcpprnTableSize, [](const RcpprnRow& r) {
            const std::wstring name = r.text ? r.text : L"";
            switch (r.kind) {
            case RcpprnText::Feature: return name + kNotSupportedSuffix;
            case RcpprnText::InvalidField: return L"Неверное значение в поле " + name;
            case RcpprnText::UnsupportedField: return L"Значение в поле " + name + kNotSupportedSuffix;
            case RcpprnText::Full: break;
            }
            return name;
        });
    return m;
}

const std::map<int32_t, std::wstring>& apiMap() {
    static const std::map<int32_t, std::wstring> m = buildMap(kApiResultTable, kApiResultTableSize, plainText);
    return m;
}

// Register byte -> error code, from the fiscal rows and the bytes that mean driver codes.
const std::map<int, int32_t>& registerByteMap() {
    static const std::map<int, int32_t> m = [] {
        std::map<int, int32_t> r;
        for (size_t i = 0; i < kFptrTableSize; ++i)
            if (kFptrTable[i].registerByte != kNoByte) r.emplace(kFptrTable[i].registerByte, kFptrTable[i].code);
        for (size_t i = 0; i < kRegisterBytesToDriverCodesSize; ++i)
            r.emplace(kRegisterBytesToDriverCodes[i].registerByte, kRegisterBytesToDriverCodes[i].code);
        return r;
    }();
    return m;
}

// Family tables answer only for their own range; everything above -199 is the driver's.
std::wstring familyText(int32_t code, int32_t low, int32_t high,
                        const std::map<int32_t, std::wstring>& (*table)()) {
    if (code < -199) {
        if (code < low || code > high) return kNoDescription;
        return lookup(table(), code);
    }
    return driverErrorText(code);
}

} // namespace

std::wstring driverErrorText(int32_t code) { return lookup(driverMap(), code); }

std::wstring parameterErrorText(int32_t parameterCode) {
    if (parameterCode < -200 || parameterCode > 0) return kNoDescription;
    return lookup(parameterMap(), parameterCode);
}

std::wstring fptrErrorText(int32_t code) { return familyText(code, -3971, -3800, fptrMap); }
std::wstring scaleLPErrorText(int32_t code) { return familyText(code, -2099, -2001, scaleLPMap); }
std::wstring scaleErrorText(int32_t code) { return familyText(code, -2705, -2700, scaleMap); }
std::wstring rcpprnErrorText(int32_t code) { return familyText(code, -6107, -6001, rcpprnMap); }

std::wstring apiResultText(int32_t code, bool* found) { return lookup(apiMap(), code, found); }

// ---- Error family

std::wstring Error::description() const {
    if (!description_.empty()) return description_;
    return driverErrorText(code_);
}

std::wstring Error::parameterDescription() const { return kNoDescription; }

void Error::clear() {
    code_ = 0;
    parameterCode_ = 0;
    description_.clear();
}

void Error::assign(const Exception& e) {
    const std::wstring d = e.description();
    const int32_t p = e.parameterCode();
    const int32_t c = e.code();
    set(c, p, d);
}

void Error::set(int32_t code, int32_t parameterCode, const std::wstring& description) {
    code_ = code;
    parameterCode_ = parameterCode;
    description_ = description;
}

void Error::assign(const Error& other) {
    const std::wstring d = other.description();
    const int32_t p = other.parameterCode();
    const int32_t c = other.code();
    set(c, p, d);
}

std::wstring FptrError::description() const {
    if (!storedDescription().empty()) return storedDescription();
    return fptrErrorText(code());
}

std::wstring FptrError::parameterDescription() const { return parameterErrorText(parameterCode()); }

std::wstring ScaleLPError::description() const {
    if (!storedDescription().empty()) return storedDescription();
    return scaleLPErrorText(code());
}

std::wstring ScaleError::description() const {
    if (!storedDescription().empty()) return storedDescription();
    return scaleErrorText(code());
}

std::wstring RcpprnError::description() const {
    if (!storedDescription().empty()) return storedDescription();
    return rcpprnErrorText(code());
}

std::wstring PayCardError::description() const { return storedDescription(); }

// ---- Exceptions

// A rejected parameter is always reported as "invalid value" with the parameter beside it.
Exception::Exception(int32_t code, int32_t parameterCode)
    : code_(parameterCode != 0 ? -6 : code), parameterCode_(parameterCode) {}

std::string Exception::message() const { return "QLM Error (" + std::to_string(code()) + ")"; }

CustomDescriptionException::CustomDescriptionException(int32_t code, const std::wstring& description,
                                                       int32_t parameterCode)
    : Exception(code, parameterCode), description_(description) {}

std::string CustomDescriptionException::message() const {
    return "QLM Error (" + std::to_string(code()) + " - " + Platform::toAnsi(description_) + ")";
}

void raiseError(int32_t code, int32_t parameterCode, const std::wstring& description) {
    if (code == 0) return;
    Logger::instance().write(2, L"Ошибка %d.%d (%ls)", static_cast<int>(code), static_cast<int>(parameterCode),
                             description.c_str());
    if (!description.empty()) throw CustomDescriptionException(code, description, parameterCode);
    throw Exception(code, parameterCode);
}

int32_t errorFromRegisterCode(int32_t registerCode) {
    if (registerCode < 0) return registerCode;
    if (registerCode == 0) return 0;
    const auto& m = registerByteMap();
    auto it = m.find(registerCode);
    if (it != m.end()) return it->second;
    Logger::instance().write(2, L"Запрос неизвестная ошибка %d протокола TAVRO", static_cast<int>(registerCode));
    return -199;
}

} // namespace Orn
