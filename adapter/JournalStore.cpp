// The local electronic journal in SQLite: the file beside the host program, its schema, and
// the statements that store and select documents. Nothing here raises into the adapter.
#include "adapter/JournalStore.h"

#include <sqlite3.h>

#include <initializer_list>
#include <sstream>

#include "core/Logger.h"
#include "core/Platform.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace {

const wchar_t* const kFileName = L"norvex_tavro.db";

const char* const kSqlSynchronousOff = "PRAGMA synchronous = OFF";
const char* const kSqlJournalInMemory = "PRAGMA journal_mode = MEMORY";
const char* const kSqlCreateEj =
    "CREATE TABLE IF NOT EXISTS EJ(NUMBER INTEGER,SHIFT INTEGER,DATA TEXT,TS DATETIME,PRIMARY KEY(NUMBER, SHIFT));";
const char* const kSqlCreateInfo = "CREATE TABLE IF NOT EXISTS INFO(NAME TEXT,VALUE TEXT,PRIMARY KEY(NAME));";
const char* const kSqlSelectVersion = "SELECT VALUE FROM INFO WHERE NAME = 'VERSION'";
const char* const kSqlWriteVersion = "INSERT OR REPLACE INTO INFO VALUES('VERSION', ?);";
// The timestamp is bound like the other values, so no text can change the statement.
const char* const kSqlInsert = "INSERT OR REPLACE INTO EJ VALUES(?, ?, ?, DATETIME(?));";
const char* const kSqlSelectNumber = "SELECT DATA FROM EJ WHERE NUMBER = ?;";
const char* const kSqlSelectRange = "SELECT DATA FROM EJ WHERE NUMBER >= ? AND NUMBER <= ?;";
const char* const kSqlSelectShift = "SELECT DATA FROM EJ WHERE SHIFT = ?;";
const char* const kSqlPurge = "DELETE FROM EJ WHERE TS < DATETIME('now', '-1 years', 'localtime');";

constexpr int kSchemaVersion = 1;

std::wstring& pathOverride() {
    static std::wstring path;
    return path;
}

// The connection's last message, or a note that there is no connection at all.
std::wstring lastMessage(sqlite3* db) {
    if (!db) return L"no database connection";
    const char* message = sqlite3_errmsg(db);
    return Platform::fromUtf8(message ? message : "");
}

void logFailure(sqlite3* db, const wchar_t* fmt) {
    Logger::instance().write(2, fmt, lastMessage(db).c_str());
}

// One-shot execution; its outcome is not needed by any user, so a failure is only logged.
void execute(sqlite3* db, const char* sql) {
    if (!db) return;
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
        Logger::instance().write(2, L"sqlite3_exec error: %ls",
                                 (message ? Platform::fromUtf8(message) : lastMessage(db)).c_str());
    sqlite3_free(message);
}

// A prepared statement finalized on every way out unless finish() took it over.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (db_ && sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    // Finalizes now; false when the statement (or its last step) failed.
    bool finish() {
        const int rc = sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        return rc == SQLITE_OK;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Prepares, binds the integers and reads column 0 of every row as one text. Any failure
// gives the empty text.
std::wstring selectTexts(sqlite3* db, const char* sql, std::initializer_list<int32_t> values) {
    Statement stmt(db, sql);
    if (!stmt.ok()) {
        logFailure(db, L"sqlite3_prepare_v2 error: %ls");
        return std::wstring();
    }
    int index = 1;
    for (int32_t v : values) {
        if (sqlite3_bind_int(stmt.get(), index++, v) != SQLITE_OK) {
            logFailure(db, L"sqlite3_bind_int error: %ls");
            return std::wstring();
        }
    }
    std::wstring result;
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt.get(), 0);
        if (text) result += Platform::fromUtf8(reinterpret_cast<const char*>(text));
    }
    if (!stmt.finish()) {
        logFailure(db, L"sqlite3_finalize error: %ls");
        return std::wstring();
    }
    return result;
}

} // namespace

std::wstring journalPath() {
    if (!pathOverride().empty()) return pathOverride();
    // The directory keeps its own final separator, so the name follows it directly.
    return Platform::executableDirectory() + kFileName;
}

void setJournalPathForTests(const std::wstring& path) { pathOverride() = path; }

sqlite3* openJournal() {
    sqlite3* db = nullptr;
    // A failed open still hands back a connection (for its message); it is closed as usual.
    if (sqlite3_open(Platform::toUtf8(journalPath()).c_str(), &db) != SQLITE_OK)
        Logger::instance().write(2, L"sqlite3_open error: %ls", lastMessage(db).c_str());
    return db;
}

int32_t initJournal(sqlite3* db) {
    execute(db, kSqlSynchronousOff);
    execute(db, kSqlJournalInMemory);
    execute(db, kSqlCreateEj);
    execute(db, kSqlCreateInfo);

    bool found = false;
    int version = 0;
    {
        Statement read(db, kSqlSelectVersion);
        if (read.ok() && sqlite3_step(read.get()) == SQLITE_ROW) {
            found = true;
            const unsigned char* text = sqlite3_column_text(read.get(), 0);
            std::istringstream in(text ? reinterpret_cast<const char*>(text) : "");
            if (!(in >> version)) version = 0;
        }
    }
    if (!found || version == 0) {
        Statement write(db, kSqlWriteVersion);
        if (write.ok() && sqlite3_bind_int(write.get(), 1, kSchemaVersion) == SQLITE_OK) sqlite3_step(write.get());
    }
    return 0;
}

int32_t insertJournalEntry(sqlite3* db, int32_t number, int32_t shift, const std::string& timestamp,
                           const std::string& data) {
    Statement stmt(db, kSqlInsert);
    if (!stmt.ok()) {
        logFailure(db, L"sqlite3_prepare_v2 error: %ls");
        return -1;
    }
    if (sqlite3_bind_int(stmt.get(), 1, number) != SQLITE_OK || sqlite3_bind_int(stmt.get(), 2, shift) != SQLITE_OK) {
        logFailure(db, L"sqlite3_bind_int error: %ls");
        return -1;
    }
    if (sqlite3_bind_text(stmt.get(), 3, data.c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK ||
        sqlite3_bind_text(stmt.get(), 4, timestamp.c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK) {
        logFailure(db, L"sqlite3_bind_text error: %ls");
        return -1;
    }
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
        logFailure(db, L"sqlite3_step error: %ls");
        return -1;
    }
    if (!stmt.finish()) {
        logFailure(db, L"sqlite3_finalize error: %ls");
        return -1;
    }
    return 0;
}

std::wstring selectByNumber(sqlite3* db, int32_t first, int32_t last) {
    if (last == -1) return selectTexts(db, kSqlSelectNumber, {first});
    return selectTexts(db, kSqlSelectRange, {first, last});
}

std::wstring selectByShift(sqlite3* db, int32_t shift) { return selectTexts(db, kSqlSelectShift, {shift}); }

int32_t purgeJournal(sqlite3* db) {
    execute(db, kSqlPurge);
    return 0;
}

void closeJournal(sqlite3* db) {
    if (db) sqlite3_close(db);
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
