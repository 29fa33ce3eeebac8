#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "TestLayouts.h"
#include "Win32TestSupport.h"
#include "platform/Text.h"
#include "win32/Application.h"
#include "win32/Form.h"

namespace {

class TestForm : public Form {
public:
    TestForm() {
        Create(kTestLayout);
        SetPosition(FormPosition::ScreenCenter);
    }
};

std::u16string Lower(std::u16string s) {
    for (auto& ch : s) ch = static_cast<char16_t>(std::towlower(ch));
    return s;
}

std::u16string ExpectedClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Panel: return u"framletpanel";
        case ControlKind::GroupBox: return u"framletgroupbox";
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::Button:
        case ControlKind::BitmapButton: return u"button";
        case ControlKind::Edit: return u"edit";
        case ControlKind::ComboBox: return u"combobox";
        case ControlKind::Label:
        case ControlKind::Bevel: return u"static";
        case ControlKind::ScrollBox: return u"framletscrollbox";
        case ControlKind::Image: return u"framletimage";
        default: return u"";
    }
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheApplication().ResetTerminated();
        form = std::make_unique<TestForm>();
    }
    void TearDown() override {
        form.reset();
        TheApplication().SetMainForm(nullptr);
        Pump();
        TheApplication().ResetTerminated();
    }
    void ShowAndActivate() {
        form->Show();
        ::SetForegroundWindow(form->Handle());
        Pump();
    }
    Control& C(const char* name) { return form->Get<Control>(name); }
    std::string Focused() {
        Control* active = form->ActiveControl();
        return active ? active->Name() : "(none)";
    }
    std::unique_ptr<TestForm> form;
};

TEST_F(FormTest, EveryControlRowMakesAChildWindowOfItsKindUnderItsParentWithItsText) {
    EXPECT_EQ(Lower(ClassOf(form->Handle())), u"tfmtest");
    EXPECT_EQ(form->CaptionW(), u"テスト 1.4");
    EXPECT_EQ(form->Name(), "fmTest");
    size_t controls = 0;
    for (const ControlLayout& row : kTestRows) {
        SCOPED_TRACE(row.name);
        Control* control = form->FindControl(row.name);
        if (!IsControl(row.kind)) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ++controls;
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Kind(), row.kind);
        ASSERT_TRUE(::IsWindow(control->Handle()));
        EXPECT_EQ(Lower(ClassOf(control->Handle())), ExpectedClass(row.kind));
        HWND parent = *row.parent ? form->FindControl(row.parent)->Handle() : form->Handle();
        EXPECT_EQ(::GetParent(control->Handle()), parent);
        EXPECT_EQ(::GetDlgCtrlID(control->Handle()), control->Id());
        EXPECT_EQ(control->TextW(), Utf8ToUtf16(row.text));
        EXPECT_EQ(control->Enabled(), !(row.flags & kDisabled));
    }
    EXPECT_EQ(form->Controls().size(), controls);
    EXPECT_EQ(form->Controls().front()->Name(), "pnlOption");  // table order
}

TEST_F(FormTest, ControlsSitWhereTheTableAndTheDockingPutThem) {
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    RECT window;
    ::GetWindowRect(form->Handle(), &window);
    EXPECT_EQ(window.right - window.left, 760);
    EXPECT_EQ(window.bottom - window.top, 569);
    auto place = [&](const char* name) {
        const RECT rc = C(name).Bounds();
        return DockRect{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    };
    const int cw = client.right;
    const int ch = client.bottom;
    EXPECT_EQ(place("pnlOption"), (DockRect{cw - 200, 0, 200, ch}));
    EXPECT_EQ(place("sbxCanvas"), (DockRect{0, 0, cw - 200, ch}));
    EXPECT_EQ(place("pnl"), (DockRect{0, ch - 103, 200, 103}));
    EXPECT_EQ(place("bvlBorder2"), (DockRect{0, 0, 200, 2}));
    for (const ControlLayout& row : kTestRows) {
        if (!IsControl(row.kind) || (row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient))) continue;
        SCOPED_TRACE(row.name);
        const DockRect got = place(row.name);
        EXPECT_EQ(got.left, row.place.left);
        EXPECT_EQ(got.top, row.place.top);
        if (row.kind == ControlKind::Label && row.place.width == 0) {
            EXPECT_GT(got.width, 0);
            EXPECT_GT(got.height, 0);
        } else {
            EXPECT_EQ(got.width, row.place.width);
            if (row.kind != ControlKind::ComboBox) {
                EXPECT_EQ(got.height, row.place.height);
            }
        }
    }
}

