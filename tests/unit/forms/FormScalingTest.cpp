#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "app/MainLayout.h"
#include "forms/FormScaling.h"
#include "settings/OptionLayout.h"

namespace {

struct ScaleCase {
    int value;
    int dpi;
    int expected;
};

// Windows' scales: 100 % 96, 125 % 120, 150 % 144, 175 % 168, 200 % 192 DPI. Halves go away
// from zero as MulDiv rounds them; expected values worked out by hand.
const ScaleCase kScaleCases[] = {
    {0, 144, 0},
    {1, 144, 2},  // 1.5 up
    {-1, 144, -2},
    {3, 144, 5},  // 4.5 up; -1.5 away from zero
    {12, 120, 15},
    {33, 120, 41},  // 41.25 down
    {17, 120, 21},
    {2, 120, 3},  // 21.25; 2.5 up
    {-2, 120, -3},
    {553, 144, 830},  // 829.5 up
    {553, 120, 691},
    {760, 168, 1330},  // 691.25; exact
    {569, 168, 996},
    {49, 192, 98},  // 995.75 up; doubled
    {12, 72, 9},
    {1, 72, 1},  // below 96 as well; 0.75 up
    {150, 0, 150},
    {150, -5, 150},                                                                   // no DPI known: the design
    {std::numeric_limits<int>::max() / 2, 192, std::numeric_limits<int>::max() - 1},  // no overflow on the way
};

TEST(ScaleForDpi, RoundsHalvesAwayFromZeroLikeMulDiv) {
    for (const ScaleCase& c : kScaleCases) {
        EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi << " DPI";
    }
}

TEST(ScaleForDpi, LeavesEveryValueAloneAtTheDesignDpi) {
    for (int value = -2000; value <= 2000; ++value) ASSERT_EQ(ScaleForDpi(value, kDesignDpi), value);
}

TEST(ScalePlace, ScalesEveryFieldButAnImageKeepsTheSizeOfItsPicture) {
    const LayoutRect place{68, 19, 16, 49};
    const LayoutRect radio = ScalePlace({"rb", ControlKind::RadioButton, "", place, ""}, 144);
    EXPECT_EQ(radio.left, 102);
    EXPECT_EQ(radio.top, 29);  // 28.5 up
    EXPECT_EQ(radio.width, 24);
    EXPECT_EQ(radio.height, 74);  // 73.5 up
    const LayoutRect image = ScalePlace({"img", ControlKind::Image, "", place, ""}, 144);
    EXPECT_EQ(image.left, 102);
    EXPECT_EQ(image.top, 29);
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.height, 49);
    // A transparent picture is a decoration: it grows with the controls around it.
    const LayoutRect decoration = ScalePlace({"img", ControlKind::Image, "", place, "", kTransparent}, 144);
    EXPECT_EQ(decoration.width, 24);
    EXPECT_EQ(decoration.height, 74);
    // Zero sizes mean "sized to the text" or "docked" and must stay zero.
    const LayoutRect label = ScalePlace({"lbl", ControlKind::Label, "", {124, 28, 0, 0}, ""}, 192);
    EXPECT_EQ(label.left, 248);
    EXPECT_EQ(label.width, 0);
    EXPECT_EQ(label.height, 0);
}

void ExpectRowsAgree(const ControlLayout& design, const ControlLayout& scaled) {
    EXPECT_EQ(scaled.name, design.name);  // the same strings, not copies
    EXPECT_EQ(scaled.kind, design.kind);
    EXPECT_EQ(scaled.parent, design.parent);
    EXPECT_EQ(scaled.text, design.text);
    EXPECT_EQ(scaled.flags, design.flags);
    EXPECT_EQ(scaled.tabOrder, design.tabOrder);
    EXPECT_EQ(scaled.maxLength, design.maxLength);
    EXPECT_EQ(scaled.items, design.items);
    EXPECT_EQ(scaled.hint, design.hint);
}

class ScaledFormLayoutOf : public ::testing::TestWithParam<const FormLayout*> {};

TEST_P(ScaledFormLayoutOf, IsTheDesignItselfAtNinetySixDpi) {
    const FormLayout& design = *GetParam();
    const ScaledFormLayout scaled(design, kDesignDpi);
    const FormLayout& layout = scaled.Layout();
    EXPECT_EQ(layout.name, design.name);
    EXPECT_EQ(layout.caption, design.caption);
    EXPECT_EQ(layout.width, design.width);
    EXPECT_EQ(layout.height, design.height);
    EXPECT_EQ(layout.clientSize, design.clientSize);
    EXPECT_EQ(layout.fontName, design.fontName);
    EXPECT_EQ(layout.fontHeight, design.fontHeight);
    EXPECT_EQ(layout.formFlags, design.formFlags);
    EXPECT_EQ(layout.minWidth, design.minWidth);
    ASSERT_EQ(layout.controls.size(), design.controls.size());
    EXPECT_NE(layout.controls.data(), design.controls.data());  // its own rows
    for (size_t i = 0; i < design.controls.size(); ++i) {
        SCOPED_TRACE(design.controls[i].name);
        ExpectRowsAgree(design.controls[i], layout.controls[i]);
        // Byte for byte: the form a 96-DPI screen shows does not move by a pixel.
        EXPECT_EQ(std::memcmp(&layout.controls[i].place, &design.controls[i].place, sizeof(LayoutRect)), 0);
    }
}

TEST_P(ScaledFormLayoutOf, ScalesPlacesSizesAndFontByTheDpi) {
    const FormLayout& design = *GetParam();
    for (int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const ScaledFormLayout scaled(design, dpi);
        const FormLayout& layout = scaled.Layout();
        EXPECT_EQ(layout.width, ScaleForDpi(design.width, dpi));
        EXPECT_EQ(layout.height, ScaleForDpi(design.height, dpi));
        EXPECT_EQ(layout.fontHeight, ScaleForDpi(design.fontHeight, dpi));
        EXPECT_GT(layout.fontHeight, design.fontHeight);
        EXPECT_EQ(layout.minWidth, ScaleForDpi(design.minWidth, dpi));
        ASSERT_EQ(layout.controls.size(), design.controls.size());
        for (size_t i = 0; i < design.controls.size(); ++i) {
            const ControlLayout& from = design.controls[i];
            const ControlLayout& to = layout.controls[i];
            SCOPED_TRACE(from.name);
            ExpectRowsAgree(from, to);
            EXPECT_EQ(to.place.left, ScaleForDpi(from.place.left, dpi));
            EXPECT_EQ(to.place.top, ScaleForDpi(from.place.top, dpi));
            // The captured picture keeps its size; decorations (transparent) and controls scale.
            const bool picture = from.kind == ControlKind::Image && !(from.flags & kTransparent);
            EXPECT_EQ(to.place.width, picture ? from.place.width : ScaleForDpi(from.place.width, dpi));
            EXPECT_EQ(to.place.height, picture ? from.place.height : ScaleForDpi(from.place.height, dpi));
        }
    }
}

std::string FormName(const ::testing::TestParamInfo<const FormLayout*>& form) { return form.param->name; }

INSTANTIATE_TEST_SUITE_P(Forms, ScaledFormLayoutOf, ::testing::Values(&kMainFormLayout, &kOptionFormLayout), FormName);

}  // namespace
