// Driver core: registry, state, info, modes, raw commands, service commands, character set.
#include <gtest/gtest.h>

#include <memory>

#include "ScriptedLink.h"
#include "fptr/AbstractFptrDriver.h"
#include "fptr/tavro20/ModelTables.h"

using namespace norvex_test;
using Orn::ParameterSet;
using Orn::Fptr::Tavro20::TavroDrv;

namespace {

Bytes toBytes(const Orn::ByteBuffer& b) { return b.vector(); }

} // namespace

TEST(Registry, ThreeModelsInLookupOrder) {
    size_t n = 0;
    const Orn::Fptr::ModelEntry* e = Orn::Fptr::registryEntries(n);
    ASSERT_EQ(n, 3u);
    const int codes[] = {52, 47, 53};
    const wchar_t* names[] = {L"TAVRO: Lumo-10ПТК / K / ЕНВД", L"TAVRO: Lumo-20ПТК / K / ЕНВД",
                              L"TAVRO: Lumo-30ПТК"};
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(e[i].modelCode, codes[i]);
        EXPECT_EQ(e[i].capabilities, 477u);
        EXPECT_EQ(std::wstring(e[i].displayName), names[i]);
        EXPECT_EQ(std::wstring(Orn::Fptr::Tavro20::modelDescriptor(codes[i])->displayName), names[i]);
    }
}

TEST(Registry, CreatesDriversForKnownModelsOnly) {
    for (int code : {52, 47, 53}) {
        std::unique_ptr<Orn::Fptr::AbstractFptrDriver> d(Orn::Fptr::createDriver(code));
        ASSERT_TRUE(d) << code;
        EXPECT_TRUE(d->isModel(code));
        EXPECT_FALSE(d->isModel(code + 1));
        EXPECT_TRUE(d->hasCapability(128));    // picture mode bit
        EXPECT_FALSE(d->hasCapability(2));     // bit 1 is not in 477
        EXPECT_TRUE(d->hasCapability(2 | 4));  // any bit of the mask counts
    }
    EXPECT_EQ(Orn::Fptr::createDriver(0), nullptr);
    EXPECT_EQ(Orn::Fptr::createDriver(54), nullptr);
}

namespace {
int g_hookCalls = 0;
Orn::Fptr::AbstractFptrDriver* hook(int code) {
    ++g_hookCalls;
    return new ScriptedLink(code == 99 ? 53 : code);
}
} // namespace

TEST(Registry, HookReplacesFactoryUntilRemoved) {
    EXPECT_EQ(Orn::Fptr::setRegistryHookForTests(&hook), nullptr);
    std::unique_ptr<Orn::Fptr::AbstractFptrDriver> d(Orn::Fptr::createDriver(99));
    EXPECT_TRUE(d);
    EXPECT_EQ(g_hookCalls, 1);
    EXPECT_EQ(Orn::Fptr::setRegistryHookForTests(nullptr), &hook);
    EXPECT_EQ(Orn::Fptr::createDriver(99), nullptr);
    EXPECT_EQ(g_hookCalls, 1);
}

TEST(State, ModeAndFlagsOrFallbacks) {
    struct Case { Bytes answer; int expected; } cases[] = {
        {{0x55, 0x34, 0x02}, 0x0234},
        {{0x55, 0x00, 0x00}, 0},
        {{0x44, 0x34, 0x02}, 0x0300},   // not a state answer
        {{}, 0x0300},
        {{0x55}, 0},                     // short answer: missing bytes read as zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hexBytes(c.answer));
        ScriptedLink drv;
        drv.expect({0x45}, c.answer);
        ParameterSet p;
        EXPECT_EQ(drv.state(p), c.expected);
        EXPECT_TRUE(drv.sent()[0].check);
    }
}

TEST(State, FailedExchangeGivesMinusOneWithoutRaising) {
    ScriptedLink drv;
    drv.failWith({0x45}, -20);
    ParameterSet p;
    EXPECT_EQ(drv.state(p), -1);
}

TEST(TwoDigitYears, NinetiesAreLastCentury) {
    const int cases[][2] = {{0, 2000}, {7, 2007}, {24, 2024}, {89, 2089}, {90, 1990}, {95, 1995}, {99, 1999}};
    for (const auto& c : cases) EXPECT_EQ(TavroDrv::yearFromTwoDigits(c[0]), c[1]) << c[0];
}

