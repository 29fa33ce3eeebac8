#include "app/MainForm_win.h"

#include <algorithm>
#include <string>

#include "app/FrameStrips.h"
#include "app/MainLayout.h"
#include "app/Messages.h"
#include "app/Resources_win.h"
#include "hook/TrellinInt.h"
#include "localisation/FormComponents_win.h"
#include "localisation/International.h"
#include "localisation/MsgResource.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "selection/SelectArea.h"
#include "settings/FLConfig.h"
#include "settings/IniFile.h"
#include "settings/OptionForm_win.h"
#include "win32/Application.h"

namespace {

std::unique_ptr<QMsgResource> programMessages;

constexpr unsigned kEscape = 27;

Cursor CursorFor(CursorShape shape) {
    switch (shape) {
        case CursorShape::crSizeNWSE: return Cursor::SizeNWSE;
        case CursorShape::crSizeWE: return Cursor::SizeWE;
        case CursorShape::crSizeNESW: return Cursor::SizeNESW;
        case CursorShape::crSizeNS: return Cursor::SizeNS;
        case CursorShape::crHandPoint: return Cursor::HandPoint;
        case CursorShape::crArrow: break;
    }
    return Cursor::Arrow;
}

bool DigitOrBackspace(char16_t key) { return key == 8 || (key >= u'0' && key <= u'9'); }

bool SameFrame(const TSelectArea& a, const TSelectArea& b) {
    return a.State == b.State && a.Rect == b.Rect && (a.State != TSelectArea::kStateSelected || a.Grips == b.Grips);
}

}  // namespace

QMsgResource* TheMsgResource() { return programMessages.get(); }

MainWindowFiles FilesBesideExecutable() {
    return {SettingsPathForExecutable(), QInternational::ExtractFilePath(ExecutablePath())};
}

TfmMain::TfmMain(const MainWindowFiles& files)
    : settingsFile_(files.settingsFile), programFolder_(files.programFolder) {
    const FormLayout& layout = kMainFormLayout;
    Create(layout, nullptr, FormBorder::Sizeable, true);
    SetKeyPreview(layout.formFlags & kKeyPreview);
    if (layout.formFlags & kCenterOnScreen) SetPosition(FormPosition::ScreenCenter);
    SetMinimumWidth(layout.minWidth);
    if (HICON icon = LoadIconResource(kMainIconResource, 32)) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    if (HICON icon = LoadIconResource(kMainIconResource, 16)) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    Get<BitmapButton>("btnSave").SetGlyph(LoadBitmapResource(kSaveGlyphResource));
    Get<BitmapButton>("btnPrint").SetGlyph(LoadBitmapResource(kPrintGlyphResource));
    Get<Image>("imgTogether").SetPicture(LoadBitmapResource(kTogetherResource));
    imgCapture_ = &Get<Image>("imgCapture");
    btnUnSelect_ = &Get<Button>("btnUnSelect");

    auto config = [this](Control& sender) { ConfigClick(sender); };
    for (const char* name : {"rbtnProportion", "rbtnFree", "rbtnScaling", "rbtnNormal", "rbtnAll", "rbtnWhiteBlack"}) {
        Get<RadioButton>(name).OnClick = config;
    }
    for (const char* name : {"cbxReverse", "cbxEmphasis", "cbxFrame"}) Get<CheckBox>(name).OnClick = config;
    for (const char* name : {"edtWidth", "edtHeight", "edtScaling", "edtFrameSize"}) Get<Edit>(name).OnExit = config;
    for (const char* name : {"edtWidth", "edtScaling", "edtFrameSize"}) {
        Get<Edit>(name).OnKeyPress = [this](Control& sender, char16_t& key) { edtWidthKeyPress(sender, key); };
    }
    Get<Edit>("edtHeight").OnKeyPress = [this](Control& sender, char16_t& key) { edtHeightKeyPress(sender, key); };
    btnUnSelect_->OnClick = [this](Control& sender) { btnUnSelectClick(&sender); };
    Get<Button>("btnSave").OnClick = [this](Control& sender) { btnSaveClick(&sender); };
    Get<Button>("btnPrint").OnClick = [this](Control& sender) { btnPrintClick(&sender); };
    Get<Button>("btnCancel").OnClick = [this](Control& sender) { btnCancelClick(sender); };
    Get<Button>("btnOption").OnClick = [this](Control& sender) { btnOptionClick(sender); };

    imgCapture_->OnMouseDown = [this](Control& sender, MouseButton button, ShiftState shift, int x, int y) {
        imgCaptureMouseDown(sender, button, shift, x, y);
    };
    imgCapture_->OnMouseMove = [this](Control& sender, ShiftState shift, int x, int y) {
        imgCaptureMouseMove(sender, shift, x, y);
    };
    imgCapture_->OnMouseUp = [this](Control& sender, MouseButton button, ShiftState shift, int x, int y) {
        imgCaptureMouseUp(sender, button, shift, x, y);
    };
    imgCapture_->OnDblClick = [this](Control& sender) { imgCaptureDblClick(sender); };
    OnKeyDown = [this](unsigned& key, ShiftState shift) { FormKeyDown(key, shift); };
    OnDestroy = [this] { FormDestroy(); };
    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };

    components_ = std::make_unique<FormComponents>(*this, layout);
    international_ = std::make_unique<QInternational>(components_.get(), programFolder_);
    // FormCreate first, then the texts of Resource.ini (so a text there wins over a loaded setting).
    OnCreate = [this] {
        FormCreate();
        if (international_) international_->Localise();
    };

    programMessages = std::make_unique<QMsgResource>(AnsiToUtf16(programFolder_ + "Resource.ini"));
}

