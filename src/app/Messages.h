#pragma once

// The main window's private messages. Those the program sends to itself are posted; wParam and
// lParam are 0 unless said otherwise. Plain numbers, so that portable code and tests can name them.

// From the keyboard-hook library Trellin.dll: capture the whole screen.
constexpr unsigned int WM_CAPTURE_SCREEN = 0x464;  // WM_USER + 100
// From the keyboard-hook library Trellin.dll: capture the foreground window.
constexpr unsigned int WM_CAPTURE_WINDOW = 0x465;  // WM_USER + 101
// Posted by FormShow: minimise the application, which puts it into the tray.
constexpr unsigned int WM_START_MINIMIZED = 0x46E;  // WM_USER + 110
// The tray icon's callback message from the shell; lParam carries the mouse message.
constexpr unsigned int WM_TRAY_NOTIFY = 0x478;  // WM_USER + 120
// Posted by a double click on the picture: run the Save command.
constexpr unsigned int WM_SAVE_REQUEST = 0x4C8;  // WM_USER + 200
