// Receipt operations over the scripted driver: money in minor units, receipt types, sign
// bytes, answer fields, cash movement, header printing and barcodes.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "AdapterFixture.h"

namespace adapter_test {
namespace {

// The calls after the given one, without the mode polls of updateMode.
std::vector<std::string> stepsFrom(const std::string& first) {
    std::vector<std::string> out;
    for (const std::string& c : script().callsFrom(first))
        if (c != "state") out.push_back(c);
    return out;
}

bool called(const std::string& call) { return script().count(call) != 0; }

class ReceiptTest : public AdapterTest {
protected:
    void SetUp() override {
        AdapterTest::SetUp();
        script().checkState = 1;
        script().calls.clear();
    }
    std::wstring field(int n) const { return adapter->answerFieldText(n); }
};

struct MoneyCase {
    double price;
    const char* minorUnits;
};

class MoneyRuleTest : public ReceiptTest, public ::testing::WithParamInterface<MoneyCase> {};

TEST_P(MoneyRuleTest, PriceReachesTheDriverTruncatedAfterTheToleranceWithoutSign) {
    const MoneyCase c = GetParam();
    ASSERT_EQ(0, adapter->registration(L"Хлеб", c.price, 1.5, L"remark"));
    EXPECT_TRUE(called(std::string("registration 1 ") + c.minorUnits + " 1.5 flags=0 \"Хлеб\""))
        << script().calls.back();
}

INSTANTIATE_TEST_SUITE_P(Cases, MoneyRuleTest,
                         ::testing::Values(MoneyCase{19.99, "1999"},   // 1998 without the tolerance
                                           MoneyCase{0.285, "28"},     // truncated, not rounded
                                           MoneyCase{1.005, "100"},
                                           MoneyCase{-12.34, "1234"},  // the sign is dropped
                                           MoneyCase{123.45, "12345"}));

TEST_F(ReceiptTest, RegistrationReadsTheStateFirstAndAnswersWithPriceAndTotal) {
    script().registers[20] = L"250.5";
    ASSERT_EQ(0, adapter->registration(L"Молоко", 19.99, 2.0, L""));
    EXPECT_EQ((std::vector<std::string>{"info", "registration 1 1999 2 flags=0 \"Молоко\"", "getRegister 20,0,0",
                                        "info"}),
              stepsFrom("info"));
    EXPECT_EQ(7, adapter->answerFieldCount());
    EXPECT_EQ(L"11", field(0));
    EXPECT_EQ(L"19.990000", field(5));
    EXPECT_EQ(L"250.5", field(6));
}

TEST_F(ReceiptTest, OpenChequeMapsTheCallersTypes) {
    const struct { int32_t type; int registerType; } cases[] = {{0, 1}, {1, 2}, {2, 2}, {4, 4}, {5, 5}};
    script().checkNumber = L"177";
    for (const auto& c : cases) {
        script().calls.clear();
        ASSERT_EQ(0, adapter->openCheque(c.type)) << c.type;
        EXPECT_EQ((std::vector<std::string>{"setMode 1", "openCheque 0 " + std::to_string(c.registerType), "info"}),
                  stepsFrom("setMode 1"));
        EXPECT_EQ(6, adapter->answerFieldCount());
        EXPECT_EQ(L"10", field(0));
        EXPECT_EQ(L"B100", field(5));  // low byte first
    }
}

TEST_F(ReceiptTest, OpenChequeRefusesUnsupportedTypesWithoutTouchingTheRegister) {
    for (int32_t type : {3, 6, 200, -1}) {
        script().calls.clear();
        EXPECT_EQ(6, adapter->openCheque(type)) << type;
        EXPECT_EQ(Orn::Fptr::Norvex::kErrorChequeTypeUnsupported, adapter->error().code());
        EXPECT_TRUE(script().calls.empty()) << type;
    }
}

TEST_F(ReceiptTest, DiscountKindChoosesTheSignByteOfAnAmount) {
    const struct { int32_t kind; int sign; } cases[] = {{0, 1}, {1, 0}, {-5, 0}};
    script().registers[20] = L"90";
    for (const auto& c : cases) {
        script().calls.clear();
        ASSERT_EQ(0, adapter->discount(c.kind, 10.0, L"note"));
        EXPECT_EQ((std::vector<std::string>{"discount 0 0 " + std::to_string(c.sign) + " 1000", "getRegister 20,0,0",
                                            "info"}),
                  stepsFrom("discount 0 0 " + std::to_string(c.sign) + " 1000"));
        ASSERT_EQ(8, adapter->answerFieldCount());
        EXPECT_EQ(L"15", field(0));
        EXPECT_EQ(L"", field(5));
        EXPECT_EQ(L"", field(6));
        EXPECT_EQ(L"90", field(7));
    }
}

TEST_F(ReceiptTest, PaymentAnswersRemainderAndChangeInCurrencyUnits) {
    script().remainder = 150;
    ASSERT_EQ(0, adapter->payment(3, 12.5, L""));
    EXPECT_TRUE(called("payment 0 3 1250"));  // the type goes through unchanged
    EXPECT_EQ(L"13", field(0));
    EXPECT_EQ(L"1.500000", field(5));
    EXPECT_EQ(L"0.000000", field(6));

    script().remainder = 0;
    script().change = 2550;
    ASSERT_EQ(0, adapter->payment(0, 100.0, L""));
    EXPECT_EQ(L"0.000000", field(5));
    EXPECT_EQ(L"25.500000", field(6));
}

TEST_F(ReceiptTest, CloseAndCancelAnswerWithTheirCodes) {
    ASSERT_EQ(0, adapter->closeCheque());
    EXPECT_TRUE(called("closeCheque 0 0"));
    EXPECT_EQ(L"14", field(0));
    EXPECT_EQ(5, adapter->answerFieldCount());
    ASSERT_EQ(0, adapter->cancelCheque());
    EXPECT_TRUE(called("cancelCheque"));
    EXPECT_EQ(L"17", field(0));
}

TEST_F(ReceiptTest, RegisterRefusalStopsBeforeTheAnswerFields) {
    ASSERT_EQ(0, adapter->closeCheque());
    fail("registration", -3822);  // mapped to 21
    EXPECT_EQ(21, adapter->registration(L"x", 1.0, 1.0, L""));
    EXPECT_FALSE(called("getRegister 20,0,0"));
    EXPECT_EQ(L"14", field(0));  // still the previous operation's fields
}

TEST_F(ReceiptTest, MoveCashPrintsTheHeaderThenMovesBetweenTwoDrawerReadings) {
    script().registers[10] = L"500";
    const struct { int32_t direction; const wchar_t* code; } cases[] = {{0, L"32"}, {1, L"33"}, {7, L"33"}};
    for (const auto& c : cases) {
        script().calls.clear();
        ASSERT_EQ(0, adapter->moveCash(c.direction, -15.0, L"размен"));
        const std::vector<std::string> steps = stepsFrom("getRegister 10,0,0");
        const std::vector<std::string> expected{"getRegister 10,0,0", "addTextField \"размен\"", "setMode 1",
                                                "moveCash " + std::to_string(c.direction) + " 0 1500",
                                                "getRegister 10,0,0", "info"};
        EXPECT_EQ(expected, steps);
        EXPECT_TRUE(called("printHeader"));
        EXPECT_LT(std::find(script().calls.begin(), script().calls.end(), "printHeader"),
                  std::find(script().calls.begin(), script().calls.end(), "getRegister 10,0,0"));
        ASSERT_EQ(7, adapter->answerFieldCount());
        EXPECT_EQ(c.code, field(0));
        EXPECT_EQ(L"500.000000", field(5));
        EXPECT_EQ(L"500.000000", field(6));
    }
}

TEST_F(ReceiptTest, MoveCashSucceedsWhenOnlyTheHeaderFailed) {
    fail("printHeader", -3807);  // "Нет бумаги" for the header alone
    EXPECT_EQ(0, adapter->moveCash(0, 10.0, L""));
    EXPECT_TRUE(called("moveCash 0 0 1000"));
    EXPECT_EQ(0, adapter->error().code());
}

TEST_F(ReceiptTest, PrintHeaderSetsSevenLinesPrintsWithoutCutAndRestoresEverything) {
    script().values[66] = 1;
    script().values[51] = 1;
    ASSERT_EQ(0, adapter->printHeader());
    const std::vector<std::string> expected{
        "setMode 4", "value 66",
        "setMode 4", "setValue 66=7", "setMode 0", "setMode 4", "setValue 284=7", "setMode 0",
        "setMode 4", "value 51", "setValue 51=0", "printHeader", "setValue 51=1",
        "setMode 4", "setValue 66=1", "setMode 0", "setMode 4", "setValue 284=1", "setMode 0",
        "resetMode"};
    EXPECT_EQ(expected, stepsFrom("setMode 4"));
}

TEST_F(ReceiptTest, PrintHeaderWithSevenLinesAlreadySetPrintsNothing) {
    script().values[66] = 7;
    ASSERT_EQ(0, adapter->printHeader());
    EXPECT_FALSE(called("printHeader"));
    EXPECT_FALSE(called("setValue 51=0"));
    EXPECT_TRUE(called("setValue 66=1"));
    EXPECT_TRUE(called("setValue 284=1"));
}

TEST_F(ReceiptTest, PrintHeaderFailureRestoresTheCutOptionAndReportsTheHeaderError) {
    script().values[51] = 1;
    fail("printHeader", -3807);
    EXPECT_EQ(65535, adapter->printHeader());
    EXPECT_EQ(-3807, adapter->error().code());
    EXPECT_EQ((std::vector<std::string>{"printHeader", "setValue 51=1"}), stepsFrom("printHeader"));
}

TEST_F(ReceiptTest, PrintHeaderReportsTheHeaderErrorEvenWhenTheRestoreIsRefused) {
    script().values[51] = 1;
    fail("printHeader", -3807);
    fail("setValue 51=1", -3831);
    EXPECT_EQ(65535, adapter->printHeader());
    EXPECT_EQ(-3807, adapter->error().code());
}

TEST_F(ReceiptTest, BarcodeIsPrintedCentredOnTheLine) {
    script().pixelLineLength = 384;
    ASSERT_EQ(0, adapter->printBarcode(2, L"4006381333931", 40, 1));  // EAN-13
    const std::string call = script().calls.back();
    ASSERT_EQ(0u, call.rfind("printPicture ", 0)) << call;
    int offset = 0, width = 0;
    ASSERT_EQ(2, std::sscanf(call.c_str(), "printPicture %d %d", &offset, &width));
    EXPECT_GT(width, 0);
    EXPECT_EQ((384 - width) / 2, offset);
    EXPECT_EQ(L"1A", field(0));
    EXPECT_EQ(5, adapter->answerFieldCount());
}

TEST_F(ReceiptTest, BarcodeWiderThanTheLineFailsBeforeAnythingIsPrinted) {
    script().pixelLineLength = 40;
    EXPECT_EQ(65535, adapter->printBarcode(3, L"40170725", 40, 0));  // EAN-8
    EXPECT_EQ(-3931, adapter->error().code());
    EXPECT_FALSE(called("printPicture"));
}

TEST_F(ReceiptTest, BarcodeRendererRefusalsBecomeTheLastError) {
    script().pixelLineLength = 384;
    const struct { int32_t type; const wchar_t* data; int32_t error; } cases[] = {
        {2, L"4006381333932", -28},  // wrong check digit
        {2, L"400638133393", -27},   // check digit missing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(65535, adapter->printBarcode(c.type, c.data, 40, 1));
        EXPECT_EQ(c.error, adapter->error().code());
    }
    EXPECT_FALSE(called("printPicture"));
}

TEST_F(ReceiptTest, UnsupportedBarcodeTypesReturnZeroAndLeaveTheFields) {
    ASSERT_EQ(0, adapter->closeCheque());
    for (int32_t type : {1, 5, -1}) {
        script().calls.clear();
        EXPECT_EQ(0, adapter->printBarcode(type, L"123", 40, 1));
        EXPECT_EQ((std::vector<std::string>{"info"}), script().calls);
        EXPECT_EQ(L"14", field(0));
    }
}

TEST_F(ReceiptTest, SummFormatsTheTotalWithTwoDecimals) {
    EXPECT_EQ(L"0.00", adapter->summ());
    adapter->parameterSet()[1].setText(L"1234.5");
    EXPECT_EQ(L"1234.50", adapter->summ());
    EXPECT_TRUE(script().calls.empty());
}

} // namespace
} // namespace adapter_test
