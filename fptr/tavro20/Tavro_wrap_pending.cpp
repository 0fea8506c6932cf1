// Placeholder for wrapped printing (replaced by the printing family).
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {
int TavroDrv::printWrapped(const std::wstring&, int, const PrintLine&, ParameterSet&) { raiseError(-12); return 0; }
}}} // namespace Orn::Fptr::Tavro20
