// Placeholder bodies: this family is not built yet.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

int TavroDrv::beep(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::openDrawer(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::cut(int /*partial*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::printHeader(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::printFooter(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::printText(const std::wstring& /*text*/) { raiseError(-12); return {}; }
int TavroDrv::printPicture(Graphic::Picture& /*picture*/, int /*offset*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::writeRawData(const uint8_t* /*bytes*/, int /*length*/) { raiseError(-12); return {}; }
int TavroDrv::uploadPicture(Graphic::Picture& /*picture*/, int& /*number*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::downloadPicture(Graphic::Picture& /*picture*/, int /*number*/) { raiseError(-12); return {}; }
int TavroDrv::printPictureFromMemory(int /*number*/, int /*offset*/) { raiseError(-12); return {}; }
int TavroDrv::pictureArrayStatus(int& /*count*/, int& /*openFlag*/, int& /*freeBytes*/) { raiseError(-12); return {}; }
int TavroDrv::pictureStatus(int /*number*/, int& /*openFlag*/, int& /*width*/, int& /*height*/) { raiseError(-12); return {}; }
int TavroDrv::deleteLastPicture(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::clearPictureArray(ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::addTextField(const std::wstring& /*text*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }
int TavroDrv::printFormattedText(const std::wstring& /*text*/, ParameterSet& /*params*/) { raiseError(-12); return {}; }

}}} // namespace Orn::Fptr::Tavro20
