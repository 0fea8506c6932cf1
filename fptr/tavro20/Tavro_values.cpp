// Values and captions: numbered settings mapped onto the register's table fields.
#include <cmath>
#include <vector>

#include "fptr/tavro20/TavroDrv.h"
#include "core/Error.h"
#include "core/Logger.h"
#include "core/StringUtils.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace {

void entry(const wchar_t* name) { Logger::instance().logCall(4, name); }

constexpr int32_t kBadValue = -1, kBadValuePurpose = -2, kBadCaption = -3, kBadCaptionPurpose = -21;

// How a value kind sits in its field. Numeric kinds fill `width` bytes (BCD, or one plain
// byte); bit kinds replace `bits` bits from `shift` in the field's first byte.
struct KindInfo {
    int kind;
    double low, high;
    int decimals;
    int width;
    bool plain;
    int shift, bits;
};

//   kind, low,  high,          decimals, width, plain, shift, bits
const KindInfo kKinds[] = {
    { 1,  0, 9999,            0, 2, false, 0, 0},
    { 2,  0, 99,              0, 1, false, 0, 0},
    { 3,  0, 99.99,           2, 2, false, 0, 0},
    { 4,  0, 100,             2, 3, false, 0, 0},
    { 5,  0, 99999999.99,     2, 5, false, 0, 0},
    { 6,  0, 0,               0, 0, false, 0, 2},
    { 7,  0, 0,               0, 0, false, 2, 2},
    { 8,  0, 0,               0, 0, false, 4, 2},
    { 9,  0, 0,               0, 0, false, 6, 2},
    {10,  0, 0,               0, 0, false, 0, 1},
    {11,  0, 0,               0, 0, false, 1, 1},
    {12,  0, 0,               0, 0, false, 2, 1},
    {13,  0, 0,               0, 0, false, 3, 1},
    {14,  0, 0,               0, 0, false, 4, 1},
    {15,  0, 0,               0, 0, false, 5, 1},
    {16,  0, 0,               0, 0, false, 6, 1},
    {17,  0, 0,               0, 0, false, 7, 1},
    {19,  0, 255,             0, 1, true,  0, 0},
    {20,  0, 0,               0, 0, false, 0, 4},
    {21,  0, 0,               0, 0, false, 4, 4},
    {22,  0, 99999999,        0, 4, false, 0, 0},
};

const KindInfo* kindInfo(int kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind) return &k;
    return nullptr;   // kind 18 and the unknown ones
}

double scale(int decimals) { return decimals ? std::pow(10.0, decimals) : 1.0; }

} // namespace

bool TavroDrv::isValueSupported(int number) {
    entry(L"isValueSupported");
    return descriptor_ && findMapRow(descriptor_->valueMap, number) != nullptr;
}

bool TavroDrv::isCaptionSupported(int number) {
    entry(L"isCaptionSupported");
    return descriptor_ && findMapRow(descriptor_->captionMap, number) != nullptr;
}

int TavroDrv::valueMapping(std::wstring& out, int number) {
    entry(L"valueMapping");
    const MapRow* row = descriptor_ ? findMapRow(descriptor_->valueMap, number) : nullptr;
    if (!row || !row->list) raiseError(-6, kBadValuePurpose);
    out = row->list->mappingText();
    return 0;
}

int TavroDrv::setValue(double v, int number, ParameterSet& /*params*/) {
    entry(L"setValue");
    const MapRow* row = descriptor_ ? findMapRow(descriptor_->valueMap, number) : nullptr;
    if (!row) return -1;
    const KindInfo* k = kindInfo(row->kind);
    if (!k) raiseError(-6, kBadValuePurpose);

    ByteBuffer bytes;
    if (k->bits) {
        // Only some bits of the first byte are ours; the others keep their present state.
        uint8_t kept = readField(row->table, row->row, row->field).at(2);
        int limit = 1 << k->bits;
        // Out of range is refused outright (no wrapping modulo 256 into an accepted value).
        if (!(v > -1.0 && v < limit)) raiseError(-6, kBadValue);
        int whole = static_cast<int>(v);
        uint8_t mask = static_cast<uint8_t>((limit - 1) << k->shift);
        bytes.append(static_cast<uint8_t>((kept & ~mask) | (whole << k->shift)));
    } else {
        if (!Utils::String::hasDecimals(v, k->low, k->high, k->decimals)) raiseError(-6, kBadValue);
        int64_t n = std::llround(v * scale(k->decimals));
        if (k->plain)
            bytes.append(static_cast<uint8_t>(n));
        else
            bytes = Utils::String::toBcdBytes(n, k->width);
    }
    writeField(row->table, row->row, row->field, bytes);
    return 0;
}