TEST_F(FormTest, EveryControlGetsTheFormFontAndLabelsFitTheirText) {
    for (Control* control : form->Controls()) {
        SCOPED_TRACE(control->Name());
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control->Handle(), WM_GETFONT, 0, 0));
        ASSERT_EQ(font, form->Font());
    }
    LOGFONTW logFont{};
    ASSERT_TRUE(::GetObjectW(form->Font(), sizeof logFont, &logFont));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(logFont.lfFaceName)), u"ＭＳ Ｐゴシック");
    EXPECT_EQ(logFont.lfHeight, -12);
    EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);

    auto textWidth = [&](const std::u16string& text) {
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, form->Font());
        SIZE size{};
        ::GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        return size.cx;
    };
    auto& label = form->Get<Label>("lblMulti");
    EXPECT_TRUE(label.AutoSize());
    EXPECT_EQ(label.Width(), textWidth(u"×"));
    label.SetCaptionW(u"かける");
    EXPECT_EQ(label.Width(), textWidth(u"かける"));
    auto& fixed = form->Get<Label>("lblNote");
    EXPECT_FALSE(fixed.AutoSize());
    fixed.SetCaptionW(u"ずっと長い注意書きの文");
    EXPECT_EQ(fixed.Width(), 150);
}

TEST_F(FormTest, TabWalksTheTableOrderThroughNestedContainersAndBack) {
    ShowAndActivate();
    C("btnSave").SetFocus();
    const std::vector<std::string> cycle = {"btnSave",        "btnPrint",  "btnCancel",  "rbtnProportion",
                                            "edtWidth",       "edtHeight", "cbxReverse", "cbxEmphasis",
                                            "rbtnWhiteBlack", "cmbFormat", "btnOption"};
    std::vector<std::string> forward = {Focused()};
    for (size_t i = 0; i < cycle.size(); ++i) {
        PostKey(::GetFocus(), VK_TAB);
        Pump();
        forward.push_back(Focused());
    }
    std::vector<std::string> expected = cycle;
    expected.push_back("btnSave");  // round again
    EXPECT_EQ(forward, expected);

    std::vector<std::string> backward;
    {
        HeldKey shift(VK_SHIFT);
        for (size_t i = 0; i < cycle.size(); ++i) {
            PostKey(::GetFocus(), VK_TAB);
            Pump();
            backward.push_back(Focused());
        }
    }
    std::vector<std::string> reversed(cycle.rbegin(), cycle.rend());
    EXPECT_EQ(backward, reversed);
}

