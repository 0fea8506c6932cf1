#include "graphic/Barcode.h"

#include <cstring>
#include <memory>

#include <zint.h>

#include "core/Error.h"
#include "core/Platform.h"
#include "core/StringUtils.h"

namespace Orn { namespace Graphic {

namespace {

const int32_t kUnknownKind = -26;   // "Неизвестный тип штрихкода"
const int32_t kBadFormat = -27;     // "Некорректный формат штрихкода"
const int32_t kBadCheckDigit = -28; // "Некорректная контрольная сумма штрихкода"

struct Symbology {
    int kind;
    int zint;
    size_t lengthWithout;   // text length without the check digit
    size_t lengthWith;      // text length with it
};

// The retail symbologies; the check digit is always the last character.
const Symbology kRetail[] = {
    {0, BARCODE_EANX, 7, 8},     // EAN-8
    {1, BARCODE_EANX, 12, 13},   // EAN-13
    {2, BARCODE_UPCA, 11, 12},   // UPC-A
};
const int kCode39 = 3;

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDeleter>;

// Copies a colour text into one of the library's fixed fields, always terminated.
void setColour(char (&field)[10], const std::wstring& colour) {
    const std::string narrow = Utils::String::toAnsi(colour);
    const size_t n = narrow.size() < sizeof(field) - 1 ? narrow.size() : sizeof(field) - 1;
    std::memcpy(field, narrow.data(), n);
    field[n] = '\0';
}

bool allDigits(const std::wstring& text) {
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

} // namespace

void renderBarcode(Picture& picture, const std::wstring& text, int kind, bool verifyCheckDigit,
                   int rotation, double scale, int height, bool hideText,
                   const std::wstring& background, const std::wstring& bars) {
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) raiseError(kBadFormat);
    symbol->input_mode = UNICODE_MODE;

    std::wstring data = text;
    const Symbology* retail = nullptr;
    for (const Symbology& s : kRetail)
        if (s.kind == kind) retail = &s;

    if (retail) {
        const size_t expected = verifyCheckDigit ? retail->lengthWith : retail->lengthWithout;
        // Digits only: the library would otherwise read a "+" as an add-on and draw
        // another symbology than the one asked for.
        if (data.size() != expected || !allDigits(data)) raiseError(kBadFormat);
        if (verifyCheckDigit) data.pop_back();
        symbol->symbology = retail->zint;
    } else if (kind == kCode39) {
        if (data.empty()) raiseError(kBadFormat);
        // Start and stop characters are the library's to add.
        if (data.back() == L'*') data.pop_back();
        if (!data.empty() && data.front() == L'*') data.erase(0, 1);
        if (data.empty()) raiseError(kBadFormat);
        verifyCheckDigit = false;
        symbol->symbology = BARCODE_CODE39;
    } else {
        raiseError(kUnknownKind);
    }

    symbol->height = static_cast<float>(height);
    symbol->show_hrt = hideText ? 0 : 1;
    setColour(symbol->fgcolour, bars);
    setColour(symbol->bgcolour, background);
    symbol->output_options = 0;
    symbol->option_1 = 0;
    symbol->option_2 = 0;
    symbol->option_3 = 0;

    const std::string encoded = Utils::String::toAnsi(data);
    const int rc = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(encoded.data()),
        static_cast<int>(encoded.size()), 0);
    if (rc >= ZINT_ERROR) raiseError(kBadFormat);

    const int w = symbol->bitmap_width;
    const int h = symbol->bitmap_height;
    if (!symbol->bitmap || w <= 0 || h <= 0) raiseError(kBadFormat);

    if (verifyCheckDigit) {
        const char* hrt = reinterpret_cast<const char*>(symbol->text);
        const void* end = std::memchr(hrt, '\0', sizeof(symbol->text));
        const size_t len = end ? static_cast<const char*>(end) - hrt : sizeof(symbol->text);
        if (Platform::fromUtf8(std::string(hrt, len)) != text) raiseError(kBadCheckDigit);
    }

    picture.create(w, h, 1);
    const unsigned char* px = symbol->bitmap;   // 24-bit RGB, rows from the top
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c, px += 3) {
            if (isInk(px[0], px[1], px[2])) picture.setPixel(c, h - 1 - r, true);
        }
    }
    picture.rotate(rotation);
    picture.scale(scale, scale);
}

}} // namespace Orn::Graphic
