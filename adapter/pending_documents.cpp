// Fiscal-document and free-text operations not built yet: each fails as unsupported so
// every layer links.
#include "adapter/Norvex.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace {
const auto kUnsupported = [] { raiseError(-12); };
}

int32_t Norvex::openFiscalDoc(int32_t, int32_t, double, int32_t) { return run(kUnsupported); }
bool Norvex::isFiscalDocOpened() { return fiscalDocOpened; }
void Norvex::limitHeaderRows(uint32_t) {}
int32_t Norvex::addString(uint32_t, uint32_t, int8_t, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::printFormatString(int8_t, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::printString(const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::closeFiscalDoc(bool) { return run(kUnsupported); }
int32_t Norvex::closeNonFiscalDoc() { return run(kUnsupported); }
int32_t Norvex::printFooter() { return run(kUnsupported); }
int32_t Norvex::setCaption(int32_t, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::cut(int32_t) { return run(kUnsupported); }
std::wstring Norvex::serialNumber() { return std::wstring(); }
std::wstring Norvex::docNumber() { return std::wstring(); }
std::wstring Norvex::inn() { return std::wstring(); }
std::wstring Norvex::cashier() { return std::wstring(); }
std::wstring Norvex::date() { return std::wstring(); }
std::wstring Norvex::time() { return std::wstring(); }

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