TEST_F(FormTest, TabEntersARadioGroupAtItsChosenButtonAndSelectsEditText) {
    ShowAndActivate();
    form->Get<RadioButton>("rbtnScaling").SetChecked(true);
    auto names = [&] {
        std::vector<std::string> out;
        for (Control* c : form->TabStops()) out.push_back(c->Name());
        return out;
    };
    auto has = [&](const char* name) {
        const auto all = names();
        return std::find(all.begin(), all.end(), name) != all.end();
    };
    EXPECT_TRUE(has("rbtnScaling"));
    EXPECT_FALSE(has("rbtnProportion"));
    form->Get<RadioButton>("rbtnScaling").SetChecked(false);
    EXPECT_TRUE(has("rbtnProportion"));  // nothing chosen: the group's first button
    EXPECT_FALSE(has("rbtnScaling"));
    C("btnUnSelect").SetEnabled(true);
    EXPECT_TRUE(has("btnUnSelect"));
    C("btnUnSelect").SetEnabled(false);
    EXPECT_FALSE(has("btnUnSelect"));
    form->Hide();
    EXPECT_TRUE(names().empty());  // nothing of a hidden form takes the focus

    ShowAndActivate();
    C("rbtnProportion").SetFocus();
    PostKey(::GetFocus(), VK_TAB);
    Pump();
    ASSERT_EQ(Focused(), "edtWidth");
    DWORD start = 1;
    DWORD end = 0;
    ::SendMessageW(C("edtWidth").Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
}

TEST_F(FormTest, RadioButtonsClearTheirOwnGroupOnlyAndRaiseClickOnChange) {
    ShowAndActivate();
    std::vector<std::string> clicks;
    for (Control* c : form->Controls()) {
        if (auto* radio = dynamic_cast<RadioButton*>(c)) {
            radio->OnClick = [&](Control& sender) { clicks.push_back(sender.Name()); };
        }
    }
    auto checked = [&](const char* name) { return form->Get<RadioButton>(name).Checked(); };
    ::SendMessageW(C("rbtnFree").Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(checked("rbtnFree"));
    EXPECT_FALSE(checked("rbtnProportion"));
    EXPECT_TRUE(checked("rbtnWhiteBlack"));  // the other group is untouched
    EXPECT_EQ(clicks, std::vector<std::string>{"rbtnFree"});

    ::SendMessageW(C("rbtnFree").Handle(), BM_CLICK, 0, 0);  // already chosen: no change, no event
    EXPECT_EQ(clicks.size(), 1u);

    form->Get<RadioButton>("rbtnNormal").SetChecked(true);  // from code, as a click
    EXPECT_TRUE(checked("rbtnNormal"));
    EXPECT_FALSE(checked("rbtnFree"));
    EXPECT_EQ(clicks.back(), "rbtnNormal");

    form->Get<RadioButton>("rbtnAll").SetChecked(true);
    EXPECT_TRUE(checked("rbtnAll"));
    EXPECT_FALSE(checked("rbtnWhiteBlack"));
    EXPECT_TRUE(checked("rbtnNormal"));
    EXPECT_EQ(form->Get<RadioButton>("rbtnAll").Group(), form->Get<RadioButton>("rbtnWhiteBlack").Group());
    EXPECT_NE(form->Get<RadioButton>("rbtnAll").Group(), form->Get<RadioButton>("rbtnNormal").Group());

    // Arrows move within the group, wrapping, and choose as they go.
    C("rbtnNormal").SetFocus();
    PostKey(::GetFocus(), VK_DOWN);
    Pump();
    EXPECT_EQ(Focused(), "rbtnProportion");
    EXPECT_TRUE(checked("rbtnProportion"));
    EXPECT_FALSE(checked("rbtnNormal"));
    PostKey(::GetFocus(), VK_UP);
    Pump();
    EXPECT_EQ(Focused(), "rbtnNormal");
    EXPECT_TRUE(checked("rbtnNormal"));
}

TEST_F(FormTest, CheckBoxesRaiseClickForUsersAndForCodeChanges) {
    ShowAndActivate();
    auto& box = form->Get<CheckBox>("cbxReverse");
    int clicks = 0;
    box.OnClick = [&](Control&) { ++clicks; };
    ::SendMessageW(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 1);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetChecked(false);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(form->Get<CheckBox>("cbxEmphasis").Checked());  // ticked in the table
}

TEST_F(FormTest, EditBoxesLimitTypingAndFilterCharactersBeforeTheBoxSeesThem) {
    ShowAndActivate();
    auto& edit = form->Get<Edit>("edtWidth");
    EXPECT_EQ(edit.MaxLength(), 4);
    EXPECT_EQ(::SendMessageW(edit.Handle(), EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_EQ(form->Get<Edit>("edtHeight").MaxLength(), 4);
    edit.SetFocus();
    edit.SetText("");
    PostChars(edit.Handle(), u"123456");
    Pump();
    EXPECT_EQ(edit.Text(), "1234");

    edit.SetText("");
    std::u16string seen;
    edit.OnKeyPress = [&](Control&, char16_t& ch) {
        seen += ch;
        if (ch != 8 && (ch < u'0' || ch > u'9')) ch = 0;
    };
    PostChars(edit.Handle(), u"a1b2 -3\x1b");
    Pump();
    EXPECT_EQ(edit.Text(), "123");
    EXPECT_EQ(seen, u"a1b2 -3\x1b");
    PostChars(edit.Handle(), u"\b");
    Pump();
    EXPECT_EQ(edit.Text(), "12");

    edit.OnKeyPress = [](Control&, char16_t& ch) {
        if (ch == u'x') ch = u'9';
    };
    PostChars(edit.Handle(), u"x");
    Pump();
    EXPECT_EQ(edit.Text(), "129");

    edit.SetText("12345");  // code is not limited
    EXPECT_EQ(edit.Text(), "12345");
}

TEST_F(FormTest, FocusLostIsRaisedAfterTheFocusMovedWithinTheForm) {
    ShowAndActivate();
    auto& width = form->Get<Edit>("edtWidth");
    std::vector<std::string> exits;
    HWND focusDuringEvent = nullptr;
    width.OnExit = [&](Control& sender) {
        exits.push_back(sender.Name());
        focusDuringEvent = ::GetFocus();
    };
    width.SetFocus();
    Pump();
    C("edtHeight").SetFocus();
    EXPECT_TRUE(exits.empty());  // not from inside the focus change
    Pump();
    EXPECT_EQ(exits, std::vector<std::string>{"edtWidth"});
    EXPECT_EQ(focusDuringEvent, C("edtHeight").Handle());

    // Focus going to another window is not leaving the box within the form.
    width.SetFocus();
    Pump();
    TestForm other;
    other.Show();
    other.Get<Edit>("edtHeight").SetFocus();
    Pump();
    EXPECT_EQ(exits.size(), 1u);
}

TEST_F(FormTest, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
    ShowAndActivate();
    std::vector<std::string> clicks;
    for (const char* name : {"btnSave", "btnPrint", "btnCancel", "btnOption"}) {
        form->Get<Button>(name).OnClick = [&](Control& sender) { clicks.push_back(sender.Name()); };
    }
    EXPECT_EQ(form->DefaultButton(), &C("btnSave"));
    EXPECT_EQ(form->CancelButton(), &C("btnCancel"));

    auto& edit = form->Get<Edit>("edtWidth");
    edit.SetFocus();
    PostKey(edit.Handle(), VK_RETURN);
    Pump();
    EXPECT_EQ(clicks, std::vector<std::string>{"btnSave"});
    EXPECT_EQ(edit.Text(), "150");

    C("btnOption").SetFocus();  // Enter on another button clicks that one
    PostKey(::GetFocus(), VK_RETURN);
    Pump();
    EXPECT_EQ(clicks.back(), "btnOption");

    C("cbxReverse").SetFocus();
    PostKey(::GetFocus(), VK_ESCAPE);
    Pump();
    EXPECT_EQ(clicks.back(), "btnCancel");
    EXPECT_EQ(clicks.size(), 3u);

    C("btnSave").SetEnabled(false);  // a disabled default button is not clicked
    edit.SetFocus();
    PostKey(edit.Handle(), VK_RETURN);
    Pump();
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(FormTest, EnterFromTheRealKeyboardReachesTheDefaultButton) {
    ShowAndActivate();
    int saves = 0;
    form->Get<Button>("btnSave").OnClick = [&](Control&) { ++saves; };
    C("edtHeight").SetFocus();
    ASSERT_EQ(::GetForegroundWindow(), form->Handle());
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(::SendInput(2, keys, sizeof keys[0]), 2u);
    EXPECT_TRUE(PumpUntil([&] { return saves == 1; }));
}

TEST_F(FormTest, KeyPreviewSeesEscFromEveryControlBeforeTheCancelButton) {
    ShowAndActivate();
    std::vector<std::string> log;
    form->Get<Button>("btnCancel").OnClick = [&](Control&) { log.push_back("cancel"); };
    bool swallow = false;
    form->OnKeyDown = [&](unsigned& key, ShiftState) {
        if (key != VK_ESCAPE) return;
        log.push_back("preview:" + Focused());
        if (swallow) key = 0;
    };
    PostKey(C("edtWidth").Handle(), VK_ESCAPE);  // key preview is off
    Pump();
    EXPECT_EQ(log, std::vector<std::string>{"cancel"});

    form->SetKeyPreview(true);
    log.clear();
    for (const char* name : {"edtWidth", "btnOption", "cbxReverse", "cmbFormat", "rbtnWhiteBlack"}) {
        C(name).SetFocus();
        PostKey(::GetFocus(), VK_ESCAPE);
        Pump();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"preview:edtWidth", "cancel", "preview:btnOption", "cancel",
                                             "preview:cbxReverse", "cancel", "preview:cmbFormat", "cancel",
                                             "preview:rbtnWhiteBlack", "cancel"}));
    swallow = true;
    log.clear();
    C("edtHeight").SetFocus();
    PostKey(::GetFocus(), VK_ESCAPE);
    Pump();
    EXPECT_EQ(log, std::vector<std::string>{"preview:edtHeight"});
}

TEST_F(FormTest, AltWithAMnemonicClicksItsButton) {
    ShowAndActivate();
    int clicks = 0;
    form->Get<Button>("btnOption").OnClick = [&](Control&) { ++clicks; };
    ::PostMessageW(C("edtWidth").Handle(), WM_SYSCHAR, u'p', 1 | (1 << 29));
    Pump();
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormTest, CreationEventRunsOnceAfterTheWholeConstructorWithChainedHandlers) {
    struct Chained : Form {
        explicit Chained(std::vector<std::string>& log) : log_(log) {
            Create(kTestLayout);
            OnCreate = [this] { log_.push_back(std::string("FormCreate built=") + (built_ ? "1" : "0")); };
            // A component made later in the constructor chains in front, as the localiser does.
            auto previous = OnCreate;
            OnCreate = [this, previous] {
                if (previous) previous();
                log_.push_back("after:" + Get<Edit>("edtWidth").Text());
            };
            built_ = true;
        }
        std::vector<std::string>& log_;
        bool built_ = false;
    };
    std::vector<std::string> log;
    auto chained = MakeForm<Chained>(log);
    EXPECT_EQ(log, (std::vector<std::string>{"FormCreate built=1", "after:150"}));
    chained->AfterConstruction();
    EXPECT_EQ(log.size(), 2u);

    CapturedErrors errors;
    struct Failing : Form {
        Failing() {
            Create(kDialogLayout);
            OnCreate = [] { throw AppError("作成に失敗"); };
        }
    };
    auto failing = MakeForm<Failing>();
    EXPECT_EQ(CapturedErrors::texts(), std::vector<std::string>{"作成に失敗"});
    EXPECT_TRUE(::IsWindow(failing->Handle()));
}

TEST_F(FormTest, ShowEventComesWithShowingNotWithEveryShowWindow) {
    int shows = 0;
    form->OnShow = [&] { ++shows; };
    form->Show();
    form->Show();
    EXPECT_EQ(shows, 1);
    form->Hide();
    form->Show();
    EXPECT_EQ(shows, 2);
    RECT rc;
    ::GetWindowRect(form->Handle(), &rc);
    EXPECT_EQ(rc.left, (::GetSystemMetrics(SM_CXSCREEN) - 760) / 2);
    EXPECT_EQ(rc.top, (::GetSystemMetrics(SM_CYSCREEN) - 569) / 2);
}

TEST_F(FormTest, MinimumWidthLimitsSizing) {
    MINMAXINFO info{};
    ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(info.ptMinTrackSize.x, 553);
    form->SetMinimumWidth(553);
    info = MINMAXINFO{};
    ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 553);
}

TEST_F(FormTest, ClosingTheMainFormAsksThenDestroysItWithControlsStillThere) {
    TheApplication().SetMainForm(form.get());
    form->Show();
    bool allow = false;
    std::vector<std::string> log;
    form->OnCloseQuery = [&](bool& canClose) {
        log.push_back("query");
        canClose = allow;
    };
    form->OnClose = [&] { log.push_back("close"); };
    form->OnDestroy = [&] { log.push_back("destroy:" + form->Get<Edit>("edtWidth").Text()); };
    EXPECT_EQ(::SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form->Visible());
    allow = true;
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"query", "query", "query", "close", "destroy:150"}));
    EXPECT_EQ(form->Handle(), nullptr);
}

