// Trellin.dll: a low-level keyboard hook that turns the capture keys into requests to one window.
// Print Screen asks for WM_CAPTURE_SCREEN, Alt+Print Screen for WM_CAPTURE_WINDOW. A press that
// became a request is Framlet's: its key-down, repeats and key-up go no further, so no other
// program (the system's own snipping overlay, another capture tool) acts on it as well. Every
// other key, and a capture key whose request could not be posted, is passed on.
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
// The press now held asked for a capture: its repeats and its release are consumed as well.
bool snapshotTaken = false;
// The Alt and Windows keys as the hook has seen them come and go, in the order they were typed.
bool leftAltHeld = false;
bool rightAltHeld = false;
bool leftWinHeld = false;
bool rightWinHeld = false;
// A mask key was sent for the menu keys now held (see SendMaskKey).
bool menuKeysMasked = false;

// An unassigned virtual key: no keyboard has it and no program acts on it.
constexpr WORD kMaskKey = 0xE8;

bool IsKeyDown(WPARAM message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;  // Alt held turns key-downs into WM_SYSKEYDOWN
}

bool IsAsyncDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Wine 8 leaves LLKHF_ALTDOWN clear. The Alt press came to this hook as an earlier event, so the
// hook knows it itself. The asynchronous key state alone is not enough: under load Wine
// sometimes does not show the Alt press in it yet, and Alt+Print Screen became a screen
// capture. It still counts for an Alt pressed before the hook was installed.
bool IsAltDown(const KBDLLHOOKSTRUCT& key) {
    return (key.flags & LLKHF_ALTDOWN) != 0 || leftAltHeld || rightAltHeld || IsAsyncDown(VK_MENU);
}

bool IsMenuKeyDown(const KBDLLHOOKSTRUCT& key) {
    return IsAltDown(key) || leftWinHeld || rightWinHeld || IsAsyncDown(VK_LWIN) || IsAsyncDown(VK_RWIN);
}

// Consuming Print Screen leaves the programs below with a lone press of the Alt (or Windows)
// key held with it, and the release of a lone Alt opens the foreground window's menu bar (of the
// Windows key, the Start menu). A press and release of the mask key while it is held makes it a
// combination for them again. Sent once per hold; injected keys come through this hook too and
// are passed on.
void SendMaskKey() {
    if (menuKeysMasked) return;
    menuKeysMasked = true;
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = kMaskKey;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

void TrackMenuKeys(const KBDLLHOOKSTRUCT& key, bool down) {
    switch (key.vkCode) {
        case VK_MENU:
        case VK_LMENU: leftAltHeld = down; break;
        case VK_RMENU: rightAltHeld = down; break;
        case VK_LWIN: leftWinHeld = down; break;
        case VK_RWIN: rightWinHeld = down; break;
        default: return;
    }
    if (!leftAltHeld && !rightAltHeld && !leftWinHeld && !rightWinHeld) menuKeysMasked = false;
}

// Whether the hook takes this Print Screen event for itself.
bool TakeSnapshotKey(const KBDLLHOOKSTRUCT& key, bool down) {
    if (down && !snapshotHeld) {
        const UINT request = IsAltDown(key) ? WM_CAPTURE_WINDOW : WM_CAPTURE_SCREEN;
        // Posted, not sent: the window's thread is this thread, so a sent message would run the
        // whole capture inside the hook, and the system drops a low-level hook that keeps the
        // keyboard waiting too long. A request that cannot be posted leaves the key to others.
        snapshotTaken = ::PostMessageW(requestWindow, request, 0, 0) != FALSE;
    }
    snapshotHeld = down;
    const bool taken = snapshotTaken;
    if (!down) snapshotTaken = false;
    // On a key-down the Alt key is already through; the key-up is masked as well, for an Alt
    // pressed while Print Screen was held.
    if (taken && IsMenuKeyDown(key)) SendMaskKey();
    return taken;
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool down = IsKeyDown(message);
        TrackMenuKeys(*key, down);
        if (key->vkCode == VK_SNAPSHOT && TakeSnapshotKey(*key, down)) return 1;
    }
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
    snapshotTaken = false;
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