int TavroDrv::value(double& out, int number, ParameterSet& /*params*/) {
    entry(L"value");
    const MapRow* row = descriptor_ ? findMapRow(descriptor_->valueMap, number) : nullptr;
    if (!row) return -1;
    ByteBuffer answer = readField(row->table, row->row, row->field);
    const KindInfo* k = kindInfo(row->kind);
    if (!k) return 0;   // a kind without a reading leaves the value as it was
    if (k->bits)
        out = (answer.at(2) >> k->shift) & ((1 << k->bits) - 1);
    else if (k->plain)
        out = answer.at(2);
    else
        out = static_cast<double>(bcdAt(answer, 2, static_cast<size_t>(k->width))) / scale(k->decimals);
    return 0;
}

int TavroDrv::setCaption(const std::wstring& text, int number, ParameterSet& /*params*/) {
    entry(L"setCaption");
    const MapRow* row = descriptor_ ? findMapRow(descriptor_->captionMap, number) : nullptr;
    if (!row) raiseError(-6, kBadCaptionPurpose);

    ByteBuffer bytes;
    switch (row->kind) {
    case CaptionKind::Hex4:
    case CaptionKind::Hex2: {
        // Passwords: decimal digits read as hexadecimal come out as BCD.
        uint32_t v = Utils::String::parseHex(text, 8);
        bytes = Utils::String::toBigEndian(v, row->kind == CaptionKind::Hex4 ? 4 : 2);
        break;
    }
    case CaptionKind::Date3: {
        std::vector<std::wstring> parts;
        Utils::String::split(text, L".", true, parts);
        if (parts.size() < 3) raiseError(-6, kBadCaption);
        for (size_t i = 0; i < 3; ++i) {
            size_t digits = 0;
            uint32_t v = Utils::String::parseHex(parts[i], 8, &digits);
            if (digits == 0) raiseError(-6, kBadCaption);
            bytes.append(static_cast<uint8_t>(v & 0xFF));
        }
        break;
    }
    default: {
        int width = row->kind == CaptionKind::LineWidth ? lineWidth_ : CaptionKind::textWidth(row->kind);
        // Exactly the field's width: cut, or padded with blanks.
        for (int i = 0; i < width; ++i)
            bytes.append(static_cast<size_t>(i) < text.size() ? encodeChar(text[i]) : static_cast<uint8_t>(0x20));
        break;
    }
    }
    writeField(row->table, row->row, row->field, bytes);
    return 0;
}

int TavroDrv::caption(std::wstring& out, int number, ParameterSet& /*params*/) {
    entry(L"caption");
    const MapRow* row = descriptor_ ? findMapRow(descriptor_->captionMap, number) : nullptr;
    if (!row) {
        Logger::instance().write(3, L"caption #%d not found", number);
        raiseError(-6, kBadCaptionPurpose);
    }
    ByteBuffer a = readField(row->table, row->row, row->field);
    switch (row->kind) {
    case CaptionKind::Hex2:
        if (a.size() != 4) raiseError(-15);
        out = Utils::String::format(L"%x", static_cast<unsigned>(Utils::String::fromBigEndian(a.data() + 2, 2)));
        break;
    case CaptionKind::Hex4:
        if (a.size() != 6) raiseError(-15);
        out = Utils::String::format(L"%x", static_cast<unsigned>(Utils::String::fromBigEndian(a.data() + 2, 4)));
        break;
    case CaptionKind::Date3:
        if (a.size() != 5) raiseError(-15);
        out = Utils::String::format(L"%02x.%02x.20%02x", a[2], a[3], a[4]);
        break;
    default:
        out = a.size() > 2 ? decodeText(a.data() + 2, a.size() - 2) : std::wstring();
        break;
    }
    return 0;
}

}}} // namespace Orn::Fptr::Tavro20
