// The main window in this process: its controls, the settings round trip, the number boxes, the
// capture messages and the selection driven by mouse messages, checked on the picture's pixels
// and on what the view shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainFormTestSupport_win.h"
#include "TestSupport.h"
#include "app/MainForm_win.h"
#include "app/Messages.h"
#include "localisation/MsgResource.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "selection/SelectArea.h"
#include "selection/SelectionTestSupport.h"
#include "settings/FLConfig.h"
#include "settings/IniFile.h"
#include "win32/Application.h"
#include "win32/Win32TestSupport.h"

namespace {

using mainform_test::At;
using mainform_test::PatternPopup;
using mainform_test::PictureOf;

// What the view shows on the screen at a picture pixel.
uint32_t ShownAt(Image& image, int x, int y) {
    HDC dc = ::GetDC(image.Handle());
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(image.Handle(), dc);
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

constexpr int kPatternWidth = 160, kPatternHeight = 120;

class MainFormTest : public ::testing::Test {
protected:
    std::string SettingsFile() const { return dir.File("Framlet.ini"); }

    void Start(const std::string& settings = "", const std::string& resourceIni = "") {
        if (!settings.empty()) WriteTestFile(SettingsFile(), settings);
        if (!resourceIni.empty()) WriteTestFile(dir.File("Resource.ini"), Utf8ToAnsi(resourceIni));
        TheApplication().ResetTerminated();
        form = MakeForm<TfmMain>(MainWindowFiles{SettingsFile(), dir.Path() + "\\"});
        form->Show();
        ::SetForegroundWindow(form->Handle());
        Pump();
    }
    void TearDown() override {
        form.reset();
        TheApplication().ResetTerminated();
        Pump();
    }

    // Keeps the main window off the top-left corner, where the pattern windows go.
    void MoveAside() {
        ::SetWindowPos(form->Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Captures a pattern window in the foreground and returns the pattern.
    MemoryBitmap CapturePattern() {
        MoveAside();
        const MemoryBitmap pattern = SelectionPattern(kPatternWidth, kPatternHeight);
        PatternPopup popup(0, 0, pattern);
        ::SetForegroundWindow(popup.Handle());
        Pump();
        form->CaptureImage(TfmMain::kCaptureWindow);
        return pattern;
    }

    Image& View() { return form->imgCapture(); }
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { ::SendMessageW(View().Handle(), msg, keys, At(x, y)); }
    void DragOnView(int x1, int y1, int x2, int y2, bool right = false) {
        Mouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x1, y1, right ? MK_RBUTTON : MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, (x1 + x2) / 2, (y1 + y2) / 2, right ? MK_RBUTTON : MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, x2, y2, right ? MK_RBUTTON : MK_LBUTTON);
        Mouse(right ? WM_RBUTTONUP : WM_LBUTTONUP, x2, y2);
    }
    Edit& Box(const char* name) { return form->Get<Edit>(name); }
    bool Chosen(const char* name) { return form->Get<RadioButton>(name).Checked(); }
    bool Ticked(const char* name) { return form->Get<CheckBox>(name).Checked(); }
    std::string Settings() { return ReadTestFile(SettingsFile()).value_or("(no file)"); }
    void LeaveBoxFor(Edit& from, Control& to) {
        from.SetFocus();
        to.SetFocus();
        Pump();
    }

    TempDir dir;
    std::unique_ptr<TfmMain> form;
};

TEST_F(MainFormTest, TheWindowIsBuiltAsDesigned) {
    Start();
    EXPECT_EQ(form->CaptionW(), u"Framlet 1.4");
    EXPECT_EQ(ClassOf(form->Handle()), u"TfmMain");
    RECT outer;
    ::GetWindowRect(form->Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 760);
    EXPECT_EQ(outer.bottom - outer.top, 569);
    EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - 760) / 2);
    MINMAXINFO limits{};
    ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 553);
    LOGFONTW font{};
    ::GetObjectW(form->Font(), sizeof font, &font);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(font.lfFaceName)), u"ＭＳ Ｐゴシック");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_TRUE(form->KeyPreview());
    EXPECT_EQ(form->DefaultButton(), &form->Get<Button>("btnSave"));
    EXPECT_FALSE(form->Get<Button>("btnUnSelect").Enabled());
    EXPECT_EQ(View().Width(), 0);
    EXPECT_EQ(View().Height(), 0);
    EXPECT_TRUE(form->Get<ScrollBox>("sbxCanvas").DoubleBuffered());
    EXPECT_EQ(Box("edtWidth").MaxLength(), 4);
    EXPECT_EQ(Box("edtHeight").MaxLength(), 4);
    EXPECT_EQ(Box("edtScaling").MaxLength(), 4);
    EXPECT_EQ(Box("edtFrameSize").MaxLength(), 0);
    EXPECT_FALSE(form->Loading());
    ASSERT_NE(form->SelectArea(), nullptr);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
}

