// A form's layout at another DPI. Wine runs at 96 DPI, so the move to a monitor of another
// scale is the message Windows sends then: WM_DPICHANGED with the new DPI and a suggested place.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestLayouts.h"
#include "Win32TestSupport.h"
#include "forms/FormScaling.h"
#include "win32/Application.h"
#include "win32/Form.h"

namespace {

class DpiForm : public Form {
public:
    DpiForm() {
        Create(kTestLayout);
        SetMinimumWidth(553);
    }
};

// Rows whose window is exactly their table place: not docked, not sized by their text, their
// picture (decorations are) or their dropped list.
bool PlacedAsInTable(const ControlLayout& row) {
    if (row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient)) return false;
    if (row.kind == ControlKind::Image && !(row.flags & kTransparent)) return false;
    if (row.kind == ControlKind::ComboBox) return false;
    return !(row.kind == ControlKind::Label && row.place.width == 0);
}

int FontHeight(HFONT font) {
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}

int MinimumTrackWidth(HWND hwnd) {
    MINMAXINFO info{};
    ::SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info.ptMinTrackSize.x;
}

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class FormDpi : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<DpiForm>(); }
    void TearDown() override {
        form.reset();
        Pump();
    }
    Control& At(size_t row) const { return *form->FindControl(kTestRows[row].name); }

    std::unique_ptr<DpiForm> form;
};

TEST_F(FormDpi, AtNinetySixDpiEveryControlIsAtItsTablePlace) {
    ASSERT_EQ(form->Dpi(), kDesignDpi);
    const RECT outer = WindowRect(form->Handle());
    EXPECT_EQ(outer.right - outer.left, kTestLayout.width);
    EXPECT_EQ(outer.bottom - outer.top, kTestLayout.height);
    EXPECT_EQ(FontHeight(form->Font()), -kTestLayout.fontHeight);
    EXPECT_EQ(MinimumTrackWidth(form->Handle()), 553);
    for (size_t i = 0; i < std::size(kTestRows); ++i) {
        const ControlLayout& row = kTestRows[i];
        if (!IsControl(row.kind) || !PlacedAsInTable(row)) continue;
        SCOPED_TRACE(row.name);
        const RECT bounds = At(i).Bounds();
        EXPECT_EQ(bounds.left, row.place.left);
        EXPECT_EQ(bounds.top, row.place.top);
        EXPECT_EQ(bounds.right - bounds.left, row.place.width);
        EXPECT_EQ(bounds.bottom - bounds.top, row.place.height);
    }
}

TEST_F(FormDpi, AMoveToAMonitorAtOneHundredFiftyPercentScalesTheFormButNoPicture) {
    Image& capture = form->Get<Image>("imgCapture");
    capture.SetSize(300, 200);
    Label& autoSized = form->Get<Label>("lblMulti");
    autoSized.AdjustSize();  // measured in the form's font at 96 DPI
    const int textWidth = autoSized.Width();
    std::vector<RECT> before;
    for (Control* control : form->Controls()) before.push_back(control->Bounds());
    const RECT designPlace = WindowRect(form->Handle());

    const RECT suggested{20, 10, 20 + 900, 10 + 700};  // smaller than 1140 x 854: Wine keeps windows within its screen
    ChangeDpi(form->Handle(), 144, suggested);

    EXPECT_EQ(form->Dpi(), 144);
    EXPECT_TRUE(SameRect(WindowRect(form->Handle()), suggested));
    EXPECT_EQ(FontHeight(form->Font()), -18);
    EXPECT_EQ(MinimumTrackWidth(form->Handle()), 830);  // 553 * 1.5 = 829.5, half up
    for (size_t i = 0; i < std::size(kTestRows); ++i) {
        const ControlLayout& row = kTestRows[i];
        if (!IsControl(row.kind)) continue;
        SCOPED_TRACE(row.name);
        const RECT bounds = At(i).Bounds();
        if (PlacedAsInTable(row) || row.kind == ControlKind::ComboBox) {
            const LayoutRect place = ScalePlace(row, 144);
            EXPECT_EQ(bounds.left, place.left);
            EXPECT_EQ(bounds.top, place.top);
            EXPECT_EQ(bounds.right - bounds.left, place.width);
            if (row.kind != ControlKind::ComboBox) {
                EXPECT_EQ(bounds.bottom - bounds.top, place.height);
            }
        }
    }
    // Docked panels take their scaled widths and heights, and fill the rest as before.
    RECT client{};
    ::GetClientRect(form->Handle(), &client);
    const RECT side = form->FindControl("pnlOption")->Bounds();
    EXPECT_EQ(side.right - side.left, 300);
    EXPECT_EQ(side.right, client.right);
    EXPECT_EQ(side.bottom - side.top, client.bottom);
    const RECT bottom = form->FindControl("pnl")->Bounds();
    EXPECT_EQ(bottom.bottom - bottom.top, 155);  // 103 * 1.5 = 154.5, half up
    EXPECT_EQ(bottom.bottom, side.bottom - side.top);
    const RECT canvas = form->FindControl("sbxCanvas")->Bounds();
    EXPECT_EQ(canvas.right, side.left);
    // The bracket, a transparent decoration, grows with the boxes it joins; the captured
    // picture keeps its place and size.
    const RECT together = form->FindControl("imgTogether")->Bounds();
    EXPECT_EQ(together.left, 102);
    EXPECT_EQ(together.top, 29);
    EXPECT_EQ(together.right - together.left, 24);
    EXPECT_EQ(together.bottom - together.top, 74);
    EXPECT_EQ(capture.Width(), 300);
    EXPECT_EQ(capture.Height(), 200);
    EXPECT_EQ(capture.Bounds().left, 0);
    EXPECT_EQ(capture.Bounds().top, 0);
    // A label sized to its text grows with the font.
    EXPECT_GT(autoSized.Width(), textWidth);

    // And back at 100 %: every control exactly where it was.
    ChangeDpi(form->Handle(), kDesignDpi, designPlace);
    EXPECT_EQ(form->Dpi(), kDesignDpi);
    EXPECT_EQ(FontHeight(form->Font()), -12);
    EXPECT_EQ(MinimumTrackWidth(form->Handle()), 553);
    EXPECT_TRUE(SameRect(WindowRect(form->Handle()), designPlace));
    for (size_t i = 0; i < form->Controls().size(); ++i) {
        SCOPED_TRACE(form->Controls()[i]->Name());
        EXPECT_TRUE(SameRect(form->Controls()[i]->Bounds(), before[i]));
    }
}

}  // namespace
