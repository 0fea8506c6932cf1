// Report, shift and device-information operations not built yet: each fails as
// unsupported so every layer links.
#include "adapter/Norvex.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace {
const auto kUnsupported = [] { raiseError(-12); };
}

int32_t Norvex::report(int32_t) { return run(kUnsupported); }
int32_t Norvex::reportXToMemory() { return run(kUnsupported); }
int32_t Norvex::reportXExtendedToMemory() { return run(kUnsupported); }
int32_t Norvex::reportTypeCloseToMemory(int32_t) { return run(kUnsupported); }
int32_t Norvex::openSession(const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::setSeanceState(bool) { return run(kUnsupported); }
int32_t Norvex::kkmInfo() { return run(kUnsupported); }
int32_t Norvex::resources() { return run(kUnsupported); }
int32_t Norvex::fillNumbers() { return run(kUnsupported); }
int32_t Norvex::fillSerialNumber() { return run(kUnsupported); }
int32_t Norvex::getParamDoc() { return run(kUnsupported); }
int32_t Norvex::dateTime() { return run(kUnsupported); }
int32_t Norvex::setDateTime(const std::wstring&, const std::wstring&) { return run(kUnsupported); }
int32_t Norvex::openDrawer() { return run(kUnsupported); }

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
