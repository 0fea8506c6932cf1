// Journal store and control-tape operations not built yet. Preparing the journal at open
// does nothing, so opening the library does not depend on it; the rest fails as unsupported.
#include "adapter/JournalStore.h"
#include "adapter/Norvex.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace {
const auto kUnsupported = [] { raiseError(-12); };
}

void Norvex::prepareJournal() {}
void Norvex::journalUpdate() { raiseError(-12); }
int32_t Norvex::printChequeByShift(int32_t) { return run(kUnsupported); }
int32_t Norvex::printChequeByNumber(int32_t, int32_t) { return run(kUnsupported); }
int32_t Norvex::currentShiftNumber() { return 0; }

sqlite3* openJournal() { return nullptr; }
int32_t initJournal(sqlite3*) { return 0; }
int32_t insertJournalEntry(sqlite3*, int32_t, int32_t, const std::string&, const std::string&) { raiseError(-12); return -1; }
std::wstring selectByNumber(sqlite3*, int32_t, int32_t) { raiseError(-12); return std::wstring(); }
std::wstring selectByShift(sqlite3*, int32_t) { raiseError(-12); return std::wstring(); }
int32_t purgeJournal(sqlite3*) { raiseError(-12); return 0; }
void closeJournal(sqlite3*) {}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
