#pragma once
// What every export shares: the entry line, the opened guard, argument conversion, the
// copy of texts into the caller's buffer and the catch-all that keeps every failure on
// this side of the library boundary.
#include <cstdint>
#include <string>

// The exported functions are the only symbols of default visibility in the library.
#pragma GCC visibility push(default)
#include "norvex.h"
#pragma GCC visibility pop

#include "adapter/Norvex.h"
#include "core/Logger.h"

namespace Orn {
namespace Api {

using Adapter = Orn::Fptr::Norvex::Norvex;

// Logged by every stub after its name.
extern const wchar_t* const kNotImplemented;  // "Метод не реализован"
// What GetDllVer writes, zero byte included.
extern const char kDllVersion[10];
// Longest text handed back to a caller; one zero byte follows it.
constexpr size_t kTextCopyLimit = 32001;
// Receipt type that means "no document" to fixTypeClose.
constexpr int32_t kNoReceiptType = 127;
// Code page flags of the adapter's decode: 0 follows the flag that OpenDLL chose.
constexpr int32_t kCurrentCodePage = 0;
constexpr int32_t kCodePage1251 = 1;
constexpr int32_t kCodePageOem = 2;

Adapter& adapter();

// Entry lines at level 3: ">> name()" or ">> name() text".
void logEntry(const wchar_t* name);
void logEntry(const wchar_t* name, const wchar_t* fmt, ...);
void logNotImplemented(const wchar_t* name);

// Sets the last error for a failure that escaped the adapter and returns its result code.
int32_t escapedFailure() noexcept;

// Caller text to wide text with the given code page flag; null reads as empty.
std::wstring text(const char* s, int32_t flag = kCurrentCodePage);
// Wide text into the caller's buffer in the current code page: at most kTextCopyLimit bytes,
// then a zero byte. A null buffer is left alone. Returns the buffer.
char* copyOut(const std::wstring& s, char* buffer);
// Integer money in minor units to a currency amount.
double fromMinor(int32_t value);
// Money written as text in full currency units (text that is no number reads as 0).
double amountText(const char* s);
// The first `count` characters of s (none for a negative count).
std::wstring leftPart(const std::wstring& s, int32_t count);
// Payment type adjusted for the register: 2 becomes 3; receipt types 4 and 5 take 0.
int32_t fixTypeClose(int32_t payType, int32_t receiptType);

// Runs entry, the opened guard and body(adapter) under the catch-all; returns the body's
// result, the guard's 177 or the escaped failure's code.
template <typename Entry, typename Body>
int32_t frame(Entry&& entry, Body&& body) noexcept {
    try {
        entry();
        Adapter& a = adapter();
        if (!a.isOpened()) return a.initError(Orn::Fptr::Norvex::kErrorNotOpened);
        return body(a);
    } catch (...) {
        return escapedFailure();
    }
}

// The frame with the bare entry line.
template <typename Body>
int32_t operation(const wchar_t* name, Body&& body) noexcept {
    return frame([name] { logEntry(name); }, body);
}

// The frame with the "not implemented" entry line, for stubs that still work.
template <typename Body>
int32_t unfinishedOperation(const wchar_t* name, Body&& body) noexcept {
    return frame([name] { logNotImplemented(name); }, body);
}

// Exports that return data instead of a code: when not opened the guard still records
// -30001, and the export returns `closed`; an escaped failure returns `failed`.
template <typename R, typename Body>
R query(const wchar_t* name, R closed, R failed, Body&& body) noexcept {
    try {
        logEntry(name);
        Adapter& a = adapter();
        if (!a.isOpened()) {
            a.initError(Orn::Fptr::Norvex::kErrorNotOpened);
            return closed;
        }
        return body(a);
    } catch (...) {
        escapedFailure();
        return failed;
    }
}

} // namespace Api
} // namespace Orn
