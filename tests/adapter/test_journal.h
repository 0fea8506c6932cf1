#pragma once
// The adapter over the scripted driver with its journal in a scratch file of the test's own.
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AdapterFixture.h"
#include "adapter/JournalStore.h"
#include "core/Platform.h"

namespace adapter_test {

struct JournalRow {
    int number;
    int shift;
    std::string data;
    std::string ts;   // "NULL" for a NULL timestamp
    bool operator==(const JournalRow& o) const {
        return number == o.number && shift == o.shift && data == o.data && ts == o.ts;
    }
};

inline std::ostream& operator<<(std::ostream& os, const JournalRow& r) {
    return os << "{" << r.number << ", " << r.shift << ", \"" << r.data << "\", " << r.ts << "}";
}

class JournalTest : public AdapterTest {
protected:
    static constexpr const char* kPath = "journal_test.db";

    void SetUp() override {
        std::remove(kPath);
        Orn::Fptr::Norvex::setJournalPathForTests(Platform::fromUtf8(kPath));
        AdapterTest::SetUp();
    }
    void TearDown() override {
        AdapterTest::TearDown();
        Orn::Fptr::Norvex::setJournalPathForTests(std::wstring());
        std::remove(kPath);
    }

    // Runs SQL on the journal file directly.
    static void sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(kPath, &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    // Every EJ row, by shift and number.
    static std::vector<JournalRow> rows() {
        std::vector<JournalRow> out;
        sqlite3* db = nullptr;
        if (sqlite3_open(kPath, &db) != SQLITE_OK) {
            sqlite3_close(db);
            return out;
        }
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
        sqlite3_close(db);
        return out;
    }

    // Stores one document through the store's own functions.
    static void store(int number, int shift, const std::string& data, const std::string& ts = "") {
        Orn::Fptr::Norvex::JournalConnection db = Orn::Fptr::Norvex::openJournalConnection();
        Orn::Fptr::Norvex::initJournal(db.get());
        ASSERT_EQ(Orn::Fptr::Norvex::insertJournalEntry(db.get(), number, shift, ts, data), 0);
    }

    static std::string utf8(const std::wstring& w) { return Platform::toUtf8(w); }
};

} // namespace adapter_test