struct LoadCase {
    const char* settings;
    const char* trimChoice;     // the trim radio button chosen afterwards
    const char* reverseChoice;  // the inversion radio button chosen afterwards
    bool reverse, emphasis, frame;
    const char* width;
    const char* height;
    const char* scale;
    const char* frameSize;
};

class LoadControlsTest : public MainFormTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadControlsTest, SettingsFillTheOptionControlsWithoutBeingWritten) {
    const LoadCase& c = GetParam();
    Start(c.settings);
    EXPECT_TRUE(Chosen(c.trimChoice));
    EXPECT_TRUE(Chosen(c.reverseChoice));
    EXPECT_EQ(Ticked("cbxReverse"), c.reverse);
    EXPECT_EQ(Ticked("cbxEmphasis"), c.emphasis);
    EXPECT_EQ(Ticked("cbxFrame"), c.frame);
    EXPECT_EQ(Box("edtWidth").Text(), c.width);
    EXPECT_EQ(Box("edtHeight").Text(), c.height);
    EXPECT_EQ(Box("edtScaling").Text(), c.scale);
    EXPECT_EQ(Box("edtFrameSize").Text(), c.frameSize);
    if (*c.settings) {
        EXPECT_EQ(Settings(), c.settings);  // start-up writes nothing back
    } else {
        EXPECT_FALSE(FileExists(SettingsFile()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    MainForm, LoadControlsTest,
    ::testing::Values(
        LoadCase{"", "rbtnNormal", "rbtnWhiteBlack", false, false, false, "150", "180", "100", "1"},
        LoadCase{"[Trim]\r\nType=1\r\nWidth=300\r\n", "rbtnScaling", "rbtnWhiteBlack", false, false, false, "300",
                 "180", "100", "1"},
        LoadCase{"[Trim]\r\nType=0\r\nWidth=0\r\nHeight=-7\r\nScale=9999\r\n[Effect]\r\nReverse=1\r\nEmphasis=1\r\n"
                 "ReverseType=0\r\nIsFrame=1\r\nFrameSize=123456\r\n",
                 "rbtnProportion", "rbtnAll", true, true, true, "0", "-7", "9999", "123456"},
        LoadCase{"[Trim]\r\nType=2\r\n[Effect]\r\nEmphasis=1\r\n", "rbtnFree", "rbtnWhiteBlack", false, true, false,
                 "150", "180", "100", "1"},
        // Values the controls cannot show leave the design's choices.
        LoadCase{"[Trim]\r\nType=4\r\n[Effect]\r\nReverseType=2\r\n", "rbtnProportion", "rbtnWhiteBlack", false, false,
                 false, "150", "180", "100", "1"}));

TEST_F(MainFormTest, ResourceIniTextsComeAfterFormCreateAndTheMessagesAreProgramWide) {
    Start("[Trim]\r\nWidth=300\r\n",
          "[fmMain]\r\nfmMain_caption=Capture tool\r\nbtnSave_caption=Keep\r\nrbtnScaling_caption=拡大縮小\r\n"
          "edtWidth_text=77\r\n[message]\r\nfmMain_Close_1=終了しますか\r\n");
    EXPECT_EQ(form->CaptionW(), u"Capture tool");
    EXPECT_EQ(form->Get<Button>("btnSave").CaptionW(), u"Keep");
    EXPECT_EQ(form->Get<RadioButton>("rbtnScaling").CaptionW(), u"拡大縮小");
    EXPECT_EQ(Box("edtWidth").Text(), "77");  // the localiser runs after LoadControls
    ASSERT_NE(TheMsgResource(), nullptr);
    EXPECT_EQ(TheMsgResource()->GetMsg(u"message", u"fmMain_Close_1"), u"終了しますか");
}

TEST_F(MainFormTest, ClickingAnOptionWritesTheSettingsAtOnce) {
    Start("[Trim]\r\nType=1\r\nWidth=300\r\n");
    ::SendMessageW(form->Get<RadioButton>("rbtnProportion").Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(form->Config()->TrimType(), 0);
    IniFile written(SettingsFile());
    EXPECT_EQ(written.ReadInteger("Trim", "Type", -1), 0);
    EXPECT_EQ(written.ReadInteger("Trim", "Width", -1), 300);
    ::SendMessageW(form->Get<CheckBox>("cbxFrame").Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(IniFile(SettingsFile()).ReadBool("Effect", "IsFrame", false));
}

struct NumberCase {
    const char* typed;
    const char* shownAfter;
    int32_t stored;
};

class NumberBoxTest : public MainFormTest, public ::testing::WithParamInterface<NumberCase> {};

// A text that is no 32-bit integer gets the current value back; anything else is taken as is.
TEST_P(NumberBoxTest, StoringConvertsTheTextOrPutsTheCurrentValueBack) {
    const NumberCase& c = GetParam();
    Start("[Trim]\r\nWidth=300\r\nHeight=200\r\nScale=50\r\n[Effect]\r\nFrameSize=3\r\n");
    struct Field {
        const char* box;
        int32_t (TFLConfig::*get)() const;
        int32_t before;
    };
    for (const Field& f :
         {Field{"edtWidth", &TFLConfig::Width, 300}, Field{"edtHeight", &TFLConfig::Height, 200},
          Field{"edtScaling", &TFLConfig::Scale, 50}, Field{"edtFrameSize", &TFLConfig::FrameSize, 3}}) {
        Box(f.box).SetText(c.typed);
        form->StoreControls();
        const bool rejected = std::string(c.shownAfter) != c.typed;
        EXPECT_EQ(Box(f.box).Text(), rejected ? std::to_string(f.before) : std::string(c.shownAfter)) << f.box;
        EXPECT_EQ((form->Config()->*f.get)(), rejected ? f.before : c.stored) << f.box;
        Box(f.box).SetText(std::to_string(f.before));
        form->StoreControls();
    }
}

INSTANTIATE_TEST_SUITE_P(MainForm, NumberBoxTest,
                         ::testing::Values(NumberCase{"", "(current)", 0}, NumberCase{"abc", "(current)", 0},
                                           NumberCase{"12a", "(current)", 0}, NumberCase{"-", "(current)", 0},
                                           NumberCase{"2147483648", "(current)", 0}, NumberCase{"0", "0", 0},
                                           NumberCase{"4000", "4000", 4000}, NumberCase{"-5", "-5", -5},
                                           NumberCase{"2147483647", "2147483647", 2147483647}));

TEST_F(MainFormTest, WithAnEffectOnEveryStoreWritesTheFileAgain) {
    Start("[Effect]\r\nReverse=1\r\n");
    WriteTestFile(SettingsFile(), "; replaced behind the program's back\r\n");
    form->StoreControls();
    EXPECT_EQ(IniFile(SettingsFile()).ReadBool("Effect", "Reverse", false), true);

    TearDown();
    Start("[Effect]\r\nReverse=0\r\n");
    const std::string marker = "; replaced behind the program's back\r\n";
    WriteTestFile(SettingsFile(), marker);
    form->StoreControls();
    EXPECT_EQ(Settings(), marker);  // nothing changed, nothing written
}

TEST_F(MainFormTest, TheNumberBoxesTakeDigitsAndBackspaceOnlyAndThreeOfThemFourAtMost) {
    Start();
    struct Expect {
        const char* box;
        const char* shown;
    };
    for (const Expect& e : {Expect{"edtWidth", "1234"}, Expect{"edtHeight", "1234"}, Expect{"edtScaling", "1234"},
                            Expect{"edtFrameSize", "123456"}}) {
        Edit& box = Box(e.box);
        box.SetFocus();
        Pump();  // the box left before stores the controls, which puts values back into empty boxes
        box.SetText("");
        PostChars(box.Handle(), u"a1 -+2.x\t3\x01\x16全4");
        Pump();
        EXPECT_EQ(box.Text(), "1234") << e.box;
        PostChars(box.Handle(), u"56");
        Pump();
        EXPECT_EQ(box.Text(), e.shown) << e.box;
        PostChars(box.Handle(), u"\b");
        Pump();
        EXPECT_EQ(box.Text(), std::string(e.shown).substr(0, std::string(e.shown).size() - 1)) << e.box;
    }
}

TEST_F(MainFormTest, AnEmptiedBoxGetsTheCurrentValueBackWhenTheFocusLeaves) {
    Start("[Trim]\r\nWidth=300\r\n");
    Box("edtWidth").SetFocus();
    Box("edtWidth").SetText("");
    Box("edtHeight").SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return Box("edtWidth").Text() == "300"; }));
    // A changed value is stored when the focus leaves.
    Box("edtHeight").SetText("90");
    Box("edtScaling").SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return IniFile(SettingsFile()).ReadInteger("Trim", "Height", 0) == 90; }));
}

