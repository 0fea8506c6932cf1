#pragma once
// The 8-bit code pages the system meets, as the characters of bytes 0x80 to 0xFF.
#include <string>

namespace Orn { namespace CodePages {

// Windows-1251; 0x0000 marks the one unassigned byte (0x98).
extern const wchar_t kWindows1251[128];
// CP866, the DOS Cyrillic page (the OEM page of a Russian host).
extern const wchar_t kCp866[128];

// Bytes through a table: below 0x80 unchanged, unassigned bytes become "?".
std::wstring decode(const char* bytes, size_t count, const wchar_t* table128);
// Text through a table: below U+0080 unchanged, the first byte holding the character,
// otherwise "?".
std::string encode(const std::wstring& text, const wchar_t* table128);

}} // namespace Orn::CodePages
