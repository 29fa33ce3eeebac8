#include "app/main_win.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "app/FrameStrips.h"
#include "app/MainLayout.h"
#include "app/Messages.h"
#include "app/TrellinInt_win.h"
#include "app/PrintLayout.h"
#include "app/SaveNaming.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "localisation/International.h"
#include "localisation/MsgResource.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "selection/SelectArea.h"
#include "settings/FLConfig.h"
#include "settings/IniFile.h"
#include "settings/option_win.h"
#include "platform/AppError.h"
#include "win32/Application.h"
#include "win32/BitmapDib.h"
#include "win32/FormComponents.h"
#include "win32/GdiBitmap.h"
#include "win32/Printer.h"
#include "win32/Resources.h"

#include <commdlg.h>

namespace {

std::unique_ptr<QMsgResource> programMessages;

constexpr unsigned kEscape = 27;

constexpr UINT kTrayIconId = 1;
constexpr char kTrayTip[] = "VEDivavov";

#if defined(__i386__)
// The record the shell is given is the old, first form of NOTIFYICONDATA.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif
static_assert((NIF_MESSAGE | NIF_ICON | NIF_TIP) == 7);

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

// Setting the pointer where it already is makes the system show the view's new cursor at
// once instead of at the user's next move.
void ResetPointer() {
    POINT pointer;
    ::GetCursorPos(&pointer);
    ::SetCursorPos(pointer.x, pointer.y);
}

bool DigitOrBackspace(char16_t key) { return key == 8 || (key >= u'0' && key <= u'9'); }

bool SameFrame(const TSelectArea& a, const TSelectArea& b) {
    return a.State == b.State && a.Rect == b.Rect && (a.State != TSelectArea::kStateSelected || a.Grips == b.Grips);
}

// The picture as a bitmap file at the depth of the bitmap that holds it (the display's), with
// its colour table where that depth has one; replaced only once complete.
void WriteBitmapAtOwnDepth(const std::string& path, HBITMAP picture) {
    const BitmapDib dib(picture);
    const BITMAPINFOHEADER& header = dib.Info()->bmiHeader;
    BmpImage image;
    image.width = header.biWidth;
    image.height = header.biHeight;
    image.bitCount = header.biBitCount;
    image.bits = static_cast<const uint8_t*>(dib.Bits());
    image.stride = static_cast<int32_t>((static_cast<int64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4);
    if (header.biBitCount <= 8) {
        const uint32_t colors = header.biClrUsed != 0 ? header.biClrUsed : (1u << header.biBitCount);
        image.colorTable = {reinterpret_cast<const DibColor*>(dib.Info()->bmiColors), colors};
    }
    ReplaceFileAtomically(path, EncodeBmp(image));
}

// "a|b|c" (UTF-8) as the dialog wants it: ANSI, entries separated and ended by NUL, a second
// NUL at the end.
std::string DialogFilter(std::string_view utf8) {
    std::string filter = Utf8ToAnsi(utf8);
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

}  // namespace

QMsgResource* TheMsgResource() { return programMessages.get(); }

MainWindowFiles FilesBesideExecutable() {
    return {SettingsPathForExecutable(), QInternational::ExtractFilePath(ExecutablePath())};
}

TfmMain::TfmMain(const MainWindowFiles& files) : settingsFile_(files.settingsFile), programFolder_(files.programFolder) {
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
    SetMessageHandler(WM_START_MINIMIZED, [](WPARAM, LPARAM) -> std::optional<LRESULT> {
        TheApplication().Minimize();
        return 0;
    });
    SetMessageHandler(WM_TRAY_NOTIFY, [this](WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        WMTrayNotify(lp);
        return 0;
    });
    // The form's own handling then asks FormCloseQuery, which no longer asks the user.
    SetMessageHandler(WM_QUERYENDSESSION, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        endingSession_ = true;
        return std::nullopt;
    });
    // A restarted shell has forgotten every icon: without ours again a user could never reach us.
    SetMessageHandler(::RegisterWindowMessageA("TaskbarCreated"), [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (inTray_) {
            inTray_ = false;
            AddTrayIcon();
        }
        return 0;
    });

    SetMessageHandler(WM_CAPTURE_SCREEN, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        CaptureImage(kCaptureScreen);
        return 0;
    });
    SetMessageHandler(WM_CAPTURE_WINDOW, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        CaptureImage(kCaptureWindow);
        return 0;
    });
    SetMessageHandler(WM_SAVE_REQUEST, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
        btnSaveClick(nullptr);
        return 0;
    });

    // The localiser takes over the creation event: FormCreate runs first, then the texts of
    // Resource.ini replace the design texts (so a text there wins over a loaded setting).
    components_ = std::make_unique<FormComponents>(*this, layout);
    components_->SetOnCreate([this](LocalisableForm&) { FormCreate(); });
    international_ = std::make_unique<QInternational>(components_.get(), programFolder_);

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

