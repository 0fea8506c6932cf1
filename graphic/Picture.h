#pragma once
// One-bit raster picture; row 0 is the bottom row.
#include <cstdint>
#include <vector>

namespace Orn { namespace Graphic {

class Picture {
public:
    virtual ~Picture() = default;
    virtual void create(int width, int height, int fillIndex) = 0;
    virtual void scale(double xFactor, double yFactor) = 0;
    virtual void rotate(int kind) = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual void setPixel(int x, int y, bool ink) = 0;
    virtual int32_t pixelColor(int x, int y) const = 0;   // red + 256*green + 65536*blue
};

// Black exactly when 306*r + 601*g + 117*b < 1024.
inline bool isInk(int r, int g, int b) { return 306 * r + 601 * g + 117 * b < 1024; }
inline bool isInk(int32_t color) { return isInk(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

class BitPicture : public Picture {
public:
    void create(int width, int height, int fillIndex) override;
    void scale(double xFactor, double yFactor) override;
    void rotate(int kind) override;
    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    void setPixel(int x, int y, bool ink) override;
    int32_t pixelColor(int x, int y) const override;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> index_;   // palette index per pixel, row-major from the bottom row
};

}} // namespace Orn::Graphic
