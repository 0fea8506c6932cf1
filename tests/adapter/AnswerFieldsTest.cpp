// Answer fields: the standard five, how they are read back as numbers, and the writers the
// operation families use.
#include "AdapterFixture.h"

namespace adapter_test {
namespace {

using Orn::Fptr::Norvex::readHexField;

std::vector<std::wstring> fields(const Orn::Fptr::Norvex::Norvex& a) {
    std::vector<std::wstring> out;
    for (int32_t i = 0; i < a.answerFieldCount(); ++i) out.push_back(a.answerFieldText(i));
    return out;
}

TEST_F(AdapterTest, StandardFieldsAfterGoodStatus) {
    script().flags = 0x08;
    EXPECT_EQ(adapter->prepareAnswerFields(0x00, 5), 0);
    const std::vector<std::wstring> expected = {L"00", L"00", L"0100", L"0000", L"1212121276"};
    EXPECT_EQ(fields(*adapter), expected);
}

TEST_F(AdapterTest, FailedStatusLeavesItsResultInField3) {
    fail("info", -1);
    EXPECT_EQ(adapter->prepareAnswerFields(0x00, 5), 62561);
    EXPECT_EQ(adapter->answerFieldText(3), L"61F4");
    EXPECT_EQ(adapter->answerFieldText(4), L"0000000000");
    EXPECT_EQ(adapter->answerFieldHex(3, 2), 0x61F4u);
}

TEST_F(AdapterTest, SerialShiftSeanceAndDocumentBits) {
    script().serial = L"1234567";
    script().shiftOpened = true;
    EXPECT_EQ(adapter->prepareAnswerFields(0x97, 12), 0);
    ASSERT_EQ(adapter->answerFieldCount(), 12);
    EXPECT_EQ(adapter->answerFieldText(0), L"97");
    EXPECT_EQ(adapter->answerFieldText(1), L"80");
    EXPECT_EQ(adapter->answerFieldText(2), L"0900");  // shift open, no seance, no document
    EXPECT_EQ(adapter->answerFieldText(11), L"");
}

TEST_F(AdapterTest, AtLeastFiveFieldsAndOutOfRangeReadsEmpty) {
    adapter->prepareAnswerFields(0x10, 2);
    EXPECT_EQ(adapter->answerFieldCount(), 5);

    Orn::Value out(L"stale");
    EXPECT_EQ(adapter->answerField(5, out), -1);
    EXPECT_EQ(out.toText(), L"");
    EXPECT_EQ(adapter->answerField(-1, out), -1);
    EXPECT_EQ(adapter->answerFieldHex(200, 4), 0u);
    EXPECT_EQ(adapter->answerFieldDouble(200), 0.0);
    EXPECT_EQ(adapter->answerField(4, out), 0);
    EXPECT_EQ(out.toText(), L"1212121276");
}

TEST_F(AdapterTest, FieldsSurviveCloseAndStayUntilNextPreparation) {
    ASSERT_EQ(open(), 0);
    adapter->prepareAnswerFields(0x43, 7);
    adapter->setAnswerField(5, L"050316");
    ASSERT_EQ(adapter->closeDLL(), 0);
    EXPECT_EQ(adapter->answerFieldText(5), L"050316");
    EXPECT_EQ(adapter->answerFieldHex(5, 4), 0x050316u);
}

TEST_F(AdapterTest, FieldWriters) {
    adapter->prepareAnswerFields(0x11, 7);
    adapter->setAnswerHex16(5, 177);
    adapter->setAnswerAmount(6, 123.45);
    adapter->setAnswerField(9, L"x");  // beyond the end: grows
    EXPECT_EQ(adapter->answerFieldText(5), L"B100");
    EXPECT_EQ(adapter->answerFieldHex(5, 2), 0xB100u);
    EXPECT_EQ(adapter->answerFieldText(6), L"123.450000");
    EXPECT_DOUBLE_EQ(adapter->answerFieldDouble(6), 123.45);
    EXPECT_DOUBLE_EQ(adapter->answerFieldDouble(0), 11.0);  // "11" read as a decimal number
    EXPECT_EQ(adapter->answerFieldCount(), 10);
}

struct HexCase {
    const wchar_t* text;
    int bytes;
    uint32_t value;
};

class HexReading : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexReading, PairsFromTheEnd) {
    EXPECT_EQ(readHexField(GetParam().text, GetParam().bytes), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HexReading,
    ::testing::Values(HexCase{L"3E", 1, 0x3E}, HexCase{L"B100", 2, 0xB100}, HexCase{L"12345678AB", 4, 0x345678AB},
                      HexCase{L"1212121276", 1, 0x76}, HexCase{L"1212121276", 4, 0x12121276},
                      HexCase{L"", 4, 0}, HexCase{L"5", 2, 0x05}, HexCase{L"abc", 2, 0x0ABC},
                      HexCase{L"G5", 1, 0xF5},      // bad high digit counts as F
                      HexCase{L"5G", 1, 0xFF},      // bad low digit spoils the byte
                      HexCase{L"5G12", 2, 0xFF12}));

TEST_F(AdapterTest, MoneyConversion) {
    EXPECT_EQ(adapter->amountToMinorUnits(123.45), 12345);
    EXPECT_EQ(adapter->amountToMinorUnits(-0.29), 29);  // the sign is dropped
    EXPECT_EQ(adapter->amountToMinorUnits(0.0), 0);
    EXPECT_DOUBLE_EQ(adapter->minorUnitsToAmount(12345), 123.45);
}

TEST_F(AdapterTest, ReadRegisterReturnsParameterOne) {
    EXPECT_EQ(adapter->readRegister(20, 0, 0), L"12.34");
    EXPECT_EQ(script().calls.back(), "getRegister 20,0,0");
}

} // namespace
} // namespace adapter_test
