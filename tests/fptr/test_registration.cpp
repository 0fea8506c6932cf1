// Receipt commands of the register driver, byte for byte against a scripted link.
#include <gtest/gtest.h>

#include <functional>

#include "ScriptedLink.h"

using norvex_test::Bytes;
using norvex_test::cat;
using norvex_test::kOk;
using norvex_test::ScriptedLink;
using norvex_test::raisedBy;

namespace {


// A printed line of the given width: 0x4C and the ASCII text padded with spaces.
Bytes printed(const std::string& text, size_t width) {
    Bytes b(1 + width, ' ');
    b[0] = 0x4C;
    for (size_t i = 0; i < text.size() && i < width; ++i) b[1 + i] = static_cast<uint8_t>(text[i]);
    return b;
}

struct RegistrationTest : ::testing::Test {
    ScriptedLink drv;
    Orn::ParameterSet params{106};
    void SetUp() override {
        params[36].setInt(10);
        params[9].setInt(1);
        params[33].setText(L"Milk");
    }
};

TEST_F(RegistrationTest, SaleWithDepartmentChecksPrintsNameThenRegisters) {
    params[23].setInt(3);
    const Bytes tail{0x00, 0x00, 0x01, 0x23, 0x45, 0x00, 0x00, 0x00, 0x15, 0x00, 0x03};
    drv.expect(cat({0x52, 0x01}, tail), kOk)
        .expect(printed("Milk", 10), kOk)
        .expect(cat({0x52, 0x00}, tail), kOk);
    EXPECT_EQ(0, drv.registration(1, 12345, 1.5, params));
    EXPECT_TRUE(drv.finished());
    for (const auto& s : drv.sent()) {
        EXPECT_TRUE(s.check);
        EXPECT_EQ(-1, s.timeout);
    }
}

TEST_F(RegistrationTest, CommandByTypeFlagsAndDepartment) {
    struct Case {
        int type;
        int flags64;     // parameter 64, -1 for empty
        int department;  // parameter 23
        uint8_t code;
        uint8_t checkFlags, realFlags;
        bool departmentByte;
    };
    const Case cases[] = {
        {0, -1, 7, 0x4E, 1, 0, true},  {1, 2, 7, 0x52, 3, 2, true},  {2, -1, 7, 0x57, 1, 0, false},
        {3, 3, 7, 0x41, 3, 3, false},  {4, 1, 7, 0x52, 1, 1, true},  {5, -1, 7, 0x57, 1, 0, false},
        {6, 4, 7, 0x41, 1, 0, false},  {1, -1, -1, 0x52, 1, 0, false}, {1, -1, 123, 0x52, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " department " << c.department);
        ScriptedLink link;
        Orn::ParameterSet p{106};
        p[36].setInt(10);
        p[33].setText(L"X");
        if (c.flags64 >= 0) p[64].setInt(c.flags64);
        p[23].setInt(c.department);
        link.answerAny(kOk).answerAny(kOk).answerAny(kOk);
        link.registration(c.type, 1, 1.0, p);
        auto cmds = link.commands();
        ASSERT_EQ(3u, cmds.size());
        Bytes body{0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x10, 0x00};
        if (c.departmentByte) body.push_back(c.department == 123 ? 0x23 : static_cast<uint8_t>(c.department));
        EXPECT_EQ(cat({c.code, c.checkFlags}, body), cmds[0]);
        EXPECT_EQ(0x4C, cmds[1][0]);
        EXPECT_EQ(cat({c.code, c.realFlags}, body), cmds[2]);
    }
}

TEST_F(RegistrationTest, RefusedCheckPassPrintsNothing) {
    drv.answerAny({0x55, 0x66});
    auto raised = raisedBy([&] { drv.registration(1, 100, 1.0, params); });
    EXPECT_EQ(Orn::errorFromRegisterCode(0x66), raised.first);
    EXPECT_NE(0, raised.first);
    EXPECT_EQ(1u, drv.sent().size());
}

TEST_F(RegistrationTest, NameWiderThanLineWithoutWrapRaisesNameError) {
    params[9].setInt(0);
    params[33].setText(L"Condensed milk");
    drv.answerAny(kOk);
    EXPECT_EQ(std::make_pair(-6, -6), raisedBy([&] { drv.registration(1, 100, 1.0, params); }));
    EXPECT_EQ(1u, drv.sent().size());
}

TEST_F(RegistrationTest, UnknownTypePrintsNameAndRegistersNothing) {
    drv.expect(printed("Milk", 10), kOk);
    EXPECT_EQ(0, drv.registration(7, 100, 1.0, params));
    EXPECT_EQ(1u, drv.sent().size());
}

TEST_F(RegistrationTest, QuantityRoundsWithinTolerance) {
    params[23].setInt(-1);
    drv.answerAny(kOk).answerAny(kOk).answerAny(kOk);
    drv.registration(2, 0, 0.2999999, params);   // 300 thousandths, not 299
    EXPECT_EQ((Bytes{0x57, 0x01, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x03, 0x00}), drv.commands()[0]);
}

TEST(ChequeCommands, OpenAndCloseUseTheLongTimeout) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    drv.expect({0x92, 0x02, 0x01}, kOk).expect({0x4A, 0x02, 0x01, 0, 0, 0, 0, 0}, kOk)
        .expect({0x4A, 0x00, 0x04, 0, 0, 0, 0, 0}, kOk);
    drv.openCheque(2, 1, p);
    drv.closeCheque(2, 0, p);
    drv.closeCheque(0, 3, p);
    EXPECT_TRUE(drv.finished());
    for (const auto& s : drv.sent()) EXPECT_EQ(20000, s.timeout);
}

