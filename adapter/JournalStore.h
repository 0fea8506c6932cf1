#pragma once
// The local electronic journal: plain functions over one open database connection. Every
// user opens the file, does its work and closes it again within one adapter operation.
#include <cstdint>
#include <string>

struct sqlite3;

namespace Orn {
namespace Fptr {
namespace Norvex {

sqlite3* openJournal();
int32_t initJournal(sqlite3* db);
int32_t insertJournalEntry(sqlite3* db, int32_t number, int32_t shift,
                           const std::string& timestamp, const std::string& data);
std::wstring selectByNumber(sqlite3* db, int32_t first, int32_t last);
std::wstring selectByShift(sqlite3* db, int32_t shift);
int32_t purgeJournal(sqlite3* db);
void closeJournal(sqlite3* db);

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
