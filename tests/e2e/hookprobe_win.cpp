// Trellin.dll driven the way a user drives it: Print Screen is pressed in another program (a child
// process of this one sends the keys with SendInput) and the capture requests arrive at a hidden
// window of this process, as they arrive at the main window waiting in the tray. The program binds
// to the library through its import library, by ordinal, like Framlet.exe.
//
// A second low-level hook of this process, installed before Trellin's, watches what comes out of
// Trellin's end of the hook chain: it tells whether the keys were passed on, and once it has seen
// the last key every request Trellin posted is already in the queue, so nothing waits for a guess.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "hook/TrellinInt.h"

namespace {

struct Key {
    WORD vk;
    bool down;
    bool operator==(const Key&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Key& key) {
    return out << (key.down ? '+' : '-') << std::hex << key.vk << std::dec;
}

struct Request {
    HWND window;
    UINT message;
    bool operator==(const Request&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Request& request) {
    const char* name = request.message == WM_CAPTURE_SCREEN   ? "WM_CAPTURE_SCREEN"
                       : request.message == WM_CAPTURE_WINDOW ? "WM_CAPTURE_WINDOW"
                                                              : "?";
    return out << name << " to " << request.window;
}

Key Down(WORD vk) { return {vk, true}; }
Key Up(WORD vk) { return {vk, false}; }
std::vector<Key> Tap(WORD vk) { return {Down(vk), Up(vk)}; }
std::vector<Key> With(WORD modifier, std::vector<Key> keys) {
    keys.insert(keys.begin(), Down(modifier));
    keys.push_back(Up(modifier));
    return keys;
}
std::vector<Key> Then(std::vector<Key> first, const std::vector<Key>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

constexpr ULONGLONG kPressTimeoutMs = 5000;

// The child's side: "--press +2C -2C" sends those keys, down (+) or up (-), in one SendInput.
int SendKeys(int count, char** keys) {
    std::vector<INPUT> inputs;
    for (int i = 0; i < count; ++i) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(std::strtoul(keys[i] + 1, nullptr, 16));
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(input.ki.wVk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = keys[i][0] == '-' ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size() ? 0 : 1;
}

std::vector<Request> requests;  // capture requests that reached a probe window, in order
std::vector<Key> passedOn;      // keys that came out of Trellin's end of the hook chain
HHOOK observer = nullptr;

LRESULT CALLBACK ObserverProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        passedOn.push_back({static_cast<WORD>(key->vkCode), message == WM_KEYDOWN || message == WM_SYSKEYDOWN});
    }
    return ::CallNextHookEx(observer, code, message, data);
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_CAPTURE_SCREEN || message == WM_CAPTURE_WINDOW) {
        EXPECT_EQ(wp, 0u);
        EXPECT_EQ(lp, 0);
        requests.push_back({window, message});
        return 0;
    }
    return ::DefWindowProcW(window, message, wp, lp);
}

// A hidden top-level window, like the main window in the tray.
HWND CreateProbeWindow() {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProbeWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrellinProbe";
        return ::RegisterClassW(&wc);
    }();
    if (!registered) return nullptr;
    return ::CreateWindowExW(0, L"TrellinProbe", L"Trellin probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // A request posted to no window lands here as a thread message: a fault too.
        if (!msg.hwnd && (msg.message == WM_CAPTURE_SCREEN || msg.message == WM_CAPTURE_WINDOW)) {
            requests.push_back({nullptr, msg.message});
        }
        ::DispatchMessageW(&msg);
    }
}

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Has another process type the keys, and returns the capture requests they caused. The hooks of
// this thread run inside PumpMessages, so the thread keeps pumping until the observer has seen
// every key or the time runs out. Nothing when the keys did not all come through.
std::optional<std::vector<Request>> Press(const std::vector<Key>& keys) {
    requests.clear();
    passedOn.clear();
    const std::wstring program = ThisProgram();
    std::wstring commandLine = L"\"" + program + L"\" --press";
    for (const Key& key : keys) {
        wchar_t item[8];
        ::wsprintfW(item, L" %c%X", key.down ? L'+' : L'-', key.vk);
        commandLine += item;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &child)) {
        ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
        return std::nullopt;
    }
    ::CloseHandle(child.hThread);

    const ULONGLONG deadline = ::GetTickCount64() + kPressTimeoutMs;
    bool exited = false;
    for (;;) {
        PumpMessages();
        if (exited && passedOn.size() >= keys.size()) break;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) break;
        const DWORD waited = ::MsgWaitForMultipleObjects(exited ? 0 : 1, &child.hProcess, FALSE,
                                                         static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (!exited && waited == WAIT_OBJECT_0) exited = true;
    }
    PumpMessages();

    DWORD exitCode = STILL_ACTIVE;
    ::GetExitCodeProcess(child.hProcess, &exitCode);
    if (!exited) ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hProcess);
    EXPECT_TRUE(exited) << "the key sender did not finish within " << kPressTimeoutMs << " ms";
    EXPECT_EQ(exitCode, 0u) << "SendInput did not take every key";
    // Every key must come out of Trellin's end of the chain: the hook never swallows a key.
    EXPECT_EQ(passedOn, keys);
    if (!exited || exitCode != 0 || passedOn != keys) return std::nullopt;
    return requests;
}

