// Receipt operations not built yet: each fails as unsupported so every layer links.
#include "adapter/Norvex.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace {
const auto kUnsupported = [] { raiseError(-12); };
}

int32_t Norvex::openCheque(int32_t) { return run(kUnsupported); }
int32_t Norvex::registration(const std::wstring&, double, double, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::discount(int32_t, double, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::payment(int32_t, double, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::closeCheque() { return run(kUnsupported); }
int32_t Norvex::cancelCheque() { return run(kUnsupported); }
int32_t Norvex::moveCash(int32_t, double, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::printBarcode(int32_t, const std::wstring&, int32_t, int32_t) { return run(kUnsupported); }
std::wstring Norvex::summ() { return std::wstring(); }
int32_t Norvex::printHeader() { return run(kUnsupported); }

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
