// The export frame before OpenDLL: the last error and its texts, the guard of every
// export, the stub kinds, and the rule for texts handed back.
#include <cstring>
#include <map>
#include <string>

#include "ApiHost.h"

using namespace api_test;

namespace {

constexpr int32_t kNotOpened = 177;

std::string errorMessage(const Library& lib) {
    char buf[512];
    std::memset(buf, 'x', sizeof buf);
    char* r = lib.call<char*>("GetErrorMessage", static_cast<char*>(buf));
    EXPECT_EQ(r, buf);
    return buf;
}

std::string errorMessageNo(const Library& lib, uint16_t code) {
    char buf[512];
    std::memset(buf, 'x', sizeof buf);
    char* r = lib.call<char*>("GetErrorMessageNo", static_cast<char*>(buf), code);
    EXPECT_EQ(r, buf);
    return buf;
}

int32_t lastError(const Library& lib) { return lib.call<int32_t>("GetLastDllError"); }

} // namespace

TEST(Frame, NoErrorRightAfterLoad) {
    inFreshLibrary([](Library& lib) {
        EXPECT_EQ(lastError(lib), 0);
        EXPECT_EQ(errorMessage(lib), cp1251(L"Ошибок нет"));
    });
}

TEST(Frame, GuardRefusesBeforeOpenAndExplainsWhy) {
    inFreshLibrary([](Library& lib) {
        EXPECT_EQ(lib.call<int32_t>("XReport"), kNotOpened);
        EXPECT_EQ(lastError(lib), kNotOpened);
        EXPECT_EQ(errorMessageNo(lib, kNotOpened), cp1251(L"DLL не подключена"));
        // The adapter's own codes have no device text.
        EXPECT_EQ(errorMessage(lib), cp1251(L"Описание ошибки недоступно"));
        EXPECT_EQ(errorMessageNo(lib, 0xFFFF), errorMessage(lib));
    });
}

TEST(Frame, ErrorMessageNoReadsTheResultTable) {
    inFreshLibrary([](Library& lib) {
        const std::map<uint16_t, std::wstring> cases = {
            {0, L"Ошибок нет. Счетчики обновлены"},
            {70, L"Описание ошибки недоступно"},  // a gap in the table
            {178, L"Повторное подключение DLL"},
            {180, L"ПФ Документ уже открыт"},
            {0xFFFF, L"Ошибок нет"},              // the last error itself, none yet
        };
        for (const auto& c : cases) EXPECT_EQ(errorMessageNo(lib, c.first), cp1251(c.second.c_str())) << c.first;
    });
}

TEST(Frame, NullBuffersAreLeftAloneAndReturned) {
    inFreshLibrary([](Library& lib) {
        EXPECT_EQ(lib.call<char*>("GetErrorMessage", static_cast<char*>(nullptr)), nullptr);
        EXPECT_EQ(lib.call<char*>("GetErrorMessageNo", static_cast<char*>(nullptr), uint16_t{177}), nullptr);
        EXPECT_EQ(lib.call<char*>("GetDllVer", static_cast<char*>(nullptr)), nullptr);
        EXPECT_EQ(lib.call<char*>("GetCommand", static_cast<char*>(nullptr)), nullptr);
        EXPECT_EQ(lib.call<char*>("GetFldStr", uint8_t{0}, static_cast<char*>(nullptr)), nullptr);
    });
}

// Exports that hand back data rather than a code, before OpenDLL: the buffer stays as it
// was, and the guard still leaves "not opened" as the last error.
TEST(Frame, BufferExportsLeaveTheBufferUnwrittenBeforeOpen) {
    inFreshLibrary([](Library& lib) {
        for (const char* name : {"GetDllVer", "GetCommand", "GetAnswer"}) {
            char buf[32];
            std::memset(buf, '#', sizeof buf);
            EXPECT_EQ(lib.call<char*>(name, static_cast<char*>(buf)), buf) << name;
            EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, '#')) << name;
            EXPECT_EQ(lastError(lib), kNotOpened) << name;
        }
        char buf[32];
        std::memset(buf, '#', sizeof buf);
        EXPECT_EQ(lib.call<char*>("GetFldStr", uint8_t{3}, static_cast<char*>(buf)), buf);
        EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, '#'));
    });
}