TEST_F(FormTest, TextsOfEveryKindCanBeReadAndReplacedInBothSpellings) {
    const std::string ansiWidth = Utf8ToAnsi("幅");
    auto& edit = form->Get<Edit>("edtWidth");
    EXPECT_EQ(edit.Hint(), ansiWidth);  // from the table
    edit.SetHint(Utf8ToAnsi("ヒント"));
    EXPECT_EQ(edit.Hint(), Utf8ToAnsi("ヒント"));
    edit.SetText(ansiWidth);
    EXPECT_EQ(edit.TextW(), u"幅");
    EXPECT_EQ(edit.Caption(), ansiWidth);

    auto& group = C("gbxTrim");
    EXPECT_EQ(group.Caption(), Utf8ToAnsi("切り取り設定"));
    group.SetCaption("Trim");
    EXPECT_EQ(group.CaptionW(), u"Trim");
    C("pnlOption").SetCaption("panel");
    EXPECT_EQ(GetWindowTextW16(C("pnlOption").Handle()), u"panel");
    C("imgCapture").SetCaption("picture");
    EXPECT_EQ(C("imgCapture").Caption(), "picture");

    auto& combo = form->Get<ComboBox>("cmbFormat");
    EXPECT_EQ(combo.Items(), (std::vector<std::string>{"JPEG", Utf8ToAnsi("ビットマップ")}));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), Utf8ToAnsi("ビットマップ"));
    combo.SetItem(1, "Bitmap");
    EXPECT_EQ(combo.Items(), (std::vector<std::string>{"JPEG", "Bitmap"}));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), "Bitmap");
    EXPECT_EQ(GetWindowTextW16(combo.Handle()), u"Bitmap");
    combo.SetItem(2, "never added");
    EXPECT_EQ(combo.ItemCount(), 2u);
    combo.SetText("JPEG");
    EXPECT_EQ(combo.ItemIndex(), 0);
    combo.SetText("no such item");
    EXPECT_EQ(combo.ItemIndex(), 0);

    form->SetCaption(Utf8ToAnsi("新しい題"));
    EXPECT_EQ(form->CaptionW(), u"新しい題");
    EXPECT_EQ(form->Caption(), Utf8ToAnsi("新しい題"));
}

