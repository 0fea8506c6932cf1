#pragma once
// Platform services; core/platform/posix and core/platform/windows implement them.
#include <cstdint>
#include <cstdio>
#include <string>

namespace Platform {

uint32_t tickCount();                 // milliseconds since an arbitrary start, wraps
void sleepMs(uint32_t ms);
uint32_t threadId();

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond, weekday;
};
LocalTime localTime();

std::wstring getEnv(const std::wstring& name);        // absent reads as empty
std::wstring executableDirectory();                   // with its final separator; empty if unknown

// Host code pages: OEM (CP866 on POSIX) and ANSI (Windows-1251 on POSIX).
std::wstring fromOem(const std::string& bytes);
std::string toOem(const std::wstring& text);
std::string toAnsi(const std::wstring& text);
std::wstring fromAnsi(const std::string& bytes);

// fopen with a wide path (UTF-8 on POSIX, the wide API on Windows); null on failure.
FILE* openFile(const std::wstring& path, const char* mode);

// Wide text <-> UTF-8 (file names, SQLite, logs).
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& bytes);

} // namespace Platform