TEST(ChequeCommands, PaymentSendsTypeFromOneAndReadsRemainderAndChange) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    drv.expect({0x99, 0x00, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00},
               {0x55, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x00, 0x00, 0x00, 0x05, 0x00});
    int64_t remainder = -1, change = -1;
    EXPECT_EQ(0, drv.payment(0, 0, 100000, remainder, change, p));
    EXPECT_EQ(1234, remainder);
    EXPECT_EQ(500, change);

    // A short answer leaves nothing to read past its end: the missing digits are zeros.
    drv.expect({0x99, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}, {0x55, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07});
    drv.payment(1, 2, 1, remainder, change, p);
    EXPECT_EQ(7, remainder);
    EXPECT_EQ(0, change);
}

TEST(ChequeCommands, DiscountByKind) {
    struct Case {
        int kind;
        Bytes command;   // empty: nothing sent, result -1
    };
    const Case cases[] = {
        {0, {0x43, 0x02, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x10, 0x50}},
        {1, {0x43, 0x02, 0x01, 0x00, 0x01, 0x00, 0x10, 0x50}},
        {2, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ScriptedLink drv;
        Orn::ParameterSet p;
        if (!c.command.empty()) drv.expect(c.command, kOk);
        EXPECT_EQ(c.command.empty() ? -1 : 0, drv.discount(2, c.kind, 1, 1050, p));
        EXPECT_EQ(c.command.empty() ? 0u : 1u, drv.sent().size());
    }
}

TEST(CashCommands, MoveCashReadsTheMatchingRegisterFirst) {
    for (int direction : {0, 1, 2}) {
        SCOPED_TRACE(direction);
        ScriptedLink drv;
        Orn::ParameterSet p;
        const uint8_t reg = direction == 0 ? 4 : 5;
        const uint8_t code = direction == 0 ? 0x49 : 0x4F;
        drv.expect({0x91, reg, 0x00, 0x00}, {0x55, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})
            .expect({code, 0x01, 0x00, 0x00, 0x01, 0x23, 0x45}, kOk);
        EXPECT_EQ(0, drv.moveCash(direction, 1, 12345, p));
        EXPECT_TRUE(drv.finished());
        EXPECT_EQ(45000, drv.sent()[0].timeout);
    }
}

TEST(CashCommands, RefusedRegisterReadMovesNoCash) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    drv.expect({0x91, 0x05, 0x00, 0x00}, {0x55, 0x66});
    EXPECT_NE(0, raisedBy([&] { drv.moveCash(1, 0, 100, p); }).first);
    EXPECT_EQ(1u, drv.sent().size());
}

TEST(CashCommands, SummNeedsExactlyEightBytes) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    int64_t amount = 0;
    drv.expect({0x4D}, {0x4D, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45, 0x67});
    EXPECT_EQ(0, drv.summ(amount, p));
    EXPECT_EQ(1234567, amount);
    for (const Bytes& bad : {Bytes{0x4D, 0, 0, 0, 0, 0, 0, 0, 0}, Bytes{0x4D, 0, 0, 0, 0, 0, 0}, Bytes{}}) {
        drv.expect({0x4D}, bad);
        EXPECT_EQ(-15, raisedBy([&] { drv.summ(amount, p); }).first);
    }
}

TEST(OtherReceiptCommands, SendTheirBytes) {
    struct Case {
        const char* name;
        std::function<int(ScriptedLink&, Orn::ParameterSet&)> run;
        Bytes command;
    };
    const Case cases[] = {
        {"cancelCheque", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.cancelCheque(p); }, {0x59}},
        {"printLastCopy", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.printLastCopy(p); }, {0x95}},
        {"resetLastDiscount", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.resetLastDiscount(p); }, {0x78}},
        {"beginDocument", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.beginDocument(p); }, {0xB0, 0x00, 0x04}},
        {"summTax", [](ScriptedLink& d, Orn::ParameterSet& p) { p[64].setInt(3); return d.summTax(9876, 2, 4, p); },
         {0xB8, 0x01, 0x02, 0x04, 0x00, 0x00, 0x00, 0x98, 0x76}},
        {"openSession", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.openSession(1, L"Ab", p); },
         {0x9A, 0x01, 0x41, 0x62}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink drv;
        Orn::ParameterSet p;
        drv.expect(c.command, kOk);
        EXPECT_EQ(0, c.run(drv, p));
        EXPECT_TRUE(drv.finished());
    }
}

TEST(OtherReceiptCommands, OpenSessionTextIsCutTo125Characters) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    drv.answerAny(kOk).answerAny(kOk);
    drv.openSession(0, std::wstring(125, L'a'), p);
    drv.openSession(0, std::wstring(200, L'a'), p);
    auto cmds = drv.commands();
    EXPECT_EQ(127u, cmds[0].size());
    ASSERT_EQ(128u, cmds[1].size());
    EXPECT_EQ('a', cmds[1][126]);
    EXPECT_EQ(0x00, cmds[1][127]);
}

} // namespace
