// Receipt commands: open, register lines, discounts, payments, close and cancel; cash moves,
// the drawer total, taxes, shift opening and the last-document copy.
#include "core/Error.h"
#include "core/Logger.h"
#include "core/StringUtils.h"
#include "fptr/tavro20/TavroDrv.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace Str = Orn::Utils::String;

namespace {

enum Param {
    kDepartment = 23,
    kName = 33,
    kRegistrationFlags = 64,
};

constexpr int kChequeTimeout = 20000;
constexpr int kSessionTextCapacity = 126;
constexpr int kNameParameterCode = -6;

void logCall(const wchar_t* name) { Logger::instance().logCall(4, name); }

void appendBcd(ByteBuffer& cmd, int64_t value, int bytes) { cmd.append(Str::toBcdBytes(value, bytes)); }

// One registration command; a negative department leaves the department byte out.
int executeRegCommand(TavroDrv& drv, int type, int flags, int64_t price, int64_t quantity, int department) {
    uint8_t code;
    switch (type) {
    case 0: code = 0x4E; break;
    case 1: case 4: code = 0x52; break;
    case 2: case 5: code = 0x57; break;
    case 3: case 6: code = 0x41; break;
    default: return -1;
    }
    ByteBuffer cmd{code, static_cast<uint8_t>(flags)};
    appendBcd(cmd, price, 5);
    appendBcd(cmd, quantity, 5);
    if ((type == 0 || type == 1 || type == 4) && department >= 0)
        cmd.append(Str::byteToBcd(department % 100));
    drv.command(cmd);
    return 0;
}

} // namespace

int TavroDrv::openCheque(int flags, int type, ParameterSet& /*params*/) {
    logCall(L"openCheque");
    command(ByteBuffer{0x92, static_cast<uint8_t>(flags), static_cast<uint8_t>(type)}, kChequeTimeout);
    return 0;
}

int TavroDrv::registration(int type, int64_t price, double quantity, ParameterSet& params) {
    const int department = params[kDepartment].toInt();
    const int64_t thousandths = Str::toMinorUnits(quantity, 3);
    const int flags = params[kRegistrationFlags].toInt();

    // The register checks the line first, so a refused line prints no name.
    executeRegCommand(*this, type, (flags & 2) | 1, price, thousandths, department);
    printWrapped(params[kName].toText(), kNameParameterCode,
                 [this](const std::wstring& line) { return printText(line); }, params);
    executeRegCommand(*this, type, flags & 3, price, thousandths, department);
    return 0;
}

int TavroDrv::discount(int flags, int kind, int sign, int64_t value, ParameterSet& /*params*/) {
    logCall(L"discount");
    // Kind 0 is an amount (kind byte 1, five BCD bytes), kind 1 a percentage (kind byte 0, three).
    if (kind != 0 && kind != 1) return -1;
    ByteBuffer cmd{0x43, static_cast<uint8_t>(flags), 0x01, static_cast<uint8_t>(kind == 0 ? 1 : 0),
                   static_cast<uint8_t>(sign)};
    appendBcd(cmd, value, kind == 0 ? 5 : 3);
    command(cmd);
    return 0;
}

int TavroDrv::resetLastDiscount(ParameterSet& /*params*/) {
    logCall(L"resetLastDiscount");
    return singleByteCommand(0x78);
}

int TavroDrv::payment(int flags, int type, int64_t sum, int64_t& remainder, int64_t& change,
                      ParameterSet& /*params*/) {
    logCall(L"payment");
    ByteBuffer cmd{0x99, static_cast<uint8_t>(flags)};
    appendBcd(cmd, type + 1, 1);
    appendBcd(cmd, sum, 5);
    ByteBuffer answer = command(cmd);
    if (answer.size() < 12) answer.resize(12);   // missing bytes read as zero
    remainder = Str::fromBcdBytes(answer.data() + 2, 5);
    change = Str::fromBcdBytes(answer.data() + 7, 5);
    return 0;
}

int TavroDrv::closeCheque(int flags, int type, ParameterSet& /*params*/) {
    logCall(L"closeCheque");
    ByteBuffer cmd{0x4A, static_cast<uint8_t>(flags)};
    appendBcd(cmd, type + 1, 1);
    appendBcd(cmd, 0, 5);
    command(cmd, kChequeTimeout);
    return 0;
}

int TavroDrv::cancelCheque(ParameterSet& /*params*/) {
    logCall(L"cancelCheque");
    return singleByteCommand(0x59);
}

int TavroDrv::moveCash(int direction, int flags, int64_t sum, ParameterSet& /*params*/) {
    logCall(L"moveCash");
    const bool cashIn = direction == 0;
    // Reading the matching counter first lets the register refuse before any cash is moved.
    getReg(cashIn ? 4 : 5, 0, 0);
    ByteBuffer cmd{static_cast<uint8_t>(cashIn ? 0x49 : 0x4F), static_cast<uint8_t>(flags)};
    appendBcd(cmd, sum, 5);
    command(cmd);
    return 0;
}

int TavroDrv::summ(int64_t& amount, ParameterSet& /*params*/) {
    logCall(L"summ");
    ByteBuffer answer = command(ByteBuffer{0x4D});
    if (answer.size() != 8) raiseError(-15);
    amount = Str::fromBcdBytes(answer.data() + 1, 7);
    return 0;
}

int TavroDrv::summTax(int64_t sum, int area, int taxNumber, ParameterSet& params) {
    logCall(L"summTax");
    ByteBuffer cmd{0xB8, static_cast<uint8_t>(params[kRegistrationFlags].toInt() & 1),
                   static_cast<uint8_t>(area), static_cast<uint8_t>(taxNumber)};
    appendBcd(cmd, sum, 5);
    command(cmd);
    return 0;
}

int TavroDrv::openSession(int flags, const std::wstring& text, ParameterSet& /*params*/) {
    logCall(L"openSession");
    ByteBuffer cmd{0x9A, static_cast<uint8_t>(flags)};
    cmd.append(encodeText(text, kSessionTextCapacity));
    command(cmd);
    return 0;
}

int TavroDrv::beginDocument(ParameterSet& /*params*/) {
    logCall(L"beginDocument");
    command(ByteBuffer{0xB0, 0x00, 0x04});
    return 0;
}

int TavroDrv::printLastCopy(ParameterSet& /*params*/) {
    logCall(L"printLastCopy");
    return singleByteCommand(0x95);
}

}}} // namespace Orn::Fptr::Tavro20
