// Driver core: connection state, register state and device information, modes, the raw
// command pass-through and the single-byte service commands.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"
#include "core/Logger.h"
#include "core/StringUtils.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace {
void entry(const wchar_t* name) { Logger::instance().logCall(4, name); }
} // namespace

bool TavroDrv::hasCapability(unsigned mask) const { return (mask & capabilities_) != 0; }

bool TavroDrv::isModel(int code) const { return code == modelCode_; }

int TavroDrv::setEnabled(int how) {
    if (how < 0) return isEnabled() ? 1 : 0;
    if (how > 0) {
        if (!isOpen()) open();
        return 0;
    }
    close();
    return 0;
}

bool TavroDrv::isEnabled() const { return isOpen(); }

int TavroDrv::state(ParameterSet& /*params*/) {
    entry(L"state");
    ByteBuffer answer;
    try {
        answer = command(ByteBuffer{0x45});
    } catch (const Exception&) {
        return -1;
    }
    if (answer.at(0) != 0x55) return 0x0300;
    return answer.at(1) + 256 * answer.at(2);
}

int TavroDrv::info(ParameterSet& params) {
    entry(L"info");
    if (!isOpen()) raiseError(-11);

    params[27].setInt(state(params) & 0xFF);
    params[26].setInt(2);

    // Whatever goes wrong with the status request means the register is not reachable.
    try {
        ByteBuffer st = command(ByteBuffer{0x3F});
        if (st.at(0) == 0x44) {
            params[52].setInt(yearFromTwoDigits(static_cast<int>(bcdAt(st, 3, 1))));
            params[51].setInt(static_cast<int>(bcdAt(st, 4, 1)));
            params[50].setInt(static_cast<int>(bcdAt(st, 5, 1)));
            params[49].setInt(static_cast<int>(bcdAt(st, 6, 1)));
            params[48].setInt(static_cast<int>(bcdAt(st, 7, 1)));
            params[47].setInt(static_cast<int>(bcdAt(st, 8, 1)));
            params[8].setInt(st.at(9));
            params[54].setBool((st.at(9) & 0x02) != 0);
            params[45].setText(hexAt(st, 10, 4));
            params[0].setInt(st.at(14));
            params[27].setInt(st.at(17));
            params[31].setInt(static_cast<int>(bcdAt(st, 20, 2)));
            params[18].setInt(st.at(22) & 7);
        }
    } catch (const Exception&) {
        raiseError(-1);
    }

    ByteBuffer r19 = getReg(19, 0, 0);
    if (r19.at(1) == 0) {
        params[18].setInt(r19.at(3) & 7);
        params[17].setInt(static_cast<int>(bcdAt(r19, 4, 2)));
        params[12].setInt64(bcdAt(r19, 6, 4));
    }

    ByteBuffer r24 = getReg(24, 0, 0);
    if (r24.at(1) == 0) {
        params[36].setInt(static_cast<int>(bcdAt(r24, 2, 1)));
        params[39].setInt(static_cast<int>(bcdAt(r24, 3, 2)));
        params[38].setInt(static_cast<int>(bcdAt(r24, 5, 1)));
        params[41].setInt(static_cast<int>(bcdAt(r24, 6, 2)));
        params[37].setInt(static_cast<int>(bcdAt(r24, 8, 1)));
        params[40].setInt(static_cast<int>(bcdAt(r24, 9, 2)));
    } else {
        params[36].setInt(20);
    }
    lineWidth_ = params[36].toInt();

    // The device-type answer starts with its error code alone.
    ByteBuffer dev = command(ByteBuffer{0xA5});
    if (!dev.empty() && dev[0] == 0) {
        params[56].setInt(static_cast<int>(bcdAt(dev, 6, 1)));
        params[57].setInt(static_cast<int>(bcdAt(dev, 7, 1)));
        params[60].setInt(static_cast<int>(bcdAt(dev, 8, 1)));
        params[59].setInt(static_cast<int>(bcdAt(dev, 9, 2)));
        params[61].setText(dev.size() > 11 ? decodeText(dev.data() + 11, dev.size() - 11) : std::wstring());
    }
    return 0;
}

int TavroDrv::setSettings(const Settings& settings) {
    if (!device()) raiseError(-23);
    configure(settings);
    return 0;
}

int TavroDrv::resetMode(ParameterSet& /*params*/) {
    entry(L"resetMode");
    return singleByteCommand(0x48);
}

int TavroDrv::setMode(int mode, ParameterSet& params) {
    entry(L"setMode");
    resetMode(params);
    if (mode == 0) return 0;
    // The operator password is decimal: read it so, never as octal for a leading zero.
    int64_t password = params[34].toInt64();
    ByteBuffer cmd{0x56, static_cast<uint8_t>(mode)};
    cmd.append(Utils::String::toBcdBytes(password < 0 ? 0 : password, 4));
    command(cmd);
    return 0;
}

int TavroDrv::runCommand(const std::wstring& commandText, std::wstring& answer) {
    entry(L"runCommand");
    ByteBuffer cmd;
    for (wchar_t c : commandText) cmd.append(static_cast<uint8_t>(c & 0xFF));
    ByteBuffer reply = command(cmd, kDefaultTimeout, false);
    answer.clear();
    for (size_t i = 0; i < reply.size(); ++i) answer += static_cast<wchar_t>(reply[i]);
    return static_cast<int>(answer.size());
}

int TavroDrv::reservedOperation() { return 0; }

int TavroDrv::initTables(ParameterSet& /*params*/) {
    entry(L"initTables");
    return singleByteCommand(0x71);
}

int TavroDrv::resetSettings(ParameterSet& /*params*/) {
    entry(L"resetSettings");
    return singleByteCommand(0x6B);
}

int TavroDrv::resetSummary(ParameterSet& /*params*/) {
    entry(L"resetSummary");
    return singleByteCommand(0x77);
}

}}} // namespace Orn::Fptr::Tavro20
