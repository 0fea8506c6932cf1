// Platform services on POSIX: monotonic clock, /proc for the executable, and the Russian
// Windows code pages (OEM = CP866, ANSI = Windows-1251) from tables, so results do not
// depend on the host's locale.
#include "core/Platform.h"

#include <climits>
#include <cstdlib>
#include <ctime>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include "core/CodePages.h"

namespace Platform {

uint32_t tickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void sleepMs(uint32_t ms) {
    timespec req{};
    req.tv_sec = static_cast<time_t>(ms / 1000);
    req.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    timespec rem{};
    while (nanosleep(&req, &rem) != 0) req = rem;  // resumed after signals
}

uint32_t threadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

LocalTime localTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    const time_t secs = ts.tv_sec;
    localtime_r(&secs, &t);
    LocalTime lt{};
    lt.year = t.tm_year + 1900;
    lt.month = t.tm_mon + 1;
    lt.day = t.tm_mday;
    lt.hour = t.tm_hour;
    lt.minute = t.tm_min;
    lt.second = t.tm_sec;
    lt.millisecond = static_cast<int>(ts.tv_nsec / 1000000L);
    lt.weekday = t.tm_wday;
    return lt;
}

std::wstring getEnv(const std::wstring& name) {
    const char* v = std::getenv(toUtf8(name).c_str());
    return v ? fromUtf8(v) : std::wstring();
}

std::wstring executableDirectory() {
    char buf[PATH_MAX + 1];
    const ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return std::wstring();
    const std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return std::wstring();
    return fromUtf8(path.substr(0, slash + 1));
}

std::wstring fromOem(const std::string& bytes) {
    return Orn::CodePages::decode(bytes.data(), bytes.size(), Orn::CodePages::kCp866);
}

std::string toOem(const std::wstring& text) { return Orn::CodePages::encode(text, Orn::CodePages::kCp866); }

std::string toAnsi(const std::wstring& text) { return Orn::CodePages::encode(text, Orn::CodePages::kWindows1251); }

std::wstring fromAnsi(const std::string& bytes) {
    return Orn::CodePages::decode(bytes.data(), bytes.size(), Orn::CodePages::kWindows1251);
}

FILE* openFile(const std::wstring& path, const char* mode) { return std::fopen(toUtf8(path).c_str(), mode); }

// wchar_t holds whole code points here; surrogates and values past U+10FFFF become U+FFFD.
std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Malformed, overlong or truncated sequences become U+FFFD, one per offending byte.
std::wstring fromUtf8(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        size_t len = 0;
        uint32_t c = 0;
        uint32_t min = 0;
        if ((b & 0xE0) == 0xC0) { len = 2; c = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { len = 3; c = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { len = 4; c = b & 0x07; min = 0x10000; }
        bool ok = len != 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(bytes[i + k]);
            if ((cb & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (cb & 0x3F);
        }
        if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += len;
    }
    return out;
}

} // namespace Platform