TEST_F(FormTest, LabelsInRedAndBevelsFollowTheirShape) {
    HDC dc = ::GetDC(form->Handle());
    ::SendMessageW(C("pnlOption").Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(C("lblNote").Handle()));
    EXPECT_EQ(::GetTextColor(dc), RGB(255, 0, 0));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SendMessageW(C("gbxTrim").Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(C("lblMulti").Handle()));
    EXPECT_NE(::GetTextColor(dc), RGB(255, 0, 0));
    ::ReleaseDC(form->Handle(), dc);
    EXPECT_FALSE(form->Get<Bevel>("bvlBorder1").Vertical());
    EXPECT_TRUE(form->Get<Bevel>("bvlUpright").Vertical());

    // The line is drawn where a lowered bevel has it: shadow on the outer row or column.
    ShowAndActivate();
    ::UpdateWindow(form->Handle());
    auto shown = [](HWND hwnd, int x, int y) {
        HDC own = ::GetDC(hwnd);
        const COLORREF c = ::GetPixel(own, x, y);
        ::ReleaseDC(hwnd, own);
        return c;
    };
    HWND top = C("bvlBorder1").Handle();
    EXPECT_EQ(shown(top, 20, 0), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shown(top, 20, 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    HWND left = C("bvlUpright").Handle();
    EXPECT_EQ(shown(left, 0, 20), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shown(left, 1, 20), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shown(left, 4, 20), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(FormTest, GetRefusesAMissingNameOrAnotherKind) {
    EXPECT_THROW(form->Get<Edit>("edtNothing"), std::logic_error);
    EXPECT_THROW(form->Get<Edit>("btnSave"), std::logic_error);
    EXPECT_NO_THROW(form->Get<Button>("btnSave"));  // a picture button is a button
}

TEST(FormTable, AParentThatIsNoContainerIsRefused) {
    const ControlLayout rows[] = {
        {"btnA", ControlKind::Button, "", {0, 0, 10, 10}, "a", kNoFlags, 0},
        {"btnB", ControlKind::Button, "btnA", {0, 0, 10, 10}, "b", kNoFlags, 0},
    };
    const FormLayout layout{"fmBad", "bad", 100, 100, false, "", 0, rows};
    Form bad;
    EXPECT_THROW(bad.Create(layout), AppError);
}

// ---------------------------------------------------------------------------------------------
// Modal dialogs

class DialogForm : public Form {
public:
    explicit DialogForm(HWND owner) {
        Create(kDialogLayout, owner, FormBorder::Dialog, false);
        SetPosition(FormPosition::OwnerCenter);
        Get<Button>("btnOk").OnClick = [this](Control&) { SetModalResult(kModalOk); };
        Get<Button>("btnCancel").OnClick = [this](Control&) { SetModalResult(kModalCancel); };
    }
};

class ModalTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ShowAndActivate();
        dialog = std::make_unique<DialogForm>(form->Handle());
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    std::unique_ptr<DialogForm> dialog;
};

TEST_F(ModalTest, OkReturnsOkWithTheOwnerDisabledMeanwhile) {
    bool ownerEnabledWhileShown = true;
    int closes = 0;
    dialog->OnShow = [&] { ownerEnabledWhileShown = ::IsWindowEnabled(form->Handle()); };
    dialog->OnClose = [&] { ++closes; };
    ::PostMessageW(dialog->Get<Button>("btnOk").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), kModalOk);
    EXPECT_FALSE(ownerEnabledWhileShown);
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
    EXPECT_EQ(closes, 1);
}

TEST_F(ModalTest, EnterEscAndTheCloseBoxEndTheDialog) {
    struct Case {
        const char* what;
        std::function<void()> act;
        int expected;
    };
    const Case cases[] = {
        {"Enter in the edit box clicks OK", [&] { PostKey(dialog->Get<Edit>("edtFolder").Handle(), VK_RETURN); },
         kModalOk},
        {"Esc clicks Cancel", [&] { PostKey(dialog->Get<Edit>("edtFolder").Handle(), VK_ESCAPE); }, kModalCancel},
        {"closing the window cancels", [&] { ::PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0); }, kModalCancel},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(dialog->ShowModal(), c.expected) << c.what;
    }
}

TEST_F(ModalTest, AVetoedCloseKeepsTheDialogRunning) {
    int queries = 0;
    dialog->OnCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };
    ::PostMessageW(dialog->Get<Button>("btnOk").Handle(), BM_CLICK, 0, 0);
    ::PostMessageW(dialog->Get<Button>("btnCancel").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), kModalCancel);
    EXPECT_EQ(queries, 2);
}

