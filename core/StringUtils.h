#pragma once
// Code pages, text layout, number encodings and money helpers shared by every layer.
#include <cstdarg>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "ByteBuffer.h"

namespace Orn { namespace Utils { namespace String {

// Code pages
std::wstring fromCp1251(const char* bytes, int count = -1);   // -1: up to NUL
std::wstring fromCp1251(const std::string& bytes);
std::string toCp1251(const std::wstring& text);
std::string toAnsi(const std::wstring& text);
std::string toNarrowByTable(const std::wstring& text, const wchar_t* table128);
std::wstring fromAscii(const char* bytes);

// Text layout
std::wstring pad(const std::wstring& text, int width, int mode, wchar_t fill);
std::wstring fitToWidth(const std::wstring& text, int width, int alignment);
int nextWord(std::wstring& input, std::wstring& output, int breakSet);
void split(const std::wstring& text, const std::wstring& delimiters, bool keepEmpty,
           std::vector<std::wstring>& out);
std::wstring format(const wchar_t* fmt, ...);
std::wstring vformat(const wchar_t* fmt, va_list ap);

// Numbers as text
int32_t parseInt(const std::wstring& text);
double parseDouble(const std::wstring& text);
std::wstring toHex(const uint8_t* bytes, size_t n);
std::wstring hex16(uint16_t v);
uint32_t parseHex(const std::wstring& text, size_t maxLen, size_t* digits = nullptr);
uint32_t parseHex(const std::string& text, size_t maxLen, size_t* digits = nullptr);

// Register number encodings
int64_t toBcd(int64_t v);
int64_t fromBcd(int64_t v);
uint8_t byteToBcd(int v);
int bcdToByte(uint8_t b);
ByteBuffer toBcdBytes(int64_t v, int n);
int64_t fromBcdBytes(const uint8_t* bytes, int n);
ByteBuffer doubleToBcdBytes(double x, int n);
double bcdBytesToDouble(const uint8_t* bytes, int n);
int64_t fromBigEndian(const uint8_t* bytes, int n);
ByteBuffer toBigEndian(int64_t v, int n);
ByteBuffer intToBytes(int64_t v, int n, int orderA, int orderB);
int64_t bytesToInt(const uint8_t* bytes, int n, int orderA, int orderB);

// Money with the 0.00001 tolerance
int64_t toMinorUnits(double amount, int decimals);
double fromMinorUnits(int64_t v, int decimals);
double roundTo(double x, int decimals);
int compareAmounts(double a, double b);
bool inRange(double x, double low, double high);
bool hasDecimals(double x, double low, double high, int decimals);

template <typename C>
class SymbolSet : public std::set<C> {
public:
    SymbolSet() = default;
    explicit SymbolSet(const std::basic_string<C>& chars) : std::set<C>(chars.begin(), chars.end()) {}
    virtual ~SymbolSet() = default;
    bool contains(C c) const { return this->count(c) != 0; }
};

}}} // namespace Orn::Utils::String

namespace Orn {
// Flag match used while polling the register's state.
struct FlagMatch {
    int32_t target = 0;
    bool matched = false;
    void set(int32_t v) { target = v; matched = false; }
    bool test(int32_t v) const { return matched || v == target; }
    void note(int32_t v) { matched = matched || v == target; }
    void noteList(const int32_t* list) { for (; *list >= 0; ++list) note(*list); }
    bool take() { bool m = matched; matched = false; return m; }
};
} // namespace Orn
