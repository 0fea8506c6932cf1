// Fiscal documents and free text over the scripted driver: the line buffer, header rows
// around the receipt, titled copies, the purchase flag, and closing whatever happens.
#include <string>
#include <vector>

#include "AdapterFixture.h"

namespace adapter_test {
namespace {

using Orn::Fptr::Norvex::DocumentLine;
using Orn::Fptr::Norvex::kNoHeaderRowLimit;

// The calls that put something on paper or change the receipt, in order.
std::vector<std::string> paperAndReceipt() {
    std::vector<std::string> out;
    for (const std::string& c : script().calls)
        for (const char* prefix : {"printText", "printFormattedText", "openCheque", "registration", "closeCheque",
                                   "cancelCheque", "printLastCopy"})
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

class DocumentTest : public AdapterTest {
protected:
    void SetUp() override {
        AdapterTest::SetUp();
        script().calls.clear();
    }
    std::vector<std::wstring> rows() const {
        std::vector<std::wstring> out;
        for (const DocumentLine& l : adapter->documentBuffer()) out.push_back(l.text);
        return out;
    }
    void openDoc(int32_t type, int32_t payType, double total, int32_t printouts) {
        ASSERT_EQ(0, adapter->openFiscalDoc(type, payType, total, printouts));
        script().calls.clear();
    }
};

struct Placement {
    int32_t row, column;
    const wchar_t* text;
};
struct AddStringCase {
    const char* name;
    std::vector<Placement> placements;
    std::vector<std::wstring> rows;
};

class AddStringTest : public DocumentTest, public ::testing::WithParamInterface<AddStringCase> {};

TEST_P(AddStringTest, PlacesTextAtRowAndColumn) {
    const AddStringCase& c = GetParam();
    for (const Placement& p : c.placements)
        EXPECT_EQ(0, adapter->addString(static_cast<uint32_t>(p.row), static_cast<uint32_t>(p.column), 0, p.text));
    EXPECT_EQ(c.rows, rows());
    EXPECT_TRUE(script().calls.empty());  // the buffer never talks to the register
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddStringTest,
    ::testing::Values(
        AddStringCase{"RowsBelowAreCreatedEmpty", {{2, 0, L"x"}}, {L"", L"", L"x"}},
        AddStringCase{"ColumnOnAnEmptyRow", {{0, 5, L"ab"}}, {L"     ab"}},
        AddStringCase{"ColumnPastTheEndKeepsTrailingSpaces", {{0, 0, L"abcde"}, {0, 8, L"xy"}},
                      {L"abcde   xy  "}},
        AddStringCase{"LaterTextOverwrites", {{0, 0, L"abcdef"}, {0, 2, L"XY"}}, {L"abXYef"}},
        AddStringCase{"OverwriteRunningPastTheEnd", {{0, 0, L"abcde"}, {0, 4, L"XYZ"}}, {L"abcdXYZ"}},
        AddStringCase{"EmptyTextPastTheEndOnlyPads", {{0, 5, L""}}, {L"    "}},
        AddStringCase{"NegativeRowOrColumnChangesNothing", {{-1, 0, L"a"}, {0, -3, L"b"}}, {}}),
    [](const ::testing::TestParamInfo<AddStringCase>& info) { return std::string(info.param.name); });

TEST_F(DocumentTest, TheLastAttributeOnARowWins) {
    adapter->addString(0, 0, 0x10, L"ab");
    adapter->addString(0, 3, 0x02, L"cd");
    ASSERT_EQ(1u, adapter->documentBuffer().size());
    EXPECT_EQ(0x02, adapter->documentBuffer()[0].attribute);
}

TEST_F(DocumentTest, RowFarOutIsReportedInsteadOfExhaustingMemory) {
    EXPECT_NE(0, adapter->addString(0x7FFFFFF0u, 0, 0, L"x"));
    EXPECT_EQ(-22, adapter->error().code());
}

TEST_F(DocumentTest, LimitHeaderRowsKeepsTheSmallestRowUntilReset) {
    adapter->limitHeaderRows(kNoHeaderRowLimit);
    adapter->limitHeaderRows(7);
    adapter->limitHeaderRows(4);
    adapter->limitHeaderRows(9);
    EXPECT_EQ(4u, adapter->currentHeaderRowLimit());
    adapter->limitHeaderRows(kNoHeaderRowLimit);
    EXPECT_EQ(kNoHeaderRowLimit, adapter->currentHeaderRowLimit());
}

TEST_F(DocumentTest, OpeningCancelsAReceiptLeftOpenAndEmptiesTheBuffer) {
    adapter->addString(0, 0, 0, L"old");
    script().checkState = 1;
    ASSERT_EQ(0, adapter->openFiscalDoc(0, 1, 12.5, 1));
    EXPECT_EQ(1u, script().count("cancelCheque"));
    EXPECT_TRUE(adapter->isFiscalDocOpened());
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(L"12.500000", adapter->parameterSet()[1].toText());
}

TEST_F(DocumentTest, RowsBeforeThePositionFieldsPrintBeforeTheReceiptOpens) {
    script().checkState = 1;
    openDoc(0, 0, 19.99, 1);
    adapter->addString(2, 0, 0, L"row2");
    adapter->addString(3, 0, 0x10, L"row3");
    adapter->limitHeaderRows(kNoHeaderRowLimit);
    adapter->limitHeaderRows(4);
    adapter->addString(4, 0, 0, L"row4");
    adapter->addString(5, 1, 0, L"row5");
    ASSERT_EQ(0, adapter->closeFiscalDoc(true));
    const std::vector<std::string> expected{
        "printText \"row2\"", "printText \"row3\"", "openCheque 0 1", "printText \"row4\"",
        "printText \" row5\"", "registration 1 1999 1 flags=0 \"\"", "closeCheque 0 0"};
    EXPECT_EQ(expected, paperAndReceipt());
    EXPECT_EQ(L"73", adapter->answerFieldText(0));
    EXPECT_FALSE(adapter->isFiscalDocOpened());
}

TEST_F(DocumentTest, PrintFormatStringSelectsTheHeightFromTheAttribute) {
    const struct { int8_t attribute; int height; } cases[] = {{0x10, 1}, {0x00, 3}, {0x2F, 3}, {0x7F, 1}};
    for (const auto& c : cases) {
        adapter->parameterSet()[8].setInt(9);
        ASSERT_EQ(0, adapter->printFormatString(c.attribute, L"t"));
        EXPECT_EQ(c.height, adapter->parameterSet()[98].toInt()) << int(c.attribute);
        EXPECT_EQ(0, adapter->parameterSet()[8].toInt());
    }
}

TEST_F(DocumentTest, CopiesAreHeadedByACentredTitleAndTheHeaderRows) {
    script().checkState = 1;
    script().charLineLength = 20;
    openDoc(0, 0, 5.0, 3);
    adapter->addString(0, 0, 0, L"HEAD");
    adapter->limitHeaderRows(kNoHeaderRowLimit);
    adapter->limitHeaderRows(1);
    adapter->addString(1, 0, 0, L"BODY");
    ASSERT_EQ(0, adapter->closeFiscalDoc(true));
    const std::string copy = "printFormattedText \"     КОПИЯ ЧЕКА     \" 91=true";
    const std::vector<std::string> expected{
        "printText \"HEAD\"", "openCheque 0 1", "printText \"BODY\"", "registration 1 500 1 flags=0 \"\"",
        "closeCheque 0 0", copy, "printText \"HEAD\"", "printLastCopy", copy, "printText \"HEAD\"",
        "printLastCopy"};
    EXPECT_EQ(expected, paperAndReceipt());
    EXPECT_EQ(L"false", adapter->parameterSet()[91].toText());
}

TEST_F(DocumentTest, PurchaseFlagFollowsThePaymentTypeForNonSaleDocuments) {
    const struct { int32_t type, typeClose, flagsBefore, flagsSent; } cases[] = {
        {4, 0, 2, 0}, {4, 1, 0, 2}, {1, 3, 1, 3}, {0, 1, 0, 0}, {0, 0, 2, 2}};
    for (const auto& c : cases) {
        adapter->parameterSet()[64].setInt(c.flagsBefore);
        openDoc(c.type, c.typeClose, 1.0, 1);
        ASSERT_EQ(0, adapter->closeFiscalDoc(true));
        EXPECT_EQ(c.flagsSent, adapter->parameterSet()[64].toInt()) << c.type << " " << c.typeClose;
        EXPECT_EQ(1u, script().count("closeCheque 0 " + std::to_string(c.typeClose)));
    }
}

TEST_F(DocumentTest, NegativeTotalKeepsItsSignAndItsLastMinorUnit) {
    script().checkState = 2;
    openDoc(1, 0, -12.34, 1);
    ASSERT_EQ(0, adapter->closeFiscalDoc(true));
    EXPECT_EQ(1u, script().count("registration 2 -1234 1 flags=0 \"\""));
}

TEST_F(DocumentTest, AnnullingOpensThenCancelsAndAnswersThePreviousReceiptNumber) {
    const struct { const wchar_t* checkNumber; const wchar_t* field5; } cases[] = {
        {L"178", L"B100"}, {L"1", L"0000"}, {L"0", L"FFFF"}};
    for (const auto& c : cases) {
        script().checkNumber = c.checkNumber;
        openDoc(5, 0, 3.0, 2);
        adapter->addString(0, 0, 0, L"never printed");
        ASSERT_EQ(0, adapter->closeFiscalDoc(false));
        EXPECT_EQ((std::vector<std::string>{"openCheque 0 5", "cancelCheque"}), paperAndReceipt());
        EXPECT_FALSE(adapter->isFiscalDocOpened());
        EXPECT_TRUE(rows().empty());
        EXPECT_EQ(6, adapter->answerFieldCount());
        EXPECT_EQ(c.field5, adapter->answerFieldText(5));
    }
}

TEST_F(DocumentTest, FailedPrintStillClosesTheDocument) {
    openDoc(0, 0, 1.0, 2);
    adapter->addString(0, 0, 0, L"x");
    fail("closeCheque", -3831);
    EXPECT_EQ(3, adapter->closeFiscalDoc(true));
    EXPECT_FALSE(adapter->isFiscalDocOpened());
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(0u, script().count("printLastCopy"));
    EXPECT_EQ(L"10", adapter->answerFieldText(0));  // the receipt opening's fields, not the document's
}

TEST_F(DocumentTest, PrintStringSkipsControlLinesButPrintsEmptyOnes) {
    EXPECT_EQ(0, adapter->printString(L"\tindented"));
    EXPECT_TRUE(paperAndReceipt().empty());
    EXPECT_EQ(0, adapter->printString(L""));
    EXPECT_EQ(0, adapter->printString(L"текст"));
    EXPECT_EQ((std::vector<std::string>{"printText \"\"", "printText \"текст\""}), paperAndReceipt());
}

TEST_F(DocumentTest, CutFeedsTheGivenLinesFirst) {
    const struct { int32_t lines; size_t feeds; } cases[] = {{0, 0}, {-2, 0}, {3, 3}};
    for (const auto& c : cases) {
        script().calls.clear();
        ASSERT_EQ(0, adapter->cut(c.lines));
        EXPECT_EQ(std::vector<std::string>(c.feeds, "printText \"\""), paperAndReceipt());
        EXPECT_EQ("cut 2", script().calls.back());
    }
}

TEST_F(DocumentTest, FooterAndCaptionRunInTheirModes) {
    ASSERT_EQ(0, adapter->closeNonFiscalDoc());
    EXPECT_EQ(L"00", adapter->answerFieldText(0));
    EXPECT_EQ((std::vector<std::string>{"setMode 2", "state", "printFooter", "setMode 0", "state"}),
              script().callsFrom("setMode 2"));
    script().calls.clear();
    ASSERT_EQ(0, adapter->setCaption(118, L"Ivanov"));
    EXPECT_EQ((std::vector<std::string>{"setMode 4", "state", "setCaption 118 Ivanov", "resetMode", "state"}),
              script().calls);
}

TEST_F(DocumentTest, AccessorsKeepTheLastErrorAndReturnTheCurrentText) {
    script().captionText = L"Кассир";
    EXPECT_EQ(L"Кассир", adapter->cashier());
    adapter->parameterSet()[45].setText(L"00012345");
    fail("getRegister 22,0,0", -3807);
    EXPECT_EQ(L"00012345", adapter->serialNumber());
    EXPECT_EQ(-3807, adapter->error().code());
    fail("caption", -3831);
    EXPECT_EQ(L"", adapter->cashier());
    const std::wstring d = adapter->date();
    EXPECT_EQ(8u, d.size());
    EXPECT_EQ(L'-', d[2]);
    EXPECT_EQ(L':', adapter->time()[2]);
}

} // namespace
} // namespace adapter_test
