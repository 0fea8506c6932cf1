#pragma once
// Byte-level encodings the register uses on its side of the line: packed BCD and the
// register's own character set in both directions.
#include <cstdint>
#include <string>
#include <vector>

namespace NorvexEmu {

using Bytes = std::vector<uint8_t>;

// Packed BCD, most significant digit first; a value too wide for n bytes keeps its low digits.
Bytes bcd(int64_t value, int n);
void appendBcd(Bytes& out, int64_t value, int n);
uint8_t bcdByte(int value);
// Decodes n BCD bytes from data[from]; bytes past the end of data read as zero.
int64_t fromBcd(const Bytes& data, size_t from, int n);
// Whether every nibble of the n bytes is a decimal digit (bytes past the end count as 0).
bool isBcd(const Bytes& data, size_t from, int n);

// Text the host sends to be printed or stored: register bytes as the printer shows them.
// Stops at the first zero byte.
std::wstring printedText(const Bytes& data, size_t from = 0, size_t count = SIZE_MAX);
// Text in the register's printing character set (the inverse of printedText).
Bytes printBytes(const std::wstring& text);
// Text in the character set of the register's answers (device name).
Bytes answerBytes(const std::wstring& text);

} // namespace NorvexEmu
