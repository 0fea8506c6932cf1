#pragma once
// The built library against norvex-emu on a pseudo-terminal, as a point-of-sale program uses
// it. The emulator keeps its state and paper in files of the test's own, read back once it
// has stopped; the journal file is the one beside this test program.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/StringUtils.h"
#include "emulator/Register.h"
#include "support/NorvexHost.h"

namespace e2e_test {

struct JournalRow {
    int number;
    int shift;
    std::string data;   // UTF-8
    std::string ts;     // "NULL" when there is none
};

inline std::string cp1251(const wchar_t* text) { return Orn::Utils::String::toCp1251(text); }
inline std::string utf8(const std::wstring& text) { return Platform::toUtf8(text); }

class DayTest : public ::testing::Test {
protected:
    static constexpr const char* kState = "emu_state.txt";
    static constexpr const char* kTape = "emu_tape.txt";

    void SetUp() override {
        journal_ = utf8(Platform::executableDirectory() + L"norvex_tavro.db");
        std::remove(journal_.c_str());
        std::remove(kState);
        std::remove(kTape);
        startEmulator({});
        lib_ = std::make_unique<norvex_test::Library>();
    }

    void TearDown() override {
        if (lib_ && opened_) lib_->call<int32_t>("CloseDLL");
        lib_.reset();
        emu_.reset();
        unsetenv("NORVEX_TTY");
    }

    // Replaces the running emulator by a new one on the same state; extra options follow.
    void startEmulator(std::vector<std::string> extra) {
        emu_.reset();
        std::vector<std::string> args{"--state", kState, "--tape", kTape};
        args.insert(args.end(), extra.begin(), extra.end());
        emu_ = std::make_unique<norvex_test::EmulatorProcess>(args);
        setenv("NORVEX_TTY", emu_->path().c_str(), 1);
    }

    int32_t open(const char* admin = "Admin") {
        const int32_t r = lib_->call<int32_t>("OpenDLL", admin, "0", "COM1", int32_t{0});
        opened_ = r == 0;
        return r;
    }
    const norvex_test::Library& lib() const { return *lib_; }
    template <typename R, typename... A> R call(const char* name, A... args) const {
        return lib_->call<R, A...>(name, args...);
    }

    // Stops the emulator (it saves its state and paper) and reads the state back.
    NorvexEmu::Register stopAndLoad() {
        if (lib_ && opened_) lib_->call<int32_t>("CloseDLL");
        opened_ = false;
        emu_->stop();
        NorvexEmu::Register reg;
        std::string error;
        EXPECT_TRUE(reg.load(kState, &error)) << error;
        return reg;
    }

    // The paper tape as the emulator wrote it, one printed line an entry.
    static std::vector<std::string> paper() {
        std::ifstream in(kTape, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The paper from the last line holding `marker` on.
    static std::vector<std::string> paperFromLast(const std::string& marker) {
        const std::vector<std::string> all = paper();
        size_t from = all.size();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].find(marker) != std::string::npos) from = i;
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }

    static bool holds(const std::vector<std::string>& lines, const std::string& text) {
        for (const std::string& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

    // One table field of the stopped register.
    static std::vector<uint8_t> field(const NorvexEmu::Register& reg, int table, int row, int number) {
        NorvexEmu::Bytes bytes;
        EXPECT_TRUE(reg.field(table, row, number, bytes)) << table << "." << row << "." << number;
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    // A text field without its filling.
    static std::string fieldText(const NorvexEmu::Register& reg, int table, int row, int number) {
        std::vector<uint8_t> bytes = field(reg, table, row, number);
        std::string text(bytes.begin(), bytes.end());
        while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
        return text;
    }

    // Every journal row, by shift and number.
    std::vector<JournalRow> journal() const {
        std::vector<JournalRow> out;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(journal_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT NUMBER, SHIFT, DATA, TS FROM EJ ORDER BY SHIFT, NUMBER", -1, &st,
                                   nullptr) == SQLITE_OK) {
                while (sqlite3_step(st) == SQLITE_ROW) {
                    auto text = [&](int c) {
                        const unsigned char* t = sqlite3_column_text(st, c);
                        return t ? std::string(reinterpret_cast<const char*>(t)) : std::string("NULL");
                    };
                    out.push_back({sqlite3_column_int(st, 0), sqlite3_column_int(st, 1), text(2), text(3)});
                }
            }
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return out;
    }

    // --- a day at the till ------------------------------------------------------------------

    void sale(const wchar_t* item, int32_t price, uint8_t payType = 0) {
        const std::string name = cp1251(item);
        ASSERT_EQ((call<int32_t, uint8_t, int32_t, int32_t, int32_t, int32_t>("StartReceipt", 0, 0, 0, 0, 0)), 0);
        ASSERT_EQ((call<int32_t, const char*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>(
                      "ItemReceipt", name.c_str(), 0, 0, 0, price, 1000, 0)),
                  0);
        ASSERT_EQ((call<int32_t, uint8_t, int32_t, int32_t>("TenderReceipt", payType, price, 0)), 0);
        ASSERT_EQ(call<int32_t>("CloseReceipt"), 0);
    }
    void cashIn(int32_t amount) { ASSERT_EQ((call<int32_t, int32_t>("ToCash", amount)), 0); }
    void cashOut(int32_t amount) { ASSERT_EQ((call<int32_t, int32_t>("FromCash", amount)), 0); }

    int32_t fieldsCount() const { return call<int32_t>("GetFldsCount"); }
    std::string fieldStr(uint8_t n) const {
        char buffer[32002] = {0};
        call<char*, uint8_t, char*>("GetFldStr", n, buffer);
        return buffer;
    }
    double fieldFloat(uint8_t n) const { return call<double, uint8_t>("GetFldFloat", n); }

    static std::string today(const char* pattern) {
        const Platform::LocalTime t = Platform::localTime();
        char text[32];
        if (std::string(pattern) == "iso")
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
        else
            std::snprintf(text, sizeof text, "%02d%02d%02d", t.day, t.month, t.year % 100);
        return text;
    }

    std::string journal_;
    std::unique_ptr<norvex_test::EmulatorProcess> emu_;
    std::unique_ptr<norvex_test::Library> lib_;
    bool opened_ = false;
};

} // namespace e2e_test