TfmMain::~TfmMain() {
    // Normally FormDestroy has freed these already; a form deleted with its window still open
    // (tests) gets no destroy event.
    OnDestroy = nullptr;
    RemoveTrayIcon();
    UnchainApplication();
    if (hookInstalled_) RemoveHook();
    selectArea_.reset();
    config_.reset();
    international_.reset();
    components_.reset();
    programMessages.reset();
}

LRESULT TfmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A registered message has no constant to switch on.
    static const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    if (msg == taskbarCreated) {
        WMTaskbarCreated();
        return 0;
    }
    switch (msg) {
        case WM_CAPTURE_SCREEN: WMCaptureScreen(); return 0;
        case WM_CAPTURE_WINDOW: WMCaptureWindow(); return 0;
        case WM_SAVE_REQUEST: WMSaveRequest(); return 0;
        case WM_START_MINIMIZED: WMStartMinimized(); return 0;
        case WM_TRAY_NOTIFY: WMTrayNotify(lp); return 0;
        case WM_QUERYENDSESSION:
            WMQueryEndSession();
            break;  // the form's own handling then asks FormCloseQuery, which no longer asks the user
        case WM_TIMER:
            if (WMTimer(wp)) return 0;
            break;
        case WM_SIZE:
            if (WMSize(wp)) return 0;
            break;
        case WM_SYSCOMMAND:
            if (WMSysCommand(wp)) return 0;
            break;
        case WM_ENDSESSION: WMEndSession(wp != 0); return 0;
        case WM_DESTROY: {
            // The form's OnDestroy (FormDestroy) first, while the controls still exist.
            const LRESULT result = Form::HandleMessage(msg, wp, lp);
            WMDestroy();
            return result;
        }
    }
    return Form::HandleMessage(msg, wp, lp);
}

void TfmMain::WMQueryEndSession() { endingSession_ = true; }

void TfmMain::WMEndSession(bool endsNow) {
    // A log-off that another program cancelled: the session goes on, and so does the question.
    if (!endsNow) {
        endingSession_ = false;
        return;
    }
    // The session ends once this returns: destroy now, so that FormDestroy can save.
    if (IsMainForm()) ::DestroyWindow(Handle());
}

// The program ends with its main window.
void TfmMain::WMDestroy() {
    if (IsMainForm()) TheApplication().Terminate();
}

void TfmMain::FormCreate() {
    loading_ = true;
    selectArea_ = std::make_unique<TSelectArea>();
    Get<ScrollBox>("sbxCanvas").SetDoubleBuffered(true);
    config_ = std::make_unique<TFLConfig>(settingsFile_);
    // Told once: the store then runs on defaults and never writes over the unread file.
    if (const auto failure = config_->LoadFailureText())
        TheApplication().MessageDialog(Utf8ToUtf16(*failure), {}, MB_OK | MB_ICONWARNING);
    LoadControls();
    inTray_ = false;
    hookInstalled_ = InstallHook(Handle());
    if (!hookInstalled_) TheApplication().MessageDialog(u"Can not hook the keyboard.");
    Application& application = TheApplication();
    oldOnRestore_ = application.OnRestore;
    application.OnRestore = [this] { AppRestore(); };
    oldOnMinimize_ = application.OnMinimize;
    application.OnMinimize = [this] { AppMinimize(); };
    chained_ = true;
    imgCapture_->SetSize(0, 0);
    loading_ = false;
}

