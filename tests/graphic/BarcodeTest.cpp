#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <zint.h>

#include "core/Error.h"
#include "graphic/Barcode.h"
#include "graphic/Picture.h"

using Orn::Graphic::BitPicture;
using Orn::Graphic::renderBarcode;

namespace {

const int kEan8 = 0, kEan13 = 1, kUpcA = 2, kCode39 = 3;

struct Options {
    bool verify = true;
    int rotation = 0;
    double scale = 1;
    int height = 50;
    bool hideText = false;
    std::wstring background = L"ffffff";
    std::wstring bars = L"000000";
};

// 0 when the barcode renders, else the raised code.
int render(BitPicture& p, const std::wstring& text, int kind, const Options& o = Options()) {
    try {
        renderBarcode(p, text, kind, o.verify, o.rotation, o.scale, o.height, o.hideText,
                      o.background, o.bars);
    } catch (const Orn::Exception& e) {
        return e.code();
    }
    return 0;
}

std::vector<bool> pixels(const BitPicture& p) {
    std::vector<bool> v;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) v.push_back(p.pixelColor(x, y) == 0);
    return v;
}

size_t inkCount(const BitPicture& p) {
    size_t n = 0;
    for (bool b : pixels(p)) n += b;
    return n;
}

} // namespace

TEST(Barcode, ValidTextsRender) {
    struct Case { int kind; const wchar_t* text; bool verify; };
    const Case cases[] = {
        {kEan13, L"4006381333931", true},
        {kEan13, L"400638133393", false},
        {kEan8, L"12345670", true},
        {kEan8, L"1234567", false},
        {kUpcA, L"012345678905", true},
        {kCode39, L"ABC-123", true},
    };
    for (const Case& c : cases) {
        BitPicture p;
        Options o;
        o.verify = c.verify;
        ASSERT_EQ(render(p, c.text, c.kind, o), 0) << c.kind << " " << std::wstring(c.text).size();
        EXPECT_GT(p.width(), 0);
        EXPECT_GT(p.height(), 0);
        const size_t ink = inkCount(p);
        EXPECT_GT(ink, 0u);
        EXPECT_LT(ink, static_cast<size_t>(p.width()) * p.height());
    }
}

TEST(Barcode, RejectedInputsRaiseTheirCodesAndLeaveThePicture) {
    struct Case { int kind; const wchar_t* text; bool verify; int code; };
    const Case cases[] = {
        {kEan13, L"4006381333932", true, -28},   // wrong check digit
        {kEan8, L"12345671", true, -28},
        {kUpcA, L"012345678900", true, -28},
        {kEan13, L"400638133393", true, -27},    // check digit missing
        {kEan13, L"4006381333931", false, -27},  // one digit too many
        {kEan8, L"1234567", true, -27},
        {kUpcA, L"01234567890", true, -27},
        {kEan13, L"40063813339A1", true, -27},
        {kEan13, L"1234567+12345", true, -27},   // would become EAN-8 with an add-on
        {kCode39, L"", true, -27},
        {kCode39, L"*", true, -27},
        {kCode39, L"**", true, -27},
        {kCode39, L"***", true, -27},
        {kCode39, L"a\u0416b", true, -27},
        {5, L"4006381333931", true, -26},
        {-1, L"4006381333931", true, -26},
        {4, L"", true, -26},
    };
    for (const Case& c : cases) {
        BitPicture p;
        p.create(2, 1, 1);
        p.setPixel(0, 0, true);
        Options o;
        o.verify = c.verify;
        EXPECT_EQ(render(p, c.text, c.kind, o), c.code) << c.kind << " #" << (&c - cases);
        EXPECT_EQ(p.width(), 2);
        EXPECT_EQ(p.height(), 1);
        EXPECT_EQ(p.pixelColor(0, 0), 0);
    }
}

TEST(Barcode, LibraryRejectionsBecomeFormatErrors) {
    struct Case { const char* what; Options o; };
    std::vector<Case> cases(3);
    cases[0].what = "height out of range";
    cases[0].o.height = -5;
    cases[1].what = "bad bar colour";
    cases[1].o.bars = L"zz0000";
    cases[2].what = "colour text longer than the library keeps";
    cases[2].o.background = L"ffffffffffffffff";
    for (const Case& c : cases) {
        BitPicture p;
        EXPECT_EQ(render(p, L"4006381333931", kEan13, c.o), -27) << c.what;
        EXPECT_EQ(p.width(), 0) << c.what;
    }
}

