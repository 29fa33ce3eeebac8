#pragma once
// The trim pipeline written down the plain way, one position at a time, straight from its
// definition: the yardstick for the fast production path.
#include <cmath>
#include <cstdint>

#include "imaging/ImageLib.h"
#include "platform/MemoryBitmap.h"

namespace reference {

inline int64_t Rounded(long double v) { return static_cast<int64_t>(std::nearbyint(v)); }

struct Size {
    int32_t width;
    int32_t height;
    double scaleX;
    double scaleY;
};

inline Size OutputSize(const Rect& r, const TrimSettings& s) {
    const int32_t sw = r.Right - r.Left + 1;
    const int32_t sh = r.Bottom - r.Top + 1;
    int32_t ow = sw, oh = sh;
    if (s.TrimType == 0) {
        ow = s.Width;
        oh = s.Height;
    } else if (s.TrimType == 1) {
        ow = sw * s.Scale / 100;
        oh = sh * s.Scale / 100;
        if (ow == 0) ow = 1;
        if (oh == 0) oh = 1;
    } else if (s.TrimType == 2) {
        if (static_cast<long double>(s.Height) / s.Width >= static_cast<long double>(sh) / sw) {
            ow = s.Width;
            oh = sh * s.Width / sw;
        } else {
            ow = sw * s.Height / sh;
            oh = s.Height;
        }
        if (ow == 0) ow = 1;
        if (oh == 0) oh = 1;
    }
    return {ow, oh, static_cast<double>(static_cast<long double>(sw) / ow),
            static_cast<double>(static_cast<long double>(sh) / oh)};
}

inline void Range(double scale, int32_t i, int32_t offset, int64_t& first, int64_t& last) {
    if (scale > 1) {
        first = Rounded(static_cast<long double>(i) * scale);
        last = Rounded(static_cast<long double>(i + 1) * scale - 1.0L);
    } else {
        first = last = Rounded(static_cast<long double>(i) * scale);
    }
    first += offset;
    last += offset;
}

// The final picture, frame included (the frame paints the FrameSize outermost rows and columns).
inline MemoryBitmap Trim(const MemoryBitmap& picture, const Rect& r, const TrimSettings& s) {
    const Size size = OutputSize(r, s);
    MemoryBitmap out(size.width, size.height);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            int64_t x0, x1, y0, y1;
            Range(size.scaleX, x, r.Left, x0, x1);
            Range(size.scaleY, y, r.Top, y0, y1);
            int64_t red = 0, green = 0, blue = 0, weight = 0;
            for (int64_t py = y0; py <= y1; ++py) {
                for (int64_t px = x0; px <= x1; ++px) {
                    if (px < 0 || py < 0 || px >= picture.Width() || py >= picture.Height()) {
                        red += 255;
                        green += 255;
                        blue += 255;
                        weight += 1;
                        continue;
                    }
                    Color c = MemoryBitmap::Unpack(picture.Pixel(static_cast<int>(px), static_cast<int>(py)));
                    if (s.EffectFlags & 1) {
                        const bool white = c == kWhite;
                        const bool black = c == kBlack;
                        if (s.ReverseType == 0 || white || black) {
                            c = Color{static_cast<uint8_t>(255 - c.red), static_cast<uint8_t>(255 - c.green),
                                      static_cast<uint8_t>(255 - c.blue)};
                        }
                    }
                    if ((s.EffectFlags & 2) && c == kBlack) weight += 3;
                    red += c.red;
                    green += c.green;
                    blue += c.blue;
                    weight += 1;
                }
            }
            out.SetPixel(
                x, y,
                MemoryBitmap::Pack(Color{static_cast<uint8_t>(red / weight), static_cast<uint8_t>(green / weight),
                                         static_cast<uint8_t>(blue / weight)}));
        }
    }
    if (s.IsFrame && s.FrameSize > 0) {
        for (int32_t y = 0; y < size.height; ++y) {
            for (int32_t x = 0; x < size.width; ++x) {
                if (x < s.FrameSize || y < s.FrameSize || x >= size.width - s.FrameSize ||
                    y >= size.height - s.FrameSize) {
                    out.SetPixel(x, y, 0);
                }
            }
        }
    }
    return out;
}

}  // namespace reference