TEST_F(MainFormTest, AWindowCaptureIsTheForegroundWindowAtItsOuterSizeAndBringsTheWindowForward) {
    Start();
    const MemoryBitmap pattern = CapturePattern();
    EXPECT_EQ(View().Width(), kPatternWidth);
    EXPECT_EQ(View().Height(), kPatternHeight);
    EXPECT_TRUE(PictureOf(View()) == pattern);
    EXPECT_EQ(::GetForegroundWindow(), form->Handle());
    EXPECT_EQ(View().CurrentCursor(), Cursor::Arrow);
    EXPECT_EQ(ShownAt(View(), 17, 33), pattern.Pixel(17, 33));
}

TEST_F(MainFormTest, AScreenCaptureIsTheWholeScreen) {
    Start();
    const MemoryBitmap pattern = SelectionPattern(kPatternWidth, kPatternHeight);
    MoveAside();
    PatternPopup popup(0, 0, pattern);
    Pump();
    ::SendMessageW(form->Handle(), WM_CAPTURE_SCREEN, 0, 0);
    EXPECT_EQ(View().Width(), ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(View().Height(), ::GetSystemMetrics(SM_CYSCREEN));
    const MemoryBitmap picture = PictureOf(View());
    for (int y = 0; y < kPatternHeight; y += 7) {
        for (int x = 0; x < kPatternWidth; x += 5) ASSERT_EQ(picture.Pixel(x, y), pattern.Pixel(x, y)) << x << "," << y;
    }
}

TEST_F(MainFormTest, CapturingFromTheTrayTakesThePictureBeforeTheWindowComesBack) {
    Start();
    TheApplication().SetMainForm(form.get());
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const MemoryBitmap pattern = SelectionPattern(width, height);
    PatternPopup popup(0, 0, pattern);
    form->Show();
    ::SetForegroundWindow(form->Handle());
    Pump();
    ::SendMessageW(form->Get<Button>("btnCancel").Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(TheApplication().Minimized());
    EXPECT_FALSE(::IsWindowVisible(form->Handle()));
    Pump();
    ::PostMessageW(form->Handle(), WM_CAPTURE_SCREEN, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(form->Handle()) && View().Width() == width; }));
    EXPECT_FALSE(TheApplication().Minimized());
    EXPECT_TRUE(PictureOf(View()) == pattern);  // not a pixel of the main window in it
    TheApplication().SetMainForm(nullptr);
}

