// The journal store on a real SQLite file: schema and version row, replacing a document,
// selections across shifts, the one-year trim, and a file that cannot be opened.
#include <algorithm>

#include "core/StringUtils.h"
#include "test_journal.h"

namespace adapter_test {
namespace {

using namespace Orn::Fptr::Norvex;

std::string scalar(const char* path, const std::string& query) {
    sqlite3* db = nullptr;
    std::string out = "<none>";
    if (sqlite3_open(path, &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out = t ? reinterpret_cast<const char*>(t) : "NULL";
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

using JournalStoreTest = JournalTest;

TEST_F(JournalStoreTest, OpenCreatesBothTablesAndTheVersionRow) {
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(scalar(kPath, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name IN ('EJ','INFO')"), "2");
    EXPECT_EQ(scalar(kPath, "SELECT VALUE FROM INFO WHERE NAME='VERSION'"), "1");
}

TEST_F(JournalStoreTest, VersionRowIsRepairedOnlyWhenItIsNotANumberOrZero) {
    struct Case {
        const char* stored;
        const char* after;
    };
    for (const Case& c : {Case{"7", "7"}, Case{"abc", "1"}, Case{"0", "1"}}) {
        std::remove(kPath);
        sql("CREATE TABLE INFO(NAME TEXT,VALUE TEXT,PRIMARY KEY(NAME));"
            "INSERT INTO INFO VALUES('VERSION','" + std::string(c.stored) + "');");
        JournalConnection db = openJournalConnection();
        EXPECT_EQ(initJournal(db.get()), 0);
        db.reset();
        EXPECT_EQ(scalar(kPath, "SELECT VALUE FROM INFO WHERE NAME='VERSION'"), c.after) << c.stored;
    }
}

TEST_F(JournalStoreTest, StoringTheSameNumberAndShiftAgainReplacesTheRow) {
    store(5, 12, "first\n", "2024-02-29 10:05");
    store(5, 12, "second\n", "");
    store(5, 13, "other shift\n", "2024-02-29 10:05");
    EXPECT_EQ(rows(), (std::vector<JournalRow>{{5, 12, "second\n", "NULL"},
                                               {5, 13, "other shift\n", "2024-02-29 10:05:00"}}));
}

TEST_F(JournalStoreTest, SelectionsTakeEveryShift) {
    store(5, 1, "a5\n");
    store(5, 2, "b5\n");
    store(3, 2, "b3\n");
    store(7, 1, "a7\n");
    store(8, 1, "a8\n");
    JournalConnection db = openJournalConnection();

    // Row order is SQLite's; compare as sorted lines.
    auto sortedLines = [](const std::wstring& text) {
        std::vector<std::wstring> lines;
        Orn::Utils::String::split(text, L"\n", false, lines);
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    EXPECT_EQ(sortedLines(selectByNumber(db.get(), 5, -1)), (std::vector<std::wstring>{L"a5", L"b5"}));
    EXPECT_EQ(sortedLines(selectByNumber(db.get(), 3, 7)), (std::vector<std::wstring>{L"a5", L"a7", L"b3", L"b5"}));
    EXPECT_EQ(sortedLines(selectByShift(db.get(), 1)), (std::vector<std::wstring>{L"a5", L"a7", L"a8"}));
    EXPECT_EQ(selectByShift(db.get(), 9), L"");
}

TEST_F(JournalStoreTest, TrimDeletesOnlyDocumentsOlderThanAYear) {
    store(1, 1, "undated\n");
    store(2, 1, "old\n");
    store(3, 1, "recent\n");
    sql("UPDATE EJ SET TS = DATETIME('now', 'localtime', '-13 months') WHERE NUMBER = 2;"
        "UPDATE EJ SET TS = DATETIME('now', 'localtime', '-11 months') WHERE NUMBER = 3;");
    JournalConnection db = openJournalConnection();
    EXPECT_EQ(purgeJournal(db.get()), 0);
    db.reset();
    const std::vector<JournalRow> left = rows();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].data, "undated\n");
    EXPECT_EQ(left[1].data, "recent\n");
}

TEST_F(JournalStoreTest, TimestampIsAValueNeverPartOfTheStatement) {
    store(1, 1, "doc\n", "x'); DROP TABLE EJ; --");
    store(2, 1, std::string(200, 'y') + "\n", std::string(200, '9'));
    const std::vector<JournalRow> stored = rows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].ts, "NULL");
    EXPECT_EQ(stored[1].ts, "NULL");
}

TEST_F(JournalStoreTest, FileThatCannotBeOpenedLeavesEveryOperationHarmless) {
    setJournalPathForTests(L"/nonexistent-norvex-dir/sub/norvex_tavro.db");
    EXPECT_EQ(open(), 0);
    JournalConnection db = openJournalConnection();
    EXPECT_EQ(initJournal(db.get()), 0);
    EXPECT_EQ(insertJournalEntry(db.get(), 1, 1, "2024-01-01 10:00", "doc\n"), -1);
    EXPECT_EQ(selectByNumber(db.get(), 1, -1), L"");
    EXPECT_EQ(selectByShift(db.get(), 1), L"");
    EXPECT_EQ(purgeJournal(db.get()), 0);

    // No connection at all is handled the same way.
    EXPECT_EQ(initJournal(nullptr), 0);
    EXPECT_EQ(insertJournalEntry(nullptr, 1, 1, "", "doc\n"), -1);
    EXPECT_EQ(selectByShift(nullptr, 1), L"");
    closeJournal(nullptr);
}

TEST_F(JournalStoreTest, JournalFileSitsBesideTheHostProgram) {
    setJournalPathForTests(std::wstring());
    EXPECT_EQ(journalPath(), Platform::executableDirectory() + L"norvex_tavro.db");
    EXPECT_EQ(journalPath().find(L'\\'), std::wstring::npos);
}

} // namespace
} // namespace adapter_test
