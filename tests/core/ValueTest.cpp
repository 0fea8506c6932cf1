#include <gtest/gtest.h>

#include "core/Platform.h"
#include "core/Value.h"

using Orn::Settings;
using Orn::Value;
using Orn::ValueVector;

TEST(Value, IntegerReadingFollowsCStyleBases) {
    const struct {
        const wchar_t* text;
        int32_t expected;
    } cases[] = {
        {L"0x10", 16}, {L"010", 8},   {L" 42abc", 42}, {L"", -7},   {L"abc", -7},
        {L"-12", -12}, {L"+5", 5},    {L"0", 0},       {L"0xFF", 255}, {L"  ", -7},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(c.text).toInt(-7), c.expected) << Platform::toUtf8(c.text);
}

TEST(Value, OtherReaders) {
    EXPECT_EQ(Value(L"-5").toUInt(3), 0);
    EXPECT_EQ(Value(L"x").toUInt(3), 3);
    EXPECT_EQ(Value(L"9000000000").toInt64(), 9000000000LL);
    EXPECT_EQ(Value(L"010").toInt64(), 10);  // 64-bit reading is decimal only
    EXPECT_EQ(Value(L"abc").toInt64(-1), -1);
    EXPECT_DOUBLE_EQ(Value(L"12.5kg").toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(Value(L"kg").toDouble(1.5), 1.5);

    const struct {
        const wchar_t* text;
        bool def;
        bool expected;
    } bools[] = {{L"true", false, true}, {L"false", true, false}, {L"True", false, false},
                 {L"1", true, true},     {L"", true, true},       {L"true ", false, false}};
    for (const auto& b : bools) EXPECT_EQ(Value(b.text).toBool(b.def), b.expected);

    EXPECT_EQ(Orn::toInt(nullptr, 9), 9);
    EXPECT_STREQ(Orn::toText(nullptr, L"none"), L"none");
}

TEST(Value, WritersStoreTextAndMarkSet) {
    Value v;
    EXPECT_FALSE(v.isSet());
    v.setDouble(2.5);
    EXPECT_TRUE(v.isSet());
    EXPECT_EQ(v.text(), L"2.500000");
    EXPECT_DOUBLE_EQ(v.toDouble(), 2.5);
    v.setInt(-42);
    EXPECT_EQ(v.text(), L"-42");
    v.setInt64(-9000000000LL);
    EXPECT_EQ(v.text(), L"-9000000000");
    v.setBool(false);
    EXPECT_EQ(v.text(), L"false");

    // A magnitude whose fixed text would not fit the number buffer still reads back.
    v.setDouble(1e300);
    EXPECT_LT(v.text().size(), 128u);
    EXPECT_DOUBLE_EQ(v.toDouble(), 1e300);

    Value marked;
    marked.markSet();
    EXPECT_TRUE(marked.isSet());
    EXPECT_EQ(marked.text(), L"");
}

TEST(Settings, FindNeverInsertsAndSetCopiesTheFlag) {
    Settings s;
    const Value& missing = s.find(L"Port");
    EXPECT_FALSE(missing.isSet());
    EXPECT_EQ(missing.text(), L"");
    EXPECT_EQ(missing.toInt(115200), 115200);
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(&missing, &Value::empty());

    s.set(L"BaudRate", 9600);
    s.set(L"Model", L"57");
    s.set(L"Flag", true);
    EXPECT_EQ(s.find(L"BaudRate").toInt(), 9600);
    EXPECT_EQ(s.find(L"Flag").text(), L"true");
    EXPECT_TRUE(s.find(L"baudrate").text().empty());  // keys are case-sensitive

    s.set(L"Copy", Value());  // an unset value stays unset in the store
    EXPECT_TRUE(s.contains(L"Copy"));
    EXPECT_FALSE(s.find(L"Copy").isSet());

    s.erase(L"Model");
    s.erase(L"Absent");
    EXPECT_FALSE(s.contains(L"Model"));
    EXPECT_EQ(s.size(), 3u);
}

TEST(ValueVector, AtGrowsInsteadOfFailing) {
    ValueVector v(106);
    v.at(200).setInt(1);
    EXPECT_EQ(v.size(), 201u);
    EXPECT_FALSE(v.at(150).isSet());
    EXPECT_EQ(v.size(), 201u);
    v.resize(10);
    EXPECT_EQ(v.size(), 10u);
}
