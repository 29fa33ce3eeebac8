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
constexpr char kTrayTip[] = "VEDivavov";

#if defined(__i386__)
// The record the shell is given is the old, first form of NOTIFYICONDATA.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif
static_assert((NIF_MESSAGE | NIF_ICON | NIF_TIP) == 7);

}  // namespace

void TfmMain::WMStartMinimized() { TheApplication().Minimize(); }

// A restarted shell has forgotten every icon: without ours again a user could never reach us.
void TfmMain::WMTaskbarCreated() {
    if (inTray_) {
        inTray_ = false;
        AddTrayIcon();
    }
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