namespace {

Bytes statusAnswer() {
    Bytes s(23, 0);
    s[0] = 0x44;
    s[3] = 0x95; s[4] = 0x12; s[5] = 0x31;          // 31.12.95
    s[6] = 0x23; s[7] = 0x59; s[8] = 0x58;          // 23:59:58
    s[9] = 0x0A;                                     // flags, bit 1: shift open
    s[10] = 0x00; s[11] = 0x12; s[12] = 0xAB; s[13] = 0x56;
    s[14] = 53;
    s[17] = 0x21;
    s[20] = 0x01; s[21] = 0x23;
    s[22] = 0xFD;                                    // cheque state 5 in the low bits
    return s;
}

const Bytes kReg19 = {0x55, 0x00, 0x31, 0x06, 0x00, 0x42, 0x00, 0x00, 0x01, 0x99};
const Bytes kReg24 = {0x55, 0x00, 0x32, 0x05, 0x12, 0x01, 0x00, 0x48, 0x02, 0x00, 0x24};
const Bytes kDevice = {0x00, 0, 0, 0, 0, 0, 0x03, 0x01, 0x02, 0x12, 0x34, 0x4C, 0x75, 0x6D, 0x6F, 0x80};

void scriptInfo(ScriptedLink& drv, const Bytes& status, const Bytes& reg24) {
    drv.expect({0x45}, {0x55, 0x34, 0x02})
        .expect({0x3F}, status)
        .expect({0x91, 0x13, 0x00, 0x00}, kReg19)
        .expect({0x91, 0x18, 0x00, 0x00}, reg24)
        .expect({0xA5}, kDevice);
}

} // namespace

TEST(Info, SpreadsEveryAnswerOverItsParameters) {
    ScriptedLink drv;
    scriptInfo(drv, statusAnswer(), kReg24);
    ParameterSet p;
    EXPECT_EQ(drv.info(p), 0);
    EXPECT_TRUE(drv.finished());

    struct { int number; const wchar_t* text; } expected[] = {
        {52, L"1995"}, {51, L"12"}, {50, L"31"}, {49, L"23"}, {48, L"59"}, {47, L"58"},
        {8, L"10"}, {54, L"true"}, {45, L"0012AB56"}, {0, L"53"}, {27, L"33"}, {31, L"123"},
        {26, L"2"},
        {18, L"6"}, {17, L"42"}, {12, L"199"},                        // register 19 wins over status
        {36, L"32"}, {39, L"512"}, {38, L"1"}, {41, L"48"}, {37, L"2"}, {40, L"24"},
        {56, L"3"}, {57, L"1"}, {60, L"2"}, {59, L"1234"}, {61, L"Lumoа"},
    };
    for (const auto& e : expected) EXPECT_EQ(p[e.number].toText(), e.text) << "parameter " << e.number;
    EXPECT_EQ(drv.lineWidth(), 32);

    const int timeouts[] = {-1, -1, 45000, 45000, -1};
    for (size_t i = 0; i < drv.sent().size(); ++i) {
        EXPECT_EQ(drv.sent()[i].timeout, timeouts[i]) << i;
        EXPECT_TRUE(drv.sent()[i].check) << i;
    }
}

TEST(Info, LineParametersAnswerThatIsNotARefusalGivesTwentyColumns) {
    ScriptedLink drv;
    scriptInfo(drv, statusAnswer(), {0x00, 0x01, 0x40});
    ParameterSet p;
    drv.info(p);
    EXPECT_EQ(p[36].toInt(), 20);
    EXPECT_EQ(drv.lineWidth(), 20);
    EXPECT_FALSE(p[39].isSet());
}

TEST(Info, RefusedRegisterReadRaisesTheRegistersError) {
    ScriptedLink drv;
    drv.expect({0x45}, {0x55, 0x34, 0x02})
        .expect({0x3F}, statusAnswer())
        .expect({0x91, 0x13, 0x00, 0x00}, kReg19)
        .expect({0x91, 0x18, 0x00, 0x00}, {0x55, 0x05});
    ParameterSet p;
    EXPECT_EQ(raisedBy([&] { drv.info(p); }).first, Orn::errorFromRegisterCode(5));
    EXPECT_EQ(drv.lineWidth(), 0);
}

