#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/StringUtils.h"

using namespace Orn::Utils::String;

namespace {

std::vector<uint8_t> vec(const Orn::ByteBuffer& b) { return b.vector(); }

} // namespace

TEST(CodePages, Cp1251DecodingAndItsTwoDeviations) {
    EXPECT_EQ(fromCp1251(std::string("\xC0\xA0\xE0")), L"\x0410 \x0430");
    EXPECT_EQ(fromCp1251(std::string("\x98")), std::wstring(1, L'\0'));
    EXPECT_EQ(fromCp1251("\xA8\xB8\xB9\x80\xFF"), L"\x0401\x0451\x2116\x0402\x044F");
    EXPECT_EQ(fromCp1251("ab\0cd", 5), std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(fromCp1251("abcd", 2), L"ab");
    EXPECT_EQ(fromCp1251(nullptr), L"");
}

TEST(CodePages, Cp1251Encoding) {
    const struct {
        wchar_t c;
        char byte;
    } cases[] = {
        {L'\x2116', '\xB9'}, {L'\x20AC', '\x88'}, {L'\x00A0', '?'},    {L'\x0402', '\x80'},
        {L'\x0410', '\xC0'}, {L'\x044F', '\xFF'}, {L'\x0401', '\xA8'}, {L'\x4E00', '?'},
        {L'A', 'A'},         {L'\x7F', '\x7F'},   {L'\x00AD', '\xAD'},
    };
    for (const auto& c : cases) EXPECT_EQ(toCp1251(std::wstring(1, c.c)), std::string(1, c.byte)) << int(c.c);

    // Every byte but the two deviations survives a round trip.
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98 || b == 0xA0) continue;
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(toCp1251(fromCp1251(one)), one) << b;
    }
}

TEST(CodePages, TablesAndAsciiAndHostPages) {
    const std::wstring table = L"ЁАБ" + std::wstring(125, L'\xFFFF');
    EXPECT_EQ(toNarrowByTable(L"aБЁя", table.c_str()), "a\x82\x80?");
    EXPECT_EQ(fromAscii("ok\xC0!"), L"ok?!");
    EXPECT_EQ(toAnsi(L""), "");

    // The host's OEM page is CP866 and its ANSI page Windows-1251 on this platform.
    EXPECT_EQ(Platform::toOem(L"Абя№"), "\x80\xA1\xEF\xFC");
    EXPECT_EQ(Platform::fromOem("\x80\xA1\xEF\xFC\xF0"), L"Абя№Ё");
    EXPECT_EQ(Platform::toAnsi(L"Абя\x00A0"), "\xC0\xE1\xFF\xA0");
    EXPECT_EQ(Platform::fromAnsi("\xC0\xE1\xFF\x98"), L"Абя?");
}