TEST_F(MainFormTest, ADragDrawsTheOutlineAndTheReleaseTheGripsAndEnablesUnselect) {
    Start("[Trim]\r\nType=2\r\n");
    const MemoryBitmap original = CapturePattern();
    TSelectArea& area = *form->SelectArea();

    Mouse(WM_LBUTTONDOWN, 20, 30, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 70, 50, MK_LBUTTON);
    EXPECT_EQ(area.State, TSelectArea::kStateDrawing);
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {20, 30, 70, 50}, false));
    Mouse(WM_MOUSEMOVE, 90, 80, MK_LBUTTON);
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {20, 30, 90, 80}, false));
    EXPECT_FALSE(form->Get<Button>("btnUnSelect").Enabled());
    Mouse(WM_LBUTTONUP, 100, 85);
    EXPECT_EQ(area.State, TSelectArea::kStateSelected);
    EXPECT_EQ(area.Rect, (Rect{20, 30, 100, 85}));
    const MemoryBitmap selected = WithFrame(original, {20, 30, 100, 85}, true);
    EXPECT_TRUE(PictureOf(View()) == selected);
    EXPECT_TRUE(form->Get<Button>("btnUnSelect").Enabled());
    // The view shows what the picture holds, grips included.
    for (const Point& p :
         {Point{20, 30}, Point{17, 27}, Point{60, 57}, Point{100, 85}, Point{102, 87}, Point{50, 50}}) {
        EXPECT_EQ(ShownAt(View(), p.x, p.y), selected.Pixel(p.x, p.y)) << p.x << "," << p.y;
    }

    // A press outside the rectangle and its grips does nothing.
    DragOnView(140, 110, 150, 115);
    EXPECT_EQ(area.State, TSelectArea::kStateSelected);
    EXPECT_TRUE(PictureOf(View()) == selected);

    // Moving it: press inside, release 10 left and 5 up.
    DragOnView(50, 50, 40, 45);
    EXPECT_EQ(area.Rect, (Rect{10, 25, 90, 80}));
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {10, 25, 90, 80}, true));
}