TEST(Info, FailedStatusRequestMeansNoLink) {
    ScriptedLink drv;
    drv.expect({0x45}, {0x55, 0x00, 0x00}).failWith({0x3F}, -20);
    ParameterSet p;
    EXPECT_EQ(raisedBy([&] { drv.info(p); }).first, -1);
}

TEST(Info, ClosedPortSendsNothing) {
    ScriptedLink drv(53, 477, false);
    ParameterSet p;
    EXPECT_EQ(raisedBy([&] { drv.info(p); }).first, -11);
    EXPECT_TRUE(drv.sent().empty());
}

TEST(Info, ShortAnswersReadAsZeros) {
    ScriptedLink drv;
    drv.expect({0x45}, {0x55})
        .expect({0x3F}, {0x44})
        .expect({0x91, 0x13, 0x00, 0x00}, {0x55})
        .expect({0x91, 0x18, 0x00, 0x00}, {0x55, 0x00})
        .expect({0xA5}, {0x00});
    ParameterSet p;
    EXPECT_EQ(drv.info(p), 0);
    EXPECT_EQ(p[52].toInt(), 2000);
    EXPECT_EQ(p[45].toText(), L"00000000");
    EXPECT_EQ(p[36].toInt(), 0);
    EXPECT_EQ(p[61].toText(), L"");
    EXPECT_TRUE(p[61].isSet());
}

