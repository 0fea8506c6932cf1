#include <gtest/gtest.h>

#include <vector>

#include "graphic/Picture.h"

using Orn::Graphic::BitPicture;
using Orn::Graphic::isInk;

namespace {

const int32_t kWhite = 0xFFFFFF;

// Ink per pixel, rows from the bottom.
std::vector<std::vector<bool>> snapshot(const BitPicture& p) {
    std::vector<std::vector<bool>> rows(p.height(), std::vector<bool>(p.width()));
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) rows[y][x] = p.pixelColor(x, y) == 0;
    return rows;
}

// 3 x 2, ink at bottom-left and top-middle: no rotation or mirror maps it onto itself.
BitPicture asymmetric() {
    BitPicture p;
    p.create(3, 2, 1);
    p.setPixel(0, 0, true);
    p.setPixel(1, 1, true);
    return p;
}

} // namespace

TEST(BitPicture, NewPictureIsFilledAndTopLeftPixelCanBeInked) {
    BitPicture p;
    p.create(3, 2, 1);
    ASSERT_EQ(p.width(), 3);
    ASSERT_EQ(p.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(p.pixelColor(x, y), kWhite) << x << "," << y;

    p.setPixel(0, 1, true);
    EXPECT_EQ(p.pixelColor(0, 1), 0);
    EXPECT_TRUE(isInk(p.pixelColor(0, 1)));
    EXPECT_EQ(p.pixelColor(0, 0), kWhite);

    p.setPixel(0, 1, false);
    EXPECT_EQ(p.pixelColor(0, 1), kWhite);

    BitPicture black;
    black.create(2, 2, 0);
    EXPECT_EQ(black.pixelColor(1, 1), 0);
}

TEST(BitPicture, OutsideCoordinatesChangeNothingAndReadAsPaper) {
    const int points[][2] = {{3, 0}, {0, 2}, {3, 2}, {-1, 0}, {0, -1}, {1000000, 1000000}};
    for (const auto& pt : points) {
        BitPicture p;
        p.create(3, 2, 1);
        const auto before = snapshot(p);
        p.setPixel(pt[0], pt[1], true);
        EXPECT_EQ(snapshot(p), before) << pt[0] << "," << pt[1];
        EXPECT_EQ(p.pixelColor(pt[0], pt[1]), kWhite) << pt[0] << "," << pt[1];
    }
}

TEST(BitPicture, NeutralOperationsKeepThePicture) {
    struct Case { const char* name; void (*op)(BitPicture&); };
    const Case cases[] = {
        {"rotate 0", [](BitPicture& p) { p.rotate(0); }},
        {"rotate 4", [](BitPicture& p) { p.rotate(4); }},
        {"rotate -1", [](BitPicture& p) { p.rotate(-1); }},
        {"scale 1,1", [](BitPicture& p) { p.scale(1, 1); }},
        {"scale negative", [](BitPicture& p) { p.scale(-2, 1); }},
        {"rotate 1 four times", [](BitPicture& p) { for (int i = 0; i < 4; ++i) p.rotate(1); }},
        {"rotate 1 then 3", [](BitPicture& p) { p.rotate(1); p.rotate(3); }},
        {"rotate 2 twice", [](BitPicture& p) { p.rotate(2); p.rotate(2); }},
    };
    const auto expected = snapshot(asymmetric());
    for (const Case& c : cases) {
        BitPicture p = asymmetric();
        c.op(p);
        EXPECT_EQ(p.width(), 3) << c.name;
        EXPECT_EQ(p.height(), 2) << c.name;
        EXPECT_EQ(snapshot(p), expected) << c.name;
    }
}

TEST(BitPicture, RotationMovesCornersClockwise) {
    // Rows from the bottom. On paper the source reads (top row first) ".#." over "#..".
    using Rows = std::vector<std::vector<bool>>;
    struct Case { int kind; int w, h; Rows rows; };
    const Case cases[] = {
        {1, 2, 3, Rows{{false, false}, {false, true}, {true, false}}},
        {2, 3, 2, Rows{{false, true, false}, {false, false, true}}},
        {3, 2, 3, Rows{{false, true}, {true, false}, {false, false}}},
    };
    for (const Case& c : cases) {
        BitPicture p = asymmetric();
        p.rotate(c.kind);
        EXPECT_EQ(p.width(), c.w) << c.kind;
        EXPECT_EQ(p.height(), c.h) << c.kind;
        EXPECT_EQ(snapshot(p), c.rows) << c.kind;
    }
}

TEST(BitPicture, ScaleResizesWithTruncation) {
    struct Case { double fx, fy; int w, h; };
    const Case cases[] = {{2, 3, 6, 6}, {0.5, 1, 1, 2}, {1.9, 1.5, 5, 3}, {0.2, 1, 0, 0}};
    for (const Case& c : cases) {
        BitPicture p = asymmetric();
        p.scale(c.fx, c.fy);
        EXPECT_EQ(p.width(), c.w) << c.fx << "x" << c.fy;
        EXPECT_EQ(p.height(), c.h) << c.fx << "x" << c.fy;
    }

    BitPicture p = asymmetric();
    p.scale(2, 2);
    const std::vector<std::vector<bool>> doubled = {
        {true, true, false, false, false, false},
        {true, true, false, false, false, false},
        {false, false, true, true, false, false},
        {false, false, true, true, false, false},
    };
    EXPECT_EQ(snapshot(p), doubled);
}

TEST(BitPicture, EmptyPictureIgnoresEverything) {
    BitPicture p;
    p.setPixel(0, 0, true);
    p.rotate(1);
    p.scale(2, 2);
    EXPECT_EQ(p.width(), 0);
    EXPECT_EQ(p.height(), 0);
    EXPECT_EQ(p.pixelColor(0, 0), kWhite);

    BitPicture bad;
    bad.create(-3, 2, 1);
    EXPECT_EQ(bad.width(), 0);
    EXPECT_EQ(bad.height(), 0);
}

TEST(BitPicture, InkRuleIsWeightedLuminanceBelowOneLevel) {
    struct Case { int r, g, b; bool ink; };
    const Case cases[] = {
        {0, 0, 0, true}, {0, 0, 3, true}, {3, 0, 0, true}, {1, 1, 1, false},
        {0, 1, 0, true}, {0, 2, 0, false}, {255, 255, 255, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isInk(c.r, c.g, c.b), c.ink) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(isInk(c.r + 256 * c.g + 65536 * c.b), c.ink) << c.r << "," << c.g << "," << c.b;
    }
}
