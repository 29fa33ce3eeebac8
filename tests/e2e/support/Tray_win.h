#pragma once
// What a user sees of a resident program from outside: Wine's tray window with its icons, and
// the message boxes a program shows. Works across processes.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The icons in Wine's system tray window (X window / Win32 class __winex11_standalone_tray,
// one child of class __winex11_tray_icon per icon), in no particular order. Empty without tray.
std::vector<HWND> TrayIcons();
// The tip of a tray icon as the tray shows it: the pointer is moved onto the icon and rests
// there until the icon's tooltip window (of class tooltips_class32, owned by the tray window) is
// shown; its text is read with WM_GETTEXT, which Wine's tooltips answer with the text they
// show. Empty if no tip is shown within the time.
std::wstring TrayIconTip(HWND icon, int timeoutMs = 5000);
// Puts the tray window in the bottom-right corner, under other windows, where it stays out of
// screen captures that a test compares with a known picture.
void MoveTrayAside();
// Puts the tray window, which stays above every other window, beyond every monitor, so that a
// capture of the whole screen holds no part of it. (Hidden, Wine would show it again.)
void MoveTrayOffScreen();

// A visible message box (a #32770 dialog) of the process, or null.
HWND FindMessageBox(DWORD processId);
HWND WaitForMessageBox(DWORD processId, int timeoutMs = 10000);
// The box's message: the text of its static control that has text.
std::wstring MessageBoxText(HWND box);
// Answers the box with a real click on its button with the given id (IDOK, IDCANCEL...).
bool AnswerMessageBox(HWND box, int buttonId);
// For clean-up: the real click, and if the box is still there, the button's command.
void CloseMessageBox(HWND box, int buttonId);

}  // namespace e2e