TEST(SetMode, LeavesFirstThenEntersWithPassword) {
    struct Case { int mode; const wchar_t* password; std::vector<Bytes> commands; } cases[] = {
        {0, L"30", {{0x48}}},
        {4, L"30", {{0x48}, {0x56, 0x04, 0x00, 0x00, 0x00, 0x30}}},
        {1, L"12345678", {{0x48}, {0x56, 0x01, 0x12, 0x34, 0x56, 0x78}}},
        {3, L"0030", {{0x48}, {0x56, 0x03, 0x00, 0x00, 0x00, 0x30}}},   // decimal, not octal
        {2, L"", {{0x48}, {0x56, 0x02, 0x00, 0x00, 0x00, 0x00}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ScriptedLink drv;
        for (const Bytes& cmd : c.commands) drv.expect(cmd, {0x55, 0x00});
        ParameterSet p;
        p[34].setText(c.password);
        EXPECT_EQ(drv.setMode(c.mode, p), 0);
        EXPECT_EQ(drv.commands(), c.commands);
    }
}

TEST(SetMode, RefusalToLeaveStopsBeforeEntering) {
    ScriptedLink drv;
    drv.expect({0x48}, {0x55, 0x66});
    ParameterSet p;
    EXPECT_EQ(raisedBy([&] { drv.setMode(1, p); }).first, Orn::errorFromRegisterCode(0x66));
    EXPECT_EQ(drv.sent().size(), 1u);
}

TEST(RunCommand, SendsLowBytesUncheckedAndReturnsAnswerBytes) {
    ScriptedLink drv;
    drv.expect({0x91, 0x13, 0x00, 0x00}, {0x55, 0x09, 0xFF});
    std::wstring answer = L"stale";
    const wchar_t cmd[] = {0x91, 0x13, 0x00, 0x00};
    EXPECT_EQ(drv.runCommand(std::wstring(cmd, 4), answer), 3);
    EXPECT_EQ(answer, std::wstring(L"\x55\x09\xFF"));   // a refusal comes back as bytes
    EXPECT_FALSE(drv.sent()[0].check);
    EXPECT_EQ(drv.sent()[0].timeout, -1);
}

TEST(ServiceCommands, OneCheckedByteEach) {
    struct Case { const char* name; int (TavroDrv::*op)(ParameterSet&); uint8_t code; } cases[] = {
        {"resetMode", &TavroDrv::resetMode, 0x48},
        {"initTables", &TavroDrv::initTables, 0x71},
        {"resetSettings", &TavroDrv::resetSettings, 0x6B},
        {"resetSummary", &TavroDrv::resetSummary, 0x77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink drv;
        drv.expect({c.code}, {0x55, 0x00, 0x12});
        ParameterSet p;
        EXPECT_EQ((drv.*c.op)(p), 0);
        ASSERT_EQ(drv.sent().size(), 1u);
        EXPECT_TRUE(drv.sent()[0].check);
        EXPECT_EQ(drv.sent()[0].timeout, -1);

        ScriptedLink refused;
        refused.expect({c.code}, {0x55, 0x66});
        EXPECT_EQ(raisedBy([&] { (refused.*c.op)(p); }).first, Orn::errorFromRegisterCode(0x66));
    }
    ScriptedLink drv;
    EXPECT_EQ(drv.reservedOperation(), 0);
    EXPECT_TRUE(drv.sent().empty());
}

TEST(Connection, EnableDisableFollowThePort) {
    ScriptedLink drv(53, 477, false);
    EXPECT_FALSE(drv.isEnabled());
    EXPECT_EQ(drv.setEnabled(-1), 0);
    EXPECT_EQ(drv.setEnabled(1), 0);
    EXPECT_TRUE(drv.isEnabled());
    EXPECT_EQ(drv.setEnabled(-1), 1);
    EXPECT_EQ(drv.setEnabled(1), 0);   // already open
    EXPECT_EQ(drv.setEnabled(0), 0);
    EXPECT_FALSE(drv.isEnabled());
}

TEST(Connection, SettingsNeedAPort) {
    ScriptedLink drv;
    Orn::Settings s;
    s.set(L"AccessPassword", L"30");
    EXPECT_EQ(drv.setSettings(s), 0);
    EXPECT_EQ(drv.port()->configured, 1);
    drv.setDevice(nullptr);
    EXPECT_FALSE(drv.isEnabled());
    EXPECT_EQ(raisedBy([&] { drv.setSettings(s); }).first, -23);
}

TEST(CharacterSet, EncodesToRegisterBytes) {
    EXPECT_EQ(toBytes(TavroDrv::encodeText(L"Кот $5 №1", 100)),
              (Bytes{0x4B, 0xAE, 0xE2, 0x20, 0xFC, 0x35, 0x20, 0x24, 0x31}));
    struct Case { wchar_t c; uint8_t b; } cases[] = {
        {L'А', 0x80}, {L'Я', 0x9F}, {L'а', 0xA0}, {L'п', 0xAF}, {L'р', 0xE0}, {L'я', 0xEF},
        {L'Ё', 0x85}, {L'ё', 0xA5}, {L'К', 0x4B}, {L'к', 0xAA}, {L'~', 0x7E}, {L'\0', 0x00},
        {L'€', 0x3F}, {wchar_t(0x00E9), 0x3F}, {wchar_t(0x0402), 0x3F},
    };
    for (const Case& c : cases) EXPECT_EQ(TavroDrv::encodeChar(c.c), c.b) << int(c.c);
}

TEST(CharacterSet, DecodesRegisterBytes) {
    struct Case { uint8_t b; wchar_t c; } cases[] = {
        {0x00, L'А'}, {0x1F, L'Я'}, {0x80, L'а'}, {0x9F, L'я'}, {0x24, L'№'}, {0xA0, L'$'},
        {0xA1, L'_'}, {0xA2, L'-'}, {0x7F, L' '}, {0x41, L'A'}, {0xFD, L'\n'}, {0xFE, L'\t'},
        {0xA3, L'?'}, {0xFC, L'?'}, {0xFF, L'?'},
    };
    for (const Case& c : cases) EXPECT_EQ(TavroDrv::decodeChar(c.b), c.c) << int(c.b);
    const uint8_t name[] = {0x00, 0x80};
    EXPECT_EQ(TavroDrv::decodeText(name, 2), L"Аа");
    EXPECT_EQ(TavroDrv::decodeText(nullptr, 5), L"");
}

TEST(CharacterSet, FieldCapacityKeepsRoomForTheTerminator) {
    struct Case { const wchar_t* text; int capacity; Bytes bytes; } cases[] = {
        {L"abc", 4, {0x61, 0x62, 0x63}},
        {L"abcd", 4, {0x61, 0x62, 0x63, 0x00}},
        {L"abcdef", 4, {0x61, 0x62, 0x63, 0x00}},
        {L"a", 1, {0x00}},
        {L"abc", 0, {}},
        {L"abcdef", -1, {0x61, 0x62, 0x63, 0x64, 0x65, 0x66}},
        {L"", 4, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toBytes(TavroDrv::encodeText(c.text, c.capacity)), c.bytes) << c.capacity;
}
