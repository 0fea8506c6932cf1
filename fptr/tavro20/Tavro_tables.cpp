// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

int TavroDrv::setDate(int /*day*/, int /*month*/, int /*year*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::setTime(int /*hour*/, int /*minute*/, int /*second*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::setSerialNumber(const std::wstring& /*digits*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::getRegister(ParameterSet& /*params*/, int /*reg*/, int /*first*/, int /*second*/) { raiseError(-12); return {}; }
int TavroDrv::fiscalization(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::setTableField(int /*table*/, int /*row*/, int /*field*/, int /*fieldType*/, const std::wstring& /*value*/) { raiseError(-12); return {}; }
int TavroDrv::tableField(int /*table*/, int /*row*/, int /*field*/, int /*fieldType*/, std::wstring& /*out*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
