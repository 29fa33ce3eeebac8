#include "CanvasContract.h"

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 20;

// An independent model of the contract for Not mode: how often each pixel is touched. Lines are
// horizontal, vertical or at 45 degrees, whose pixels are unambiguous; a pixel touched an odd
// number of times ends inverted.
class Touches {
public:
    Touches(int width, int height) : width_(width), height_(height), counts_(static_cast<size_t>(width * height)) {}

    void Pixel(int x, int y) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) ++counts_[static_cast<size_t>(y * width_ + x)];
    }
    // From a up to, not including, b.
    void Segment(Point a, Point b) {
        const int dx = b.x - a.x, dy = b.y - a.y;
        EXPECT_TRUE(dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy)) << "the model draws no other slopes";
        const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
        for (Point p = a; p != b; p = {p.x + sx, p.y + sy}) Pixel(p.x, p.y);
    }
    void Polyline(const std::vector<Point>& points) {
        for (size_t i = 1; i < points.size(); ++i) Segment(points[i - 1], points[i]);
    }
    // left..right-1, top..bottom-1.
    void Box(int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) Pixel(x, y);
        }
    }
    // GDI's Rectangle in Not mode: at least 2 x 2, every pixel of the area once. One pixel wide
    // or high, its outline runs there and back: the two ends once, the pixels between twice.
    // 1 x 1 or empty: nothing.
    void Rectangle(int left, int top, int right, int bottom) {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
        const int width = right - left, height = bottom - top;
        if (width < 1 || height < 1 || (width == 1 && height == 1)) return;
        if (width >= 2 && height >= 2) return Box(left, top, right, bottom);
        const int length = width == 1 ? height : width;
        for (int i = 0; i < length; ++i) {
            const int x = width == 1 ? left : left + i, y = width == 1 ? top + i : top;
            Pixel(x, y);
            if (i > 0 && i < length - 1) Pixel(x, y);
        }
    }
    MemoryBitmap AppliedTo(const MemoryBitmap& base) const {
        MemoryBitmap result = base;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (counts_[static_cast<size_t>(y * width_ + x)] % 2)
                    result.SetPixel(x, y, ~base.Pixel(x, y) & 0xFFFFFFu);
            }
        }
        return result;
    }

private:
    int width_, height_;
    std::vector<int> counts_;
};

// Where two pictures differ, for a readable failure.
std::string Differences(const MemoryBitmap& actual, const MemoryBitmap& expected) {
    std::string text;
    int shown = 0, total = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            if (actual.Pixel(x, y) == expected.Pixel(x, y)) continue;
            ++total;
            if (shown++ < 12) {
                char line[96];
                std::snprintf(line, sizeof line, " (%d,%d) is %06X, expected %06X;", x, y, actual.Pixel(x, y),
                              expected.Pixel(x, y));
                text += line;
            }
        }
    }
    return std::to_string(total) + " pixels differ:" + text;
}

#define EXPECT_PICTURE(actual, expected) EXPECT_TRUE((actual) == (expected)) << Differences((actual), (expected))

struct NotModeCase {
    const char* name;
    std::function<void(Canvas&)> draw;
    std::function<void(Touches&)> expect;
};

std::vector<Point> Outline(int left, int top, int right, int bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
}

void DrawPolyline(Canvas& canvas, const std::vector<Point>& points) { canvas.Polyline(points); }

