// Trellin.dll driven the way a user drives it: Print Screen is pressed in another program (a child
// process of this one sends the keys with SendInput) and the capture requests arrive at a hidden
// window of this process, as they arrive at the main window waiting in the tray. The program binds
// to the library through its import library, by ordinal, like Framlet.exe.
//
// A second low-level hook of this process, installed before Trellin's, watches what comes out of
// Trellin's end of the hook chain: it tells which keys were passed on. The sender ends every
// series with a marker key that Trellin passes on; once the observer has seen it, every request
// Trellin posted is already in the queue, so nothing waits for a guess.
//
// A window of another process with the focus shows what the programs below the hook receive:
// never the capture keys while the hook is installed, every other key, and no menu opened by a
// lone Alt left behind by a consumed Alt+Print Screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
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
// Unassigned virtual keys: the end of each series, and the key Trellin presses and releases
// while Alt is held to keep a consumed Alt+Print Screen from leaving a lone Alt behind.
constexpr WORD kEndMarker = 0x97;
constexpr WORD kMaskKey = 0xE8;

// The child's side: "+2C -2C" sends those keys, down (+) or up (-), then the end marker.
int SendKeys(int count, char** keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (int i = 0; i < count; ++i) add(static_cast<WORD>(std::strtoul(keys[i] + 1, nullptr, 16)), keys[i][0] == '-');
    add(kEndMarker, false);
    add(kEndMarker, true);
    // One at a time, as a keyboard sends them.
    for (INPUT& input : inputs) {
        if (::SendInput(1, &input, sizeof(INPUT)) != 1) return 1;
    }
    return 0;
}

// The focused window of another process: what it received, one key message a line ("+2C",
// "-2C") and "menu" for a menu opened from the keyboard, written to a file at the end marker.
std::vector<std::string> received;
bool markerSeen = false;

LRESULT CALLBACK FocusWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            if (wp == kEndMarker) {
                if (!down) markerSeen = true;
                return 0;
            }
            char line[8];
            std::snprintf(line, sizeof line, "%c%X", down ? '+' : '-', static_cast<unsigned>(wp));
            received.push_back(line);
            break;
        }
        case WM_SYSCOMMAND:
            // A lone Alt's release: the window would enter its menu; noted, not entered.
            if ((wp & 0xFFF0) == SC_KEYMENU) {
                received.push_back("menu");
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(window, message, wp, lp);
}

