#pragma once
// The local electronic journal: plain functions over one open database connection. Every
// user opens the file, does its work and closes it again within one adapter operation.
// The store never raises: a failure is logged and the operation answers -1 or the empty text,
// so an unusable file leaves every copy empty and every other operation unaffected.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace Orn {
namespace Fptr {
namespace Norvex {

// "norvex_tavro.db" beside the host executable.
std::wstring journalPath();
// Tests only: another file for the journal (an empty path restores the usual place).
void setJournalPathForTests(const std::wstring& path);

sqlite3* openJournal();
int32_t initJournal(sqlite3* db);
int32_t insertJournalEntry(sqlite3* db, int32_t number, int32_t shift,
                           const std::string& timestamp, const std::string& data);
std::wstring selectByNumber(sqlite3* db, int32_t first, int32_t last);
std::wstring selectByShift(sqlite3* db, int32_t shift);
int32_t purgeJournal(sqlite3* db);
void closeJournal(sqlite3* db);

// A connection closed when it goes out of scope, so a failure on the way never keeps it.
struct JournalCloser {
    void operator()(sqlite3* db) const { closeJournal(db); }
};
using JournalConnection = std::unique_ptr<sqlite3, JournalCloser>;
inline JournalConnection openJournalConnection() { return JournalConnection(openJournal()); }

// One document cut from the control-tape lines.
struct JournalDocument {
    int32_t number = 0;
    std::wstring timestamp;   // "YYYY-MM-DD HH:MM", or empty when no number line was read yet
    std::wstring text;        // its lines, each followed by a line feed
};

// Cuts control-tape lines into documents. Shift lines are dropped, an annulled receipt is
// not kept, and a document without a number line of its own carries the number and time of
// the one before. currentYear places the two-digit years in their century.
std::vector<JournalDocument> cutJournal(const std::vector<std::wstring>& lines, int currentYear);

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
