#pragma once
#include <windows.h>

// The keyboard-hook library Trellin.dll. It exports nothing by name: the import library made
// from its .def file binds these declarations to ordinal 2 (InstallHook) and 3 (RemoveHook).
// The names below exist only for the linker.
extern "C" {

// Ordinal 2. Starts watching the keyboard for every program on the desktop and posts
// WM_CAPTURE_SCREEN (Print Screen) or WM_CAPTURE_WINDOW (Alt+Print Screen) to mainWindow.
// Returns false, and installs nothing, when mainWindow is no window or the system refuses the
// hook. Calling it again while installed only changes the window the requests go to.
// The hook runs on the calling thread, through its message loop.
DECLSPEC_IMPORT bool WINAPI InstallHook(HWND mainWindow);

// Ordinal 3. Stops watching; harmless when nothing is installed.
DECLSPEC_IMPORT void WINAPI RemoveHook();
}
