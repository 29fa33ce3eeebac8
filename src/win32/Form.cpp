#include "win32/Form.h"

#include <algorithm>

#include "forms/FormPlacement.h"
#include "forms/FormScaling.h"
#include "platform/Text.h"
#include "win32/Application.h"
#include "win32/Dpi.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// A control's exit event is raised after the focus change is over, by a message to the form; a
// registered message cannot collide with a program's own WM_USER or WM_APP messages.
UINT ExitMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Framlet.ControlExit");
    return message;
}

ScreenRect ToScreenRect(const RECT& rc) { return ScreenRect{rc.left, rc.top, rc.right, rc.bottom}; }

// The monitor's rectangle and its work area (without the task bar).
MONITORINFO MonitorInfo(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) {
        info.rcMonitor = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        info.rcWork = info.rcMonitor;
    }
    return info;
}

// Centred on around within the work area; a sizeable window larger than the work area is made
// smaller, so its buttons at the bottom are on the screen.
void PlaceOver(HWND hwnd, const RECT& around, const RECT& workArea) {
    RECT own;
    ::GetWindowRect(hwnd, &own);
    const bool sizeable = (::GetWindowLongW(hwnd, GWL_STYLE) & WS_THICKFRAME) != 0;
    const ScreenRect place = PlaceCentred(ToScreenRect(around), own.right - own.left, own.bottom - own.top,
                                          ToScreenRect(workArea), sizeable);
    ::SetWindowPos(hwnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Form::~Form() {
    // The derived part is gone: no handler (they may point into it) runs while the window
    // is torn down.
    OnCreate = OnShow = OnClose = OnDestroy = nullptr;
    OnCloseQuery = nullptr;
    OnKeyDown = nullptr;
    destroyRaised_ = true;
    Application& app = TheApplication();
    if (app.MainForm() == this) app.SetMainForm(nullptr);
    if (Handle()) ::DestroyWindow(Handle());
}

void Form::Create(const FormLayout& layout, HWND owner, FormBorder border, bool systemMenu) {
    name_ = layout.name;
    ownerWindow_ = owner;
    DWORD style = 0;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (border == FormBorder::Sizeable) {
        style = WS_OVERLAPPEDWINDOW;
        if (!systemMenu) style &= ~WS_SYSMENU;
    } else {
        style = WS_POPUP | WS_CAPTION | (systemMenu ? WS_SYSMENU : 0);
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    style |= WS_CLIPCHILDREN;
    int width = layout.width;
    int height = layout.height;
    if (layout.clientSize) {
        RECT rc{0, 0, width, height};
        ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
        width = rc.right - rc.left;
        height = rc.bottom - rc.top;
    }
    // The window class is named after the form, as "TfmMain" for fmMain.
    const std::u16string className = u"T" + Utf8ToUtf16(layout.name);
    CreateOwnClass(
        {reinterpret_cast<const wchar_t*>(className.c_str()), CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        exStyle, style, Utf8ToUtf16(layout.caption ? layout.caption : ""), CW_USEDEFAULT, CW_USEDEFAULT, width, height,
        owner, nullptr);
    // The table is in 96-DPI pixels: at any other DPI the form is made to its scaled size and
    // the controls are built from scaled rows. At 96 DPI nothing here moves a pixel.
    dpi_ = WindowDpi(Handle());
    const ScaledFormLayout scaled(layout, dpi_);
    const FormLayout& placed = scaled.Layout();
    if (dpi_ != kDesignDpi) {
        SIZE outer{placed.width, placed.height};
        if (layout.clientSize) outer = OuterSizeForClient(outer, style, exStyle, dpi_);
        ::SetWindowPos(Handle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (layout.fontName && *layout.fontName && layout.fontHeight > 0) {
        fontFace_ = Utf8ToUtf16(layout.fontName);
        designFontHeight_ = layout.fontHeight;
        SetFont(fontFace_, placed.fontHeight);
    }

    std::vector<Control*> byRow(layout.controls.size(), nullptr);
    for (size_t i = 0; i < placed.controls.size(); ++i) {
        const ControlLayout& row = placed.controls[i];
        if (!IsControl(row.kind)) continue;
        Control* parent = nullptr;
        HWND parentWindow = Handle();
        if (row.parent && *row.parent) {
            parent = FindControl(row.parent);
            if (!parent || !IsContainer(parent->Kind())) {
                throw AppError("フォーム " + name_ + ": " + row.name + " の親 " + row.parent +
                               " はコンテナではありません。");
            }
            parentWindow = parent->Handle();
        }
        std::unique_ptr<Control> control = MakeControl(*this, row, parent);
        control->Create(parentWindow, row, 100 + static_cast<int>(i));
        if (font_) ::SendMessageW(control->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        byRow[i] = control.get();
        controls_.push_back(control.get());
        designRows_.push_back(layout.controls[i]);
        owned_.push_back(std::move(control));
        if (row.flags & kDefaultButton) SetDefaultButton(dynamic_cast<Button*>(byRow[i]));
        if (row.flags & kCancelButton) SetCancelButton(dynamic_cast<Button*>(byRow[i]));
    }

    const std::vector<int> groups = RadioGroups(layout.controls);
    for (size_t i = 0; i < groups.size(); ++i) {
        auto* radio = dynamic_cast<RadioButton*>(byRow[i]);
        if (groups[i] < 0 || !radio) continue;
        radio->SetGroup(groups[i]);
        radioGroups_[groups[i]].push_back(radio);
    }
    for (size_t i : TabSequence(layout.controls)) {
        if (byRow[i]) tabSequence_.push_back(byRow[i]);
    }

    // Parents come before their children in the table, so one pass lays out every level.
    AlignChildren(nullptr);
    for (Control* control : controls_) {
        if (IsContainer(control->Kind())) AlignChildren(control);
        if (auto* box = dynamic_cast<ScrollBox*>(control)) box->UpdateRange();
    }
}

void Form::AfterConstruction() {
    if (createRaised_) return;
    createRaised_ = true;
    Guarded([this] {
        if (OnCreate) OnCreate();
    });
}

std::u16string Form::CaptionW() const { return GetWindowTextW16(Handle()); }
void Form::SetCaptionW(std::u16string_view text) { SetWindowTextW16(Handle(), text); }
std::string Form::Caption() const { return Utf16ToAnsi(CaptionW()); }
void Form::SetCaption(std::string_view ansi) { SetCaptionW(AnsiToUtf16(ansi)); }

Control* Form::FindControl(std::string_view name) const {
    for (Control* control : controls_) {
        if (control->Name() == name) return control;
    }
    return nullptr;
}

void Form::SetFont(std::u16string_view faceName, int pixelHeight, BYTE charset) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight;  // negative: the character height, not the cell height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const size_t length = std::min<size_t>(faceName.size(), LF_FACESIZE - 1);
    std::copy_n(faceName.data(), length, reinterpret_cast<char16_t*>(font.lfFaceName));
    UniqueFont created(::CreateFontIndirectW(&font));
    if (!created) return;
    for (Control* control : controls_) {
        ::SendMessageW(control->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(created.Get()), TRUE);
    }
    font_ = std::move(created);  // the old font goes only once no control uses it
}

void Form::Show() {
    if (!Handle()) return;
    ApplyPosition();
    const bool wasVisible = Visible();
    if (!wasVisible && OnShow) OnShow();
    ::ShowWindow(Handle(), SW_SHOW);
}

void Form::Hide() {
    if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
}

bool Form::Visible() const { return Handle() && ::IsWindowVisible(Handle()); }

bool Form::IsMainForm() const { return TheApplication().MainForm() == this; }

bool Form::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    return canClose;
}

void Form::Close() {
    if (modal_) {
        modalResult_ = kModalCancel;
        return;
    }
    if (!CloseQuery()) return;
    if (OnClose) OnClose();
    if (IsMainForm()) {
        ::DestroyWindow(Handle());
    } else {
        Hide();
    }
}

int Form::ShowModal() {
    if (!Handle()) throw AppError("ウィンドウのないフォームは表示できません。");
    if (Visible() || modal_) throw AppError("表示中のウィンドウはモーダルにできません。");
    Application& app = TheApplication();

    std::vector<HWND> disabled;
    auto disable = [&](HWND w) {
        if (w && w != Handle() && ::IsWindowEnabled(w)) {
            ::EnableWindow(w, FALSE);
            disabled.push_back(w);
        }
    };
    disable(ownerWindow_);
    if (app.MainForm()) disable(app.MainForm()->Handle());

    modal_ = true;
    modalResult_ = kModalNone;
    Guarded([this] { Show(); });
    if (Handle()) ::SetActiveWindow(Handle());
    while (Handle() && !app.Terminated()) {
        if (modalResult_ != kModalNone) {
            bool canClose = false;
            Guarded([&] { canClose = CloseQuery(); });
            if (!canClose) {
                modalResult_ = kModalNone;
                continue;
            }
            Guarded([this] {
                if (OnClose) OnClose();
            });
            break;
        }
        app.HandleMessage();
    }
    if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
    // Enable the owner before hiding, so that Windows gives the activation back to it.
    for (HWND w : disabled) ::EnableWindow(w, TRUE);
    Hide();
    modal_ = false;
    return modalResult_;
}

void Form::SetDefaultButton(Button* button) {
    if (defaultButton_) defaultButton_->SetDefaultLook(false);
    defaultButton_ = button;
    if (defaultButton_) defaultButton_->SetDefaultLook(true);
}

void Form::ApplyPosition() {
    if (positioned_) return;
    positioned_ = true;
    if (position_ == FormPosition::ScreenCenter) {
        CenterOnScreen();
    } else if (position_ == FormPosition::OwnerCenter) {
        Window* main = TheApplication().MainForm();
        CenterOn(ownerWindow_ ? ownerWindow_ : (main && main != this ? main->Handle() : nullptr));
    }
}

void Form::CenterOnScreen() {
    const MONITORINFO primary = MonitorInfo(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    PlaceOver(Handle(), primary.rcMonitor, primary.rcWork);
}

void Form::CenterOn(HWND window) {
    if (!window) {
        CenterOnScreen();
        return;
    }
    RECT other;
    ::GetWindowRect(window, &other);
    // On the owner's monitor, which need not be the primary one.
    PlaceOver(Handle(), other, MonitorInfo(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)).rcWork);
}

void Form::ControlLostFocus(Control& control, HWND next) {
    if (!next || !Handle() || ::GetAncestor(next, GA_ROOT) != Handle()) return;
    ::PostMessageW(Handle(), ExitMessage(), 0, reinterpret_cast<LPARAM>(&control));
}

void Form::AlignChildren(Control* container) {
    HWND parentWindow = container ? container->Handle() : Handle();
    if (!parentWindow) return;
    std::vector<Control*> docked;
    std::vector<uint32_t> flags;
    std::vector<DockRect> places;
    for (Control* control : controls_) {
        if (control->Parent() != container || !control->DockFlags() || !control->Handle()) continue;
        docked.push_back(control);
        flags.push_back(control->DockFlags());
        places.push_back(control->DesignPlace());
    }
    if (docked.empty()) return;
    RECT client;
    ::GetClientRect(parentWindow, &client);
    const std::vector<DockRect> placed = DockPlaces(client.right, client.bottom, flags, places);
    for (size_t i = 0; i < docked.size(); ++i) {
        const RECT now = docked[i]->Bounds();
        const DockRect& p = placed[i];
        if (now.left == p.left && now.top == p.top && now.right - now.left == p.width &&
            now.bottom - now.top == p.height) {
            continue;
        }
        ::SetWindowPos(docked[i]->Handle(), nullptr, p.left, p.top, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::ApplyDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    if (designFontHeight_ > 0) SetFont(fontFace_, ScaleForDpi(designFontHeight_, dpi_));
    // Every control at its scaled place first (docked ones only note theirs), then docking
    // from the form inwards: parents come before their children in the table.
    for (size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->PlaceAt(ScalePlace(designRows_[i], dpi_), dpi_);
    }
    AlignChildren(nullptr);
    for (Control* control : controls_) {
        if (IsContainer(control->Kind())) AlignChildren(control);
        if (auto* box = dynamic_cast<ScrollBox*>(control)) box->UpdateRange();
    }
}

void Form::RaiseDestroy() {
    if (destroyRaised_) return;
    destroyRaised_ = true;
    Guarded([this] {
        if (OnDestroy) OnDestroy();
    });
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (Control::ReflectToChild(msg, wp, lp, result)) return result;
    if (msg == ExitMessage()) {
        auto* control = reinterpret_cast<Control*>(lp);
        if (std::find(controls_.begin(), controls_.end(), control) != controls_.end()) {
            if (auto* edit = dynamic_cast<Edit*>(control); edit && edit->OnExit) edit->OnExit(*edit);
        }
        return 0;
    }
    switch (msg) {
        case WM_CLOSE: Close(); return 0;
        case WM_DESTROY: RaiseDestroy(); return 0;
        case WM_SIZE: AlignChildren(nullptr); return 0;
        case WM_GETMINMAXINFO:
            if (minimumWidth_ > 0) {
                reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize.x = ScaleForDpi(minimumWidth_, dpi_);
            }
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale (or the scale changed): the layout follows,
            // and the window takes the place Windows suggests, which keeps it under the pointer.
            ApplyDpi(LOWORD(wp));
            const RECT* suggested = reinterpret_cast<const RECT*>(lp);
            ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            AlignChildren(nullptr);
            return 0;
        }
        case WM_SETFOCUS: {
            // The form itself takes no keys: pass the focus on to the control that had it last.
            if (lastFocus_ && Usable(Handle(), lastFocus_->Handle())) {
                lastFocus_->SetFocus();
            } else {
                const std::vector<Control*> stops = TabStops();
                if (!stops.empty()) stops.front()->SetFocus();
            }
            return 0;
        }
        case WM_QUERYENDSESSION: return CloseQuery() ? TRUE : FALSE;
    }
    return Default(msg, wp, lp);
}