// The selection frame's shapes: its outline and a 7 x 7 grip box around each of eight centres.
std::vector<Point> GripCentres(int left, int top, int right, int bottom) {
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    return {{left, top},   {left, midY},    {left, bottom}, {right, top},
            {right, midY}, {right, bottom}, {midX, top},    {midX, bottom}};
}
void DrawFrameShapes(Canvas& canvas, int left, int top, int right, int bottom) {
    canvas.SetPen(kBlack, PenMode::Not, 1);
    canvas.SetBrush(kBlack);
    DrawPolyline(canvas, Outline(left, top, right, bottom));
    for (Point c : GripCentres(left, top, right, bottom)) canvas.Rectangle(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
}
void ExpectFrameShapes(Touches& t, int left, int top, int right, int bottom) {
    t.Polyline(Outline(left, top, right, bottom));
    for (Point c : GripCentres(left, top, right, bottom)) t.Box(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
}

void RunNotModeCases(const SurfaceKind& kind, const std::vector<NotModeCase>& cases) {
    const MemoryBitmap original = ContractPattern(kWidth, kHeight);
    for (const NotModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = kind.make(kWidth, kHeight);
        surface->Load(original);
        // Pen and brush colours must not matter in Not mode.
        surface->Target().SetPen(Color{255, 0, 0}, PenMode::Not, 1);
        surface->Target().SetBrush(Color{0, 255, 0});
        c.draw(surface->Target());
        Touches touches(kWidth, kHeight);
        c.expect(touches);
        const MemoryBitmap once = surface->Snapshot();
        EXPECT_PICTURE(once, touches.AppliedTo(original));
        // Inversion is its own inverse: the same drawing again restores every pixel.
        c.draw(surface->Target());
        EXPECT_PICTURE(surface->Snapshot(), original);
    }
}

TEST_P(CanvasContract, NotModePolylinesInvertEachSegmentUpToItsLastPoint) {
    const std::vector<Point> closed = Outline(2, 2, 12, 8);
    RunNotModeCases(
        GetParam(),
        {
            {"closed outline: each of its 32 pixels once", [&](Canvas& k) { DrawPolyline(k, closed); },
             [&](Touches& t) { t.Polyline(closed); }},
            {"open polyline leaves out its very last point",
             [](Canvas& k) {
                 DrawPolyline(k, {{1, 1}, {6, 1}, {6, 4}});
             },
             [](Touches& t) {
                 t.Polyline({{1, 1}, {6, 1}, {6, 4}});
             }},
            {"a leftward and upward segment leaves out its last point too",
             [](Canvas& k) {
                 DrawPolyline(k, {{9, 9}, {3, 9}, {3, 4}});
             },
             [](Touches& t) {
                 t.Polyline({{9, 9}, {3, 9}, {3, 4}});
             }},
            {"45-degree diagonals in all four directions",
             [](Canvas& k) {
                 DrawPolyline(k, {{1, 1}, {6, 6}, {11, 1}, {16, 6}, {11, 11}, {6, 6}});
             },
             [](Touches& t) {
                 t.Polyline({{1, 1}, {6, 6}, {11, 1}, {16, 6}, {11, 11}, {6, 6}});
             }},
            {"zero-width outline: only its two ends change", [](Canvas& k) { DrawPolyline(k, Outline(5, 2, 5, 10)); },
             [](Touches& t) {
                 t.Pixel(5, 2);
                 t.Pixel(5, 10);
             }},
            {"zero-height outline: only its two ends change", [](Canvas& k) { DrawPolyline(k, Outline(3, 6, 15, 6)); },
             [](Touches& t) {
                 t.Pixel(3, 6);
                 t.Pixel(15, 6);
             }},
            {"a one-pixel-wide outline", [](Canvas& k) { DrawPolyline(k, Outline(4, 4, 5, 9)); },
             [](Touches& t) { t.Polyline(Outline(4, 4, 5, 9)); }},
            {"an outline on a single point draws nothing", [](Canvas& k) { DrawPolyline(k, Outline(7, 7, 7, 7)); },
             [](Touches&) {}},
            {"a one-point polyline draws nothing",
             [](Canvas& k) {
                 DrawPolyline(k, {{3, 3}});
             },
             [](Touches&) {}},
            {"an empty polyline draws nothing", [](Canvas& k) { k.Polyline({}); }, [](Touches&) {}},
            {"a segment over itself and back touches the middle twice",
             [](Canvas& k) {
                 DrawPolyline(k, {{2, 12}, {10, 12}, {2, 12}});
             },
             [](Touches& t) {
                 t.Polyline({{2, 12}, {10, 12}, {2, 12}});
             }},
        });
}

TEST_P(CanvasContract, ShapesOutsideThePictureAreClipped) {
    RunNotModeCases(
        GetParam(),
        {
            {"outline partly outside on three sides", [](Canvas& k) { DrawPolyline(k, Outline(-5, -3, 30, 12)); },
             [](Touches& t) { t.Polyline(Outline(-5, -3, 30, 12)); }},
            {"outline around the whole picture", [](Canvas& k) { DrawPolyline(k, Outline(-1, -1, kWidth, kHeight)); },
             [](Touches&) {}},
            {"outline along the picture's own edges",
             [](Canvas& k) { DrawPolyline(k, Outline(0, 0, kWidth - 1, kHeight - 1)); },
             [](Touches& t) { t.Polyline(Outline(0, 0, kWidth - 1, kHeight - 1)); }},
            {"outline wholly above and left", [](Canvas& k) { DrawPolyline(k, Outline(-50, -40, -10, -2)); },
             [](Touches&) {}},
            {"outline wholly below and right", [](Canvas& k) { DrawPolyline(k, Outline(kWidth, kHeight, 90, 70)); },
             [](Touches&) {}},
            {"a line from far left to far right",
             [](Canvas& k) {
                 DrawPolyline(k, {{-100000, 5}, {100000, 5}});
             },
             [](Touches& t) {
                 t.Segment({-100000, 5}, {100000, 5});
             }},
            {"a diagonal entering from outside",
             [](Canvas& k) {
                 DrawPolyline(k, {{-6, -4}, {10, 12}});
             },
             [](Touches& t) {
                 t.Segment({-6, -4}, {10, 12});
             }},
            {"a rectangle over the top-left corner", [](Canvas& k) { k.Rectangle(-3, -3, 4, 5); },
             [](Touches& t) { t.Box(0, 0, 4, 5); }},
            {"a rectangle over the bottom-right corner", [](Canvas& k) { k.Rectangle(20, 17, 30, 25); },
             [](Touches& t) { t.Box(20, 17, 24, 20); }},
            {"a rectangle wholly outside", [](Canvas& k) { k.Rectangle(30, 2, 40, 8); }, [](Touches&) {}},
            {"a rectangle ending exactly at the left edge", [](Canvas& k) { k.Rectangle(-6, 2, 0, 8); },
             [](Touches&) {}},
        });
}

TEST_P(CanvasContract, NotModeRectanglesInvertTheirAreaOnceLeavingOutRightAndBottom) {
    RunNotModeCases(
        GetParam(),
        {
            {"a 6 x 6 block", [](Canvas& k) { k.Rectangle(2, 2, 8, 8); }, [](Touches& t) { t.Box(2, 2, 8, 8); }},
            {"a wide block", [](Canvas& k) { k.Rectangle(1, 3, 20, 6); }, [](Touches& t) { t.Box(1, 3, 20, 6); }},
            {"corners given the other way round", [](Canvas& k) { k.Rectangle(8, 8, 2, 2); },
             [](Touches& t) { t.Box(2, 2, 8, 8); }},
            {"a 2 x 2 block", [](Canvas& k) { k.Rectangle(5, 5, 7, 7); }, [](Touches& t) { t.Box(5, 5, 7, 7); }},
            {"one pixel wide: traced down and back, only the ends change", [](Canvas& k) { k.Rectangle(2, 2, 3, 8); },
             [](Touches& t) { t.Rectangle(2, 2, 3, 8); }},
            {"one pixel high: traced there and back, only the ends change",
             [](Canvas& k) { k.Rectangle(4, 9, 15, 10); }, [](Touches& t) { t.Rectangle(4, 9, 15, 10); }},
            {"1 x 1 draws nothing", [](Canvas& k) { k.Rectangle(6, 6, 7, 7); }, [](Touches&) {}},
            {"zero width draws nothing", [](Canvas& k) { k.Rectangle(6, 2, 6, 9); }, [](Touches&) {}},
            {"zero height draws nothing", [](Canvas& k) { k.Rectangle(2, 6, 9, 6); }, [](Touches&) {}},
            {"overlapping blocks cancel where they meet",
             [](Canvas& k) {
                 k.Rectangle(2, 2, 8, 8);
                 k.Rectangle(5, 5, 11, 11);
             },
             [](Touches& t) {
                 t.Box(2, 2, 8, 8);
                 t.Box(5, 5, 11, 11);
             }},
        });
}

TEST_P(CanvasContract, TheSelectionFrameShapesInvertAndRestore) {
    // Outline plus grips, as the selection draws them: where they overlap, pixels are touched
    // twice and end unchanged; drawing everything twice restores the picture.
    struct Frame {
        const char* name;
        int left, top, right, bottom;
    };
    const Frame frames[] = {
        {"a roomy rectangle", 4, 4, 18, 14},
        {"a small rectangle whose grips overlap each other and the outline", 10, 8, 13, 10},
        {"a single point", 10, 10, 10, 10},
        {"a zero-height line", 3, 9, 17, 9},
        {"partly outside", -2, 15, 30, 25},
        {"grips reaching in from outside", -3, -3, 25, 22},
        {"wholly outside", -40, -40, -20, -30},
    };
    std::vector<NotModeCase> cases;
    for (const Frame& f : frames) {
        cases.push_back({f.name, [f](Canvas& k) { DrawFrameShapes(k, f.left, f.top, f.right, f.bottom); },
                         [f](Touches& t) { ExpectFrameShapes(t, f.left, f.top, f.right, f.bottom); }});
    }
    RunNotModeCases(GetParam(), cases);
}

TEST_P(CanvasContract, MoveToAndLineToDrawTheSameSegmentsAsAPolyline) {
    RunNotModeCases(GetParam(), {
                                    {"two LineTo calls continue from each other",
                                     [](Canvas& k) {
                                         k.MoveTo({2, 3});
                                         k.LineTo({10, 3});
                                         k.LineTo({10, 9});
                                     },
                                     [](Touches& t) {
                                         t.Polyline({{2, 3}, {10, 3}, {10, 9}});
                                     }},
                                    {"MoveTo alone draws nothing",
                                     [](Canvas& k) {
                                         k.MoveTo({4, 4});
                                     },
                                     [](Touches&) {}},
                                    {"LineTo to the current position draws nothing",
                                     [](Canvas& k) {
                                         k.MoveTo({4, 4});
                                         k.LineTo({4, 4});
                                     },
                                     [](Touches&) {}},
                                    {"a closed loop of LineTo calls",
                                     [](Canvas& k) {
                                         k.MoveTo({3, 3});
                                         for (Point p : Outline(3, 3, 9, 7)) k.LineTo(p);
                                     },
                                     [](Touches& t) { t.Polyline(Outline(3, 3, 9, 7)); }},
                                });
}

TEST_P(CanvasContract, CopyModePaintsThePenAndTheBrush) {
    const MemoryBitmap original = ContractPattern(kWidth, kHeight);
    const Color red{200, 10, 20}, blue{5, 30, 220};
    const uint32_t redPixel = MemoryBitmap::Pack(red), bluePixel = MemoryBitmap::Pack(blue);
    auto surface = GetParam().make(kWidth, kHeight);
    Canvas& canvas = surface->Target();

    // A rectangle: the outermost ring of left..right-1 x top..bottom-1 in the pen's colour,
    // the inside in the brush's.
    surface->Load(original);
    canvas.SetPen(red, PenMode::Copy, 1);
    canvas.SetBrush(blue);
    canvas.Rectangle(2, 3, 9, 8);
    MemoryBitmap expected = original;
    for (int y = 3; y < 8; ++y) {
        for (int x = 2; x < 9; ++x)
            expected.SetPixel(x, y, (x == 2 || x == 8 || y == 3 || y == 7) ? redPixel : bluePixel);
    }
    EXPECT_PICTURE(surface->Snapshot(), expected);

    // Clipped at the top-left: only the ring's right and bottom sides and the inside show.
    surface->Load(original);
    canvas.Rectangle(-2, -2, 4, 4);
    expected = original;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) expected.SetPixel(x, y, (x == 3 || y == 3) ? redPixel : bluePixel);
    }
    EXPECT_PICTURE(surface->Snapshot(), expected);

    // A polyline in the pen's colour, its last point left out.
    surface->Load(original);
    canvas.Polyline(std::vector<Point>{{1, 1}, {6, 1}, {6, 4}, {2, 4}});
    expected = original;
    for (int x = 1; x <= 6; ++x) expected.SetPixel(x, 1, redPixel);
    for (int y = 2; y <= 4; ++y) expected.SetPixel(6, y, redPixel);
    for (int x = 3; x <= 5; ++x) expected.SetPixel(x, 4, redPixel);
    EXPECT_PICTURE(surface->Snapshot(), expected);

    // One pixel wide: the whole line takes the pen; 1 x 1 paints nothing at all.
    surface->Load(original);
    canvas.Rectangle(2, 2, 3, 8);
    canvas.Rectangle(10, 10, 11, 11);
    expected = original;
    for (int y = 2; y < 8; ++y) expected.SetPixel(2, y, redPixel);
    EXPECT_PICTURE(surface->Snapshot(), expected);

    // Changing the mode back to Not after Copy inverts again.
    surface->Load(original);
    canvas.SetPen(red, PenMode::Not, 1);
    canvas.Rectangle(2, 2, 4, 4);
    expected = original;
    for (int y = 2; y < 4; ++y) {
        for (int x = 2; x < 4; ++x) expected.SetPixel(x, y, ~original.Pixel(x, y) & 0xFFFFFFu);
    }
    EXPECT_PICTURE(surface->Snapshot(), expected);
}