TEST_F(ModalTest, TheDialogHasItsClientSizeNoSystemMenuAndSitsOnItsOwnersCentre) {
    RECT ownerRect;
    ::GetWindowRect(form->Handle(), &ownerRect);
    RECT dialogRect{};
    RECT client{};
    dialog->OnShow = [&] { ::PostMessageW(dialog->Get<Button>("btnOk").Handle(), BM_CLICK, 0, 0); };
    dialog->OnClose = [&] {
        ::GetWindowRect(dialog->Handle(), &dialogRect);
        ::GetClientRect(dialog->Handle(), &client);
    };
    ASSERT_EQ(dialog->ShowModal(), kModalOk);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 120);
    EXPECT_FALSE(::GetWindowLongW(dialog->Handle(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(::GetWindow(dialog->Handle(), GW_OWNER), form->Handle());
    const int dx = (dialogRect.left + dialogRect.right) - (ownerRect.left + ownerRect.right);
    const int dy = (dialogRect.top + dialogRect.bottom) - (ownerRect.top + ownerRect.bottom);
    EXPECT_LE(std::abs(dx), 1);
    EXPECT_LE(std::abs(dy), 1);
    EXPECT_THROW(
        {
            dialog->Show();
            dialog->ShowModal();
        },
        AppError);
}

}  // namespace
