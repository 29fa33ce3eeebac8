#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/Canvas.h"
#include "platform/MemoryBitmap.h"
#include "selection/SelectArea.h"
#include "settings/FLConfig.h"

// Settings read from a private INI file, so nothing is ever marked changed or written back.
class TestSettings {
public:
    TestSettings(int trimType, int32_t width, int32_t height) : config_(Write(dir_, trimType, width, height)) {}
    operator const TFLConfig&() const { return config_; }
    const TFLConfig& Get() const { return config_; }

private:
    static std::string Write(const TempDir& dir, int trimType, int32_t width, int32_t height) {
        const std::string path = dir.File("Framlet.ini");
        WriteTestFile(path, "[Trim]\r\nType=" + std::to_string(trimType) + "\r\nWidth=" + std::to_string(width) +
                                "\r\nHeight=" + std::to_string(height) + "\r\n");
        return path;
    }
    TempDir dir_;
    TFLConfig config_;
};

// Every pixel differs from its neighbours in all three channels.
inline MemoryBitmap SelectionPattern(int width, int height) {
    MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y,
                             (static_cast<uint32_t>(x + y) & 255) << 16 |
                                 (static_cast<uint32_t>(x * 3 + y * 5) & 255) << 8 |
                                 (static_cast<uint32_t>(x * 7 + y * 13) & 255));
        }
    }
    return picture;
}

// What the frame of a rectangle does to a picture, worked out pixel by pixel from the rules
// rather than by drawing: the outline's four sides each touch their pixels up to, not including,
// their end corner; a selected frame adds the 6 x 6 visible part of each 7 x 7 grip box. A pixel
// touched an odd number of times ends inverted.
inline MemoryBitmap WithFrame(const MemoryBitmap& picture, const Rect& r, bool withGrips) {
    std::vector<int> touches(static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height()));
    auto touch = [&](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < picture.Width() && y < picture.Height())
            ++touches[static_cast<size_t>(y * picture.Width() + x)];
    };
    for (int64_t x = r.Left; x < r.Right; ++x) touch(x, r.Top);     // top, left to right
    for (int64_t y = r.Top; y < r.Bottom; ++y) touch(r.Right, y);   // right, downwards
    for (int64_t x = r.Right; x > r.Left; --x) touch(x, r.Bottom);  // bottom, right to left
    for (int64_t y = r.Bottom; y > r.Top; --y) touch(r.Left, y);    // left, upwards
    if (withGrips) {
        const int64_t midX = (int64_t{r.Left} + r.Right) / 2, midY = (int64_t{r.Top} + r.Bottom) / 2;
        const int64_t centres[8][2] = {{r.Left, r.Top}, {r.Left, midY},      {r.Left, r.Bottom}, {r.Right, r.Top},
                                       {r.Right, midY}, {r.Right, r.Bottom}, {midX, r.Top},      {midX, r.Bottom}};
        for (const auto& c : centres) {
            for (int64_t y = c[1] - 3; y < c[1] + 3; ++y) {
                for (int64_t x = c[0] - 3; x < c[0] + 3; ++x) touch(x, y);
            }
        }
    }
    MemoryBitmap result = picture;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (touches[static_cast<size_t>(y * picture.Width() + x)] % 2)
                result.SetPixel(x, y, ~picture.Pixel(x, y) & 0xFFFFFFu);
        }
    }
    return result;
}

// The picture as the selection's current state should leave it: the original plus exactly one
// frame of the current state.
inline MemoryBitmap Expected(const MemoryBitmap& original, const TSelectArea& area) {
    if (area.State == TSelectArea::kStateNone) return original;
    return WithFrame(original, area.Rect, area.State == TSelectArea::kStateSelected);
}

// Records what is drawn, for tests of the drawing sequence itself.
class RecordingCanvas final : public Canvas {
public:
    struct Call {
        std::string what;
        std::vector<Point> points;
        friend bool operator==(const Call&, const Call&) = default;
    };
    void SetPen(Color color, PenMode mode, int width) override {
        calls.push_back(
            {"SetPen " + Describe(color) + (mode == PenMode::Not ? " not " : " copy ") + std::to_string(width), {}});
    }
    void SetBrush(Color color) override { calls.push_back({"SetBrush " + Describe(color), {}}); }
    void Polyline(std::span<const Point> points) override {
        calls.push_back({"Polyline", {points.begin(), points.end()}});
    }
    void Rectangle(int left, int top, int right, int bottom) override {
        calls.push_back({"Rectangle", {{left, top}, {right, bottom}}});
    }
    void MoveTo(Point p) override { calls.push_back({"MoveTo", {p}}); }
    void LineTo(Point p) override { calls.push_back({"LineTo", {p}}); }

    size_t Count(const std::string& what) const {
        size_t n = 0;
        for (const Call& call : calls) n += call.what == what;
        return n;
    }
    std::vector<Call> calls;

private:
    static std::string Describe(Color c) {
        return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
    }
};

inline std::string Describe(const Rect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")";
}
