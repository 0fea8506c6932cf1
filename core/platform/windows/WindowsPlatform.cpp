// Platform services on the Win32 API; wchar_t is UTF-16 here.
#include "core/Platform.h"

#include <windows.h>

#include <vector>

namespace Platform {

namespace {

std::wstring toWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

std::string toNarrow(UINT codePage, const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace

uint32_t tickCount() { return static_cast<uint32_t>(GetTickCount()); }

void sleepMs(uint32_t ms) { Sleep(ms); }

uint32_t threadId() { return static_cast<uint32_t>(GetCurrentThreadId()); }

LocalTime localTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime lt{};
    lt.year = st.wYear;
    lt.month = st.wMonth;
    lt.day = st.wDay;
    lt.hour = st.wHour;
    lt.minute = st.wMinute;
    lt.second = st.wSecond;
    lt.millisecond = st.wMilliseconds;
    lt.weekday = st.wDayOfWeek;
    return lt;
}

std::wstring getEnv(const std::wstring& name) {
    const DWORD n = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (n == 0) return std::wstring();
    std::vector<wchar_t> buf(n + 1, L'\0');
    const DWORD got = GetEnvironmentVariableW(name.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (got == 0 || got >= buf.size()) return std::wstring();
    return std::wstring(buf.data(), got);
}

// The host process's module (NULL handle), not this library's.
std::wstring executableDirectory() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::wstring();
        if (n < buf.size()) {
            const std::wstring path(buf.data(), n);
            const size_t sep = path.find_last_of(L"\\/");
            return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
        }
        if (buf.size() >= 32768) return std::wstring();
        buf.resize(buf.size() * 2);
    }
}

std::wstring fromOem(const std::string& bytes) { return toWide(CP_OEMCP, bytes); }
std::string toOem(const std::wstring& text) { return toNarrow(CP_OEMCP, text); }
std::string toAnsi(const std::wstring& text) { return toNarrow(CP_ACP, text); }
std::wstring fromAnsi(const std::string& bytes) { return toWide(CP_ACP, bytes); }

FILE* openFile(const std::wstring& path, const char* mode) {
    std::wstring wideMode;
    for (const char* p = mode; p && *p; ++p) wideMode += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return _wfopen(path.c_str(), wideMode.c_str());
}

std::string toUtf8(const std::wstring& text) { return toNarrow(CP_UTF8, text); }
std::wstring fromUtf8(const std::string& bytes) { return toWide(CP_UTF8, bytes); }

} // namespace Platform