TEST_F(MainFormTest, ARightButtonPressStartsARectangleToo) {
    Start("[Trim]\r\nType=3\r\n");
    const MemoryBitmap original = CapturePattern();
    DragOnView(60, 70, 30, 20, true);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{30, 20, 60, 70}));
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {30, 20, 60, 70}, true));
    EXPECT_TRUE(form->Get<Button>("btnUnSelect").Enabled());
}

// Each pointer move repaints the frame's strips only: a mark put on the screen elsewhere in
// the view survives the move, while every strip shows the picture as it now is.
TEST_F(MainFormTest, APointerMoveRepaintsOnlyTheStripsOfTheFrame) {
    Start("[Trim]\r\nType=2\r\n");
    CapturePattern();
    View().UpdateNow();
    {
        HDC dc = ::GetDC(View().Handle());
        ::SetPixel(dc, 140, 100, RGB(1, 2, 3));
        ::SetPixel(dc, 45, 45, RGB(1, 2, 3));  // inside the rectangle, off its outline
        ::ReleaseDC(View().Handle(), dc);
    }
    Mouse(WM_LBUTTONDOWN, 20, 30, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 70, 60, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 90, 80, MK_LBUTTON);
    const MemoryBitmap picture = PictureOf(View());
    EXPECT_EQ(ShownAt(View(), 140, 100), 0x010203u);
    EXPECT_EQ(ShownAt(View(), 45, 45), 0x010203u);
    // Old outline (x = 70, y = 60) restored, new one shown.
    for (const Point& p : {Point{70, 40}, Point{50, 60}, Point{90, 50}, Point{50, 80}, Point{20, 55}, Point{60, 30}}) {
        EXPECT_EQ(ShownAt(View(), p.x, p.y), picture.Pixel(p.x, p.y)) << p.x << "," << p.y;
    }
    View().InvalidateAll();
    View().UpdateNow();
    EXPECT_EQ(ShownAt(View(), 140, 100), picture.Pixel(140, 100));
}

struct CursorCase {
    int dx, dy;  // from the rectangle (40, 30, 100, 90): 0, 1, 2 mean Left/Top, middle, Right/Bottom
    Cursor cursor;
};

TEST_F(MainFormTest, WhileSelectedThePointerShapeFollowsTheHitTest) {
    Start("[Trim]\r\nType=2\r\n");
    CapturePattern();
    DragOnView(40, 30, 100, 90);
    const int xs[] = {40, 70, 100}, ys[] = {30, 60, 90};
    for (const CursorCase& c :
         {CursorCase{0, 0, Cursor::SizeNWSE}, CursorCase{2, 2, Cursor::SizeNWSE}, CursorCase{0, 1, Cursor::SizeWE},
          CursorCase{2, 1, Cursor::SizeWE}, CursorCase{0, 2, Cursor::SizeNESW}, CursorCase{2, 0, Cursor::SizeNESW},
          CursorCase{1, 0, Cursor::SizeNS}, CursorCase{1, 2, Cursor::SizeNS}}) {
        Mouse(WM_MOUSEMOVE, xs[c.dx] + 2, ys[c.dy] - 3);  // anywhere in the 7 x 7 box
        EXPECT_EQ(View().CurrentCursor(), c.cursor) << c.dx << "," << c.dy;
    }
    Mouse(WM_MOUSEMOVE, 55, 45);
    EXPECT_EQ(View().CurrentCursor(), Cursor::HandPoint);
    Mouse(WM_MOUSEMOVE, 120, 45);
    EXPECT_EQ(View().CurrentCursor(), Cursor::Arrow);
    // While adjusting, the cursor stays what it was when the button went down.
    Mouse(WM_MOUSEMOVE, 55, 45);
    Mouse(WM_LBUTTONDOWN, 55, 45, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 130, 110, MK_LBUTTON);
    EXPECT_EQ(View().CurrentCursor(), Cursor::HandPoint);
    Mouse(WM_LBUTTONUP, 130, 110);
}