TEST_P(CanvasContract, SlopedLinesPickGdisPixels) {
    // Worked through GDI's rule by hand: where a line passes exactly between two pixels, the
    // tie goes the same way whichever end the line starts from.
    struct Line {
        Point from, to;
        std::vector<Point> pixels;
    };
    const Line lines[] = {
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
        {{4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
        {{0, 0}, {1, 4}, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
        {{1, 4}, {0, 0}, {{1, 4}, {1, 3}, {0, 2}, {0, 1}}},
        {{2, 5}, {9, 3}, {{2, 5}, {3, 5}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {8, 3}}},
    };
    const MemoryBitmap original = ContractPattern(kWidth, kHeight);
    for (const Line& line : lines) {
        SCOPED_TRACE("(" + std::to_string(line.from.x) + "," + std::to_string(line.from.y) + ") to (" +
                     std::to_string(line.to.x) + "," + std::to_string(line.to.y) + ")");
        auto surface = GetParam().make(kWidth, kHeight);
        surface->Load(original);
        surface->Target().SetPen(kBlack, PenMode::Not, 1);
        surface->Target().MoveTo(line.from);
        surface->Target().LineTo(line.to);
        Touches touches(kWidth, kHeight);
        for (Point p : line.pixels) touches.Pixel(p.x, p.y);
        EXPECT_PICTURE(surface->Snapshot(), touches.AppliedTo(original));
    }

    // Therefore a line and the same line back, in Not mode, change only their two ends.
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> coordinate(-30, 50);
    for (int round = 0; round < 200; ++round) {
        const Point a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
        SCOPED_TRACE("(" + std::to_string(a.x) + "," + std::to_string(a.y) + ") and back from (" + std::to_string(b.x) +
                     "," + std::to_string(b.y) + ")");
        auto surface = GetParam().make(kWidth, kHeight);
        surface->Load(original);
        surface->Target().SetPen(kBlack, PenMode::Not, 1);
        DrawPolyline(surface->Target(), {a, b, a});
        Touches touches(kWidth, kHeight);
        if (a != b) {
            touches.Pixel(a.x, a.y);
            touches.Pixel(b.x, b.y);
        }
        EXPECT_PICTURE(surface->Snapshot(), touches.AppliedTo(original));
    }
}

TEST_P(CanvasContract, RandomNotModeDrawingsMatchTheModelAndUndoThemselves) {
    std::mt19937 random(20240611);
    const MemoryBitmap original = ContractPattern(kWidth, kHeight);
    auto coordinate = [&](int size) { return std::uniform_int_distribution<int>(-8, size + 8)(random); };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto surface = GetParam().make(kWidth, kHeight);
        surface->Load(original);
        Canvas& canvas = surface->Target();
        canvas.SetPen(kBlack, PenMode::Not, 1);
        Touches touches(kWidth, kHeight);
        std::vector<std::function<void()>> again;
        for (int shape = 0; shape < 6; ++shape) {
            if (random() % 3 == 0) {
                const int l = coordinate(kWidth), t = coordinate(kHeight), r = coordinate(kWidth),
                          b = coordinate(kHeight);
                canvas.Rectangle(l, t, r, b);
                touches.Rectangle(l, t, r, b);
                again.push_back([&canvas, l, t, r, b] { canvas.Rectangle(l, t, r, b); });
                continue;
            }
            std::vector<Point> points{{coordinate(kWidth), coordinate(kHeight)}};
            const int count = 1 + static_cast<int>(random() % 5);
            for (int i = 0; i < count; ++i) {
                const Point last = points.back();
                const int length = std::uniform_int_distribution<int>(0, 14)(random) - 7;
                switch (random() % 3) {
                    case 0: points.push_back({last.x + length, last.y}); break;
                    case 1: points.push_back({last.x, last.y + length}); break;
                    default: points.push_back({last.x + length, last.y + (random() % 2 ? length : -length)}); break;
                }
            }
            canvas.Polyline(points);
            touches.Polyline(points);
            again.push_back([&canvas, points] { canvas.Polyline(points); });
        }
        EXPECT_PICTURE(surface->Snapshot(), touches.AppliedTo(original));
        for (auto& draw : again) draw();
        EXPECT_PICTURE(surface->Snapshot(), original);
    }
}

}  // namespace

MemoryBitmap ContractPattern(int width, int height) {
    MemoryBitmap pattern(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t blue = static_cast<uint32_t>(x * 7 + y * 13) & 255;
            const uint32_t green = static_cast<uint32_t>(x * 3 + y * 5) & 255;
            const uint32_t red = static_cast<uint32_t>(x + y) & 255;
            pattern.SetPixel(x, y, (red << 16) | (green << 8) | blue);
        }
    }
    return pattern;
}
