// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

int TavroDrv::summ(int64_t& /*amount*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::moveCash(int /*direction*/, int /*flags*/, int64_t /*sum*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::payment(int /*flags*/, int /*type*/, int64_t /*sum*/, int64_t& /*remainder*/, int64_t& /*change*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::beginDocument(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::openSession(int /*flags*/, const std::wstring& /*text*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::registration(int /*type*/, int64_t /*price*/, double /*quantity*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::cancelCheque(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::openCheque(int /*flags*/, int /*type*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::closeCheque(int /*flags*/, int /*type*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::discount(int /*flags*/, int /*kind*/, int /*sign*/, int64_t /*value*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::summTax(int64_t /*sum*/, int /*area*/, int /*taxNumber*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::printLastCopy(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::resetLastDiscount(ParameterSet& /*params*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