class TrellinHook : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateProbeWindow();
        ASSERT_NE(window_, nullptr);
        // Installed first, so that it is called after Trellin's hook: later hooks come first.
        observer = ::SetWindowsHookExW(WH_KEYBOARD_LL, ObserverProc, ::GetModuleHandleW(nullptr), 0);
        ASSERT_NE(observer, nullptr);
    }
    void TearDown() override {
        RemoveHook();
        if (observer) ::UnhookWindowsHookEx(observer);
        observer = nullptr;
        ::DestroyWindow(window_);
        PumpMessages();
    }

    HWND window_ = nullptr;
};

struct KeyCase {
    const char* name;
    std::vector<Key> keys;
    std::vector<UINT> expected;
};

TEST_F(TrellinHook, CaptureKeysAskForTheirCapturesOncePerPress) {
    const std::vector<KeyCase> cases = {
        {"Print Screen", Tap(VK_SNAPSHOT), {WM_CAPTURE_SCREEN}},
        {"Alt+Print Screen", With(VK_MENU, Tap(VK_SNAPSHOT)), {WM_CAPTURE_WINDOW}},
        {"left Alt+Print Screen", With(VK_LMENU, Tap(VK_SNAPSHOT)), {WM_CAPTURE_WINDOW}},
        {"Ctrl+Print Screen", With(VK_CONTROL, Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}},
        {"Shift+Print Screen", With(VK_SHIFT, Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}},
        {"held Print Screen repeats its key-down",
         {Down(VK_SNAPSHOT), Down(VK_SNAPSHOT), Down(VK_SNAPSHOT), Up(VK_SNAPSHOT)},
         {WM_CAPTURE_SCREEN}},
        {"two presses", Then(Tap(VK_SNAPSHOT), Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN, WM_CAPTURE_SCREEN}},
        {"window, then screen: Alt does not stick",
         Then(With(VK_MENU, Tap(VK_SNAPSHOT)), Tap(VK_SNAPSHOT)),
         {WM_CAPTURE_WINDOW, WM_CAPTURE_SCREEN}},
        {"Alt released before the key", Then(Tap(VK_MENU), Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}},
        {"Alt pressed after the key went down: the key-down decides",
         {Down(VK_SNAPSHOT), Down(VK_MENU), Up(VK_SNAPSHOT), Up(VK_MENU)},
         {WM_CAPTURE_SCREEN}},
        {"Alt held over two presses", With(VK_MENU, Then(Tap(VK_SNAPSHOT), Tap(VK_SNAPSHOT))),
         {WM_CAPTURE_WINDOW, WM_CAPTURE_WINDOW}},
        {"other keys", Then(Then(Tap('A'), Tap(VK_F12)), With(VK_MENU, Tap(VK_SCROLL))), {}},
        {"Alt alone", Tap(VK_MENU), {}},
    };
    ASSERT_TRUE(InstallHook(window_));
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Request> expected;
        for (UINT message : c.expected) expected.push_back({window_, message});
        const auto received = Press(c.keys);
        if (!received) break;  // the keys themselves were lost: every later case would only wait
        EXPECT_EQ(*received, expected);
    }
}

TEST_F(TrellinHook, NothingArrivesOnceTheHookIsRemovedAndReinstallingWorks) {
    ASSERT_TRUE(InstallHook(window_));
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), (std::vector<Request>{{window_, WM_CAPTURE_SCREEN}}));

    RemoveHook();
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), std::vector<Request>{});
    EXPECT_EQ(Press(With(VK_MENU, Tap(VK_SNAPSHOT))), std::vector<Request>{});
    RemoveHook();  // a second removal is harmless

    ASSERT_TRUE(InstallHook(window_));
    EXPECT_EQ(Press(With(VK_MENU, Tap(VK_SNAPSHOT))), (std::vector<Request>{{window_, WM_CAPTURE_WINDOW}}));
}

TEST_F(TrellinHook, RemovingWhileTheKeyIsHeldDoesNotSwallowTheNextPress) {
    ASSERT_TRUE(InstallHook(window_));
    EXPECT_EQ(Press({Down(VK_SNAPSHOT)}), (std::vector<Request>{{window_, WM_CAPTURE_SCREEN}}));
    RemoveHook();
    EXPECT_EQ(Press({Up(VK_SNAPSHOT)}), std::vector<Request>{});
    ASSERT_TRUE(InstallHook(window_));
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), (std::vector<Request>{{window_, WM_CAPTURE_SCREEN}}));
}

TEST_F(TrellinHook, InstallRefusesWhatIsNoWindowAndInstallsNothing) {
    const HWND gone = CreateProbeWindow();
    ASSERT_NE(gone, nullptr);
    ::DestroyWindow(gone);

    EXPECT_FALSE(InstallHook(nullptr));
    EXPECT_FALSE(InstallHook(gone));
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), std::vector<Request>{});
}

TEST_F(TrellinHook, InstallingAgainRedirectsTheRequestsWithoutASecondHook) {
    const HWND other = CreateProbeWindow();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(InstallHook(window_));
    ASSERT_TRUE(InstallHook(other));
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), (std::vector<Request>{{other, WM_CAPTURE_SCREEN}}));
    RemoveHook();
    EXPECT_EQ(Press(Tap(VK_SNAPSHOT)), std::vector<Request>{});
    ::DestroyWindow(other);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--press") == 0) return SendKeys(argc - 2, argv + 2);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