TEST_F(MainFormTest, EscFromAnEditBoxClearsTheSelectionAndRestoresEveryPixel) {
    Start("[Trim]\r\nType=2\r\n");
    const MemoryBitmap original = CapturePattern();
    DragOnView(40, 30, 100, 90);
    Mouse(WM_MOUSEMOVE, 41, 31);  // over grip 0
    ASSERT_EQ(View().CurrentCursor(), Cursor::SizeNWSE);
    Box("edtHeight").SetFocus();
    PostKey(Box("edtHeight").Handle(), VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return form->SelectArea()->State == TSelectArea::kStateNone; }));
    EXPECT_TRUE(PictureOf(View()) == original);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{40, 30, 100, 90}));  // kept for Save and Print
    EXPECT_FALSE(form->Get<Button>("btnUnSelect").Enabled());
    EXPECT_EQ(View().CurrentCursor(), Cursor::Arrow);
    for (int y = 25; y < 96; y += 5) {
        for (int x = 35; x < 106; x += 5) ASSERT_EQ(ShownAt(View(), x, y), original.Pixel(x, y)) << x << "," << y;
    }
    // Once cleared, a new rectangle can be drawn.
    DragOnView(5, 5, 15, 15);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{5, 5, 15, 15}));
}

TEST_F(MainFormTest, TheUnselectButtonClearsAndDisablesItself) {
    Start("[Trim]\r\nType=2\r\n");
    const MemoryBitmap original = CapturePattern();
    DragOnView(40, 30, 100, 90);
    Button& unselect = form->Get<Button>("btnUnSelect");
    unselect.SetFocus();
    ::SendMessageW(unselect.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
    EXPECT_FALSE(unselect.Enabled());
    EXPECT_FALSE(unselect.Focused());
    EXPECT_TRUE(PictureOf(View()) == original);
}

TEST_F(MainFormTest, ANewCaptureDropsTheSelectionWithoutErasingIt) {
    Start("[Trim]\r\nType=2\r\n");
    CapturePattern();
    DragOnView(40, 30, 100, 90);
    Mouse(WM_MOUSEMOVE, 60, 60);
    ASSERT_EQ(View().CurrentCursor(), Cursor::HandPoint);
    const MemoryBitmap fresh = CapturePattern();
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
    EXPECT_TRUE(PictureOf(View()) == fresh);
    EXPECT_EQ(View().CurrentCursor(), Cursor::Arrow);
    // The button stays as it was; a click on it now only disables it.
    EXPECT_TRUE(form->Get<Button>("btnUnSelect").Enabled());
    form->btnUnSelectClick(nullptr);
    EXPECT_TRUE(PictureOf(View()) == fresh);
    EXPECT_FALSE(form->Get<Button>("btnUnSelect").Enabled());
}

TEST_F(MainFormTest, InProportionModeChangedSizesRefitTheShownRectangleFromItsTopLeft) {
    Start("[Trim]\r\nType=0\r\nWidth=150\r\nHeight=180\r\n");
    const MemoryBitmap original = CapturePattern();
    DragOnView(10, 10, 60, 20);  // fitted while drawn: 50 wide, so 60 high
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{10, 10, 60, 70}));
    Box("edtHeight").SetText("90");
    LeaveBoxFor(Box("edtHeight"), Box("edtWidth"));
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{10, 10, 110, 70}));
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {10, 10, 110, 70}, true));
}