TEST(Frame, StatusReadersAnswerZeroButRecordTheGuard) {
    inFreshLibrary([](Library& lib) {
        EXPECT_EQ(lib.call<int32_t>("CheckBit"), 0);  // no guard: the last error stays clear
        EXPECT_EQ(lastError(lib), 0);
        EXPECT_EQ(lib.call<int32_t>("CheckStatusNum", int32_t{3}, int32_t{5}), 0);
        EXPECT_EQ(lastError(lib), kNotOpened);
        EXPECT_EQ(lib.call<uint8_t>("GetStatusNum", int32_t{6}), 0);
    });
}

TEST(Frame, AnswerFieldReadersGiveTheGuardCodeAsData) {
    inFreshLibrary([](Library& lib) {
        EXPECT_EQ(lib.call<int32_t>("GetFldsCount"), kNotOpened);
        EXPECT_EQ(lib.call<int32_t>("GetFldInt", uint8_t{0}), kNotOpened);
        EXPECT_EQ(lib.call<uint16_t>("GetFldWord", uint8_t{0}), kNotOpened);
        EXPECT_EQ(lib.call<uint8_t>("GetFldByte", uint8_t{0}), kNotOpened);
        EXPECT_DOUBLE_EQ(lib.call<double>("GetFldFloat", uint8_t{0}), 177.0);
    });
}

// Every stub, by its kind. The unguarded ones run first, while the last error is still
// clear, so a stub that touches it is seen.
TEST(Frame, EveryStubAnswersByItsKindBeforeOpen) {
    inFreshLibrary([](Library& lib) {
        size_t n = 0;
        const ExportRow* rows = exportRows(&n);
        int checked = 0;
        for (size_t i = 0; i < n; ++i) {
            const ExportRow& r = rows[i];
            if (r.kind != Kind::STUB_FREE && r.kind != Kind::STUB_REOPEN) continue;
            EXPECT_EQ(r.callWithZeros(lib, r.name), 0) << r.name;
            EXPECT_EQ(lastError(lib), 0) << r.name;
            ++checked;
        }
        for (size_t i = 0; i < n; ++i) {
            const ExportRow& r = rows[i];
            if (r.kind != Kind::STUB_FIELDS && r.kind != Kind::STUB_FIELDS_RESULT && r.kind != Kind::STUB_GUARDED)
                continue;
            EXPECT_EQ(r.callWithZeros(lib, r.name), kNotOpened) << r.name;
            EXPECT_EQ(lastError(lib), kNotOpened) << r.name;
            ++checked;
        }
        EXPECT_EQ(checked, 144);
    });
}

// Every implemented export refuses before OpenDLL without reaching the register (called
// with all arguments zero: null texts, null buffers).
TEST(Frame, EveryOperationIsGuardedBeforeOpen) {
    // What the exports that return data give instead of 177.
    const std::map<std::string, int64_t> data = {
        {"GetStatusNum", 0}, {"CheckStatusNum", 0},   {"GetDllVer", 0}, {"GetCommand", 0},
        {"GetAnswer", 0},    {"GetFldStr", 0},
    };
    // Not guarded, or guarded the other way round.
    const char* const unguarded[] = {"GetLastDllError", "GetErrorMessage", "GetErrorMessageNo", "OpenDLL",
                                     "OpenDLLPlus"};
    inFreshLibrary([&](Library& lib) {
        size_t n = 0;
        const ExportRow* rows = exportRows(&n);
        for (size_t i = 0; i < n; ++i) {
            const ExportRow& r = rows[i];
            if (r.kind != Kind::IMPL) continue;
            bool skip = false;
            for (const char* u : unguarded) skip = skip || std::strcmp(u, r.name) == 0;
            if (skip) continue;
            const auto d = data.find(r.name);
            EXPECT_EQ(r.callWithZeros(lib, r.name), d == data.end() ? kNotOpened : d->second) << r.name;
            EXPECT_EQ(lastError(lib), kNotOpened) << r.name;
        }
    });
}
