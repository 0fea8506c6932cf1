// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

bool TavroDrv::hasCapability(unsigned /*mask*/) const { raiseError(-12); return {}; }
bool TavroDrv::isModel(int /*code*/) const { raiseError(-12); return {}; }
int TavroDrv::setEnabled(int /*how*/) { raiseError(-12); return {}; }
bool TavroDrv::isEnabled() const { raiseError(-12); return {}; }
int TavroDrv::state(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::info(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::setSettings(const Settings& /*settings*/) { raiseError(-12); return {}; }
int TavroDrv::resetMode(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::setMode(int /*mode*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::reservedOperation() { raiseError(-12); return {}; }
int TavroDrv::resetSettings(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::resetSummary(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::runCommand(const std::wstring& /*command*/, std::wstring& /*answer*/) { raiseError(-12); return {}; }
int TavroDrv::initTables(ParameterSet& /*params*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
