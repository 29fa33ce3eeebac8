// The main window in the notification area: the icon comes when the program minimises and goes
// when it is restored; a double click on it restores.
#include "app/MainForm_win.h"

#include <algorithm>
#include <iterator>

#include "app/Messages.h"
#include "app/Resources_win.h"
#include "win32/Application.h"

namespace {

constexpr UINT kTrayIconId = 1;
// While the shell's tray is missing (at log-on, before the shell is ready) the icon is asked
// for again this often.
constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kTrayRetryMs = 1000;
constexpr char kTrayTip[] = "VEDivavov";

#if defined(__i386__)
// The record the shell is given is the old, first form of NOTIFYICONDATA.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif
static_assert((NIF_MESSAGE | NIF_ICON | NIF_TIP) == 7);

}  // namespace

void TfmMain::WMStartMinimized() { TheApplication().Minimize(); }

// A restarted shell has forgotten every icon, and a shell that was not ready has none of
// ours yet: without the icon a user could never reach us.
void TfmMain::WMTaskbarCreated() {
    if (inTray_ || TheApplication().Minimized()) {
        inTray_ = false;
        AddTrayIcon();
    }
}

bool TfmMain::WMTimer(WPARAM id) {
    if (id != kTrayRetryTimer) return false;
    if (TheApplication().Minimized()) AddTrayIcon();
    return true;
}

bool TfmMain::WMSize(WPARAM kind) {
    // Shown minimised only for its taskbar button (no tray yet): not a new minimise.
    if (kind == SIZE_MINIMIZED && showingTaskbarButton_) return true;
    // Brought back by that button: the application is restored like any other way.
    if (kind == SIZE_RESTORED && onTaskbar_) {
        onTaskbar_ = false;
        if (TheApplication().Minimized()) TheApplication().Restore();
    }
    // Minimised any other way (from outside, by Windows): to the tray as well.
    if (kind == SIZE_MINIMIZED && IsMainForm()) {
        TheApplication().Minimize();
        return true;
    }
    return false;
}

// The minimise box sends the program to the tray instead of the taskbar.
bool TfmMain::WMSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != SC_MINIMIZE || !IsMainForm()) return false;
    TheApplication().Minimize();
    return true;
}

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
    // An icon the shell still has (a TaskbarCreated that was not a new shell) is updated instead.
    if (!::Shell_NotifyIconA(NIM_ADD, &trayIcon_) && !::Shell_NotifyIconA(NIM_MODIFY, &trayIcon_)) {
        // No tray to take the icon (the shell is not ready yet at log-on): ask again on a timer
        // and on TaskbarCreated, and meanwhile keep a taskbar button, so that the window can
        // still be reached.
        ::SetTimer(Handle(), kTrayRetryTimer, kTrayRetryMs, nullptr);
        if (TheApplication().Minimized() && !::IsWindowVisible(Handle())) {
            onTaskbar_ = true;
            showingTaskbarButton_ = true;
            ::ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
            showingTaskbarButton_ = false;
        }
        return;
    }
    ::KillTimer(Handle(), kTrayRetryTimer);
    inTray_ = true;
    // The taskbar button kept meanwhile goes: the icon is the way back now.
    if (onTaskbar_) {
        onTaskbar_ = false;
        if (TheApplication().Minimized()) ::ShowWindow(Handle(), SW_HIDE);
    }
}

void TfmMain::RemoveTrayIcon() {
    if (Handle()) ::KillTimer(Handle(), kTrayRetryTimer);
    if (!inTray_) return;
    ::Shell_NotifyIconA(NIM_DELETE, &trayIcon_);
    inTray_ = false;
}

void TfmMain::WMTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) TheApplication().Restore();
    TheApplication().ProcessMessages();
}
