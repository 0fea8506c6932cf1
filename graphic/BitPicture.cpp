#include "graphic/Picture.h"

#include <cmath>

namespace Orn { namespace Graphic {

namespace {

const uint8_t kBlack = 0;
const uint8_t kWhite = 1;
const int32_t kPalette[2] = {0x000000, 0xFFFFFF};

// Refuse sizes whose pixel count would not fit comfortably in memory; a picture for a
// receipt printer is a few hundred pixels wide.
const double kMaxPixels = 64.0 * 1024 * 1024;

bool sizeAcceptable(double w, double h) { return w > 0 && h > 0 && w * h <= kMaxPixels; }

} // namespace

void BitPicture::create(int width, int height, int fillIndex) {
    if (!sizeAcceptable(width, height)) {
        width_ = height_ = 0;
        index_.clear();
        return;
    }
    width_ = width;
    height_ = height;
    index_.assign(static_cast<size_t>(width) * static_cast<size_t>(height),
                  fillIndex == 0 ? kBlack : kWhite);
}

void BitPicture::scale(double xFactor, double yFactor) {
    if (index_.empty()) return;
    if (!std::isfinite(xFactor) || !std::isfinite(yFactor) || xFactor < 0 || yFactor < 0) return;
    const double w = std::trunc(width_ * xFactor);
    const double h = std::trunc(height_ * yFactor);
    if (w == width_ && h == height_) return;
    if (w < 1 || h < 1) {   // shrunk to nothing
        width_ = height_ = 0;
        index_.clear();
        return;
    }
    if (!sizeAcceptable(w, h)) return;

    // Nearest neighbour: enough for bars and text that must stay one-bit sharp.
    const int nw = static_cast<int>(w);
    const int nh = static_cast<int>(h);
    std::vector<uint8_t> out(static_cast<size_t>(nw) * static_cast<size_t>(nh));
    for (int y = 0; y < nh; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * height_ / nh);
        for (int x = 0; x < nw; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * width_ / nw);
            out[static_cast<size_t>(y) * nw + x] = index_[static_cast<size_t>(sy) * width_ + sx];
        }
    }
    width_ = nw;
    height_ = nh;
    index_.swap(out);
}

// Clockwise as seen on paper (rows counted from the bottom).
void BitPicture::rotate(int kind) {
    if (index_.empty() || kind < 1 || kind > 3) return;
    const int w = width_;
    const int h = height_;
    const int nw = kind == 2 ? w : h;
    const int nh = kind == 2 ? h : w;
    std::vector<uint8_t> out(index_.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int nx, ny;
            switch (kind) {
            case 1: nx = y; ny = w - 1 - x; break;
            case 2: nx = w - 1 - x; ny = h - 1 - y; break;
            default: nx = h - 1 - y; ny = x; break;
            }
            out[static_cast<size_t>(ny) * nw + nx] = index_[static_cast<size_t>(y) * w + x];
        }
    }
    width_ = nw;
    height_ = nh;
    index_.swap(out);
}

void BitPicture::setPixel(int x, int y, bool ink) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    index_[static_cast<size_t>(y) * width_ + x] = ink ? kBlack : kWhite;
}

// Outside the picture reads as paper, so nothing beyond its edge is ever printed.
int32_t BitPicture::pixelColor(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kPalette[kWhite];
    return kPalette[index_[static_cast<size_t>(y) * width_ + x]];
}

}} // namespace Orn::Graphic
