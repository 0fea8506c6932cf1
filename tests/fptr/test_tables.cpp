// Table fields by type, register decoding, date, time, factory number and fiscalization.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ScriptedLink.h"

using namespace norvex_test;
using Orn::ParameterSet;

TEST(TableField, ReadsEachFieldType) {
    struct Case { int type; Bytes answer; std::wstring text; } cases[] = {
        {0, {0x55, 0x00, 0x00, 0x12}, L"12"},
        {0, {0x55, 0x00, 0x00, 0x00}, L"0"},
        {0, {0x55, 0x00, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}, L"1234567890123456"},
        {0, {0x55, 0x00, 0x99, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}, L"1234567890123456"},
        {1, {0x55, 0x00, 0x00, 0x80, 0x4B, 0x24, 0x7F}, L"АаK№ "},
        {2, {0x55, 0x00, 0x00, 0xFF, 0x41}, std::wstring(L"\x00\xFF" L"A", 3)},
        {1, {0x55, 0x00}, L""},
        {2, {0x55}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hexBytes(c.answer));
        ScriptedLink drv;
        drv.expect({0x46, 0x02, 0x00, 0x01, 0x01}, c.answer);
        std::wstring out = L"stale";
        EXPECT_EQ(drv.tableField(2, 1, 1, c.type, out), static_cast<int>(c.text.size()));
        EXPECT_EQ(out, c.text);
    }
}

TEST(TableField, RowIsSentAsTwoBytes) {
    ScriptedLink drv;
    drv.expect({0x46, 0x07, 0x01, 0x02, 0x09}, {0x55, 0x00, 0x41});
    std::wstring out;
    drv.tableField(7, 0x0102, 9, 2, out);
    EXPECT_TRUE(drv.finished());
}

TEST(TableField, UnknownTypeIsRaisedAfterTheRead) {
    ScriptedLink drv;
    drv.expect({0x46, 0x02, 0x00, 0x01, 0x01}, {0x55, 0x00, 0x12});
    std::wstring out;
    EXPECT_EQ(raisedBy([&] { drv.tableField(2, 1, 1, 3, out); }), std::make_pair(-6, -45));
    EXPECT_TRUE(drv.finished());
}

