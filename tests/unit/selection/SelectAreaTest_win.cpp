#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "CountingAllocator.h"
#include "SelectionTestSupport.h"
#include "platform/GdiSurface_win.h"
#include "platform/SoftwareCanvas.h"
#include "selection/SelectionRouting.h"

namespace {

// The same pointer session on a GDI canvas and on the software canvas: after every step the two
// pictures must agree pixel for pixel, and both must hold exactly one frame.
TEST(SelectAreaOnGdi, ASessionDrawsTheSamePixelsAsOnTheSoftwareCanvas) {
    constexpr int kWidth = 80, kHeight = 60;
    const MemoryBitmap original = SelectionPattern(kWidth, kHeight);
    for (int trimType : {0, 2}) {
        TestSettings settings(trimType, 150, 180);
        GdiSurface gdi(kWidth, kHeight);
        gdi.Load(original);
        MemoryBitmap soft = original;
        SoftwareCanvas softCanvas(soft);
        TSelectArea onGdi, onSoft;
        std::mt19937 random(static_cast<uint32_t>(trimType) + 5);
        auto below = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
        bool pressed = false;
        for (int step = 0; step < 300; ++step) {
            Point p{below(kWidth + 40) - 20, below(kHeight + 40) - 20};
            if (onSoft.State != TSelectArea::kStateNone && below(2) == 0) {
                const Point c = onSoft.GetGripPoint(below(8));
                p = {c.x + below(7) - 3, c.y + below(7) - 3};
            }
            const int roll = below(20);
            if (roll == 0) {
                onGdi.Clear(gdi.Target());
                onSoft.Clear(softCanvas);
            } else if (!pressed) {
                SelectionMouseDown(onGdi, p.x, p.y, gdi.Target(), settings);
                SelectionMouseDown(onSoft, p.x, p.y, softCanvas, settings);
                pressed = true;
            } else if (roll < 5) {
                SelectionMouseUp(onGdi, p.x, p.y, gdi.Target(), settings);
                SelectionMouseUp(onSoft, p.x, p.y, softCanvas, settings);
                pressed = false;
            } else {
                SelectionMouseMove(onGdi, p.x, p.y, gdi.Target(), settings);
                SelectionMouseMove(onSoft, p.x, p.y, softCanvas, settings);
            }
            SCOPED_TRACE("trim " + std::to_string(trimType) + " step " + std::to_string(step) + " state " +
                         std::to_string(onSoft.State) + " " + Describe(onSoft.Rect));
            ASSERT_EQ(onGdi.Rect, onSoft.Rect);
            ASSERT_EQ(onGdi.State, onSoft.State);
            ASSERT_EQ(gdi.Snapshot(), soft);
            ASSERT_EQ(soft, Expected(original, onSoft));
        }
        onGdi.Clear(gdi.Target());
        EXPECT_EQ(gdi.Snapshot(), original);
    }
}

TEST(SelectAreaOnGdi, PointerMovesAllocateNothing) {
    TestSettings settings(2, 150, 180);
    GdiSurface gdi(640, 480);
    TSelectArea area;
    area.BeginDraw(50, 50, gdi.Target(), settings);
    size_t drawing;
    {
        AllocationCounter counter;
        for (int i = 0; i < 40; ++i) area.DragDraw(100 + i * 5, 80 + i * 4, gdi.Target(), settings);
        drawing = counter.Count();
    }
    EXPECT_EQ(drawing, 0u);
    area.EndDraw(300, 250, gdi.Target(), settings);
    ASSERT_TRUE(area.BeginAdjust(300, 250, gdi.Target(), settings));
    size_t adjusting;
    {
        AllocationCounter counter;
        for (int i = 0; i < 40; ++i) area.DragAdjust(300 + i * 3, 250 + i * 2, gdi.Target(), settings);
        adjusting = counter.Count();
    }
    EXPECT_EQ(adjusting, 0u);
}

}  // namespace
