// Settings tables by table, row and field; registers by number; date, time, factory number
// and fiscalization.
#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"
#include "core/Logger.h"
#include "core/StringUtils.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace {

void entry(const wchar_t* name) { Logger::instance().logCall(4, name); }

constexpr int32_t kBadValue = -1;
constexpr int32_t kBadSecond = -12, kBadMinute = -13, kBadHour = -14;
constexpr int32_t kBadDay = -15, kBadMonth = -16, kBadYear = -17;
constexpr int32_t kBadPassword = -19, kBadInn = -29, kBadSerialNumber = -32, kBadMachineNumber = -33;
constexpr int32_t kBadFieldType = -45;

// The field bytes of a table read: everything after 0x55 and the error code.
size_t fieldLength(const ByteBuffer& answer) { return answer.size() > 2 ? answer.size() - 2 : 0; }

// One BCD byte of a date or time part; only its low byte is sent (2024 sends 0x24).
uint8_t bcdLowByte(int v) { return static_cast<uint8_t>(Utils::String::toBcd(v) & 0xFF); }

void writeDate(ParameterSet& params, const ByteBuffer& a, size_t day, size_t month, size_t year) {
    params[50].setInt(static_cast<int>(TavroDrv::bcdAt(a, day, 1)));
    params[51].setInt(static_cast<int>(TavroDrv::bcdAt(a, month, 1)));
    params[52].setInt(TavroDrv::yearFromTwoDigits(static_cast<int>(TavroDrv::bcdAt(a, year, 1))));
}

void writeTime(ParameterSet& params, const ByteBuffer& a, size_t hour) {
    params[49].setInt(static_cast<int>(TavroDrv::bcdAt(a, hour, 1)));
    params[48].setInt(static_cast<int>(TavroDrv::bcdAt(a, hour + 1, 1)));
    params[47].setInt(static_cast<int>(TavroDrv::bcdAt(a, hour + 2, 1)));
}

} // namespace

int TavroDrv::tableField(int table, int row, int fieldNumber, int fieldType, std::wstring& out) {
    entry(L"tableField");
    ByteBuffer answer = readField(table, row, fieldNumber);
    size_t n = fieldLength(answer);
    switch (fieldType) {
    case 0:
        out = std::to_wstring(bcdAt(answer, 2, n));
        break;
    case 1:
        out = decodeText(answer.data() + 2, n);
        break;
    case 2:
        out.clear();
        for (size_t i = 0; i < n; ++i) out += static_cast<wchar_t>(answer[2 + i]);
        break;
    default:
        raiseError(-6, kBadFieldType);
    }
    return static_cast<int>(out.size());
}

int TavroDrv::setTableField(int table, int row, int fieldNumber, int fieldType, const std::wstring& text) {
    entry(L"setTableField");
    // The register tells the field's length only in the answer to a read.
    size_t n = fieldLength(readField(table, row, fieldNumber));
    ByteBuffer bytes;
    switch (fieldType) {
    case 0: {
        int64_t v = Value(text).toInt64();
        if (v < 0) raiseError(-6, kBadValue);   // BCD has no sign
        bytes = Utils::String::toBcdBytes(v, static_cast<int>(n));
        break;
    }
    case 1:
        bytes = encodeText(text, static_cast<int>(n));
        bytes.resize(n);
        break;
    case 2:
        // A short text would leave the rest of the field undefined: refuse it.
        if (text.size() < n) raiseError(-6, kBadValue);
        for (size_t i = 0; i < n; ++i) bytes.append(static_cast<uint8_t>(text[i] & 0xFF));
        break;
    default:
        raiseError(-6, kBadFieldType);
    }
    writeField(table, row, fieldNumber, bytes);
    return 0;
}

