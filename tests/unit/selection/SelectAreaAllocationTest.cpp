#include <gtest/gtest.h>

#include <vector>

#include "CountingAllocator.h"
#include "SelectionTestSupport.h"
#include "platform/SoftwareCanvas.h"

namespace {

TEST(AllocationCounter, CountsWhatTheCodeAllocates) {
    AllocationCounter counter;
    std::vector<int> values(100);
    values.push_back(1);
    EXPECT_GE(counter.Count(), 2u);
}

TEST(SelectAreaAllocations, PointerMovesAllocateNothing) {
    TestSettings proportion(0, 150, 180), free(2, 150, 180);
    MemoryBitmap picture(800, 600);
    SoftwareCanvas canvas(picture);
    for (const TFLConfig* settings : {&proportion.Get(), &free.Get()}) {
        TSelectArea area;
        area.BeginDraw(100, 100, canvas, *settings);
        size_t drawing;
        {
            AllocationCounter counter;
            for (int i = 0; i < 50; ++i) area.DragDraw(200 + i * 7, 150 + i * 5, canvas, *settings);
            drawing = counter.Count();
        }
        EXPECT_EQ(drawing, 0u) << "DragDraw";
        area.EndDraw(400, 300, canvas, *settings);

        size_t hitTesting;
        int hits = 0;
        {
            AllocationCounter counter;
            for (int x = 0; x < 800; x += 5) hits += area.HitTest(x, 200);
            hitTesting = counter.Count();
        }
        EXPECT_EQ(hitTesting, 0u) << "HitTest";
        EXPECT_GT(hits, 0);

        for (Point press : {Point{250, 250}, Point{area.Rect.Right, area.Rect.Bottom}, Point{area.Rect.Left, 200}}) {
            ASSERT_TRUE(area.BeginAdjust(press.x, press.y, canvas, *settings));
            size_t adjusting;
            {
                AllocationCounter counter;
                for (int i = 0; i < 50; ++i) area.DragAdjust(press.x + i * 3, press.y - i * 2, canvas, *settings);
                adjusting = counter.Count();
            }
            EXPECT_EQ(adjusting, 0u) << "DragAdjust, DragKind " << int{area.DragKind};
            area.EndAdjust(press.x, press.y, canvas, *settings);
        }
    }
}

}  // namespace
