// Opening, status, counters, numbers, the clock and the settings exports against norvex-emu.
#include "test_day.h"

namespace e2e_test {
namespace {

using QueryTest = DayTest;

// Table 2, row 1 fields of register values written at open, with the value expected there.
struct ConfiguredValue {
    int value;
    int field;
    int expected;
};
const ConfiguredValue kOpenConfiguration[] = {
    {228, 73, 0}, {83, 51, 3}, {235, 76, 3}, {252, 75, 3}, {59, 29, 3},
    {286, 98, 1}, {58, 28, 0}, {66, 36, 1},  {284, 94, 1},
};

TEST_F(QueryTest, OpenConfiguresTheRegister) {
    ASSERT_EQ(open("Admin"), 0);
    const NorvexEmu::Register reg = stopAndLoad();
    for (const ConfiguredValue& v : kOpenConfiguration)
        EXPECT_EQ(field(reg, 2, 1, v.field).at(0), v.expected) << "value " << v.value;
    EXPECT_EQ(field(reg, 2, 1, 27).at(0) & 2, 0) << "through numbering stays off";
    EXPECT_EQ(fieldText(reg, 3, 30, 2), "Admin");   // caption 118
    EXPECT_EQ(fieldText(reg, 6, 1, 1), "");          // caption 69
}

TEST_F(QueryTest, StatusFieldsAgreeWithTheRegisterFlags) {
    struct Case {
        std::vector<std::string> emulator;
        std::string bytes;     // answer field 4
        int byte3;
        int paperBit;          // CheckStatusNum(3, 5)
    };
    const Case cases[] = {
        {{}, "1212121276", 0x12, 0},
        {{"-e", "paper out"}, "1232125276", 0x32, 1},
    };
    for (const Case& c : cases) {
        startEmulator(c.emulator);
        ASSERT_EQ(open(), 0);
        // The seance flag outlives CloseDLL within one loaded library: set it for a known state.
        ASSERT_EQ(call<int32_t>("StartSeans"), 0);
        ASSERT_EQ(call<int32_t>("GetStatus"), 0);
        EXPECT_EQ(fieldsCount(), 5);
        EXPECT_EQ(fieldStr(0), "00");
        EXPECT_EQ(fieldStr(1), "80");     // the factory number is set
        EXPECT_EQ(fieldStr(2), "0000");   // shift closed, seance started
        EXPECT_EQ(fieldStr(3), "0000");
        EXPECT_EQ(fieldStr(4), c.bytes);
        EXPECT_EQ((call<uint8_t, int32_t>("GetStatusNum", 1)), 0x3E);
        EXPECT_EQ((call<uint8_t, int32_t>("GetStatusNum", 3)), c.byte3);
        EXPECT_EQ((call<uint8_t, int32_t>("GetStatusNum", 7)), 0);
        EXPECT_EQ((call<int32_t, int32_t, int32_t>("CheckStatusNum", 3, 5)), c.paperBit);
        EXPECT_EQ((call<int32_t, int32_t, int32_t>("CheckStatusNum", 6, 0)), 0);
        ASSERT_EQ(call<int32_t>("CloseDLL"), 0);
        opened_ = false;
    }
}

TEST_F(QueryTest, IdentificationAndNumbers) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(call<int32_t>("GetSerialNum"), 0);
    EXPECT_EQ(fieldsCount(), 6);
    EXPECT_EQ(fieldStr(5), "00000012345");

    ASSERT_EQ(call<int32_t>("GetFiscalNums"), 0);
    EXPECT_EQ(fieldsCount(), 12);
    EXPECT_EQ(fieldStr(0), "97");
    EXPECT_EQ(fieldStr(7), "00012345   ");
    for (uint8_t n : {5, 6, 8, 9, 11}) EXPECT_FALSE(fieldStr(n).empty()) << "field " << int(n);

    // Receipt and document numbers 1 are the next ones: none used yet.
    ASSERT_EQ(call<int32_t>("GetNumbers"), 0);
    EXPECT_EQ(fieldsCount(), 8);
    EXPECT_EQ(fieldStr(5), "0000");
    EXPECT_EQ(fieldStr(7), "0000");

    ASSERT_EQ(call<int32_t>("GetResource"), 0);
    EXPECT_EQ(fieldsCount(), 10);
    EXPECT_EQ(fieldStr(8), "000000");   // shift closed
    EXPECT_EQ(fieldStr(9), "0000");

