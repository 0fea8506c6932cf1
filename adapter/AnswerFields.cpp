// Answer fields: the status-shaped reply every operation leaves for the GetFld readers.
#include <algorithm>

#include "adapter/Norvex.h"
#include "core/Logger.h"
#include "core/StringUtils.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {

constexpr int32_t kMinimumFieldCount = 5;

// Hexadecimal digit value, or -1 for any other character.
int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

} // namespace

uint32_t readHexField(const std::wstring& text, int bytes) {
    uint32_t result = 0;
    const size_t length = text.size();
    for (int k = 0; k < bytes && k < 4; ++k) {
        const size_t fromEnd = 2 * static_cast<size_t>(k);
        // The pair ends fromEnd characters before the end; characters before the start are 0.
        const int low = fromEnd + 1 <= length ? hexDigit(text[length - fromEnd - 1]) : 0;
        int high = fromEnd + 2 <= length ? hexDigit(text[length - fromEnd - 2]) : 0;
        if (high < 0) high = 0xF;
        const uint32_t byte = low < 0 ? 0xFFu : static_cast<uint32_t>((high << 4) | low);
        result |= byte << (8 * k);
    }
    return result;
}

int32_t Norvex::prepareAnswerFields(int32_t code, int32_t count) {
    Logger::instance().logCall(4, L"prepareAnswerFields");
    const int32_t result = status();

    answerFields.assign(static_cast<size_t>(std::max(count, kMinimumFieldCount)), Value(std::wstring()));
    answerFields[0].setText(Str::format(L"%02X", static_cast<unsigned>(code) & 0xFFu));
    answerFields[1].setText(Str::format(L"%02X", parameters[kParamSerialNumber].toInt() != 0 ? 0x80u : 0u));

    const unsigned shiftByte = (parameters[kParamShiftOpened].toBool(false) ? 8u : 0u) | (seanceStarted ? 0u : 1u);
    const unsigned documentByte = fiscalDocOpened ? 3u : 0u;
    answerFields[2].setText(Str::format(L"%02X%02X", shiftByte, documentByte));

    const uint32_t api = static_cast<uint32_t>(apiResultCode());
    answerFields[3].setText(Str::format(L"%02X%02X", api & 0xFFu, (api >> 8) & 0xFFu));

    std::wstring bytes;
    for (size_t i = 1; i < statusBytes.size(); ++i) bytes += Str::format(L"%02X", static_cast<unsigned>(statusBytes[i]));
    answerFields[4].setText(bytes);
    return result;
}

int32_t Norvex::answerFieldCount() const { return static_cast<int32_t>(answerFields.size()); }

int32_t Norvex::answerField(int32_t n, Value& out) const {
    if (n < 0 || static_cast<size_t>(n) >= answerFields.size()) {
        out.setText(std::wstring());
        return -1;
    }
    out = answerFields[static_cast<size_t>(n)];
    return 0;
}

uint32_t Norvex::answerFieldHex(int32_t n, int bytes) const {
    Value field;
    answerField(n, field);
    return readHexField(field.toText(), bytes);
}

double Norvex::answerFieldDouble(int32_t n) const {
    Value field;
    answerField(n, field);
    return field.toDouble(0.0);
}

std::wstring Norvex::answerFieldText(int32_t n) const {
    Value field;
    answerField(n, field);
    return field.toText();
}

void Norvex::setAnswerField(size_t n, const std::wstring& text) {
    if (n >= answerFields.size()) answerFields.resize(n + 1, Value(std::wstring()));
    answerFields[n].setText(text);
}

void Norvex::setAnswerHex16(size_t n, uint16_t value) { setAnswerField(n, Str::hex16(value)); }

void Norvex::setAnswerAmount(size_t n, double amount) {
    Value v;
    v.setDouble(amount);
    setAnswerField(n, v.toText());
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