void TfmMain::FormCreate() {
    loading_ = true;
    selectArea_ = std::make_unique<TSelectArea>();
    Get<ScrollBox>("sbxCanvas").SetDoubleBuffered(true);
    config_ = std::make_unique<TFLConfig>(settingsFile_);
    // Told once: the store then runs on defaults and never writes over the unread file.
    if (const auto failure = config_->LoadFailureText()) TheApplication().MessageDialog(Utf8ToUtf16(*failure), {}, MB_OK | MB_ICONWARNING);
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
    StoreControls();
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

void TfmMain::AppMinimize() {
    if (oldOnMinimize_) oldOnMinimize_();
    AddTrayIcon();
    // The application has already hidden the main window, its only top-level window, so no
    // taskbar button is left.
}

void TfmMain::AppRestore() {
    if (oldOnRestore_) oldOnRestore_();
    RemoveTrayIcon();
    ::SetForegroundWindow(Handle());
}

void TfmMain::AddTrayIcon() {
    if (inTray_) return;
    trayIcon_ = NOTIFYICONDATAA{};
    trayIcon_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon_.hWnd = Handle();
    trayIcon_.uID = kTrayIconId;
    trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon_.uCallbackMessage = WM_TRAY_NOTIFY;
    trayIcon_.hIcon = LoadIconResource(kMainIconResource, ::GetSystemMetrics(SM_CXSMICON));
    // The whole 64-byte field: the text, then zero bytes.
    std::fill(std::begin(trayIcon_.szTip), std::end(trayIcon_.szTip), '\0');
    std::copy(std::begin(kTrayTip), std::end(kTrayTip), trayIcon_.szTip);
    ::Shell_NotifyIconA(NIM_ADD, &trayIcon_);
    inTray_ = true;
}

void TfmMain::RemoveTrayIcon() {
    if (!inTray_) return;
    ::Shell_NotifyIconA(NIM_DELETE, &trayIcon_);
    inTray_ = false;
}

void TfmMain::WMTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) TheApplication().Restore();
    TheApplication().ProcessMessages();
}

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
    c.Save();
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

