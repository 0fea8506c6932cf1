// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

int TavroDrv::setValue(double /*value*/, int /*number*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::value(double& /*out*/, int /*number*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
bool TavroDrv::isValueSupported(int /*number*/) { raiseError(-12); return {}; }
int TavroDrv::valueMapping(std::wstring& /*out*/, int /*number*/) { raiseError(-12); return {}; }
int TavroDrv::setCaption(const std::wstring& /*text*/, int /*number*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::caption(std::wstring& /*out*/, int /*number*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
bool TavroDrv::isCaptionSupported(int /*number*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
