#include "api/ApiFrame.h"

#include <cstdarg>
#include <cstring>

#include "core/StringUtils.h"

namespace Orn {
namespace Api {

const wchar_t* const kNotImplemented = L"Метод не реализован";
const char kDllVersion[10] = "1.1.6.204";

namespace {
constexpr int kEntryLevel = 3;
}

Adapter& adapter() { return Orn::Fptr::Norvex::norvexAdapter(); }

void logEntry(const wchar_t* name) { Logger::instance().logCall(kEntryLevel, name); }

void logEntry(const wchar_t* name, const wchar_t* fmt, ...) {
    Logger& log = Logger::instance();
    if (!log.enabled(kEntryLevel)) return;
    va_list ap;
    va_start(ap, fmt);
    std::wstring added = Orn::Utils::String::vformat(fmt, ap);
    va_end(ap);
    log.logCall(kEntryLevel, name, L"%ls", added.c_str());
}

void logNotImplemented(const wchar_t* name) {
    Logger::instance().logCall(kEntryLevel, name, L"%ls", kNotImplemented);
}

int32_t escapedFailure() noexcept {
    try {
        return adapter().initError(Orn::Fptr::Norvex::kErrorUnexpected);
    } catch (...) {
        return 65535;  // the code of every error the result table does not list
    }
}

std::wstring text(const char* s, int32_t flag) {
    if (!s) return std::wstring();
    return adapter().decode(s, flag);
}

char* copyOut(const std::wstring& s, char* buffer) {
    if (!buffer) return buffer;
    const std::string narrow = adapter().decode(s, kCurrentCodePage);
    const size_t n = narrow.size() < kTextCopyLimit ? narrow.size() : kTextCopyLimit;
    std::memcpy(buffer, narrow.data(), n);
    buffer[n] = '\0';
    return buffer;
}

double fromMinor(int32_t value) {
    return Orn::Utils::String::fromMinorUnits(static_cast<int64_t>(value), adapter().pricePointPosition());
}

double amountText(const char* s) { return Orn::Utils::String::parseDouble(text(s)); }

std::wstring leftPart(const std::wstring& s, int32_t count) {
    if (count <= 0) return std::wstring();
    return s.substr(0, static_cast<size_t>(count));
}

int32_t fixTypeClose(int32_t payType, int32_t receiptType) {
    Logger& log = Logger::instance();
    log.logCall(kEntryLevel, L"fixTypeClose", L"%d %d", payType, receiptType);
    if (payType == 2) {
        log.write(kEntryLevel, L"fix typeclose 2->3");
        payType = 3;
    }
    if (receiptType != kNoReceiptType && (receiptType == 4 || receiptType == 5)) {
        log.write(kEntryLevel, L"fix typeclose to 0");
        payType = 0;
    }
    return payType;
}

} // namespace Api
} // namespace Orn
