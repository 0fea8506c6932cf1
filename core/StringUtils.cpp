#include "StringUtils.h"

#include <cmath>
#include <cwchar>
#include <limits>
#include <sstream>

#include "CodePages.h"
#include "Platform.h"

namespace Orn { namespace Utils { namespace String {

namespace {

const double kTolerance = 0.00001;

double powerOf(double base, int n) {
    double r = 1.0;
    for (int i = 0; i < n; ++i) r *= base;
    return r;
}

// Truncation toward zero; values the type cannot hold (and NaN) give the smallest int64,
// as the processor's own conversion does.
int64_t truncToInt64(double x) {
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0)) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(x);
}

uint64_t magnitude(int64_t v) {
    return v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
}

// Both orders named and different: most significant byte first.
bool mostSignificantFirst(int orderA, int orderB) {
    return (orderA == 1 && orderB == 2) || (orderA == 2 && orderB == 1);
}

bool isBreak(wchar_t c, int breakSet) {
    switch (breakSet) {
    case 1:
        return c == L' ' || c == L';' || c == L'-' || c == L'?' || c == L'!' || c == L')' || c == L'}' ||
               c == L']' || c == L'\n';
    case 2:
        return c == L'\n';
    default:
        return false;
    }
}

int hexDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <typename S>
uint32_t parseHexT(const S& text, size_t maxLen, size_t* digits) {
    uint32_t v = 0;
    size_t i = 0;
    for (; i < text.size() && i < maxLen; ++i) {
        const int d = hexDigit(static_cast<int>(text[i]));
        if (d < 0) break;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    if (digits) *digits = i;
    return v;
}

} // namespace

// ---- Code pages

// Byte 0xA0 reads as a plain blank and the unassigned 0x98 as U+0000, which the register's
// text handling expects.
std::wstring fromCp1251(const char* bytes, int count) {
    std::wstring out;
    if (!bytes) return out;
    const size_t n = count < 0 ? std::char_traits<char>::length(bytes) : static_cast<size_t>(count);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) out += static_cast<wchar_t>(b);
        else if (b == 0xA0) out += L' ';
        else out += CodePages::kWindows1251[b - 0x80];
    }
    return out;
}

std::wstring fromCp1251(const std::string& bytes) { return fromCp1251(bytes.data(), static_cast<int>(bytes.size())); }

