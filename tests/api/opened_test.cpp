// The export frame once the library is opened on the register emulator.
#ifdef NORVEX_EMU_PATH
#include <cstdlib>
#include <cstring>
#include <string>

#include "ApiHost.h"

using namespace api_test;

namespace {

std::string fieldText(const Library& lib, uint8_t n) {
    char buf[256];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(lib.call<char*>("GetFldStr", n, static_cast<char*>(buf)), buf);
    return buf;
}

int32_t lastError(const Library& lib) { return lib.call<int32_t>("GetLastDllError"); }

} // namespace

TEST(Opened, SecondOpenIsRefusedAndTheFirstStaysUsable) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        EXPECT_EQ(lib.call<int32_t>("OpenDLL", "", "", "COM1", int32_t{0}), 178);
        EXPECT_EQ(lib.call<int32_t>("OpenDLLPlus", "", "", "COM1", "9600", int32_t{0}), 178);
        EXPECT_EQ(lib.call<int32_t>("OpenTCPDLL", 0, 0, 0, 0, 0), 178);
        EXPECT_EQ(lastError(lib), 178);
        EXPECT_EQ(lib.call<int32_t>("GetStatus"), 0);
        EXPECT_EQ(lastError(lib), 0);
    });
}

TEST(Opened, VersionAndUnimplementedTextsAreWritten) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        EXPECT_EQ(lib.call<char*>("GetDllVer", static_cast<char*>(buf)), buf);
        EXPECT_EQ(std::memcmp(buf, "1.1.6.204\0#", 11), 0) << "exactly ten bytes written";
        for (const char* name : {"GetCommand", "GetAnswer"}) {
            std::memset(buf, '#', sizeof buf);
            EXPECT_EQ(lib.call<char*>(name, static_cast<char*>(buf)), buf);
            EXPECT_EQ(std::string(buf), cp1251(L"Метод не реализован")) << name;
        }
    });
}

// A stub with answer fields queries the register and puts its command code in field 0.
TEST(Opened, StubsWithAnswerFieldsCarryTheirCode) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        size_t n = 0;
        const ExportRow* rows = exportRows(&n);
        for (size_t i = 0; i < n; ++i) {
            const ExportRow& r = rows[i];
            if (r.kind != Kind::STUB_FIELDS && r.kind != Kind::STUB_FIELDS_RESULT) continue;
            EXPECT_EQ(r.callWithZeros(lib, r.name), 0) << r.name;
            EXPECT_EQ(lib.call<int32_t>("GetFldsCount"), 5) << r.name;
            EXPECT_EQ(lib.call<uint8_t>("GetFldByte", uint8_t{0}), r.code) << r.name;
        }
        for (size_t i = 0; i < n; ++i) {
            if (rows[i].kind == Kind::STUB_GUARDED) {
                EXPECT_EQ(rows[i].callWithZeros(lib, rows[i].name), 0) << rows[i].name;
            }
        }
    });
}

TEST(Opened, StatusBytesComeFromTheLastQuery) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        ASSERT_EQ(lib.call<int32_t>("GetStatus"), 0);
        EXPECT_EQ(lib.call<uint8_t>("GetStatusNum", int32_t{1}), 0x3E);
        EXPECT_EQ(lib.call<uint8_t>("GetStatusNum", int32_t{6}), 0x76);
        EXPECT_EQ(lib.call<uint8_t>("GetStatusNum", int32_t{7}), 0);
        EXPECT_EQ(lib.call<uint8_t>("GetStatusNum", int32_t{-1}), 0);
        // Byte 6 is 0x76: bits 1, 2, 4, 5 and 6 set.
        const struct {
            int32_t bit;
            int32_t want;
        } cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 0}, {8, 0}, {31, 0}, {32, 0}, {-1, 0}};
        for (const auto& c : cases)
            EXPECT_EQ(lib.call<int32_t>("CheckStatusNum", int32_t{6}, c.bit), c.want) << "bit " << c.bit;
        EXPECT_EQ(fieldText(lib, 0), "00");
        EXPECT_EQ(fieldText(lib, 3), "0000");
        EXPECT_EQ(fieldText(lib, 200), "");  // beyond the fields
        EXPECT_EQ(lib.call<int32_t>("GetFldInt", uint8_t{200}), 0);
    });
}

TEST(Opened, UnknownReportCommandChangesNothing) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        ASSERT_EQ(lib.call<int32_t>("GetStatus"), 0);
        EXPECT_EQ(lib.call<int32_t>("GetEReport", uint8_t{0x40}, uint8_t{0}), 0);
        EXPECT_EQ(fieldText(lib, 0), "00");
        EXPECT_EQ(lib.call<int32_t>("GetFldsCount"), 5);
    });
}

TEST(Opened, FreeDocStartBeyondTheTextIsRefused) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        EXPECT_EQ(lib.call<int32_t>("FreeDoc", "abc", int32_t{4}), 65535);
        char buf[128];
        EXPECT_EQ(std::string(lib.call<char*>("GetErrorMessage", static_cast<char*>(buf))),
                  cp1251(L"Недопустимое значение"));
        EXPECT_EQ(lib.call<int32_t>("FreeDoc", "abc", int32_t{-1}), 65535);
    });
}

TEST(Opened, NoFiscalDocumentToAddToOrClose) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        EXPECT_EQ(lib.call<int32_t>("AddFreeField", uint16_t{1}, uint16_t{1}, int8_t{0}, 0, 0, "x"), 179);
        EXPECT_EQ(lib.call<int32_t>("AddPosField77", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0),
                  179);
        for (const char* name : {"PrintFiscalReceipt", "PrintFiscalSlip", "CloseFreeDoc", "CloseFreeDoc77"})
            EXPECT_EQ(lib.call<int32_t>(name), 179) << name;
        EXPECT_EQ(lastError(lib), 179);
    });
}

TEST(Opened, SecondFiscalDocumentIsRefused) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        ASSERT_EQ(lib.call<int32_t>("OpenFiscalDoc", uint8_t{1}, uint8_t{2}, 0, uint8_t{1}, 0, 0, 0, 0, 0,
                                    int32_t{12345}),
                  0);
        EXPECT_EQ(lib.call<int32_t>("OpenFiscalDocEx", uint8_t{1}, uint8_t{2}, 0, uint8_t{1}, 0, 0, 0, 0, 0,
                                    "12345"),
                  180);
        EXPECT_EQ(lib.call<int32_t>("CloseFreeDoc"), 0);
        EXPECT_EQ(lib.call<int32_t>("CloseFreeDoc"), 179);
    });
}

TEST(Opened, CloseMakesTheGuardRefuseAgain) {
    inFreshLibrary([](Library& lib) {
        Opened open(lib);
        ASSERT_EQ(open.result(), 0);
        ASSERT_EQ(lib.call<int32_t>("CloseDLL"), 0);
        EXPECT_EQ(lib.call<int32_t>("GetStatus"), 177);
        EXPECT_EQ(lib.call<int32_t>("CloseDLL"), 177);
    });
}
#endif
