// Opening and closing the connection: port selection, model detection, the register
// settings programmed at open, and what a failed open leaves behind.
#include "AdapterFixture.h"

namespace adapter_test {
namespace {

using Orn::Fptr::Norvex::Norvex;

TEST_F(AdapterTest, ConstructionSetsDefaultSettingsAndDriver) {
    const Orn::Settings& s = adapter->connectionSettings();
    EXPECT_EQ(s.find(L"Model").toInt(), 52);
    EXPECT_EQ(s.find(L"AccessPassword").toInt(-1), 0);
    EXPECT_EQ(s.find(L"UserPassword").toInt(), 30);
    EXPECT_EQ(s.find(L"Port").toInt(), 1);
    EXPECT_EQ(s.find(L"BaudRate").toInt(), 115200);
    EXPECT_EQ(s.find(L"Bits").toInt(), 8);
    EXPECT_EQ(s.find(L"TTYSuffix").toText(), L"ttyACM0");

    Orn::ParameterSet& p = adapter->parameterSet();
    EXPECT_GE(p.size(), 106u);
    EXPECT_EQ(p[9].toInt(), 2);
    EXPECT_EQ(p[34].toInt(), 30);
    EXPECT_EQ(adapter->pricePointPosition(), 2);
    EXPECT_EQ(script().createdModels, std::vector<int>{52});
    EXPECT_FALSE(adapter->isOpened());
    EXPECT_EQ(adapter->apiResultCode(), 0);
}

struct PortCase {
    const wchar_t* port;
    const char* overrideValue;  // NORVEX_COM, null for unset
    int expected;
};

class PortSelection : public AdapterTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortSelection, PortSettingFollowsArgumentOrOverride) {
    const PortCase& c = GetParam();
    if (c.overrideValue) setenv("NORVEX_COM", c.overrideValue, 1);
    ASSERT_EQ(open(c.port), 0);
    EXPECT_EQ(adapter->connectionSettings().find(L"Port").toInt(), c.expected);
    EXPECT_EQ(script().port, c.expected);  // what the driver was given
    EXPECT_TRUE(adapter->isOpened());
}

INSTANTIATE_TEST_SUITE_P(Ports, PortSelection,
                         ::testing::Values(PortCase{L"COM7", nullptr, 7}, PortCase{L"\\\\.\\COM3", nullptr, 3},
                                           PortCase{L"COM7", "12", 12}, PortCase{L"COM7", "", 7},
                                           PortCase{L"xy5", nullptr, 5}, PortCase{L"COM", nullptr, 0},
                                           PortCase{L"/dev/ttyS0", nullptr, 0}));

class ShortPortText : public AdapterTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ShortPortText, IsAFailedOpenNotACrash) {
    if (GetParam()) setenv("NORVEX_COM", GetParam(), 1);
    for (const wchar_t* port : {L"", L"7"}) {
        EXPECT_EQ(open(port), 65535);
        EXPECT_EQ(adapter->error().code(), -6);
        EXPECT_EQ(adapter->error().parameterCode(), -24);
        EXPECT_FALSE(adapter->isOpened());
        EXPECT_EQ(script().count("setEnabled 1"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutOverride, ShortPortText, ::testing::Values(nullptr, "12"));

TEST_F(AdapterTest, OpenKeepsBaudRateUnlessGiven) {
    ASSERT_EQ(adapter->openDLL(L"A", L"1", L"COM1", L"9600"), 0);
    EXPECT_EQ(adapter->connectionSettings().find(L"BaudRate").toText(), L"9600");
    EXPECT_EQ(adapter->connectionSettings().find(L"AccessPassword").toText(), L"1");
    ASSERT_EQ(adapter->closeDLL(), 0);
    ASSERT_EQ(adapter->openDLL(L"A", L"1", L"COM1", L""), 0);
    EXPECT_EQ(adapter->connectionSettings().find(L"BaudRate").toText(), L"9600");
}

struct ModelCase {
    int reported;
    int expected;
};

class ModelDetection : public AdapterTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(ModelDetection, DriverFollowsReportedModel) {
    script().model = GetParam().reported;
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(adapter->connectionSettings().find(L"Model").toInt(), GetParam().expected);
    ASSERT_NE(adapter->currentDriver(), nullptr);
    EXPECT_TRUE(adapter->currentDriver()->isModel(GetParam().expected));
    EXPECT_EQ(script().createdModels.back(), GetParam().expected);
    // The replacement gets the settings and is enabled and asked again.
    const auto after = script().callsFrom("~driver 52");
    ASSERT_GE(after.size(), 4u);
    EXPECT_EQ(after[1], "setSettings");
    EXPECT_EQ(after[2], "setEnabled 1");
    EXPECT_EQ(after[3], "info");
}

INSTANTIATE_TEST_SUITE_P(Models, ModelDetection,
                         ::testing::Values(ModelCase{53, 53}, ModelCase{52, 52}, ModelCase{47, 52}, ModelCase{0, 52}));

TEST_F(AdapterTest, OpenReceiptIsCancelledBeforeConfiguration) {
    script().checkState = 1;
    ASSERT_EQ(open(), 0);
    const auto tail = script().callsFrom("cancelCheque");
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(tail[1], "setMode 4");
}

TEST_F(AdapterTest, NoCancelWithoutOpenReceipt) {
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(script().count("cancelCheque"), 0u);
}

TEST_F(AdapterTest, InitialConfigurationOrder) {
    script().value57 = 7;  // bit 1 set: must be cleared
    ASSERT_EQ(open(), 0);
    const std::vector<std::string> expected = {
        "setMode 4", "state", "setCaption 118 Admin",
        "setValue 228=0", "setValue 83=3", "setValue 235=3", "setValue 252=3", "setValue 59=3", "setValue 285=0",
        "setCaption 69 ",
        "setValue 286=1", "setValue 58=0", "setValue 67=0",
        "value 57", "setValue 57=5",
        // one header line, each written in programming mode and left again
        "setMode 4", "state", "setValue 66=1", "setMode 0", "state",
        "setMode 4", "state", "setValue 284=1", "setMode 0", "state",
        "resetMode", "state"};
    EXPECT_EQ(script().callsFrom("setMode 4"), expected);
    EXPECT_TRUE(adapter->isOpened());
}

TEST_F(AdapterTest, ConfigurationFailureIsSwallowed) {
    fail("setValue 235=3", -3807);
    ASSERT_EQ(open(), 0);
    EXPECT_TRUE(adapter->isOpened());
    EXPECT_EQ(adapter->error().code(), 0);
    EXPECT_EQ(script().count("setValue 252=3"), 0u);  // the rest of the configuration is skipped
    EXPECT_EQ(script().count("resetMode"), 0u);
}

TEST_F(AdapterTest, FailedOpenReleasesPortAndCanBeRetried) {
    fail("info", -1);
    EXPECT_EQ(open(L"COM3"), 62561);
    EXPECT_FALSE(adapter->isOpened());
    EXPECT_EQ(adapter->error().code(), -1);  // the release does not hide the failure
    EXPECT_FALSE(script().enabled);

    script().faults.clear();
    EXPECT_EQ(open(L"COM4"), 0);
    EXPECT_TRUE(adapter->isOpened());
    EXPECT_EQ(script().port, 4);
}

TEST_F(AdapterTest, CloseClearsOpenedOnlyOnSuccess) {
    ASSERT_EQ(open(), 0);
    fail("setEnabled 0", -14);
    EXPECT_EQ(adapter->closeDLL(), 61445);
    EXPECT_TRUE(adapter->isOpened());
    script().faults.clear();
    EXPECT_EQ(adapter->closeDLL(), 0);
    EXPECT_FALSE(adapter->isOpened());
}

struct BaudCase {
    const wchar_t* rate;
    const char* sent;
};

class BaudRate : public AdapterTest, public ::testing::WithParamInterface<BaudCase> {};

TEST_P(BaudRate, RegisterSpeedCode) {
    ASSERT_EQ(open(), 0);
    script().calls.clear();
    EXPECT_EQ(adapter->setBaudrate(GetParam().rate), 0);
    // Programming mode is entered and deliberately not left.
    const std::vector<std::string> expected = {"setMode 4", "state", GetParam().sent};
    EXPECT_EQ(script().calls, expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, BaudRate,
                         ::testing::Values(BaudCase{L"19200", "setValue 34=3"}, BaudCase{L"4800", "setValue 34=3"},
                                           BaudCase{L"1200", "setValue 34=1"}, BaudCase{L"57600", "setValue 34=7"},
                                           BaudCase{L"115200", "setValue 34=8"}, BaudCase{L"", "setValue 34=3"}));

TEST_F(AdapterTest, SetValueFailureKeepsModeAndReportsCode) {
    fail("setValue 66=7", -3807);
    EXPECT_EQ(adapter->setValue(66, 7.0), 65535);
    EXPECT_EQ(adapter->error().code(), -3807);
    EXPECT_EQ(script().count("setMode 0"), 0u);

    script().calls.clear();
    adapter->setHeaderLineCount(true);  // its failures never reach the caller
    EXPECT_EQ(adapter->error().code(), 0);
    EXPECT_EQ(script().count("setValue 284=7"), 1u);
}

} // namespace
} // namespace adapter_test