TEST(CodePages, Utf8BothWaysAndMalformedInput) {
    const std::wstring text = L"Чек №5 \x20AC \U0001F600";
    EXPECT_EQ(Platform::toUtf8(text), "\xD0\xA7\xD0\xB5\xD0\xBA \xE2\x84\x96" "5 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(Platform::fromUtf8(Platform::toUtf8(text)), text);

    const struct {
        const char* bytes;
        const wchar_t* text;
    } bad[] = {
        {"a\xD0", L"a\xFFFD"},              // cut short at the end
        {"\xC0\xAF", L"\xFFFD\xFFFD"},      // overlong
        {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},  // a surrogate
        {"\xFF" "b", L"\xFFFD" L"b"},
    };
    for (const auto& b : bad) EXPECT_EQ(Platform::fromUtf8(b.bytes), b.text) << b.bytes;
}

TEST(Layout, Pad) {
    const struct {
        const wchar_t* text;
        int width;
        int mode;
        wchar_t fill;
        const wchar_t* expected;
    } cases[] = {
        {L"12", 11, 1, L'0', L"00000000012"},
        {L"", 5, 1, L'0', L""},
        {L"abcdef", 4, 0, L' ', L"abcd"},
        {L"abcdef", 4, 1, L' ', L"abcd"},
        {L"ab", 7, 2, L' ', L"  ab   "},
        {L"abc", 8, 2, L'*', L"**abc***"},
        {L"ab", 5, 0, L'.', L"ab..."},
        {L"ab", 2, 2, L' ', L"ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pad(c.text, c.width, c.mode, c.fill), c.expected) << Platform::toUtf8(c.text) << " " << c.mode;
}

TEST(Layout, FitToWidth) {
    const struct {
        const wchar_t* text;
        int width;
        int alignment;
        const wchar_t* expected;
    } cases[] = {
        {L"abc", 8, 1, L"  abc   "}, {L"abc", 6, 2, L"   abc"}, {L"abc", 5, 0, L"abc  "},
        {L"abcdef", 3, 1, L"abc"},   {L"abc", 0, 2, L"abc"},    {L"", 3, 1, L"   "},
    };
    for (const auto& c : cases) EXPECT_EQ(fitToWidth(c.text, c.width, c.alignment), c.expected);
}

TEST(Layout, NextWord) {
    const struct {
        const wchar_t* input;
        int set;
        const wchar_t* word;
        const wchar_t* rest;
    } cases[] = {
        {L"Hello, world", 1, L"Hello, ", L"world"},
        {L"  x", 1, L"  x", L""},
        {L"ab\r\ncd", 2, L"ab\n", L"cd"},
        {L"a-b", 1, L"a-", L"b"},
        {L"a- b", 1, L"a- ", L"b"},      // the blank after a non-blank break goes along
        {L"a-  b", 1, L"a- ", L" b"},    // only one
        {L"один два", 1, L"один ", L"два"},
        {L"a b\nc", 0, L"a b\nc", L""},  // set 0 never breaks
        {L"a b\nc", 2, L"a b\n", L"c"},
        {L"", 1, L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring in = c.input, out = L"stale";
        EXPECT_EQ(nextWord(in, out, c.set), static_cast<int>(std::wcslen(c.word)));
        EXPECT_EQ(out, c.word) << Platform::toUtf8(c.input);
        EXPECT_EQ(in, c.rest) << Platform::toUtf8(c.input);
    }
}

TEST(Layout, Split) {
    std::vector<std::wstring> out{L"stale"};
    split(L"a;;b;", L";", true, out);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"a", L"", L"b"}));
    split(L"a;;b;", L";", false, out);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"a", L"b"}));
    split(L";a,b", L";,", true, out);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"", L"a", L"b"}));
    split(L"", L";", true, out);
    EXPECT_TRUE(out.empty());
}

TEST(Format, GrowsPastItsFirstBuffer) {
    EXPECT_EQ(format(L"%d-%ls-%02X", 5, L"ы", 0xA), L"5-ы-0A");
    const std::wstring big(5000, L'z');
    EXPECT_EQ(format(L"[%ls]", big.c_str()), L"[" + big + L"]");
}

TEST(NumbersAsText, ParseAndHex) {
    EXPECT_EQ(parseInt(L"  42abc"), 42);
    EXPECT_EQ(parseInt(L"abc"), 0);
    EXPECT_EQ(parseInt(L"-7"), -7);
    EXPECT_DOUBLE_EQ(parseDouble(L" 1.25x"), 1.25);
    EXPECT_DOUBLE_EQ(parseDouble(L"x"), 0.0);

    const uint8_t bytes[] = {0x00, 0xAB, 0x1F};
    EXPECT_EQ(toHex(bytes, 3), L"00AB1F");
    EXPECT_EQ(hex16(0x1234), L"3412");

    size_t digits = 99;
    EXPECT_EQ(parseHex(std::wstring(L"1aFz"), 10, &digits), 0x1AFu);
    EXPECT_EQ(digits, 3u);
    EXPECT_EQ(parseHex(std::string("ABCDEF"), 2, &digits), 0xABu);
    EXPECT_EQ(digits, 2u);
    EXPECT_EQ(parseHex(std::string("g1"), 5, &digits), 0u);
    EXPECT_EQ(digits, 0u);
}

TEST(Bcd, PackedDigits) {
    EXPECT_EQ(toBcd(1234), 0x1234);
    EXPECT_EQ(toBcd(0), 0);
    EXPECT_EQ(toBcd(9999999999999999LL), static_cast<int64_t>(0x9999999999999999ULL));
    EXPECT_EQ(fromBcd(0x1234), 1234);
    EXPECT_EQ(fromBcd(static_cast<int64_t>(0x9999999999999999ULL)), 9999999999999999LL);
    EXPECT_EQ(byteToBcd(59), 0x59);
    EXPECT_EQ(bcdToByte(0x59), 59);

    const struct {
        int64_t value;
        int n;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {1234, 3, {0x00, 0x12, 0x34}},
        {123456, 2, {0x34, 0x56}},          // digits beyond 2n dropped
        {0, 2, {0x00, 0x00}},
        {12345678901234LL, 8, {0x00, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}},
    };
    for (const auto& c : cases) EXPECT_EQ(vec(toBcdBytes(c.value, c.n)), c.bytes) << c.value;
    EXPECT_EQ(fromBcdBytes(cases[3].bytes.data(), 8), 12345678901234LL);
    const uint8_t b[] = {0x00, 0x12, 0x34};
    EXPECT_EQ(fromBcdBytes(b, 3), 1234);
    EXPECT_DOUBLE_EQ(bcdBytesToDouble(b, 3), 1234.0);
    EXPECT_TRUE(toBcdBytes(5, 0).empty());
}