    ASSERT_EQ(call<int32_t>("GetParamDoc"), 0);
    EXPECT_EQ(fieldsCount(), 8);
    EXPECT_EQ(fieldStr(6), "0000");
}

TEST_F(QueryTest, ClockIsReadAndSet) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ((call<int32_t, const char*, const char*>("SetDateEx", "311216", "2359")), 0);
    ASSERT_EQ(call<int32_t>("GetDate"), 0);
    EXPECT_EQ(fieldsCount(), 7);
    EXPECT_EQ(fieldStr(5), "311216");
    EXPECT_EQ(fieldStr(6), "2359");

    ASSERT_EQ(call<int32_t>("SetDate"), 0);
    ASSERT_EQ(call<int32_t>("GetDate"), 0);
    EXPECT_EQ(fieldStr(5), today("ddmmyy"));

    EXPECT_NE((call<int32_t, const char*, const char*>("SetDateEx", "31", "2359")), 0);
    ASSERT_EQ(call<int32_t>("GetDate"), 0);
    EXPECT_EQ(fieldStr(5), today("ddmmyy"));   // nothing was set
}

TEST_F(QueryTest, TotalsInMemoryStartAtZero) {
    ASSERT_EQ(open(), 0);
    struct Case {
        uint8_t command, parameter;
        int32_t fields;
    };
    for (const Case& c : {Case{0x34, 0, 24}, Case{0x35, 0, 8}, Case{0x36, 2, 11}, Case{0x37, 0, 23}}) {
        ASSERT_EQ((call<int32_t, uint8_t, uint8_t>("GetEReport", c.command, c.parameter)), 0);
        EXPECT_EQ(fieldsCount(), c.fields) << std::hex << int(c.command);
        EXPECT_EQ(fieldStr(0), Orn::Utils::String::toCp1251(Orn::Utils::String::format(L"%02X", c.command)));
    }
    ASSERT_EQ(call<int32_t>("GetMony"), 0);
    EXPECT_EQ(fieldsCount(), 24);
    EXPECT_DOUBLE_EQ(fieldFloat(5), 0.0);
    EXPECT_DOUBLE_EQ(fieldFloat(15), 0.0);
    EXPECT_EQ(fieldStr(7), "");
    // An unknown command changes nothing.
    ASSERT_EQ((call<int32_t, uint8_t, uint8_t>("GetEReport", 0x40, 0)), 0);
    EXPECT_EQ(fieldsCount(), 24);
}

TEST_F(QueryTest, SettingsReachTheRegister) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ((call<int32_t, const char*, const char*, const char*, const char*>("SetHeader", "L1", "L2", "L3", "L4")), 0);
    EXPECT_EQ(fieldStr(0), "41");
    ASSERT_EQ((call<int32_t, const char*>("ChangeOpName", "Kassa")), 0);
    ASSERT_EQ((call<int32_t, const char*>("ChangeBaudrate", "57600")), 0);
    EXPECT_EQ(fieldStr(0), "94");
    {
        const NorvexEmu::Register reg = stopAndLoad();
        const char* const header[] = {"", "", "L1", "L2", "L3", "L4"};
        for (int row = 2; row <= 7; ++row) EXPECT_EQ(fieldText(reg, 6, row, 1), header[row - 2]) << "caption " << 68 + row;
        EXPECT_EQ(fieldText(reg, 3, 30, 2), "Kassa");
        EXPECT_EQ(field(reg, 9, 1, 2).at(0), 7);
    }

    startEmulator({});
    ASSERT_EQ(open(), 0);
    ASSERT_EQ((call<int32_t, const char*, const char*, const char*, const char*, const char*, const char*>(
                  "SetHeaderNew", "N1", "N2", "N3", "N4", "N5", "N6")),
              0);
    EXPECT_EQ(fieldStr(0), "4E");
    // The register takes the new access password at once; the library follows it, so the
    // call succeeds and the connection stays usable.
    EXPECT_EQ((call<int32_t, const char*>("SetPassword", "1234")), 0);
    EXPECT_EQ(fieldStr(0), "40");
    EXPECT_EQ(call<int32_t>("GetStatus"), 0);
    const NorvexEmu::Register reg = stopAndLoad();
    for (int row = 2; row <= 7; ++row) EXPECT_EQ(fieldText(reg, 6, row, 1), "N" + std::to_string(row - 1));
    EXPECT_EQ(field(reg, 2, 1, 23), (std::vector<uint8_t>{0x12, 0x34}));
}

} // namespace
} // namespace e2e_test
