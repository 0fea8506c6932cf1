// Placeholder bodies for the driver's shared helpers and construction (replaced by the core).
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

TavroDrv::TavroDrv(int modelCode, unsigned capabilities, const ModelDescriptor* descriptor)
    : descriptor_(descriptor), modelCode_(modelCode), capabilities_(capabilities) {}
TavroDrv::~TavroDrv() = default;
ByteBuffer TavroDrv::command(const ByteBuffer& cmd, int timeout, bool check) { return transact(cmd, check, timeout); }
ByteBuffer TavroDrv::getReg(int, int, int) { raiseError(-12); return {}; }
int TavroDrv::singleByteCommand(uint8_t, int) { raiseError(-12); return 0; }
ByteBuffer TavroDrv::encodeText(const std::wstring&, int) { return {}; }
std::wstring TavroDrv::decodeText(const uint8_t*, size_t) { return {}; }
uint8_t TavroDrv::encodeChar(wchar_t) { return 0; }
wchar_t TavroDrv::decodeChar(uint8_t) { return 0; }
int TavroDrv::yearFromTwoDigits(int yy) { return yy; }

}}} // namespace Orn::Fptr::Tavro20