TEST(Barcode, VerifiedAndUnverifiedTextsDrawTheSameCode) {
    BitPicture with, without;
    Options off;
    off.verify = false;
    ASSERT_EQ(render(with, L"12345670", kEan8), 0);
    ASSERT_EQ(render(without, L"1234567", kEan8, off), 0);
    EXPECT_EQ(pixels(with), pixels(without));

    BitPicture ean13;
    ASSERT_EQ(render(ean13, L"4006381333931", kEan13), 0);
    EXPECT_GT(ean13.width(), with.width());   // EAN-13 is wider than EAN-8
}

TEST(Barcode, Code39StartStopCharactersAreOptional) {
    BitPicture plain;
    ASSERT_EQ(render(plain, L"ABC", kCode39), 0);
    for (const wchar_t* text : {L"*ABC*", L"ABC*", L"*ABC"}) {
        BitPicture p;
        ASSERT_EQ(render(p, text, kCode39), 0) << std::wstring(text).size();
        EXPECT_EQ(p.width(), plain.width());
        EXPECT_EQ(p.height(), plain.height());
        EXPECT_EQ(pixels(p), pixels(plain));
    }
}

TEST(Barcode, HiddenTextMakesAShorterPictureWithTheSameBars) {
    BitPicture shown, hidden;
    Options o;
    ASSERT_EQ(render(shown, L"4006381333931", kEan13, o), 0);
    o.hideText = true;
    ASSERT_EQ(render(hidden, L"4006381333931", kEan13, o), 0);
    EXPECT_LT(hidden.height(), shown.height());
    // The top row crosses the bars only, so it is the same in both.
    for (int x = 0; x < std::min(shown.width(), hidden.width()); ++x)
        EXPECT_EQ(hidden.pixelColor(x, hidden.height() - 1), shown.pixelColor(x, shown.height() - 1))
            << x;
}

TEST(Barcode, BitmapRowsMapTopToTop) {
    // Draw the same symbol directly and compare every pixel with the picture.
    zint_symbol* s = ZBarcode_Create();
    ASSERT_NE(s, nullptr);
    s->input_mode = UNICODE_MODE;
    s->symbology = BARCODE_EANX;
    s->height = 50;
    std::strcpy(s->fgcolour, "000000");
    std::strcpy(s->bgcolour, "ffffff");
    ASSERT_LT(ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>("400638133393"), 12, 0),
              ZINT_ERROR);
    const int w = s->bitmap_width, h = s->bitmap_height;
    std::vector<bool> top(w), bottom(w), all;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const unsigned char* px = s->bitmap + (static_cast<size_t>(r) * w + c) * 3;
            const bool ink = px[0] == 0 && px[1] == 0 && px[2] == 0;
            if (r == 0) top[c] = ink;
            if (r == h - 1) bottom[c] = ink;
        }
    for (int r = h - 1; r >= 0; --r)   // picture order: bottom row first
        for (int c = 0; c < w; ++c) all.push_back(s->bitmap[(static_cast<size_t>(r) * w + c) * 3] == 0);
    ZBarcode_Delete(s);

    BitPicture p;
    ASSERT_EQ(render(p, L"4006381333931", kEan13), 0);
    ASSERT_EQ(p.width(), w);
    ASSERT_EQ(p.height(), h);
    ASSERT_NE(top, bottom);   // otherwise the comparison below could not tell up from down
    for (int c = 0; c < w; ++c) {
        EXPECT_EQ(p.pixelColor(c, h - 1) == 0, top[c]) << c;
        EXPECT_EQ(p.pixelColor(c, 0) == 0, bottom[c]) << c;
    }
    EXPECT_EQ(pixels(p), all);
}

TEST(Barcode, RotationAndScaleApplyToTheRenderedPicture) {
    BitPicture plain;
    ASSERT_EQ(render(plain, L"12345670", kEan8), 0);

    BitPicture turned;
    Options o;
    o.rotation = 1;
    ASSERT_EQ(render(turned, L"12345670", kEan8, o), 0);
    EXPECT_EQ(turned.width(), plain.height());
    EXPECT_EQ(turned.height(), plain.width());

    BitPicture doubled;
    o = Options();
    o.scale = 2;
    ASSERT_EQ(render(doubled, L"12345670", kEan8, o), 0);
    EXPECT_EQ(doubled.width(), plain.width() * 2);
    EXPECT_EQ(doubled.height(), plain.height() * 2);
}