int RunFocusWindow(const char* outFile, int count, char** keys) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FocusWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrellinFocusProbe";
    if (!::RegisterClassW(&wc)) return 2;
    HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"&File");
    HWND window = ::CreateWindowExW(0, L"TrellinFocusProbe", L"Focus probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                    300, 200, nullptr, menu, wc.hInstance, nullptr);
    if (!window) return 2;
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    auto pump = [] {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    };
    ULONGLONG deadline = ::GetTickCount64() + kPressTimeoutMs;
    while (!(::GetForegroundWindow() == window && ::GetFocus() == window)) {
        if (::GetTickCount64() > deadline) return 3;
        pump();
        ::Sleep(10);
    }
    if (SendKeys(count, keys) != 0) return 1;
    deadline = ::GetTickCount64() + kPressTimeoutMs;
    while (!markerSeen) {
        if (::GetTickCount64() > deadline) return 4;
        pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    pump();
    FILE* out = std::fopen(outFile, "w");
    if (!out) return 5;
    for (const std::string& line : received) std::fprintf(out, "%s\n", line.c_str());
    std::fclose(out);
    ::DestroyWindow(window);
    return 0;
}

std::vector<Request> requests;  // capture requests that reached a probe window, in order
std::vector<Key> passedOn;      // keys that came out of Trellin's end of the hook chain
HHOOK observer = nullptr;

bool endSeen = false;  // the observer has seen the end marker's release

LRESULT CALLBACK ObserverProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        if (key->vkCode == kEndMarker) {
            if (!down) endSeen = true;
        } else {
            passedOn.push_back({static_cast<WORD>(key->vkCode), down});
        }
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
    return ::CreateWindowExW(0, L"TrellinProbe", L"Trellin probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
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

struct Outcome {
    std::vector<Request> requests;  // capture requests that reached a probe window
    std::vector<Key> passedOn;      // keys that came out of Trellin's end of the chain
};

std::wstring KeyArguments(const std::vector<Key>& keys) {
    std::wstring arguments;
    for (const Key& key : keys) {
        wchar_t item[8];
        ::wsprintfW(item, L" %c%X", key.down ? L'+' : L'-', key.vk);
        arguments += item;
    }
    return arguments;
}

// Runs this program again with the arguments, pumping this thread's messages (the hooks of this
// thread run inside PumpMessages) until it has ended and the observer has seen the end marker,
// or the time runs out. False, with a failure, when either did not happen.
bool RunChild(const std::wstring& arguments) {
    requests.clear();
    passedOn.clear();
    endSeen = false;
    const std::wstring program = ThisProgram();
    std::wstring commandLine = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &child)) {
        ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
        return false;
    }
    ::CloseHandle(child.hThread);

    const ULONGLONG deadline = ::GetTickCount64() + 2 * kPressTimeoutMs;
    bool exited = false;
    for (;;) {
        PumpMessages();
        if (exited && endSeen) break;
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
    EXPECT_TRUE(exited) << "the key sender did not finish in time";
    EXPECT_EQ(exitCode, 0u) << "the key sender failed (1: SendInput refused a key, 3: no focus, 4: no end marker)";
    EXPECT_TRUE(endSeen) << "the end marker never came out of the hook chain";
    return exited && exitCode == 0 && endSeen;
}

// Has another process type the keys; what they caused. Nothing when the keys did not come through.
std::optional<Outcome> Press(const std::vector<Key>& keys) {
    if (!RunChild(L" --press" + KeyArguments(keys))) return std::nullopt;
    return Outcome{requests, passedOn};
}

// Has a window of another process take the focus and type the keys; the key messages it received.
std::optional<std::vector<std::string>> PressInFocusedWindow(const std::vector<Key>& keys) {
    wchar_t folder[MAX_PATH];
    wchar_t file[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    if (!::GetTempFileNameW(folder, L"tfp", 0, file)) return std::nullopt;
    std::optional<std::vector<std::string>> lines;
    if (RunChild(L" --focus-window \"" + std::wstring(file) + L"\"" + KeyArguments(keys))) {
        lines.emplace();
        char text[4096] = {};
        if (FILE* in = ::_wfopen(file, L"r")) {
            while (std::fgets(text, sizeof text, in)) lines->push_back(std::string(text, std::strcspn(text, "\n")));
            std::fclose(in);
        }
    }
    ::DeleteFileW(file);
    return lines;
}

std::vector<std::string> Lines(const std::vector<Key>& keys) {
    std::vector<std::string> lines;
    for (const Key& key : keys) {
        char line[8];
        std::snprintf(line, sizeof line, "%c%X", key.down ? '+' : '-', static_cast<unsigned>(key.vk));
        lines.push_back(line);
    }
    return lines;
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

std::vector<Key> Mask() { return Tap(kMaskKey); }
std::vector<Request> To(HWND window, const std::vector<UINT>& messages) {
    std::vector<Request> list;
    for (UINT message : messages) list.push_back({window, message});
    return list;
}

struct KeyCase {
    const char* name;
    std::vector<Key> keys;
    std::vector<UINT> expected;
    std::vector<Key> passedOn;  // what the programs below the hook see of the keys
};

TEST_F(TrellinHook, CaptureKeysAskForTheirCapturesOncePerPressAndGoNoFurther) {
    const std::vector<KeyCase> cases = {
        {"Print Screen", Tap(VK_SNAPSHOT), {WM_CAPTURE_SCREEN}, {}},
        {"Alt+Print Screen", With(VK_MENU, Tap(VK_SNAPSHOT)), {WM_CAPTURE_WINDOW}, With(VK_MENU, Mask())},
        {"left Alt+Print Screen", With(VK_LMENU, Tap(VK_SNAPSHOT)), {WM_CAPTURE_WINDOW}, With(VK_LMENU, Mask())},
        {"Ctrl+Print Screen", With(VK_CONTROL, Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}, With(VK_CONTROL, {})},
        {"Shift+Print Screen", With(VK_SHIFT, Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}, With(VK_SHIFT, {})},
        {"Windows+Print Screen: no lone Windows key left either",
         With(VK_LWIN, Tap(VK_SNAPSHOT)),
         {WM_CAPTURE_SCREEN},
         With(VK_LWIN, Mask())},
        {"held Print Screen repeats its key-down",
         {Down(VK_SNAPSHOT), Down(VK_SNAPSHOT), Down(VK_SNAPSHOT), Up(VK_SNAPSHOT)},
         {WM_CAPTURE_SCREEN},
         {}},
        {"two presses", Then(Tap(VK_SNAPSHOT), Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN, WM_CAPTURE_SCREEN}, {}},
        {"window, then screen: Alt does not stick",
         Then(With(VK_MENU, Tap(VK_SNAPSHOT)), Tap(VK_SNAPSHOT)),
         {WM_CAPTURE_WINDOW, WM_CAPTURE_SCREEN},
         With(VK_MENU, Mask())},
        {"Alt released before the key", Then(Tap(VK_MENU), Tap(VK_SNAPSHOT)), {WM_CAPTURE_SCREEN}, Tap(VK_MENU)},
        {"Alt pressed after the key went down: the key-down decides, the key-up masks the Alt",
         {Down(VK_SNAPSHOT), Down(VK_MENU), Up(VK_SNAPSHOT), Up(VK_MENU)},
         {WM_CAPTURE_SCREEN},
         With(VK_MENU, Mask())},
        {"Alt held over two presses: masked once",
         With(VK_MENU, Then(Tap(VK_SNAPSHOT), Tap(VK_SNAPSHOT))),
         {WM_CAPTURE_WINDOW, WM_CAPTURE_WINDOW},
         With(VK_MENU, Mask())},
        {"other keys",
         Then(Then(Tap('A'), Tap(VK_F12)), With(VK_MENU, Tap(VK_SCROLL))),
         {},
         Then(Then(Tap('A'), Tap(VK_F12)), With(VK_MENU, Tap(VK_SCROLL)))},
        {"Alt alone", Tap(VK_MENU), {}, Tap(VK_MENU)},
    };
    ASSERT_TRUE(InstallHook(window_));
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto outcome = Press(c.keys);
        if (!outcome) break;  // the keys themselves were lost: every later case would only wait
        EXPECT_EQ(outcome->requests, To(window_, c.expected));
        EXPECT_EQ(outcome->passedOn, c.passedOn);
    }
}

TEST_F(TrellinHook, NothingArrivesOnceTheHookIsRemovedAndTheKeysGoOnAgain) {
    ASSERT_TRUE(InstallHook(window_));
    auto outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, To(window_, {WM_CAPTURE_SCREEN}));

    RemoveHook();
    for (const auto& keys : {Tap(VK_SNAPSHOT), With(VK_MENU, Tap(VK_SNAPSHOT))}) {
        outcome = Press(keys);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->requests, std::vector<Request>{});
        EXPECT_EQ(outcome->passedOn, keys);
    }
    RemoveHook();  // a second removal is harmless

    ASSERT_TRUE(InstallHook(window_));
    outcome = Press(With(VK_MENU, Tap(VK_SNAPSHOT)));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, To(window_, {WM_CAPTURE_WINDOW}));
}