void TfmMain::CaptureImage(int kind) {
    {
        HWND source = nullptr;
        int width = 0;
        int height = 0;
        if (kind == kCaptureWindow) {
            source = ::GetForegroundWindow();
            RECT outer{};
            ::GetWindowRect(source, &outer);
            width = outer.right - outer.left;
            height = outer.bottom - outer.top;
        } else {
            width = ::GetSystemMetrics(SM_CXSCREEN);
            height = ::GetSystemMetrics(SM_CYSCREEN);
        }
        // The window's context covers its title bar and borders, from its top-left corner.
        const WindowDC dc(source, kind == kCaptureWindow ? WindowDC::Area::Window : WindowDC::Area::Client);
        UniqueBitmap picture;
        if (width > 0 && height > 0) {
            picture.Reset(::CreateCompatibleBitmap(dc.Get(), width, height));
            UniqueMemoryDC memory(::CreateCompatibleDC(dc.Get()));
            const SelectGuard select(memory.Get(), picture.Get());
            ::BitBlt(memory.Get(), 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
        } else {
            width = height = 0;
        }
        // The view keeps this bitmap and paints from it: the capture is copied only once.
        imgCapture_->SetPicture(std::move(picture));
        imgCapture_->SetSize(width, height);
    }
    // A capture request already queued runs completely in here; this one then finishes over
    // its picture.
    TheApplication().ProcessMessages();
    TheApplication().Restore();
    BringToFront();
    // The picture under the old frame has been replaced: drop it without erasing.
    if (selectArea_) selectArea_->SetState(TSelectArea::kStateNone);
    imgCapture_->SetCursor(Cursor::Arrow);
    ResetPointer();
}

void TfmMain::BringToFront() {
    HWND main = Handle();
    if (!main) return;
    const DWORD own = ::GetWindowThreadProcessId(main, nullptr);
    const DWORD foreground = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    // Sharing the foreground thread's input state is what lets SetForegroundWindow succeed
    // while another program is in front.
    ::AttachThreadInput(own, foreground, TRUE);
    ::SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(main);
    ::AttachThreadInput(own, foreground, FALSE);
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
        for (const PixelBox& box : strips.Boxes()) imgCapture_->InvalidatePicture(box.left, box.top, box.right, box.bottom);
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

void TfmMain::FormKeyDown(unsigned& key, ShiftState) {
    if (key == kEscape) btnUnSelectClick(nullptr);
}

bool TfmMain::CommandGuard() const {
    return config_ && CommandGuardPasses(imgCapture_->Width(), imgCapture_->Height(), *config_);
}

UniqueBitmap TfmMain::PrepareFinalImage() {
    TSelectArea& area = *selectArea_;
    if (area.State != TSelectArea::kStateNone) {
        // The frame is in the picture's pixels: erase it before anything reads them.
        btnUnSelectClick(nullptr);
    } else {
        area.Rect = ::Rect{0, 0, imgCapture_->Width() - 1, imgCapture_->Height() - 1};
    }
    if (area.Rect.Left == area.Rect.Right) area.Rect.Right = area.Rect.Left + 1;
    if (area.Rect.Top == area.Rect.Bottom) area.Rect.Bottom = area.Rect.Top + 1;

    GdiBitmap finalPicture;
    {
        const GdiBitmap source = GdiBitmap::Borrow(imgCapture_->PictureHandle());
        TrimImage(source, finalPicture, area.Rect, *config_);
    }
    // The view gets its own copy: the caller may still be using this bitmap when the message
    // loop runs (printing) and a capture replaces the view's picture.
    imgCapture_->AssignPicture(finalPicture.Handle());
    imgCapture_->SetSize(finalPicture.Width(), finalPicture.Height());
    return finalPicture.Release();
}

bool TfmMain::SaveDialog::Execute(HWND owner) {
    const std::string filter = DialogFilter(kSaveFilter);
    // Room for a long path chosen in the dialog.
    std::string file(32768, '\0');
    file.replace(0, std::min(FileName.size(), file.size() - 1), FileName, 0, file.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(FilterIndex);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrDefExt = DefaultExt.c_str();
    // No OFN_NOCHANGEDIR: the folder browsed to becomes the current folder, which a relative
    // default folder then means.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!::GetSaveFileNameA(&dialog)) {
        if (const DWORD error = ::CommDlgExtendedError()) {
            throw AppError("保存ダイアログを開けません (エラー " + std::to_string(error) + ")");
        }
        return false;
    }
    FilterIndex = static_cast<int>(dialog.nFilterIndex);
    FileName = file.c_str();
    return true;
}

bool TfmMain::ChooseSaveFileName(std::string& name) {
    const SaveDialogRequest request = PrepareSaveFileName(*config_, SystemFileProbe());
    dlgSave.InitialDir = request.InitialDir;
    dlgSave.DefaultExt = request.DefaultExt;
    dlgSave.FilterIndex = request.FilterIndex;
    dlgSave.FileName = request.FileName;
    if (request.ShowDialog && !dlgSave.Execute(Handle())) return false;
    name = dlgSave.FileName;
    return true;
}

void TfmMain::btnSaveClick(Control*) {
    if (!CommandGuard()) return;
    PrepareFinalImage().Reset();
    std::string name;
    if (ChooseSaveFileName(name)) {
        // The view's picture: a capture handled while the dialog was open has replaced it.
        if (IsJpegFileName(name)) {
            const GdiBitmap picture = GdiBitmap::Borrow(imgCapture_->PictureHandle());
            WriteJpegFile(name, picture);
        } else {
            WriteBitmapAtOwnDepth(name, imgCapture_->PictureHandle());
        }
    }
    TheApplication().Minimize();
}

void TfmMain::btnPrintClick(Control*) {
    if (!CommandGuard()) return;
    const UniqueBitmap finalPicture = PrepareFinalImage();
    Printer& printer = ThePrinter();
    const PrintLayout layout = CalcPrintLayout(printer.PageWidth(), printer.PageHeight(), imgCapture_->Width(), imgCapture_->Height());
    PrintDocument document = printer.BeginDoc();
    DrawBitmapDib(document.Handle(), layout.X, layout.Y, layout.DW, layout.DH, finalPicture.Get());
    document.EndDoc();
    TheApplication().Minimize();
}

void TfmMain::btnOptionClick(Control&) { ShowOptionDialog(*this, *config_); }

void TfmMain::btnCancelClick(Control&) { TheApplication().Minimize(); }