TEST(Bcd, FromDoubleRoundsAndOutOfRange) {
    EXPECT_EQ(vec(doubleToBcdBytes(1233.5, 3)), (std::vector<uint8_t>{0x00, 0x12, 0x34}));
    EXPECT_EQ(vec(doubleToBcdBytes(1234.4, 3)), (std::vector<uint8_t>{0x00, 0x12, 0x34}));
    // Out of the 64-bit range the value is the smallest int64; its low digits are ...5808.
    EXPECT_EQ(vec(doubleToBcdBytes(1e30, 2)), (std::vector<uint8_t>{0x58, 0x08}));
    EXPECT_EQ(vec(doubleToBcdBytes(std::nan(""), 2)), (std::vector<uint8_t>{0x58, 0x08}));
}

TEST(BinaryIntegers, ByteOrders) {
    EXPECT_EQ(vec(toBigEndian(0x010203, 4)), (std::vector<uint8_t>{0x00, 0x01, 0x02, 0x03}));
    EXPECT_EQ(vec(toBigEndian(-1, 2)), (std::vector<uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(vec(toBigEndian(0x0102, 10)),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x02}));
    const uint8_t be[] = {0x12, 0x34, 0x56};
    EXPECT_EQ(fromBigEndian(be, 3), 0x123456);

    const struct {
        int a, b;
        std::vector<uint8_t> bytes;
    } orders[] = {
        {1, 2, {0x12, 0x34, 0x56}}, {2, 1, {0x12, 0x34, 0x56}},
        {1, 1, {0x56, 0x34, 0x12}}, {2, 2, {0x56, 0x34, 0x12}}, {0, 2, {0x56, 0x34, 0x12}},
    };
    for (const auto& o : orders) {
        EXPECT_EQ(vec(intToBytes(0x123456, 3, o.a, o.b)), o.bytes) << o.a << o.b;
        EXPECT_EQ(bytesToInt(o.bytes.data(), 3, o.a, o.b), 0x123456) << o.a << o.b;
    }
}

TEST(Money, MinorUnitsAndRounding) {
    const struct {
        double amount;
        int64_t minor;
    } minor[] = {{12.345, 1234}, {0.29, 29}, {1.9999999, 200}, {0.0, 0}, {19.99, 1999}, {1.005, 100}};
    for (const auto& m : minor) EXPECT_EQ(toMinorUnits(m.amount, 2), m.minor) << m.amount;
    EXPECT_EQ(toMinorUnits(1.5, 3), 1500);
    EXPECT_EQ(toMinorUnits(1e300, 2), std::numeric_limits<int64_t>::min());
    EXPECT_NEAR(fromMinorUnits(1999, 2), 19.99, 1e-9);

    const struct {
        double x;
        int decimals;
        double expected;
    } rounding[] = {
        {2.675, 2, 2.68}, {-2.675, 2, -2.68}, {2.674, 2, 2.67}, {0.0, 2, 0.0}, {1.25, 1, 1.3}, {7.0, 0, 7.0},
    };
    for (const auto& r : rounding) EXPECT_NEAR(roundTo(r.x, r.decimals), r.expected, 1e-9) << r.x;
}

TEST(Money, ComparisonsWithTolerance) {
    EXPECT_EQ(compareAmounts(1.0, 1.000001), 0);
    EXPECT_EQ(compareAmounts(1.0001, 1.0), 1);
    EXPECT_EQ(compareAmounts(1.0, 1.0001), -1);

    EXPECT_TRUE(inRange(0.0, 0.0, 10.0));
    EXPECT_TRUE(inRange(10.000001, 0.0, 10.0));
    EXPECT_FALSE(inRange(10.001, 0.0, 10.0));
    EXPECT_FALSE(inRange(-0.001, 0.0, 10.0));

    EXPECT_TRUE(hasDecimals(12.34, 0.0, 100.0, 2));
    EXPECT_FALSE(hasDecimals(12.345, 0.0, 100.0, 2));
    EXPECT_FALSE(hasDecimals(120.0, 0.0, 100.0, 2));
    EXPECT_TRUE(hasDecimals(-1.23, -10.0, 0.0, 2));  // negative amounts judged like positive ones
}