TEST_F(TrellinHook, RemovingWhileTheKeyIsHeldDoesNotSwallowTheNextPress) {
    ASSERT_TRUE(InstallHook(window_));
    auto outcome = Press({Down(VK_SNAPSHOT)});
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, To(window_, {WM_CAPTURE_SCREEN}));
    RemoveHook();
    outcome = Press({Up(VK_SNAPSHOT)});
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, std::vector<Request>{});
    ASSERT_TRUE(InstallHook(window_));
    outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, To(window_, {WM_CAPTURE_SCREEN}));
}

TEST_F(TrellinHook, AKeyUpWhoseKeyDownCameBeforeTheHookGoesOn) {
    auto outcome = Press({Down(VK_SNAPSHOT)});
    ASSERT_TRUE(outcome);
    ASSERT_TRUE(InstallHook(window_));
    outcome = Press({Up(VK_SNAPSHOT)});
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, std::vector<Request>{});
    EXPECT_EQ(outcome->passedOn, std::vector<Key>{Up(VK_SNAPSHOT)});
}

TEST_F(TrellinHook, InstallRefusesWhatIsNoWindowAndInstallsNothing) {
    const HWND gone = CreateProbeWindow();
    ASSERT_NE(gone, nullptr);
    ::DestroyWindow(gone);

    EXPECT_FALSE(InstallHook(nullptr));
    EXPECT_FALSE(InstallHook(gone));
    const auto outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, std::vector<Request>{});
    EXPECT_EQ(outcome->passedOn, Tap(VK_SNAPSHOT));
}