void TfmMain::FormDestroy() {
    RemoveTrayIcon();
    UnchainApplication();
    if (hookInstalled_) {
        RemoveHook();
        hookInstalled_ = false;
    }
    selectArea_.reset();
    // The controls go into the settings and freeing the settings writes them: one write, so a
    // file that cannot be written is reported once, not by this save and again by the
    // settings' own on being freed.
    ReadControls();
    config_.reset();
    international_.reset();
    programMessages.reset();
}

void TfmMain::UnchainApplication() {
    if (!chained_) return;
    Application& application = TheApplication();
    application.OnRestore = std::move(oldOnRestore_);
    application.OnMinimize = std::move(oldOnMinimize_);
    oldOnRestore_ = nullptr;
    oldOnMinimize_ = nullptr;
    chained_ = false;
}

void TfmMain::FormShow() { ::PostMessageA(Handle(), WM_START_MINIMIZED, 0, 0); }

void TfmMain::FormCloseQuery(bool& canClose) {
    if (endingSession_) {
        canClose = true;
        return;
    }
    const QMsgResource& messages = *TheMsgResource();
    const std::u16string text = TheApplication().Title() + messages.GetMsg(u"message", u"fmMain_Close_1") + u"\r" +
                                messages.GetMsg(u"message", u"fmMain_Close_2") + u"\r" +
                                messages.GetMsg(u"message", u"fmMain_Close_3");
    canClose = TheApplication().MessageDialog(text, {}, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void TfmMain::LoadControls() {
    const TFLConfig& c = *config_;
    switch (c.TrimType()) {
        case 0: Get<RadioButton>("rbtnProportion").SetChecked(true); break;
        case 1: Get<RadioButton>("rbtnScaling").SetChecked(true); break;
        case 2: Get<RadioButton>("rbtnFree").SetChecked(true); break;
        case 3: Get<RadioButton>("rbtnNormal").SetChecked(true); break;
        default: break;  // a value the controls cannot show leaves the choice as it is
    }
    Get<Edit>("edtWidth").SetText(std::to_string(c.Width()));
    Get<Edit>("edtHeight").SetText(std::to_string(c.Height()));
    Get<Edit>("edtScaling").SetText(std::to_string(c.Scale()));
    Get<CheckBox>("cbxReverse").SetChecked(c.EffectFlags() & TFLConfig::kReverse);
    Get<CheckBox>("cbxEmphasis").SetChecked(c.EffectFlags() & TFLConfig::kEmphasis);
    switch (c.ReverseType()) {
        case 0: Get<RadioButton>("rbtnAll").SetChecked(true); break;
        case 1: Get<RadioButton>("rbtnWhiteBlack").SetChecked(true); break;
        default: break;
    }
    Get<CheckBox>("cbxFrame").SetChecked(c.IsFrame());
    Get<Edit>("edtFrameSize").SetText(std::to_string(c.FrameSize()));
}

void TfmMain::StoreNumber(Edit& box, int32_t current, void (TFLConfig::*setter)(int32_t)) {
    if (const std::optional<int32_t> value = IniFile::ParseInteger(box.Text())) {
        (config_.get()->*setter)(*value);
    } else {
        box.SetText(std::to_string(current));
    }
}

void TfmMain::StoreControls() {
    if (loading_ || !config_) return;
    ReadControls();
    config_->Save();
}

void TfmMain::ReadControls() {
    if (loading_ || !config_) return;
    TFLConfig& c = *config_;
    if (Get<RadioButton>("rbtnProportion").Checked()) {
        c.SetTrimType(0);
    } else if (Get<RadioButton>("rbtnScaling").Checked()) {
        c.SetTrimType(1);
    } else if (Get<RadioButton>("rbtnFree").Checked()) {
        c.SetTrimType(2);
    } else if (Get<RadioButton>("rbtnNormal").Checked()) {
        c.SetTrimType(3);
    }
    StoreNumber(Get<Edit>("edtWidth"), c.Width(), &TFLConfig::SetWidth);
    StoreNumber(Get<Edit>("edtHeight"), c.Height(), &TFLConfig::SetHeight);
    StoreNumber(Get<Edit>("edtScaling"), c.Scale(), &TFLConfig::SetScale);
    // Built up from nothing through the setter, one bit at a time: with an effect on, the first
    // step changes the value, so the file is written again below.
    c.SetEffectFlags(0);
    if (Get<CheckBox>("cbxReverse").Checked()) c.SetEffectFlags(c.EffectFlags() | TFLConfig::kReverse);
    if (Get<CheckBox>("cbxEmphasis").Checked()) c.SetEffectFlags(c.EffectFlags() | TFLConfig::kEmphasis);
    if (Get<RadioButton>("rbtnAll").Checked()) {
        c.SetReverseType(0);
    } else if (Get<RadioButton>("rbtnWhiteBlack").Checked()) {
        c.SetReverseType(1);
    }
    c.SetIsFrame(Get<CheckBox>("cbxFrame").Checked());
    StoreNumber(Get<Edit>("edtFrameSize"), c.FrameSize(), &TFLConfig::SetFrameSize);
}

void TfmMain::ConfigClick(Control&) {
    StoreControls();
    if (!selectArea_ || !config_) return;
    if (selectArea_->State != TSelectArea::kStateNone && config_->TrimType() == 0) {
        ChangeSelection([this](Canvas& canvas) {
            selectArea_->ApplyRatio(canvas, *config_);
            return PointerOutcome{};
        });
    }
}

void TfmMain::edtWidthKeyPress(Control&, char16_t& key) {
    if (!DigitOrBackspace(key)) key = 0;
}

void TfmMain::edtHeightKeyPress(Control&, char16_t& key) {
    if (!DigitOrBackspace(key)) key = 0;
}

template <class Operation>
PointerOutcome TfmMain::ChangeSelection(Operation&& operation) {
    Canvas* canvas = imgCapture_->PictureCanvas();
    if (!canvas || !selectArea_) return {};
    const SIZE size = imgCapture_->PictureSize();
    const TSelectArea before = *selectArea_;
    const PointerOutcome outcome = operation(*canvas);
    // The same frame erased and drawn again leaves every pixel as it was.
    if (SameFrame(before, *selectArea_)) return outcome;
    for (const TSelectArea* state : {&before, static_cast<const TSelectArea*>(selectArea_.get())}) {
        const FrameStrips strips(*state, size.cx, size.cy);
        for (const PixelBox& box : strips.Boxes())
            imgCapture_->InvalidatePicture(box.left, box.top, box.right, box.bottom);
    }
    imgCapture_->UpdateNow();
    return outcome;
}

void TfmMain::imgCaptureMouseDown(Control&, MouseButton, ShiftState, int X, int Y) {
    ChangeSelection([&](Canvas& canvas) { return SelectionMouseDown(*selectArea_, X, Y, canvas, *config_); });
}

void TfmMain::imgCaptureMouseMove(Control&, ShiftState, int X, int Y) {
    const PointerOutcome outcome =
        ChangeSelection([&](Canvas& canvas) { return SelectionMouseMove(*selectArea_, X, Y, canvas, *config_); });
    if (outcome.cursor) imgCapture_->SetCursor(CursorFor(*outcome.cursor));
}

void TfmMain::imgCaptureMouseUp(Control&, MouseButton, ShiftState, int X, int Y) {
    const PointerOutcome outcome =
        ChangeSelection([&](Canvas& canvas) { return SelectionMouseUp(*selectArea_, X, Y, canvas, *config_); });
    if (outcome.finishedNewRectangle) btnUnSelect_->SetEnabled(true);
}

void TfmMain::imgCaptureDblClick(Control&) { ::PostMessageA(Handle(), WM_SAVE_REQUEST, 0, 0); }

void TfmMain::btnUnSelectClick(Control*) {
    ChangeSelection([this](Canvas& canvas) {
        selectArea_->Clear(canvas);
        return PointerOutcome{};
    });
    // A disabled button keeps no focus: pass it on, as a click on the button puts it there.
    const bool hadFocus = btnUnSelect_->Focused();
    btnUnSelect_->SetEnabled(false);
    if (hadFocus) SelectNext(false);
    imgCapture_->SetCursor(Cursor::Arrow);
    ResetPointer();
}

// Setting the pointer where it already is makes the system show the view's new cursor at
// once instead of at the user's next move.
void TfmMain::ResetPointer() {
    POINT pointer;
    ::GetCursorPos(&pointer);
    ::SetCursorPos(pointer.x, pointer.y);
}

void TfmMain::FormKeyDown(unsigned& key, ShiftState) {
    if (key == kEscape) btnUnSelectClick(nullptr);
}

void TfmMain::btnOptionClick(Control&) { ShowOptionDialog(*this, *config_); }

void TfmMain::btnCancelClick(Control&) { TheApplication().Minimize(); }
