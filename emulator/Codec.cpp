#include "emulator/Codec.h"

namespace NorvexEmu {

uint8_t bcdByte(int value) {
    value %= 100;
    if (value < 0) value = -value;
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

Bytes bcd(int64_t value, int n) {
    Bytes out(static_cast<size_t>(n), 0);
    uint64_t v = value < 0 ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
    for (int i = n - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = static_cast<uint8_t>((v % 10) | (((v / 10) % 10) << 4));
        v /= 100;
    }
    return out;
}

void appendBcd(Bytes& out, int64_t value, int n) {
    Bytes b = bcd(value, n);
    out.insert(out.end(), b.begin(), b.end());
}

int64_t fromBcd(const Bytes& data, size_t from, int n) {
    int64_t v = 0;
    for (int i = 0; i < n; ++i) {
        size_t k = from + static_cast<size_t>(i);
        uint8_t b = k < data.size() ? data[k] : 0;
        v = v * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return v;
}

bool isBcd(const Bytes& data, size_t from, int n) {
    for (int i = 0; i < n; ++i) {
        size_t k = from + static_cast<size_t>(i);
        uint8_t b = k < data.size() ? data[k] : 0;
        if ((b >> 4) > 9 || (b & 0x0F) > 9) return false;
    }
    return true;
}

namespace {

// The printer's glyphs for the upper half of its character set: the DOS Cyrillic layout
// for 0x80..0xAF and 0xE0..0xEF; '$' lives at 0xFC because 0x24 prints the numero sign.
wchar_t printedChar(uint8_t b) {
    if (b == 0x24) return L'\u2116';
    if (b < 0x80) return static_cast<wchar_t>(b);
    if (b <= 0xAF) return static_cast<wchar_t>(0x0410 + (b - 0x80));
    if (b >= 0xE0 && b <= 0xEF) return static_cast<wchar_t>(0x0440 + (b - 0xE0));
    if (b == 0xFC) return L'$';
    return L'?';
}

} // namespace

std::wstring printedText(const Bytes& data, size_t from, size_t count) {
    std::wstring out;
    for (size_t i = from; i < data.size() && i - from < count; ++i) {
        if (data[i] == 0) break;
        out += printedChar(data[i]);
    }
    return out;
}

Bytes printBytes(const std::wstring& text) {
    Bytes out;
    for (wchar_t c : text) {
        uint8_t b = '?';
        if (c == L'$') b = 0xFC;
        else if (c == L'\u2116') b = 0x24;
        else if (c < 0x80) b = static_cast<uint8_t>(c);
        else if (c == L'\u0401') b = 0x85;                    // Ё prints as Е
        else if (c == L'\u0451') b = 0xA5;                    // ё prints as е
        else if (c >= 0x0410 && c <= 0x043F) b = static_cast<uint8_t>(0x80 + (c - 0x0410));
        else if (c >= 0x0440 && c <= 0x044F) b = static_cast<uint8_t>(0xE0 + (c - 0x0440));
        out.push_back(b);
    }
    return out;
}

Bytes answerBytes(const std::wstring& text) {
    Bytes out;
    for (wchar_t c : text) {
        uint8_t b = '?';
        if (c == L'\u0401') c = L'\u0415';
        if (c == L'\u0451') c = L'\u0435';
        if (c >= 0x0410 && c <= 0x042F) b = static_cast<uint8_t>(c - 0x0410);
        else if (c >= 0x0430 && c <= 0x044F) b = static_cast<uint8_t>(0x80 + (c - 0x0430));
        else if (c == L'\u2116') b = 0x24;
        else if (c == L'$') b = 0xA0;
        else if (c == L'\n') b = 0xFD;
        else if (c == L'\t') b = 0xFE;
        else if (c >= 0x20 && c < 0x7F) b = static_cast<uint8_t>(c);
        out.push_back(b);
    }
    return out;
}

} // namespace NorvexEmu
