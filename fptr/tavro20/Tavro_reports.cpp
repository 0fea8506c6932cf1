// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

int TavroDrv::report(int /*type*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::eklzStatus(int& /*out*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::eklzActivate(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::eklzCloseArchive(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::fiscalRange(ParameterSet& /*params*/) { raiseError(-12); return {}; }
Reports::AbstractReport* TavroDrv::beginReport(int /*type*/, ParameterSet& /*params*/, bool /*query*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
