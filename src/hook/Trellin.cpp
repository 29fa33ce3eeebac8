// Trellin.dll: a low-level keyboard hook that turns the capture keys into requests to one window.
// Print Screen asks for WM_CAPTURE_SCREEN, Alt+Print Screen for WM_CAPTURE_WINDOW.
//
// A low-level hook is never loaded into other processes: the system calls it on the thread that
// installed it, through that thread's message loop. Plain globals are therefore enough; no
// shared data section is needed.
#include <windows.h>

#include "app/Messages.h"

namespace {

HINSTANCE moduleInstance = nullptr;
HHOOK keyboardHook = nullptr;
HWND requestWindow = nullptr;
// Print Screen is down. A held key repeats its key-down; one press asks for one capture.
bool snapshotHeld = false;
// The Alt keys as the hook has seen them come and go, in the order they were typed.
bool leftAltHeld = false;
bool rightAltHeld = false;

bool IsKeyDown(WPARAM message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;  // Alt held turns key-downs into WM_SYSKEYDOWN
}

// Wine 8 leaves LLKHF_ALTDOWN clear. The Alt press came to this hook as an earlier event, so the
// hook knows it itself. The asynchronous key state alone is not enough: under load Wine
// sometimes does not show the Alt press in it yet, and Alt+Print Screen became a screen
// capture. It still counts for an Alt pressed before the hook was installed.
bool IsAltDown(const KBDLLHOOKSTRUCT& key) {
    return (key.flags & LLKHF_ALTDOWN) != 0 || leftAltHeld || rightAltHeld ||
           (::GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (key->vkCode == VK_MENU || key->vkCode == VK_LMENU) leftAltHeld = IsKeyDown(message);
        if (key->vkCode == VK_RMENU) rightAltHeld = IsKeyDown(message);
        if (key->vkCode == VK_SNAPSHOT) {
            const bool down = IsKeyDown(message);
            if (down && !snapshotHeld) {
                const UINT request = IsAltDown(*key) ? WM_CAPTURE_WINDOW : WM_CAPTURE_SCREEN;
                // Posted, not sent: the window's thread is this thread, so a sent message would run
                // the whole capture inside the hook, and the system drops a low-level hook that
                // keeps the keyboard waiting too long.
                ::PostMessageW(requestWindow, request, 0, 0);
            }
            snapshotHeld = down;
        }
    }
    // The key goes on to every other program and hook: the capture copies the screen by itself
    // and needs no exclusive use of the key.
    return ::CallNextHookEx(keyboardHook, code, message, data);
}

}  // namespace

// Ordinal 2 (see Trellin_*.def). stdcall; the result is a byte boolean.
extern "C" bool WINAPI InstallHook(HWND mainWindow) {
    if (!::IsWindow(mainWindow)) return false;
    if (!keyboardHook) {
        keyboardHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, moduleInstance, 0);
        if (!keyboardHook) return false;
    }
    requestWindow = mainWindow;
    snapshotHeld = false;
    return true;
}

// Ordinal 3.
extern "C" void WINAPI RemoveHook() {
    if (keyboardHook) ::UnhookWindowsHookEx(keyboardHook);
    keyboardHook = nullptr;
    requestWindow = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary while the process goes on: the hook must not outlive its code.
        // At process exit the system removes the hook itself.
        RemoveHook();
    }
    return TRUE;
}