int TavroDrv::getRegister(ParameterSet& params, int reg, int first, int second) {
    entry(L"getRegister");
    ByteBuffer a = getReg(reg, first, second);
    int decimals = params[26].toInt();
    switch (reg) {
    case 1: case 2: case 3: case 4: case 5:
        params[1].setDouble(amountAt(a, 2, 6, decimals));
        break;
    case 6: case 7: case 8: case 9: case 16: case 25:
        params[53].setInt64(bcdAt(a, 2, 2));
        break;
    case 10: case 12: case 13: case 14: case 30:
        params[1].setDouble(amountAt(a, 2, 7, decimals));
        break;
    case 11: {
        double v = amountAt(a, 3, 6, decimals);
        params[1].setDouble(a.at(2) != 0 && v != 0 ? -v : v);
        break;
    }
    case 15:
        params[53].setInt64(bcdAt(a, 2, 1));
        break;
    case 17:
        writeDate(params, a, 2, 3, 4);
        writeTime(params, a, 5);
        break;
    case 18:
        params[54].setBool(a.at(2) != 0);
        writeDate(params, a, 3, 4, 5);
        writeTime(params, a, 6);
        break;
    case 19:
        params[27].setInt(a.at(2) & 15);
        params[55].setInt(a.at(2) >> 4);
        params[18].setInt(a.at(3) & 7);
        params[17].setInt64(bcdAt(a, 4, 2));
        params[12].setInt64(bcdAt(a, 6, 4));
        break;
    case 20:
        params[1].setDouble(amountAt(a, 2, 5, decimals));
        params[6].setDouble(amountAt(a, 7, 5, decimals));
        params[7].setDouble(amountAt(a, 12, 5, decimals));
        break;
    case 21:
        params[31].setInt64(bcdAt(a, 2, 2));
        break;
    case 22:
        params[45].setText(hexAt(a, 2, 4));
        break;
    case 23:
        params[0].setInt(a.at(2));
        params[56].setInt(a.at(3));
        params[57].setInt(a.at(4));
        break;
    case 24:
        params[36].setInt64(bcdAt(a, 2, 1));
        params[39].setInt64(bcdAt(a, 3, 2));
        params[38].setInt64(bcdAt(a, 5, 1));
        params[41].setInt64(bcdAt(a, 6, 2));
        params[37].setInt64(bcdAt(a, 8, 1));
        params[40].setInt64(bcdAt(a, 9, 2));
        break;
    case 26:
        params[53].setInt64(bcdAt(a, 3, 1));
        break;
    case 27:
        params[42].setText(hexAt(a, 2, 6));
        params[46].setText(hexAt(a, 8, 5));
        params[31].setInt64(bcdAt(a, 13, 2));
        writeDate(params, a, 15, 16, 17);
        break;
    case 28:
        params[45].setText(hexAt(a, 2, 5));
        writeDate(params, a, 7, 8, 9);
        params[31].setInt64(bcdAt(a, 10, 2));
        break;
    default:
        break;   // read, nothing to spread
    }
    return 0;
}

int TavroDrv::setDate(int day, int month, int year, ParameterSet& /*params*/) {
    entry(L"setDate");
    if (day < 0) raiseError(-6, kBadDay);
    if (month < 0) raiseError(-6, kBadMonth);
    if (year < 0) raiseError(-6, kBadYear);
    command(ByteBuffer{0x64, bcdLowByte(day), bcdLowByte(month), bcdLowByte(year)});
    return 0;
}

int TavroDrv::setTime(int hour, int minute, int second, ParameterSet& /*params*/) {
    entry(L"setTime");
    if (hour < 0) raiseError(-6, kBadHour);
    if (minute < 0) raiseError(-6, kBadMinute);
    if (second < 0) raiseError(-6, kBadSecond);
    command(ByteBuffer{0x4B, bcdLowByte(hour), bcdLowByte(minute), bcdLowByte(second)});
    return 0;
}

int TavroDrv::setSerialNumber(const std::wstring& digits, ParameterSet& /*params*/) {
    entry(L"setSerialNumber");
    // The factory number is written once into fiscal memory: refuse what does not fit rather
    // than write a mangled one.
    if (digits.size() > 8) raiseError(-6, kBadSerialNumber);
    uint8_t nibbles[8] = {0};
    for (size_t i = 0; i < digits.size(); ++i) {
        size_t digitsRead = 0;
        uint32_t d = Utils::String::parseHex(digits.substr(i, 1), 1, &digitsRead);
        if (digitsRead != 1) raiseError(-6, kBadSerialNumber);
        nibbles[8 - digits.size() + i] = static_cast<uint8_t>(d);
    }
    // Packed from the end: byte 1 holds the last two digits.
    ByteBuffer cmd{0x61};
    for (int b = 3; b >= 0; --b)
        cmd.append(static_cast<uint8_t>(nibbles[2 * b] << 4 | nibbles[2 * b + 1]));
    command(cmd);
    return 0;
}

int TavroDrv::fiscalization(ParameterSet& params) {
    entry(L"fiscalization");
    // Read as 64-bit numbers: the taxpayer number has 12 digits.
    int64_t machine = params[46].toInt64(), inn = params[42].toInt64(), password = params[34].toInt64();
    if (machine < 0) raiseError(-6, kBadMachineNumber);
    if (inn < 0) raiseError(-6, kBadInn);
    if (password < 0) raiseError(-6, kBadPassword);
    ByteBuffer cmd{0x62};
    cmd.append(Utils::String::toBcdBytes(machine, 5));
    cmd.append(Utils::String::toBcdBytes(inn, 6));
    cmd.append(Utils::String::toBcdBytes(password, 4));
    command(cmd);
    return 0;
}

}}} // namespace Orn::Fptr::Tavro20