TEST_F(TrellinHook, InstallingAgainRedirectsTheRequestsWithoutASecondHook) {
    const HWND other = CreateProbeWindow();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(InstallHook(window_));
    ASSERT_TRUE(InstallHook(other));
    auto outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, To(other, {WM_CAPTURE_SCREEN}));
    RemoveHook();
    outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, std::vector<Request>{});
    ::DestroyWindow(other);
}

TEST_F(TrellinHook, AKeyWhoseRequestCannotBePostedGoesOn) {
    const HWND other = CreateProbeWindow();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(InstallHook(other));
    ::DestroyWindow(other);  // the window goes without removing the hook
    const auto outcome = Press(Tap(VK_SNAPSHOT));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->requests, std::vector<Request>{});
    EXPECT_EQ(outcome->passedOn, Tap(VK_SNAPSHOT));
}

TEST_F(TrellinHook, AFocusedWindowOfAnotherProcessNeverSeesTheCaptureKeysWhileTheHookIsInstalled) {
    const std::vector<Key> keys =
        Then(Then(Tap('A'), With(VK_MENU, Tap(VK_SNAPSHOT))), Then(Tap(VK_SNAPSHOT), Tap('B')));
    ASSERT_TRUE(InstallHook(window_));
    auto seen = PressInFocusedWindow(keys);
    ASSERT_TRUE(seen);
    // No Print Screen, and no menu opened by the Alt whose Print Screen was taken.
    EXPECT_EQ(*seen, Lines(Then(Then(Tap('A'), With(VK_MENU, Mask())), Tap('B'))));
    EXPECT_EQ(requests, To(window_, {WM_CAPTURE_WINDOW, WM_CAPTURE_SCREEN}));

    RemoveHook();
    seen = PressInFocusedWindow(keys);
    ASSERT_TRUE(seen);
    EXPECT_EQ(requests, std::vector<Request>{});
    // The capture keys reach the window again: at least their key-ups (Windows itself sends no
    // key-down for Print Screen), and every other key as before.
    std::vector<std::string> others;
    int captureKeys = 0;
    for (const std::string& line : *seen) {
        if (line == "+2C" || line == "-2C") {
            ++captureKeys;
        } else {
            others.push_back(line);
        }
    }
    EXPECT_GE(captureKeys, 2) << ::testing::PrintToString(*seen);
    EXPECT_EQ(others, Lines(Then(Then(Tap('A'), With(VK_MENU, {})), Tap('B'))));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--press") == 0) return SendKeys(argc - 2, argv + 2);
    if (argc >= 3 && std::strcmp(argv[1], "--focus-window") == 0) return RunFocusWindow(argv[2], argc - 3, argv + 3);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