// First byte holding the character; the no-break space has none here (its byte reads as a blank).
std::string toCp1251(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (static_cast<unsigned long>(c) < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        char b = '?';
        for (int i = 0; i < 128; ++i) {
            if (i != 0xA0 - 0x80 && CodePages::kWindows1251[i] == c) {
                b = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += b;
    }
    return out;
}

std::string toAnsi(const std::wstring& text) { return text.empty() ? std::string() : Platform::toAnsi(text); }

std::string toNarrowByTable(const std::wstring& text, const wchar_t* table128) {
    if (!table128) return toAnsi(text);
    return CodePages::encode(text, table128);
}

std::wstring fromAscii(const char* bytes) {
    std::wstring out;
    if (!bytes) return out;
    for (; *bytes; ++bytes) {
        const unsigned char b = static_cast<unsigned char>(*bytes);
        out += b < 0x80 ? static_cast<wchar_t>(b) : L'?';
    }
    return out;
}

// ---- Text layout

std::wstring pad(const std::wstring& text, int width, int mode, wchar_t fill) {
    if (text.empty()) return text;
    std::wstring out = text;
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    switch (mode) {
    case 0:
        if (out.size() < w) out.append(w - out.size(), fill);
        break;
    case 1:
        if (out.size() < w) out.insert(0, w - out.size(), fill);
        break;
    case 2: {
        const size_t front = (w + text.size()) / 2;
        if (out.size() < front) out.insert(0, front - out.size(), fill);
        if (out.size() < w) out.append(w - out.size(), fill);
        break;
    }
    default:
        break;
    }
    if (out.size() > w) out.resize(w);
    return out;
}

std::wstring fitToWidth(const std::wstring& text, int width, int alignment) {
    if (width <= 0) return text;
    const size_t w = static_cast<size_t>(width);
    if (text.size() >= w) return text.substr(0, w);
    const size_t room = w - text.size();
    switch (alignment) {
    case 1: return std::wstring(room / 2, L' ') + text + std::wstring(room - room / 2, L' ');
    case 2: return std::wstring(room, L' ') + text;
    default: return text + std::wstring(room, L' ');
    }
}

int nextWord(std::wstring& input, std::wstring& output, int breakSet) {
    output.clear();
    bool begun = false;
    for (size_t i = 0; i < input.size(); ++i) {
        const wchar_t c = input[i];
        if (c == L'\r') continue;
        output += c;
        const bool brk = isBreak(c, breakSet);
        if (static_cast<unsigned long>(c) > 0x7E || !brk) {
            begun = true;
        } else if (begun) {
            size_t consumed = i + 1;
            if (c != L' ' && consumed < input.size() && input[consumed] == L' ') {
                output += L' ';
                ++consumed;
            }
            input.erase(0, consumed);
            return static_cast<int>(output.size());
        }
    }
    input.clear();
    return static_cast<int>(output.size());
}

void split(const std::wstring& text, const std::wstring& delimiters, bool keepEmpty,
           std::vector<std::wstring>& out) {
    out.clear();
    std::wstring token;
    for (wchar_t c : text) {
        if (delimiters.find(c) != std::wstring::npos) {
            if (!token.empty() || keepEmpty) out.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) out.push_back(token);
}

std::wstring format(const wchar_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::wstring s = vformat(fmt, ap);
    va_end(ap);
    return s;
}

std::wstring vformat(const wchar_t* fmt, va_list ap) {
    if (!fmt) return std::wstring();
    // A wide formatter reports "too small" and "cannot convert" alike; the cap ends the growth.
    const size_t kLimit = size_t(1) << 24;
    for (size_t size = 256; size <= kLimit; size *= 2) {
        std::wstring buf(size, L'\0');
        va_list copy;
        va_copy(copy, ap);
        const int n = std::vswprintf(&buf[0], size, fmt, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < size) {
            buf.resize(static_cast<size_t>(n));
            return buf;
        }
    }
    return std::wstring();
}

// ---- Numbers as text

int32_t parseInt(const std::wstring& text) {
    std::wistringstream in(text);
    int32_t v = 0;
    if (!(in >> v)) return 0;
    return v;
}

double parseDouble(const std::wstring& text) {
    std::wistringstream in(text);
    double v = 0.0;
    if (!(in >> v)) return 0.0;
    return v;
}

std::wstring toHex(const uint8_t* bytes, size_t n) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    if (!bytes) return out;
    out.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}

std::wstring hex16(uint16_t v) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    return toHex(bytes, 2);
}

uint32_t parseHex(const std::wstring& text, size_t maxLen, size_t* digits) { return parseHexT(text, maxLen, digits); }
uint32_t parseHex(const std::string& text, size_t maxLen, size_t* digits) { return parseHexT(text, maxLen, digits); }

// ---- Register number encodings

// Packed BCD holds magnitudes; digits beyond the sixteenth are dropped.
int64_t toBcd(int64_t v) {
    uint64_t m = magnitude(v);
    uint64_t r = 0;
    for (int shift = 0; m != 0 && shift < 64; shift += 4) {
        r |= (m % 10) << shift;
        m /= 10;
    }
    return static_cast<int64_t>(r);
}

int64_t fromBcd(int64_t v) {
    const uint64_t u = static_cast<uint64_t>(v);
    uint64_t r = 0;
    for (int shift = 60; shift >= 0; shift -= 4) r = r * 10 + ((u >> shift) & 0x0F);
    return static_cast<int64_t>(r);
}

uint8_t byteToBcd(int v) {
    if (v < 0) v = 0;
    return static_cast<uint8_t>(((v / 10 % 10) << 4) | (v % 10));
}

int bcdToByte(uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

ByteBuffer toBcdBytes(int64_t v, int n) {
    ByteBuffer out(n > 0 ? static_cast<size_t>(n) : 0);
    uint64_t m = magnitude(v);
    for (int i = n - 1; i >= 0; --i) {
        const unsigned low = static_cast<unsigned>(m % 10);
        m /= 10;
        const unsigned high = static_cast<unsigned>(m % 10);
        m /= 10;
        out[static_cast<size_t>(i)] = static_cast<uint8_t>((high << 4) | low);
    }
    return out;
}

int64_t fromBcdBytes(const uint8_t* bytes, int n) { return fromBcd(fromBigEndian(bytes, n)); }

ByteBuffer doubleToBcdBytes(double x, int n) { return toBcdBytes(truncToInt64(x + 0.5), n); }

double bcdBytesToDouble(const uint8_t* bytes, int n) {
    double v = 0.0;
    if (!bytes) return v;
    for (int i = 0; i < n; ++i) v = v * 100 + (bytes[i] >> 4) * 10 + (bytes[i] & 0x0F);
    return v;
}

int64_t fromBigEndian(const uint8_t* bytes, int n) {
    uint64_t v = 0;
    if (!bytes) return 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | bytes[i];
    return static_cast<int64_t>(v);
}

ByteBuffer toBigEndian(int64_t v, int n) {
    ByteBuffer out(n > 0 ? static_cast<size_t>(n) : 0);
    uint64_t u = static_cast<uint64_t>(v);
    for (int i = n - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(u & 0xFF);
        u >>= 8;
    }
    return out;
}

ByteBuffer intToBytes(int64_t v, int n, int orderA, int orderB) {
    ByteBuffer out = toBigEndian(v, n);
    if (!mostSignificantFirst(orderA, orderB)) {
        for (size_t i = 0, j = out.size(); i + 1 < j; ++i, --j) std::swap(out[i], out[j - 1]);
    }
    return out;
}

int64_t bytesToInt(const uint8_t* bytes, int n, int orderA, int orderB) {
    if (!bytes || n <= 0) return 0;
    if (mostSignificantFirst(orderA, orderB)) return fromBigEndian(bytes, n);
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | bytes[i];
    return static_cast<int64_t>(v);
}

// ---- Money

int64_t toMinorUnits(double amount, int decimals) {
    return truncToInt64(powerOf(10.0, decimals) * (amount + kTolerance));
}

double fromMinorUnits(int64_t v, int decimals) { return powerOf(0.1, decimals) * static_cast<double>(v); }

double roundTo(double x, int decimals) {
    const double step = powerOf(0.1, decimals);
    const double s = x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
    const double e = std::trunc((x + s * kTolerance) / step);
    if (std::fabs(x / step - e) > 0.49999) return step * (e + s);
    return step * e;
}

int compareAmounts(double a, double b) {
    if (std::fabs(a - b) < kTolerance) return 0;
    return a > b ? 1 : -1;
}

bool inRange(double x, double low, double high) {
    return (std::fabs(x - low) < kTolerance || x > low) && (std::fabs(x - high) < kTolerance || x <= high);
}

// The nearest integer is taken with floor(v + 0.5) so that negative amounts are judged alike.
bool hasDecimals(double x, double low, double high, int decimals) {
    if (!inRange(x, low, high)) return false;
    const double scaled = x * powerOf(10.0, decimals);
    return std::fabs(scaled - std::floor(scaled + 0.5)) < kTolerance;
}

}}} // namespace Orn::Utils::String
