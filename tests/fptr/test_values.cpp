// Values and captions: encodings per kind, checks, model differences and the maps themselves.
#include <gtest/gtest.h>

#include <string>

#include "ScriptedLink.h"
#include "fptr/tavro20/ModelTables.h"

using namespace norvex_test;
using Orn::ParameterSet;
using namespace Orn::Fptr::Tavro20;

namespace {

Bytes address(uint8_t code, uint8_t table, uint8_t row, uint8_t field) { return {code, table, 0x00, row, field}; }

Bytes withBytes(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

} // namespace

TEST(ModelTables, MapSizesAndModelDifferences) {
    struct Case { int model; size_t values; int captionTextKind; int kind51; int list200; } cases[] = {
        {53, 83, 14, 20, 17},
        {47, 90, 11, 6, 22},
        {52, 90, 8, 6, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        const ModelDescriptor* d = modelDescriptor(c.model);
        ASSERT_TRUE(d);
        EXPECT_EQ(mapSize(d->valueMap), c.values);
        EXPECT_EQ(mapSize(d->captionMap), 135u);
        EXPECT_EQ(findMapRow(d->captionMap, 0)->kind, c.captionTextKind);
        EXPECT_EQ(findMapRow(d->captionMap, 228)->kind, c.captionTextKind);
        EXPECT_EQ(findMapRow(d->captionMap, 6)->kind, 1);
        EXPECT_EQ(findMapRow(d->valueMap, 51)->kind, c.kind51);
        EXPECT_EQ(findMapRow(d->valueMap, 200)->list->number, c.list200);
        // Ascending numbers, as the look-ups and the terminator rely on.
        for (const MapRow* m : {d->valueMap, d->captionMap})
            for (size_t i = 1; i < mapSize(m); ++i) EXPECT_LT(m[i - 1].number, m[i].number);
    }
    EXPECT_EQ(modelDescriptor(54), nullptr);
}

TEST(ModelTables, DescriptionsAreShared) {
    const ModelDescriptor* d = modelDescriptor(47);
    EXPECT_EQ(describe(d->captionDescriptions, 5), L"6 строка клише");
    EXPECT_EQ(describe(d->captionDescriptions, 33), L"Пароль кассира 28");
    EXPECT_EQ(describe(d->captionDescriptions, 201), L"Символ разделителя в документах");
    EXPECT_EQ(describe(d->captionDescriptions, 228), L"Наименование типа оплаты 10");
    EXPECT_EQ(describe(d->valueDescriptions, 83), L"Команда \"Печать строки\"");
    EXPECT_EQ(describe(d->valueDescriptions, 287), L"");
    EXPECT_EQ(modelDescriptor(53)->valueDescriptions, d->valueDescriptions);
    EXPECT_EQ(modelDescriptor(52)->captionDescriptions, d->captionDescriptions);
}

TEST(ValueSupport, FollowsEachModelsMap) {
    struct Case { int number; bool on53, on47, on52; } cases[] = {
        {0, true, true, true}, {1, false, false, false}, {61, false, true, true}, {81, false, true, true},
        {288, true, true, true}, {289, false, false, false}, {-1, false, false, false},
    };
    for (const Case& c : cases) {
        ScriptedLink d53(53), d47(47), d52(52);
        EXPECT_EQ(d53.isValueSupported(c.number), c.on53) << c.number;
        EXPECT_EQ(d47.isValueSupported(c.number), c.on47) << c.number;
        EXPECT_EQ(d52.isValueSupported(c.number), c.on52) << c.number;
    }
    ScriptedLink drv;
    for (int n : {0, 35, 36, 119, 121, 201, 202, 228, 229, 52, 65})
        EXPECT_EQ(drv.isCaptionSupported(n), (n <= 51 || (n >= 66 && n <= 121) || (n >= 202 && n <= 228))) << n;
}

TEST(SetValue, WholeFieldEncodings) {
    struct Case { int model; double value; int number; Bytes write; } cases[] = {
        {53, 12.5, 15, withBytes(address(0x50, 8, 1, 1), {0x12, 0x50})},        // kind 3
        {53, 99.99, 16, withBytes(address(0x50, 8, 2, 1), {0x99, 0x99})},
        {53, 0, 30, withBytes(address(0x50, 8, 16, 1), {0x00, 0x00})},
        {53, 2, 46, withBytes(address(0x50, 2, 1, 20), {0x02})},                 // kind 2
        {53, 99, 46, withBytes(address(0x50, 2, 1, 20), {0x99})},
        {47, 1234, 202, withBytes(address(0x50, 2, 1, 57), {0x12, 0x34})},       // kind 1
        {53, 255, 0, withBytes(address(0x50, 2, 1, 1), {0xFF})},                 // kind 19: plain
        {53, 12, 0, withBytes(address(0x50, 2, 1, 1), {0x0C})},
        {52, 1.9999999, 46, withBytes(address(0x50, 2, 1, 20), {0x02})},         // within tolerance
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.value << " #" << c.number);
        ScriptedLink drv(c.model);
        drv.expect(c.write, {0x55, 0x00});
        ParameterSet p;
        EXPECT_EQ(drv.setValue(c.value, c.number, p), 0);
        EXPECT_TRUE(drv.finished());
    }
}

TEST(SetValue, BitKindsKeepTheOtherBits) {
    struct Case { int model; double value; int number; uint8_t field; uint8_t current; uint8_t written; } cases[] = {
        {47, 1, 51, 24, 0xFE, 0xFD},    // kind 6: bits 0-1
        {52, 3, 51, 24, 0x00, 0x03},
        {53, 1, 51, 24, 0xAB, 0xA1},    // kind 20: bits 0-3
        {53, 15, 51, 24, 0x50, 0x5F},
        {53, 1, 199, 25, 0xFF, 0xF7},   // kind 7: bits 2-3
        {53, 2, 78, 25, 0xF0, 0xF2},    // kind 6 on every model
        {53, 1, 55, 18, 0x00, 0x04},    // kind 12: bit 2
        {53, 0, 55, 18, 0xFF, 0xFB},
        {53, 1, 207, 18, 0x00, 0x08},   // kind 13: bit 3
        {53, 1, 234, 18, 0x00, 0x10},   // kind 14: bit 4
        {53, 1, 287, 18, 0x01, 0x81},   // kind 17: bit 7
        {53, 0, 287, 18, 0xFF, 0x7F},
        {53, 1.7, 287, 18, 0x00, 0x80}, // truncated, not rounded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.value << " #" << c.number);
        ScriptedLink drv(c.model);
        drv.expect(address(0x46, 2, 1, c.field), {0x55, 0x00, c.current, 0x77})
            .expect(withBytes(address(0x50, 2, 1, c.field), {c.written}), {0x55, 0x00});
        ParameterSet p;
        EXPECT_EQ(drv.setValue(c.value, c.number, p), 0);
        EXPECT_TRUE(drv.finished());
    }
}

TEST(SetValue, OutOfRangeOrTooPreciseIsRefusedBeforeWriting) {
    struct Case { int model; double value; int number; size_t reads; } cases[] = {
        {53, 12.555, 15, 0}, {53, 100, 15, 0}, {53, -0.01, 15, 0},
        {53, 100, 46, 0}, {53, -1, 46, 0}, {53, 2.5, 46, 0},
        {53, 10000, 202, 0}, {53, 1.5, 202, 0},
        {53, 256, 0, 0}, {53, -1, 0, 0},
        {47, 4, 51, 1}, {47, 256, 51, 1}, {47, 257, 51, 1}, {47, -1, 51, 1},   // no wrap modulo 256
        {53, 16, 51, 1}, {53, 2, 55, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.value << " #" << c.number);
        ScriptedLink drv(c.model);
        if (c.reads) drv.answerAny({0x55, 0x00, 0x00});
        ParameterSet p;
        EXPECT_EQ(raisedBy([&] { drv.setValue(c.value, c.number, p); }), std::make_pair(-6, -1));
        EXPECT_EQ(drv.sent().size(), c.reads);
    }
}

TEST(SetValue, UnmappedNumberReturnsMinusOneSilently) {
    for (int model : {52, 47, 53}) {
        ScriptedLink drv(model);
        ParameterSet p;
        double out = 7;
        EXPECT_EQ(drv.setValue(1, 1, p), -1);
        EXPECT_EQ(drv.value(out, 1, p), -1);
        EXPECT_EQ(out, 7);
        EXPECT_TRUE(drv.sent().empty());
    }
    ScriptedLink d53(53);
    ParameterSet p;
    EXPECT_EQ(d53.setValue(1, 61, p), -1);   // only models 47 and 52 have it
}

TEST(Value, DecodesEachKind) {
    struct Case { int model; int number; Bytes field; double expected; } cases[] = {
        {53, 15, {0x12, 0x50}, 12.5},      // kind 3
        {53, 46, {0x42}, 42},              // kind 2
        {53, 202, {0x12, 0x34}, 1234},     // kind 1
        {53, 0, {0xFE}, 254},              // kind 19
        {53, 51, {0xA7}, 7},               // kind 20
        {47, 51, {0xA7}, 3},               // kind 6
        {53, 199, {0x0C}, 3},              // kind 7
        {53, 287, {0x80}, 1},              // kind 17
        {53, 55, {0xFB}, 0},               // kind 12
        {53, 15, {0x12}, 12},              // short answer: missing byte reads as zero
        {53, 15, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " #" << c.number);
        ScriptedLink drv(c.model);
        const MapRow* row = findMapRow(modelDescriptor(c.model)->valueMap, c.number);
        drv.expect(address(0x46, static_cast<uint8_t>(row->table), static_cast<uint8_t>(row->row),
                           static_cast<uint8_t>(row->field)),
                   withBytes({0x55, 0x00}, c.field));
        ParameterSet p;
        double out = -5;
        EXPECT_EQ(drv.value(out, c.number, p), 0);
        EXPECT_DOUBLE_EQ(out, c.expected);
    }
}

TEST(ValueMapping, ListTextOrRefusal) {
    ScriptedLink drv(53);
    std::wstring out;
    EXPECT_EQ(drv.valueMapping(out, 2), 0);
    EXPECT_EQ(out, L"0:Тип оплаты запрещён;1:Контроль отключать нельзя;2:Контроль отключать можно;");
    drv.valueMapping(out, 200);
    EXPECT_EQ(out, L"40:40;41:41;42:42;43:43;44:44;45:45;46:46;47:47;48:48;");
    ScriptedLink d47(47);
    d47.valueMapping(out, 211);
    EXPECT_EQ(out.substr(0, 8), L"0:0;1:1;");
    EXPECT_EQ(out.substr(out.size() - 6), L"24:24;");
    EXPECT_EQ(raisedBy([&] { drv.valueMapping(out, 0); }), std::make_pair(-6, -2));   // no list
    EXPECT_EQ(raisedBy([&] { drv.valueMapping(out, 1); }), std::make_pair(-6, -2));   // not mapped
    EXPECT_TRUE(drv.sent().empty());
}

TEST(SetCaption, TextWidthFollowsTheModel) {
    const std::wstring sixty(60, L'x');
    struct Case { int model; int number; std::wstring text; size_t width; } cases[] = {
        {53, 0, sixty, 57}, {52, 0, sixty, 48}, {47, 0, sixty, 36}, {53, 228, L"Нал", 57}, {52, 89, L"", 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " #" << c.number);
        ScriptedLink drv(c.model);
        drv.answerAny({0x55, 0x00});
        ParameterSet p;
        EXPECT_EQ(drv.setCaption(c.text, c.number, p), 0);
        ASSERT_EQ(drv.sent().size(), 1u);
        const Bytes& cmd = drv.sent()[0].command;
        ASSERT_EQ(cmd.size(), 5 + c.width);
        EXPECT_EQ(cmd[0], 0x50);
        for (size_t i = 0; i < c.width; ++i) {
            uint8_t expected = i < c.text.size() ? TavroDrv::encodeChar(c.text[i]) : 0x20;
            ASSERT_EQ(cmd[5 + i], expected) << i;
        }
    }
}

TEST(SetCaption, NumberAndDateKinds) {
    struct Case { int number; std::wstring text; Bytes write; } cases[] = {
        {6, L"1234", withBytes(address(0x50, 3, 1, 1), {0x00, 0x00, 0x12, 0x34})},          // kind 1
        {35, L"abcdef019", withBytes(address(0x50, 3, 30, 1), {0xAB, 0xCD, 0xEF, 0x01})},  // 8 digits max
        {34, L"29 and more", withBytes(address(0x50, 3, 29, 1), {0x00, 0x00, 0x00, 0x29})},
        {121, L"30", withBytes(address(0x50, 2, 1, 23), {0x00, 0x30})},                     // kind 2
        {121, L"123456", withBytes(address(0x50, 2, 1, 23), {0x34, 0x56})},
        {119, L"31.03.10", withBytes(address(0x50, 2, 1, 53), {0x31, 0x03, 0x10})},         // kind 7
        {120, L"27.10.2010", withBytes(address(0x50, 2, 1, 54), {0x27, 0x10, 0x10})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        ScriptedLink drv;
        drv.expect(c.write, {0x55, 0x00});
        ParameterSet p;
        EXPECT_EQ(drv.setCaption(c.text, c.number, p), 0);
        EXPECT_TRUE(drv.finished());
    }
}

TEST(SetCaption, RefusalsSendNothing) {
    struct Case { int number; std::wstring text; int parameterCode; } cases[] = {
        {300, L"x", -21}, {52, L"x", -21}, {-1, L"x", -21},
        {119, L"31.03", -3}, {119, L"31..10", -3}, {119, L"", -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        ScriptedLink drv;
        ParameterSet p;
        EXPECT_EQ(raisedBy([&] { drv.setCaption(c.text, c.number, p); }), std::make_pair(-6, c.parameterCode));
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST(Caption, ReadsEachKindAndChecksAnswerLength) {
    struct Case { int number; Bytes field; std::wstring text; int error; } cases[] = {
        {121, {0x00, 0x30}, L"30", 0},
        {121, {0x00, 0x00}, L"0", 0},
        {121, {0x00, 0x30, 0x00}, L"", -15},
        {121, {0x30}, L"", -15},
        {6, {0x00, 0x00, 0xAB, 0x34}, L"ab34", 0},
        {6, {0x00, 0xAB, 0x34}, L"", -15},
        {119, {0x31, 0x03, 0x10}, L"31.03.2010", 0},
        {119, {0x31, 0x03}, L"", -15},
        {0, {0x0A, 0x8E, 0x92, 0x20, 0x20}, L"Кот  ", 0},   // trailing blanks kept
        {0, {}, L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hexBytes(c.field));
        ScriptedLink drv;
        const MapRow* row = findMapRow(modelDescriptor(53)->captionMap, c.number);
        drv.expect(address(0x46, static_cast<uint8_t>(row->table), static_cast<uint8_t>(row->row),
                           static_cast<uint8_t>(row->field)),
                   withBytes({0x55, 0x00}, c.field));
        ParameterSet p;
        std::wstring out = L"stale";
        if (c.error) {
            EXPECT_EQ(raisedBy([&] { drv.caption(out, c.number, p); }).first, c.error);
        } else {
            EXPECT_EQ(drv.caption(out, c.number, p), 0);
            EXPECT_EQ(out, c.text);
        }
    }
}

TEST(Caption, UnmappedNumberIsRefused) {
    ScriptedLink drv;
    std::wstring out;
    ParameterSet p;
    EXPECT_EQ(raisedBy([&] { drv.caption(out, 300, p); }), std::make_pair(-6, -21));
    EXPECT_TRUE(drv.sent().empty());
}

TEST(Caption, SameFieldsForHeaderAndTrailerLines) {
    const ModelDescriptor* d = modelDescriptor(53);
    for (int i = 0; i < 6; ++i) {
        const MapRow* header = findMapRow(d->captionMap, i);
        const MapRow* trailer = findMapRow(d->captionMap, 69 + i);
        EXPECT_EQ(header->table, trailer->table);
        EXPECT_EQ(header->row, trailer->row);
        EXPECT_EQ(header->row, i + 1);
    }
    const MapRow* last = findMapRow(d->captionMap, 228);
    EXPECT_EQ(last->table, 12);
    EXPECT_EQ(last->row, 9);
}