TEST(TableField, AddressOutsideItsBytesIsRefusedBeforeSending) {
    struct Case { int table, row, field, parameterCode; } cases[] = {
        {256, 1, 1, -42}, {-1, 1, 1, -42}, {2, 0x10000, 1, -43}, {2, -1, 1, -43}, {2, 1, 256, -44},
    };
    for (const Case& c : cases) {
        ScriptedLink drv;
        std::wstring out;
        EXPECT_EQ(raisedBy([&] { drv.tableField(c.table, c.row, c.field, 0, out); }),
                  std::make_pair(-6, c.parameterCode));
        EXPECT_EQ(raisedBy([&] { drv.setTableField(c.table, c.row, c.field, 0, L"1"); }),
                  std::make_pair(-6, c.parameterCode));
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST(SetTableField, WritesExactlyTheFieldsLength) {
    const std::wstring sixty(60, L'x');
    Bytes thirtyNine(39, 0x78);
    thirtyNine.push_back(0x00);
    struct Case { int type; std::wstring text; size_t length; Bytes written; } cases[] = {
        {0, L"123", 2, {0x01, 0x23}},
        {0, L"1234567", 2, {0x45, 0x67}},            // low digits kept
        {0, L"0", 3, {0x00, 0x00, 0x00}},
        {1, sixty, 40, thirtyNine},
        {1, L"Да", 5, {0x84, 0xA0, 0x00, 0x00, 0x00}},
        {1, L"abcde", 5, {0x61, 0x62, 0x63, 0x64, 0x00}},
        {2, std::wstring(L"\x01\x02\x1FF", 3), 3, {0x01, 0x02, 0xFF}},
        {2, L"abcd", 2, {0x61, 0x62}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ScriptedLink drv;
        Bytes current = {0x55, 0x00};
        current.resize(2 + c.length, 0x11);
        Bytes write = {0x50, 0x06, 0x00, 0x01, 0x01};
        write.insert(write.end(), c.written.begin(), c.written.end());
        drv.expect({0x46, 0x06, 0x00, 0x01, 0x01}, current).expect(write, {0x55, 0x00});
        EXPECT_EQ(drv.setTableField(6, 1, 1, c.type, c.text), 0);
        EXPECT_TRUE(drv.finished());
    }
}

TEST(SetTableField, RefusesWithoutWriting) {
    struct Case { int type; std::wstring text; int parameterCode; } cases[] = {
        {2, L"ab", -1},    // shorter than the 3-byte field
        {0, L"-5", -1},    // BCD has no sign
        {3, L"1", -45},
        {-1, L"1", -45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ScriptedLink drv;
        drv.expect({0x46, 0x02, 0x00, 0x01, 0x01}, {0x55, 0x00, 0x00, 0x00, 0x00});
        EXPECT_EQ(raisedBy([&] { drv.setTableField(2, 1, 1, c.type, c.text); }),
                  std::make_pair(-6, c.parameterCode));
        EXPECT_EQ(drv.sent().size(), 1u);
    }
}

TEST(GetRegister, DecodesEachRegisterLayout) {
    struct Expect { int number; const wchar_t* text; };
    struct Case { int reg; Bytes data; std::vector<Expect> params; } cases[] = {
        {3, {0x00, 0x00, 0x00, 0x12, 0x34, 0x56}, {{1, L"1234.560000"}}},
        {11, {0x01, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45}, {{1, L"-123.450000"}}},
        {11, {0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45}, {{1, L"123.450000"}}},
        {11, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {{1, L"0.000000"}}},
        {10, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x50}, {{1, L"10000000000.500000"}}},
        {7, {0x12, 0x34}, {{53, L"1234"}}},
        {15, {0x42}, {{53, L"42"}}},
        {26, {0x99, 0x42}, {{53, L"42"}}},
        {17, {0x31, 0x12, 0x95, 0x23, 0x59, 0x07},
         {{50, L"31"}, {51, L"12"}, {52, L"1995"}, {49, L"23"}, {48, L"59"}, {47, L"7"}}},
        {18, {0x01, 0x01, 0x02, 0x07, 0x08, 0x09, 0x10},
         {{54, L"true"}, {50, L"1"}, {51, L"2"}, {52, L"2007"}, {49, L"8"}, {48, L"9"}, {47, L"10"}}},
        {18, {0x00}, {{54, L"false"}}},
        {19, {0x34, 0x0E, 0x00, 0x42, 0x00, 0x00, 0x12, 0x34},
         {{27, L"4"}, {55, L"3"}, {18, L"6"}, {17, L"42"}, {12, L"1234"}}},
        {20, {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00},
         {{1, L"1.000000"}, {6, L"2.000000"}, {7, L"3.000000"}}},
        {21, {0x01, 0x23}, {{31, L"123"}}},
        {22, {0x00, 0x12, 0xAB, 0x56}, {{45, L"0012AB56"}}},
        {23, {0x35, 0x03, 0x01}, {{0, L"53"}, {56, L"3"}, {57, L"1"}}},
        {24, {0x32, 0x05, 0x12, 0x01, 0x00, 0x48, 0x02, 0x00, 0x24},
         {{36, L"32"}, {39, L"512"}, {38, L"1"}, {41, L"48"}, {37, L"2"}, {40, L"24"}}},
        {27, {0x77, 0x01, 0x23, 0x45, 0x67, 0x89, 0x00, 0x00, 0x01, 0x23, 0x45, 0x00, 0x12, 0x01, 0x02, 0x99},
         {{42, L"770123456789"}, {46, L"0000012345"}, {31, L"12"}, {50, L"1"}, {51, L"2"}, {52, L"1999"}}},
        {28, {0x00, 0x00, 0x12, 0x34, 0x56, 0x15, 0x06, 0x24, 0x00, 0x77},
         {{45, L"0000123456"}, {50, L"15"}, {51, L"6"}, {52, L"2024"}, {31, L"77"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reg);
        ScriptedLink drv;
        Bytes answer = {0x55, 0x00};
        answer.insert(answer.end(), c.data.begin(), c.data.end());
        drv.expect({0x91, static_cast<uint8_t>(c.reg), 0x01, 0x02}, answer);
        ParameterSet p;
        p[26].setInt(2);
        EXPECT_EQ(drv.getRegister(p, c.reg, 1, 2), 0);
        EXPECT_EQ(drv.sent()[0].timeout, 45000);
        for (const Expect& e : c.params) EXPECT_EQ(p[e.number].toText(), e.text) << "parameter " << e.number;
    }
}

TEST(GetRegister, RegistersWithoutLayoutAreReadOnly) {
    for (int reg : {0, 29, 31, 255}) {
        ScriptedLink drv;
        drv.expect({0x91, static_cast<uint8_t>(reg), 0x00, 0x00}, {0x55, 0x00, 0x12, 0x34, 0x56, 0x78});
        ParameterSet p(106);
        EXPECT_EQ(drv.getRegister(p, reg, 0, 0), 0);
        EXPECT_TRUE(drv.finished());
        EXPECT_EQ(p.size(), 106u);
        for (size_t i = 0; i < p.size(); ++i) EXPECT_FALSE(p[i].isSet()) << "parameter " << i;
    }
}

TEST(GetRegister, ShortAnswerReadsZerosAndRefusalWritesNothing) {
    ScriptedLink drv;
    drv.expect({0x91, 0x1B, 0x00, 0x00}, {0x55, 0x00, 0x77})
        .expect({0x91, 0x01, 0x00, 0x00}, {0x55, 0x33});
    ParameterSet p;
    drv.getRegister(p, 27, 0, 0);
    EXPECT_EQ(p[42].toText(), L"770000000000");
    EXPECT_EQ(p[52].toInt(), 2000);
    EXPECT_EQ(raisedBy([&] { drv.getRegister(p, 1, 0, 0); }).first, Orn::errorFromRegisterCode(0x33));
    EXPECT_FALSE(p[1].isSet());
}

TEST(ServiceSettings, DateTimeAndFactoryNumberBytes) {
    struct Case { const char* name; std::function<void(ScriptedLink&, ParameterSet&)> call; Bytes command; } cases[] = {
        {"date", [](ScriptedLink& d, ParameterSet& p) { d.setDate(31, 12, 2024, p); }, {0x64, 0x31, 0x12, 0x24}},
        {"date 2-digit", [](ScriptedLink& d, ParameterSet& p) { d.setDate(1, 2, 7, p); }, {0x64, 0x01, 0x02, 0x07}},
        {"time", [](ScriptedLink& d, ParameterSet& p) { d.setTime(23, 59, 0, p); }, {0x4B, 0x23, 0x59, 0x00}},
        {"serial", [](ScriptedLink& d, ParameterSet& p) { d.setSerialNumber(L"12345678", p); },
         {0x61, 0x78, 0x56, 0x34, 0x12}},
        {"serial short", [](ScriptedLink& d, ParameterSet& p) { d.setSerialNumber(L"123", p); },
         {0x61, 0x23, 0x01, 0x00, 0x00}},
        {"serial hex", [](ScriptedLink& d, ParameterSet& p) { d.setSerialNumber(L"aB", p); },
         {0x61, 0xAB, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink drv;
        drv.expect(c.command, {0x55, 0x00});
        ParameterSet p;
        c.call(drv, p);
        EXPECT_TRUE(drv.finished());
    }
}

TEST(ServiceSettings, UnencodableArgumentsAreRefusedBeforeSending) {
    struct Case { const char* name; std::function<void(ScriptedLink&, ParameterSet&)> call; int parameterCode; } cases[] = {
        {"day", [](ScriptedLink& d, ParameterSet& p) { d.setDate(-1, 12, 2024, p); }, -15},
        {"year", [](ScriptedLink& d, ParameterSet& p) { d.setDate(1, 12, -2024, p); }, -17},
        {"second", [](ScriptedLink& d, ParameterSet& p) { d.setTime(1, 2, -3, p); }, -12},
        {"serial letter", [](ScriptedLink& d, ParameterSet& p) { d.setSerialNumber(L"12x4", p); }, -32},
        {"serial long", [](ScriptedLink& d, ParameterSet& p) { d.setSerialNumber(L"123456789", p); }, -32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink drv;
        ParameterSet p;
        EXPECT_EQ(raisedBy([&] { c.call(drv, p); }), std::make_pair(-6, c.parameterCode));
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST(Fiscalization, MachineNumberTaxpayerNumberAndPassword) {
    ScriptedLink drv;
    drv.expect({0x62, 0x00, 0x00, 0x00, 0x12, 0x34, 0x77, 0x01, 0x23, 0x45, 0x67, 0x89,
                0x00, 0x00, 0x00, 0x30},
               {0x55, 0x00});
    ParameterSet p;
    p[46].setText(L"1234");
    p[42].setText(L"770123456789");   // 12 digits: more than 32 bits hold
    p[34].setText(L"30");
    EXPECT_EQ(drv.fiscalization(p), 0);
    EXPECT_TRUE(drv.finished());
}