TEST_F(MainFormTest, ChoosingRatioRefitsAndOtherModesLeaveTheRectangle) {
    Start("[Trim]\r\nType=2\r\nWidth=150\r\nHeight=180\r\n");
    const MemoryBitmap original = CapturePattern();
    DragOnView(10, 10, 110, 20);
    ::SendMessageW(form->Get<RadioButton>("rbtnProportion").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{10, 10, 110, 130}));
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {10, 10, 110, 130}, true));
    ::SendMessageW(form->Get<RadioButton>("rbtnScaling").Handle(), BM_CLICK, 0, 0);
    ::SendMessageW(form->Get<RadioButton>("rbtnFree").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{10, 10, 110, 130}));
    EXPECT_TRUE(PictureOf(View()) == WithFrame(original, {10, 10, 110, 130}, true));
}

TEST_F(MainFormTest, ADoubleClickInsideMovesNothingAndAsksForSaveAfterwards) {
    // Saved by automatic name without the dialog, into the test's folder.
    Start("[Trim]\r\nType=2\r\n[Option]\r\nIsDefaultFolder=1\r\nIsAutoFileName=1\r\nIsNoUseDialog=1\r\nDefaultFolder=" +
          dir.Path() + "\r\n");
    CapturePattern();
    DragOnView(40, 30, 100, 90);
    Mouse(WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 60, 60);
    MSG pending;
    EXPECT_FALSE(::PeekMessageW(&pending, form->Handle(), WM_SAVE_REQUEST, WM_SAVE_REQUEST, PM_NOREMOVE));
    Mouse(WM_LBUTTONDBLCLK, 60, 60, MK_LBUTTON);
    EXPECT_TRUE(::PeekMessageW(&pending, form->Handle(), WM_SAVE_REQUEST, WM_SAVE_REQUEST, PM_NOREMOVE));
    EXPECT_EQ(pending.wParam, 0u);
    EXPECT_EQ(pending.lParam, 0);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateAdjusting);  // the second press began a move
    Mouse(WM_LBUTTONUP, 60, 60);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateSelected);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{40, 30, 100, 90}));
    Pump();  // the request is handled
    EXPECT_FALSE(::PeekMessageW(&pending, form->Handle(), WM_SAVE_REQUEST, WM_SAVE_REQUEST, PM_NOREMOVE));
    EXPECT_TRUE(ReadTestFile(dir.File("Capture_0001.jpg")).has_value());
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
    EXPECT_EQ(form->SelectArea()->Rect, (Rect{40, 30, 100, 90}));
    TheApplication().Restore();
}

TEST_F(MainFormTest, DestroyingTheWindowStoresTheControlsAndFreesWhatItOwns) {
    Start("[Trim]\r\nWidth=300\r\n");
    Box("edtWidth").SetText("321");  // never left, so not stored yet
    ::SendMessageW(form->Get<CheckBox>("cbxEmphasis").Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(IniFile(SettingsFile()).ReadInteger("Trim", "Width", 0), 300);
    ASSERT_NE(TheMsgResource(), nullptr);
    ::DestroyWindow(form->Handle());
    IniFile written(SettingsFile());
    EXPECT_EQ(written.ReadInteger("Trim", "Width", 0), 321);
    EXPECT_TRUE(written.ReadBool("Effect", "Emphasis", false));
    EXPECT_EQ(form->Config(), nullptr);
    EXPECT_EQ(form->SelectArea(), nullptr);
    EXPECT_EQ(TheMsgResource(), nullptr);
}

}  // namespace

