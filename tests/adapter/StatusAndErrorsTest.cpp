// Status bytes, the mode refresh, result codes and texts, the error frame and its log lines,
// and text conversion.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "AdapterFixture.h"
#include "core/Logger.h"
#include "core/Platform.h"

namespace adapter_test {
namespace {

struct StatusCase {
    int flags;
    std::array<uint8_t, 6> bytes;
};

class StatusBytes : public AdapterTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusBytes, FromDeviceFlags) {
    script().flags = GetParam().flags;
    ASSERT_EQ(adapter->status(), 0);
    for (uint32_t n = 1; n <= 6; ++n) EXPECT_EQ(adapter->statusByte(n), GetParam().bytes[n - 1]) << "byte " << n;
}

INSTANTIATE_TEST_SUITE_P(Flags, StatusBytes,
                         ::testing::Values(StatusCase{0x00, {0x3E, 0x12, 0x32, 0x12, 0x52, 0x76}},
                                           StatusCase{0x08, {0x3E, 0x12, 0x12, 0x12, 0x12, 0x76}},
                                           StatusCase{0x28, {0x3E, 0x12, 0x92, 0x12, 0x12, 0x76}},
                                           StatusCase{0x20, {0x3E, 0x12, 0xB2, 0x12, 0x52, 0x76}}));

TEST_F(AdapterTest, StatusByteBounds) {
    EXPECT_EQ(adapter->statusByte(1), 0);  // before any status
    ASSERT_EQ(adapter->status(), 0);
    EXPECT_EQ(adapter->statusByte(0), 0);
    EXPECT_EQ(adapter->statusByte(7), 0);
    EXPECT_EQ(adapter->statusByte(0xFFFFFFFFu), 0);
    EXPECT_EQ(adapter->statusByte(6), 0x76);
}

TEST_F(AdapterTest, FailedStatusZeroesBytes) {
    ASSERT_EQ(adapter->status(), 0);
    fail("info", -1);
    EXPECT_EQ(adapter->status(), 62561);
    for (uint32_t n = 1; n <= 6; ++n) EXPECT_EQ(adapter->statusByte(n), 0);
}

TEST_F(AdapterTest, UpdateModeNeverChangesLastError) {
    script().stateResult = 0x1234;
    adapter->updateMode(false);
    EXPECT_EQ(adapter->parameterSet()[27].toInt(), 0x34);

    adapter->initError(-3807);
    script().calls.clear();
    adapter->updateMode(false);  // an error is recorded: no query
    EXPECT_TRUE(script().calls.empty());

    fail("state", -1);
    adapter->updateMode(true);  // forced, and failing
    EXPECT_EQ(script().count("state"), 1u);
    EXPECT_EQ(adapter->error().code(), -3807);
}

struct ResultCase {
    int32_t error;
    int32_t result;
};

class ResultCodes : public AdapterTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultCodes, MapErrorToApiResult) {
    EXPECT_EQ(adapter->initError(GetParam().error), GetParam().result);
    EXPECT_EQ(adapter->apiResultCode(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Table, ResultCodes,
                         ::testing::Values(ResultCase{0, 0}, ResultCase{-1, 62561}, ResultCase{-22, 176},
                                           ResultCase{-3807, 65535}, ResultCase{-3830, 3}, ResultCase{-3831, 3},
                                           ResultCase{-3801, 13}, ResultCase{-3802, 13}, ResultCase{-3914, 65535},
                                           ResultCase{-3922, 64}, ResultCase{-30001, 177},
                                           ResultCase{-30005, 6}, ResultCase{-199, 65535}));

TEST_F(AdapterTest, ErrorDescriptions) {
    EXPECT_EQ(adapter->errorDescription(65535), L"Ошибок нет");
    EXPECT_EQ(adapter->errorDescription(185), L"Не введена оплата по видам");
    EXPECT_EQ(adapter->errorDescription(70), L"Описание ошибки недоступно");
    adapter->initError(-3807);
    EXPECT_EQ(adapter->errorDescription(65535), L"Нет бумаги");
    adapter->initError(-30001);
    EXPECT_EQ(adapter->errorDescription(177), L"DLL не подключена");
}

struct FrameCase {
    Failure kind;
    int32_t code;
    int32_t parameterCode;
    int32_t result;
};

class ErrorFrame : public AdapterTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(ErrorFrame, EveryFailureBecomesTheLastError) {
    const FrameCase& c = GetParam();
    script().faults["info"] = Fault{c.kind, c.code, c.parameterCode};
    int32_t result = -1;
    EXPECT_NO_THROW(result = adapter->status());
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(adapter->error().code(), c.kind == Failure::Register ? c.code
                                       : c.kind == Failure::OutOfMemory ? -22 : -199);
    EXPECT_EQ(adapter->error().parameterCode(), c.parameterCode);

    // The next operation starts clean.
    script().faults.clear();
    EXPECT_EQ(adapter->status(), 0);
    EXPECT_EQ(adapter->error().code(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ErrorFrame,
                         ::testing::Values(FrameCase{Failure::Register, -3822, 0, 21},
                                           FrameCase{Failure::Register, -6, -60, 65535},
                                           FrameCase{Failure::OutOfMemory, 0, 0, 176},
                                           FrameCase{Failure::Standard, 0, 0, 65535},
                                           FrameCase{Failure::Unknown, 0, 0, 65535}));

TEST_F(AdapterTest, UnexpectedFailureDuringOpenFailsTheOpen) {
    fail("setCaption", Failure::Standard);  // inside the register setup, which only absorbs register errors
    EXPECT_EQ(open(), 65535);
    EXPECT_FALSE(adapter->isOpened());
    EXPECT_EQ(adapter->error().code(), -199);
}

class LoggedErrors : public AdapterTest {
protected:
    void SetUp() override {
        setenv("QLM9_LOG_LVL", "2", 1);
        Logger::instance().reloadForTests();
        path_ = Platform::toUtf8(Logger::instance().path());
        std::remove(path_.c_str());
        AdapterTest::SetUp();
    }
    void TearDown() override {
        AdapterTest::TearDown();
        unsetenv("QLM9_LOG_LVL");
        Logger::instance().reloadForTests();
        std::remove(path_.c_str());
    }
    std::string logText() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string path_;
};

TEST_F(LoggedErrors, AssignmentLinesAndPortOverride) {
    fail("info", -6, -60);
    adapter->status();
    fail("info", -3807);
    adapter->status();
    script().faults.clear();
    setenv("NORVEX_COM", "12", 1);
    ASSERT_EQ(open(L"COM7"), 0);

    const std::string text = logText();
    EXPECT_NE(text.find("присвоен код ошибки -6.-60 (Недопустимое значение)"), std::string::npos) << text;
    EXPECT_NE(text.find("присвоен код ошибки -3807 (Нет бумаги)"), std::string::npos) << text;
    EXPECT_NE(text.find("Объекту (0x"), std::string::npos);
    EXPECT_EQ(text.find("(0x0x"), std::string::npos);
    EXPECT_NE(text.find("Подмена номера порта на 12"), std::string::npos) << text;
}

TEST_F(LoggedErrors, UnexpectedExceptionIsNamed) {
    fail("info", Failure::Standard);
    adapter->status();
    fail("info", Failure::Unknown);
    adapter->status();
    const std::string text = logText();
    EXPECT_NE(text.find("Необрабатываемое исключение (unexpected)"), std::string::npos) << text;
    EXPECT_NE(text.find("Неизвестное исключение"), std::string::npos) << text;
}

struct DecodeCase {
    int32_t flag;
    const char* narrow;
    const wchar_t* wide;
};

class Decoding : public AdapterTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(Decoding, BothDirections) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(adapter->decode(c.narrow, c.flag), c.wide);
    EXPECT_EQ(adapter->decode(std::wstring(c.wide), c.flag), c.narrow);
}

// "Аа" is 0x80 0xA0 in the OEM page and 0xC0 0xE0 in code page 1251, where 0x80 is "Ђ"; any
// flag but 2 means code page 1251, and flag 0 (the adapter's flag before any open) does too.
INSTANTIATE_TEST_SUITE_P(Pages, Decoding,
                         ::testing::Values(DecodeCase{2, "\x80\xA0", L"Аа"}, DecodeCase{1, "\xC0\xE0", L"Аа"},
                                           DecodeCase{5, "\x80\xE0", L"Ђа"}, DecodeCase{0, "\xC0\xE0", L"Аа"},
                                           DecodeCase{1, "abc", L"abc"}));

TEST_F(AdapterTest, DecoderFlagSelectsPage) {
    EXPECT_EQ(adapter->decode(static_cast<const char*>(nullptr), 1), L"");
    adapter->setDecoderFlag(2);
    EXPECT_EQ(adapter->decode("\x80", 0), L"А");
    EXPECT_EQ(adapter->decode(std::wstring(L"А"), 0), "\x80");
    adapter->setDecoderFlag(1);
    EXPECT_EQ(adapter->decode("\x80", 0), L"Ђ");
}

} // namespace
} // namespace adapter_test