namespace {

// The application's events as the form finds them and leaves them: each records its calls.
class TrayTest : public MainFormTest {
protected:
    void SetUp() override {
        Application& app = TheApplication();
        keptMinimize = app.OnMinimize;
        keptRestore = app.OnRestore;
        app.OnMinimize = [this] { calls += "m(" + std::string(form && form->InTray() ? "tray" : "none") + ")"; };
        app.OnRestore = [this] { calls += "r(" + std::string(form && form->InTray() ? "tray" : "none") + ")"; };
        app.Restore();  // an earlier test may have left the application minimised
        calls.clear();
    }
    void TearDown() override {
        MainFormTest::TearDown();
        TheApplication().OnMinimize = keptMinimize;
        TheApplication().OnRestore = keptRestore;
    }
    std::string calls;
    std::function<void()> keptMinimize, keptRestore;
};

TEST_F(TrayTest, TheFirstShowingGoesToTheTrayThroughTheChainedHandlersWhichRunFirst) {
    Start();
    // FormShow's posted request has been handled: the old handler saw no icon yet.
    EXPECT_EQ(calls, "m(none)");
    EXPECT_TRUE(TheApplication().Minimized());
    EXPECT_TRUE(form->InTray());
    TheApplication().Restore();
    EXPECT_EQ(calls, "m(none)r(tray)");
    EXPECT_FALSE(form->InTray());
}

TEST_F(TrayTest, MinimisingTwiceAddsTheIconOnceAndRestoringTwiceRemovesItOnce) {
    Start();
    TheApplication().Restore();
    calls.clear();
    form->AddTrayIcon();
    form->AddTrayIcon();
    EXPECT_TRUE(form->InTray());
    form->RemoveTrayIcon();
    EXPECT_FALSE(form->InTray());
    form->RemoveTrayIcon();
    EXPECT_FALSE(form->InTray());
    EXPECT_EQ(calls, "");
}

TEST_F(TrayTest, OnlyALeftDoubleClickOnTheIconRestores) {
    Start();
    ASSERT_TRUE(TheApplication().Minimized());
    for (const UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDBLCLK, WM_MOUSEMOVE}) {
        ::SendMessageW(form->Handle(), WM_TRAY_NOTIFY, 1, mouse);
        EXPECT_TRUE(TheApplication().Minimized()) << mouse;
    }
    ::SendMessageW(form->Handle(), WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(TheApplication().Minimized());
    EXPECT_FALSE(form->InTray());
}

TEST_F(TrayTest, ARestartedShellGetsTheIconAgainOnlyWhileInTheTray) {
    Start();
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ::SendMessageW(form->Handle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(form->InTray());
    TheApplication().Restore();
    ::SendMessageW(form->Handle(), taskbarCreated, 0, 0);
    EXPECT_FALSE(form->InTray());
}

TEST_F(TrayTest, DestroyingTheWindowPutsTheHandlersBackAndTakesTheIconAway) {
    Start();
    ASSERT_TRUE(form->InTray());
    ::DestroyWindow(form->Handle());
    calls.clear();
    TheApplication().Restore();
    TheApplication().Minimize();
    EXPECT_EQ(calls, "r(none)m(none)");  // the form's own handlers are gone
}

TEST_F(TrayTest, EveryWayOfMinimisingTheMainWindowSendsTheProgramToTheTray) {
    Start();
    TheApplication().SetMainForm(form.get());
    TheApplication().Restore();
    Pump();
    struct Way {
        const char* what;
        std::function<void()> minimise;
    };
    const Way ways[] = {
        {"the minimise box (system command)", [&] { ::SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
        {"ShowWindow from outside", [&] { ::ShowWindow(form->Handle(), SW_MINIMIZE); }},
        {"Minimize from code", [&] { TheApplication().Minimize(); }},
    };
    for (const Way& way : ways) {
        calls.clear();
        way.minimise();
        Pump();
        EXPECT_FALSE(::IsWindowVisible(form->Handle())) << way.what;
        EXPECT_TRUE(TheApplication().Minimized()) << way.what;
        EXPECT_TRUE(form->InTray()) << way.what;
        TheApplication().Restore();
        Pump();
        EXPECT_TRUE(::IsWindowVisible(form->Handle())) << way.what;
        EXPECT_FALSE(::IsIconic(form->Handle())) << way.what;
        EXPECT_EQ(calls, "m(none)r(tray)") << way.what;  // each event once
    }
    TheApplication().SetMainForm(nullptr);
}

TEST_F(TrayTest, AnEndingSessionDestroysTheMainWindowAfterSavingAndEndsTheMessageLoop) {
    Start("[Trim]\r\nWidth=300\r\n");
    TheApplication().SetMainForm(form.get());
    Box("edtWidth").SetText("321");  // never left, so not stored yet
    ASSERT_EQ(::SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageW(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_EQ(IniFile(SettingsFile()).ReadInteger("Trim", "Width", 0), 321);
    Pump();
    EXPECT_TRUE(TheApplication().Terminated());
}

TEST_F(TrayTest, TheEndOfTheSessionClosesWithoutAQuestion) {
    Start();
    // A question box would block this call: the form must answer at once.
    EXPECT_EQ(::SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    bool canClose = false;
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

}  // namespace
