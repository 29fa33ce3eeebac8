// The options dialog used the way a person uses it. This program owns a hidden window standing
// in for the main window and a settings store over a file of its own, and calls
// ShowOptionDialog. A second copy of the program (started with --drive) is the person: it finds
// the dialog, reads what it shows, and clicks and types with real input (SendInput). What it
// saw comes back in a report file; what the dialog stored is read from the settings file.
//
// Controls are found by their place in the dialog's design, so the driver needs no window ids
// and works whatever texts Resource.ini gives them.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Driver_win.h"
#include "Printing_win.h"
#include "TestSupport.h"
#include "app/Printer_win.h"
#include "platform/AppError.h"
#include "platform/Text.h"
#include "settings/FLConfig.h"
#include "settings/OptionForm_win.h"
#include "settings/OptionLayout.h"
#include "win32/Application.h"

namespace {

constexpr int kStepTimeoutMs = 10000;
const wchar_t kBrowseTitle[] = L"デフォルトとするフォルダを指定してください。";

std::wstring Widen(const std::string& utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}
std::string Narrow(const std::wstring& text) { return Utf16ToUtf8(std::u16string(text.begin(), text.end())); }

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[128] = {};
    ::GetClassNameW(hwnd, name, 128);
    return name;
}

// ---------------------------------------------------------------------------------------------
// The driver: the person in front of the dialog, in its own process.

struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

HWND dialog = nullptr;

HWND WaitForWindow(const std::function<HWND()>& find, const char* what) {
    HWND found = nullptr;
    if (!e2e::WaitUntil([&] { return (found = find()) != nullptr; }, kStepTimeoutMs)) {
        throw DriverError(std::string("no ") + what + " appeared");
    }
    return found;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A visible top-level window of the process that owns the dialog, of the given class.
HWND FindTopOfDialogProcess(const wchar_t* className, HWND owner = nullptr) {
    DWORD dialogProcess = 0;
    ::GetWindowThreadProcessId(dialog, &dialogProcess);
    for (HWND hwnd : TopWindows()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != dialogProcess || !::IsWindowVisible(hwnd) || ClassName(hwnd) != className) continue;
        if (owner && ::GetWindow(hwnd, GW_OWNER) != owner) continue;
        return hwnd;
    }
    return nullptr;
}

HWND FindDescendantOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> windows;
    ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows) {
        if (::lstrcmpiW(ClassName(hwnd).c_str(), className) == 0) return hwnd;
    }
    return nullptr;
}

// The dialog's control at the place its design row gives it.
HWND Control(const std::string& name) {
    const ControlLayout* row = FindControl(kOptionFormLayout, name);
    if (!row) throw DriverError("the design has no " + name);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        if (r.left == row->place.left && r.top == row->place.top && r.right - r.left == row->place.width) return child;
    }
    throw DriverError("no window at the place of " + name);
}

std::string NameOf(HWND hwnd) {
    for (const ControlLayout& row : kOptionFormLayout.controls) {
        if (IsControl(row.kind) && Control(row.name) == hwnd) return row.name;
    }
    return hwnd ? "window of class " + Narrow(ClassName(hwnd)) : "nothing";
}

// "ESCAPE", "RETURN", "TAB", "HOME", "CTRL+V", "ALT+O"...
void PressNamedKey(const std::string& combination) {
    static const std::map<std::string, WORD> named = {
        {"ESCAPE", VK_ESCAPE}, {"RETURN", VK_RETURN}, {"TAB", VK_TAB},   {"HOME", VK_HOME},   {"END", VK_END},
        {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT}, {"BACK", VK_BACK},
    };
    std::vector<WORD> held;
    std::string rest = combination;
    for (;;) {
        if (rest.rfind("CTRL+", 0) == 0) {
            held.push_back(VK_CONTROL);
            rest.erase(0, 5);
        } else if (rest.rfind("ALT+", 0) == 0) {
            held.push_back(VK_MENU);
            rest.erase(0, 4);
        } else if (rest.rfind("SHIFT+", 0) == 0) {
            held.push_back(VK_SHIFT);
            rest.erase(0, 6);
        } else {
            break;
        }
    }
    const auto it = named.find(rest);
    if (it != named.end()) {
        e2e::PressKeys(held, it->second);
    } else if (rest.size() == 1) {
        e2e::PressKeys(held, static_cast<WORD>(rest[0]));
    } else {
        throw DriverError("unknown key " + combination);
    }
}

// Keys go to the foreground window: make it the dialog by clicking an empty spot of it.
void ActivateDialog() {
    if (::GetForegroundWindow() == dialog) return;
    POINT spot{360, 4};
    ::ClientToScreen(dialog, &spot);
    e2e::Click(spot.x, spot.y);
    if (!e2e::WaitUntil([] { return ::GetForegroundWindow() == dialog; }, 3000)) {
        throw DriverError("the dialog did not come to the foreground");
    }
}

HWND FocusedWindow(HWND anyOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(anyOfThread, nullptr), &info);
    return info.hwndFocus;
}

void FocusEditAtEnd(HWND edit) {
    e2e::ClickOn(edit);
    if (!e2e::WaitUntil([&] { return FocusedWindow(dialog) == edit; }, 3000)) {
        throw DriverError("the box took no focus");
    }
    PressNamedKey("END");
}

void PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) throw DriverError("the clipboard cannot be opened");
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

// "red" when some of the text is drawn in red, "not red" when the text is there in another
// colour, "blank" when nothing is drawn at all. Waits for the text to be painted.
std::string TextColour(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    const COLORREF system = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t face = GetRValue(system) << 16 | GetGValue(system) << 8 | GetBValue(system);
    std::string colour = "blank";
    e2e::WaitUntil(
        [&] {
            int red = 0, background = 0, other = 0;
            for (uint32_t pixel : e2e::CaptureRect(r).pixels) {
                const uint32_t R = pixel >> 16 & 0xFF, G = pixel >> 8 & 0xFF, B = pixel & 0xFF;
                if (R >= 192 && G <= 64 && B <= 64) {
                    ++red;
                } else if (pixel == face) {
                    ++background;
                } else {
                    ++other;
                }
            }
            // Before the control is painted its place shows whatever was there, with no face colour.
            colour = red ? "red" : background && other ? "not red" : "blank";
            return colour != "blank";
        },
        3000);
    return colour;
}

std::wstring ComboItems(HWND combo) {
    std::wstring items;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The wide message: the ANSI one comes back as UTF-16 across processes under Wine.
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        items += (i ? L"|" : L"") + item;
    }
    return items;
}

// The folder browser the dialog opens: "browser-cancel" clicks its Cancel button; "browser-ok
// KEY..." presses the keys in its tree (a key name, or "=text" to type) and clicks OK.
void UseBrowser(const std::string& verb, const std::wstring& keys, std::map<std::string, std::string>& seen) {
    HWND browser = WaitForWindow([] { return FindTopOfDialogProcess(L"#32770", dialog); }, "folder browser");
    seen["browser title shown"] = e2e::FindChildByText(browser, kBrowseTitle) ? "yes" : "no";
    HWND tree = WaitForWindow([&] { return FindDescendantOfClass(browser, WC_TREEVIEWW); }, "folder tree");
    const auto chosen = ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    const auto root = ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    seen["browser chose at start"] = chosen == 0 ? "nothing" : chosen == root ? "the root" : "another folder";
    if (verb == "browser-cancel") {
        e2e::ClickOn(::GetDlgItem(browser, IDCANCEL));
    } else {
        e2e::ClickOn(tree);
        size_t at = 0;
        while (at < keys.size()) {
            size_t end = keys.find(L' ', at);
            if (end == std::wstring::npos) end = keys.size();
            const std::wstring key = keys.substr(at, end - at);
            if (!key.empty() && key[0] == L'=') {
                e2e::TypeText(key.substr(1));
            } else if (!key.empty()) {
                PressNamedKey(Narrow(key));
            }
            at = end + 1;
        }
        e2e::ClickOn(::GetDlgItem(browser, IDOK));
    }
    if (!e2e::WaitUntil([&] { return !::IsWindow(browser) || !::IsWindowVisible(browser); }, kStepTimeoutMs)) {
        throw DriverError("the folder browser did not close");
    }
}

// The printer setup dialog the dialog opens: reports the printer it shows, then either clicks
// Cancel ("setup-cancel") or chooses the named printer in its list and clicks OK ("setup-ok NAME").
void UsePrinterSetup(const std::string& verb, const std::wstring& printer, std::map<std::string, std::string>& seen) {
    HWND setup = WaitForWindow([] { return FindTopOfDialogProcess(L"#32770", dialog); }, "printer setup dialog");
    HWND list = WaitForWindow([&] { return e2e::PrinterSetupList(setup); }, "printer list");
    seen["setup shows"] = Narrow(e2e::WindowText(list));
    if (verb == "setup-cancel") {
        e2e::ClickOn(::GetDlgItem(setup, IDCANCEL));
    } else {
        seen["setup chose"] = Narrow(e2e::ChoosePrinterInSetup(setup, printer));
        e2e::ClickOn(::GetDlgItem(setup, IDOK));
    }
    if (!e2e::WaitUntil([&] { return !::IsWindow(setup) || !::IsWindowVisible(setup); }, kStepTimeoutMs)) {
        throw DriverError("the printer setup dialog did not close");
    }
}

// A message box over the dialog: reports its text and clicks OK.
void AnswerMessageBox(std::map<std::string, std::string>& seen) {
    HWND box = WaitForWindow([] { return FindTopOfDialogProcess(L"#32770", dialog); }, "message box");
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"Static" && !e2e::WindowText(child).empty()) text = Narrow(e2e::WindowText(child));
    }
    seen["message"] = text;
    e2e::ClickOn(::GetDlgItem(box, IDOK));
    if (!e2e::WaitUntil([&] { return !::IsWindow(box); }, kStepTimeoutMs)) throw DriverError("the message box stayed");
}

void RunStep(const std::wstring& step, std::map<std::string, std::string>& seen) {
    const size_t space = step.find(L' ');
    const std::string verb = Narrow(step.substr(0, space));
    std::wstring rest = space == std::wstring::npos ? L"" : step.substr(space + 1);
    const size_t nameEnd = rest.find(L' ');
    const std::string name = Narrow(rest.substr(0, nameEnd));
    const std::wstring text = nameEnd == std::wstring::npos ? L"" : rest.substr(nameEnd + 1);
    const std::string key = Narrow(step);

    if (verb == "caption") {
        seen[key] = Narrow(e2e::WindowText(dialog));
    } else if (verb == "place") {
        RECT window, client;
        ::GetWindowRect(dialog, &window);
        ::GetClientRect(dialog, &client);
        seen["window"] = std::to_string(window.left) + "," + std::to_string(window.top) + "," +
                         std::to_string(window.right) + "," + std::to_string(window.bottom);
        seen["client"] = std::to_string(client.right) + "x" + std::to_string(client.bottom);
    } else if (verb == "read") {
        seen[key] = Narrow(e2e::WindowText(Control(name)));
    } else if (verb == "checked") {
        seen[key] = ::SendMessageW(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED ? "yes" : "no";
    } else if (verb == "items") {
        seen[key] = Narrow(ComboItems(Control(name)));
    } else if (verb == "red") {
        seen[key] = TextColour(Control(name));
    } else if (verb == "focus") {
        // The focus arrives with the activation, which Wine completes a little after showing;
        // the form hands it on to a control from its own WM_SETFOCUS.
        e2e::WaitUntil([] { return ::IsChild(dialog, FocusedWindow(dialog)) != FALSE; }, 3000);
        seen[key] = NameOf(FocusedWindow(dialog));
    } else if (verb == "click") {
        e2e::ClickOn(Control(name));
    } else if (verb == "key") {
        ActivateDialog();
        PressNamedKey(name);
    } else if (verb == "type") {
        FocusEditAtEnd(Control(name));
        e2e::TypeText(text);
    } else if (verb == "clear") {
        HWND edit = Control(name);
        FocusEditAtEnd(edit);
        for (size_t n = e2e::WindowText(edit).size(); n > 0; --n) PressNamedKey("BACK");
    } else if (verb == "paste") {
        // Through the box's context menu, as the digit filter never sees it.
        HWND edit = Control(name);
        PutOnClipboard(text);
        FocusEditAtEnd(edit);
        e2e::ClickOn(edit, true);
        WaitForWindow([] { return FindTopOfDialogProcess(L"#32768"); }, "context menu");
        PressNamedKey("P");
        if (!e2e::WaitUntil([] { return !FindTopOfDialogProcess(L"#32768"); }, kStepTimeoutMs)) {
            throw DriverError("the context menu stayed open");
        }
    } else if (verb == "browser-cancel" || verb == "browser-ok") {
        UseBrowser(verb, rest, seen);
    } else if (verb == "setup-cancel" || verb == "setup-ok") {
        UsePrinterSetup(verb, rest, seen);
    } else if (verb == "message-ok") {
        AnswerMessageBox(seen);
    } else if (verb == "open") {
        seen[key] = ::IsWindow(dialog) && ::IsWindowVisible(dialog) ? "yes" : "no";
    } else {
        throw DriverError("unknown step " + key);
    }
    // Whatever the step set off has been handled before the next one looks.
    e2e::WaitUntil([] { return false; }, 50);
}

bool DialogClosed() { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }

int Drive(const std::wstring& reportPath, const std::vector<std::wstring>& steps) {
    std::map<std::string, std::string> seen;
    int status = 0;
    try {
        dialog = WaitForWindow(
            [] {
                HWND found = ::FindWindowW(L"TfmOption", nullptr);
                return found && ::IsWindowVisible(found) ? found : nullptr;
            },
            "options dialog");
        for (const std::wstring& step : steps) RunStep(step, seen);
        if (!e2e::WaitUntil(DialogClosed, kStepTimeoutMs)) throw DriverError("the dialog is still open");
    } catch (const std::exception& error) {
        seen["error"] = error.what();
        status = 1;
    }
    std::ofstream report(std::filesystem::path(reportPath), std::ios::binary);
    for (const auto& [key, value] : seen) report << key << '\t' << value << '\n';
    return status;
}

// ---------------------------------------------------------------------------------------------
// The test side: the dialog's owner and its settings.

constexpr FormLayout kHostLayout{"fmHost", "host", 640, 480, false, "", 0, {}, kNoFormFlags, 0};

class HostForm : public Form {
public:
    HostForm() { Create(kHostLayout, nullptr, FormBorder::Sizeable, true); }
};

// If the driver is gone and the dialog still waits, nobody will close it: close it, and what
// it may have opened, so that the test fails instead of hanging.
HANDLE watchedDriver = nullptr;
ULONGLONG driverGoneAt = 0;
bool watchdogFired = false;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (::WaitForSingleObject(watchedDriver, 0) != WAIT_OBJECT_0) return;
    const ULONGLONG now = ::GetTickCount64();
    if (!driverGoneAt) driverGoneAt = now;
    if (now - driverGoneAt < 2000) return;
    watchdogFired = true;
    for (HWND hwnd : TopWindows()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hwnd)) continue;
        if (ClassName(hwnd) == L"#32770") ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        if (ClassName(hwnd) == L"TfmOption") ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

struct DialogRun {
    bool ok = false;
    std::map<std::string, std::string> seen;
    std::string Seen(const std::string& key) const {
        const auto it = seen.find(key);
        return it == seen.end() ? "(not seen)" : it->second;
    }
};

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

class OptionDialog : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = MakeForm<HostForm>();
        ::SetWindowPos(host_->Handle(), nullptr, 120, 90, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
        settingsPath_ = dir_.File("Framlet.ini");
    }

    void WriteSettings(const std::string& utf8) { WriteTestFile(settingsPath_, Utf8ToAnsi(utf8)); }
    std::optional<std::string> SettingsFile() const { return ReadTestFile(settingsPath_); }

    // Opens the dialog over config while the driver takes the steps; returns once both are done.
    DialogRun Run(TFLConfig& config, const std::vector<std::wstring>& steps) {
        const std::wstring report = Widen(dir_.File("report.txt"));
        std::wstring commandLine = Quoted(ThisProgram()) + L" --drive " + Quoted(report);
        for (const std::wstring& step : steps) commandLine += L" " + Quoted(step);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION driver{};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &driver)) {
            ADD_FAILURE() << "the driver could not be started: " << ::GetLastError();
            return {};
        }
        ::CloseHandle(driver.hThread);
        watchedDriver = driver.hProcess;
        driverGoneAt = 0;
        watchdogFired = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, Watchdog);

        DialogRun run;
        try {
            run.ok = ShowOptionDialog(*host_, config);
        } catch (...) {
            ::KillTimer(nullptr, timer);
            e2e::WaitUntil([&] { return ::WaitForSingleObject(driver.hProcess, 0) == WAIT_OBJECT_0; }, kStepTimeoutMs);
            ::CloseHandle(driver.hProcess);
            throw;
        }
        ::KillTimer(nullptr, timer);
        const bool ended =
            e2e::WaitUntil([&] { return ::WaitForSingleObject(driver.hProcess, 0) == WAIT_OBJECT_0; }, kStepTimeoutMs);
        DWORD status = STILL_ACTIVE;
        ::GetExitCodeProcess(driver.hProcess, &status);
        if (!ended) ::TerminateProcess(driver.hProcess, 1);
        ::CloseHandle(driver.hProcess);

        {
            std::ifstream in(std::filesystem::path(report), std::ios::binary);
            std::string line;
            while (std::getline(in, line)) {
                const size_t tab = line.find('\t');
                if (tab != std::string::npos) run.seen[line.substr(0, tab)] = line.substr(tab + 1);
            }
        }
        std::filesystem::remove(std::filesystem::path(report));
        EXPECT_TRUE(ended) << "the driver did not finish";
        EXPECT_EQ(status, 0u) << "the driver failed: " << run.Seen("error");
        EXPECT_FALSE(watchdogFired) << "the dialog had to be closed for the driver";
        EXPECT_EQ(::FindWindowW(L"TfmOption", nullptr), nullptr) << "the dialog was not released";
        return run;
    }

    TempDir dir_;
    std::unique_ptr<HostForm> host_;
    std::string settingsPath_;
};

const char kSettings[] =
    "[Trim]\r\nType=0\r\nWidth=320\r\nHeight=240\r\nScale=50\r\n\r\n"
    "[Effect]\r\nReverse=0\r\nEmphasis=1\r\nReverseType=0\r\nIsFrame=1\r\nFrameSize=3\r\n\r\n"
    "[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=C:\\写真\\保存先\r\nIsAutoFileName=0\r\n"
    "PrefixOfFileName=画面_\r\nNumberingStart=12345\r\nDefaultFormatType=1\r\nIsNoUseDialog=1\r\n\r\n";

// ---------------------------------------------------------------------------------------------

TEST_F(OptionDialog, OpensFilledFromTheSettingsAndOkWithNothingChangedWritesNothing) {
    WriteSettings(kSettings);
    const auto before = SettingsFile();
    TFLConfig config(settingsPath_);
    const DialogRun run =
        Run(config, {L"caption", L"place", L"checked cbxIsDefaultFolder", L"read edtDefaultFolder",
                     L"checked cbxIsAutoFileName", L"read edtPrefixOfFileName", L"read edtNumberingStart",
                     L"checked cbxIsNotUseDialog", L"read cmbDefaultFormatType", L"items cmbDefaultFormatType",
                     L"focus", L"click btnOk"});
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.Seen("caption"), "オプション設定");
    EXPECT_EQ(run.Seen("client"), "529x265");
    EXPECT_EQ(run.Seen("checked cbxIsDefaultFolder"), "yes");
    EXPECT_EQ(run.Seen("read edtDefaultFolder"), "C:\\写真\\保存先");
    EXPECT_EQ(run.Seen("checked cbxIsAutoFileName"), "no");
    EXPECT_EQ(run.Seen("read edtPrefixOfFileName"), "画面_");
    EXPECT_EQ(run.Seen("read edtNumberingStart"), "12345");  // in full, though typing stops at 4
    EXPECT_EQ(run.Seen("checked cbxIsNotUseDialog"), "yes");
    EXPECT_EQ(run.Seen("read cmbDefaultFormatType"), "ビットマップ");
    EXPECT_EQ(run.Seen("items cmbDefaultFormatType"), "JPEG|ビットマップ");
    EXPECT_EQ(run.Seen("focus"), "cbxIsDefaultFolder");  // the first tab stop

    // Centred on its owner.
    RECT owner;
    ::GetWindowRect(host_->Handle(), &owner);
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(run.Seen("window").c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom), 4);
    EXPECT_NEAR(left + right, owner.left + owner.right, 1);
    EXPECT_NEAR(top + bottom, owner.top + owner.bottom, 1);

    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(config.NumberingStart(), 12345);
    EXPECT_EQ(SettingsFile(), before);
}

TEST_F(OptionDialog, ANegativeNumberShowsWithItsSignAndSurvivesOk) {
    WriteSettings("[Option]\r\nNumberingStart=-5\r\n");
    const auto before = SettingsFile();
    TFLConfig config(settingsPath_);
    const DialogRun run = Run(config, {L"read edtNumberingStart", L"read cmbDefaultFormatType", L"click btnOk"});
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.Seen("read edtNumberingStart"), "-5");
    EXPECT_EQ(run.Seen("read cmbDefaultFormatType"), "JPEG");
    EXPECT_EQ(config.NumberingStart(), -5);
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(SettingsFile(), before);
}

TEST_F(OptionDialog, TheNoteIsRedAndNoOtherTextIs) {
    TFLConfig config(settingsPath_);
    const DialogRun run = Run(config, {L"red lblComment", L"red lblPrefixOfFileName", L"red lblNumberingStart",
                                       L"red lblDefaultFormatType", L"red cbxIsNotUseDialog", L"click btnCancel"});
    EXPECT_EQ(run.Seen("red lblComment"), "red");
    for (const char* other :
         {"lblPrefixOfFileName", "lblNumberingStart", "lblDefaultFormatType", "cbxIsNotUseDialog"}) {
        EXPECT_EQ(run.Seen(std::string("red ") + other), "not red") << other;
    }
}

TEST_F(OptionDialog, TabVisitsTheControlsInTheirTabOrderAndComesRound) {
    TFLConfig config(settingsPath_);
    std::vector<std::wstring> steps = {L"focus"};
    const char* const order[] = {"cbxIsAutoFileName", "edtDefaultFolder",     "edtPrefixOfFileName",
                                 "cbxIsNotUseDialog", "cmbDefaultFormatType", "btnOk",
                                 "btnCancel",         "btnRefFolder",         "edtNumberingStart",
                                 "btnSetPrinter",     "cbxIsDefaultFolder"};
    for (size_t i = 0; i < std::size(order); ++i) {
        steps.push_back(L"key TAB");
        steps.push_back(L"focus " + std::to_wstring(i));
    }
    steps.push_back(L"key ESCAPE");
    const DialogRun run = Run(config, steps);
    EXPECT_EQ(run.Seen("focus"), "cbxIsDefaultFolder");
    for (size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(run.Seen("focus " + std::to_string(i)), order[i]);
    EXPECT_FALSE(run.ok);
}

// Every control changed by hand, then the dialog closed in each way a person can close it.
const std::vector<std::wstring> kChangeEverything = {
    L"click cbxIsDefaultFolder",
    L"clear edtDefaultFolder",
    L"type edtDefaultFolder D:\\画像",
    L"click cbxIsAutoFileName",
    L"clear edtPrefixOfFileName",
    L"type edtPrefixOfFileName Shot_",
    L"clear edtNumberingStart",
    L"type edtNumberingStart 0042",
    L"click cbxIsNotUseDialog",
    L"click cmbDefaultFormatType",
    L"key UP",
    L"key RETURN",
    L"read cmbDefaultFormatType",
};

struct Closer {
    const wchar_t* how;
    bool ok;
};

TEST_F(OptionDialog, OkStoresEveryChangeAndCancelEscAndTheirKeysDiscardThem) {
    const Closer closers[] = {
        {L"click btnOk", true}, {L"key ALT+O", true},  {L"click btnCancel", false},
        {L"key ESCAPE", false}, {L"key ALT+C", false},
    };
    for (const Closer& closer : closers) {
        SCOPED_TRACE(Narrow(closer.how));
        WriteSettings(kSettings);
        const auto before = SettingsFile();
        {
            TFLConfig config(settingsPath_);
            std::vector<std::wstring> steps = kChangeEverything;
            steps.push_back(L"read edtNumberingStart");
            steps.push_back(closer.how);
            const DialogRun run = Run(config, steps);
            EXPECT_EQ(run.ok, closer.ok);
            EXPECT_EQ(run.Seen("read cmbDefaultFormatType"), "JPEG");
            EXPECT_EQ(run.Seen("read edtNumberingStart"), "0042");
            EXPECT_FALSE(config.Dirty());
        }
        if (!closer.ok) {
            EXPECT_EQ(SettingsFile(), before);
            continue;
        }
        TFLConfig stored(settingsPath_);
        EXPECT_FALSE(stored.IsDefaultFolder());
        EXPECT_EQ(stored.DefaultFolder(), Utf8ToAnsi("D:\\画像"));
        EXPECT_TRUE(stored.IsAutoFileName());
        EXPECT_EQ(stored.PrefixOfFileName(), "Shot_");
        EXPECT_EQ(stored.NumberingStart(), 42);
        EXPECT_FALSE(stored.IsNoUseDialog());
        EXPECT_EQ(stored.DefaultFormatType(), 0);
        EXPECT_EQ(stored.Width(), 320);  // the rest of the file as it was
        EXPECT_EQ(stored.FrameSize(), 3);
    }
}

TEST_F(OptionDialog, EnterInABoxIsTheDefaultButton) {
    TFLConfig config(settingsPath_);
    const DialogRun run = Run(config, {L"type edtPrefixOfFileName X", L"key RETURN"});
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(config.PrefixOfFileName(), "Capture_X");
    EXPECT_EQ(TFLConfig(settingsPath_).PrefixOfFileName(), "Capture_X");
}

TEST_F(OptionDialog, SaveRunsOnlyOnOkAndWritesChangesPendingFromElsewhere) {
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        WriteSettings(kSettings);
        const auto before = SettingsFile();
        TFLConfig config(settingsPath_);
        config.SetWidth(999);
        const DialogRun run = Run(config, {ok ? L"click btnOk" : L"click btnCancel"});
        EXPECT_EQ(run.ok, ok);
        EXPECT_EQ(config.Dirty(), !ok);
        if (ok) {
            EXPECT_EQ(TFLConfig(settingsPath_).Width(), 999);
        } else {
            EXPECT_EQ(SettingsFile(), before);
        }
    }
}

struct NumberCase {
    const char* name;
    std::vector<std::wstring> steps;
    const char* shown;
    int32_t stored;
};

TEST_F(OptionDialog, TheNumberBoxTakesDigitsOnlyAndStoresWhatIsNoNumberAsZero) {
    const NumberCase cases[] = {
        {"cleared", {L"clear edtNumberingStart"}, "", 0},
        {"letters and signs are discarded",
         {L"clear edtNumberingStart", L"type edtNumberingStart a1-b2 +x3.,z"},
         "123",
         123},
        {"four digits at most", {L"clear edtNumberingStart", L"type edtNumberingStart 987654"}, "9876", 9876},
        {"Backspace passes",
         {L"type edtNumberingStart 4", L"key BACK", L"key BACK", L"type edtNumberingStart 9"},
         "129",
         129},
        {"pasted text that is no number", {L"clear edtNumberingStart", L"paste edtNumberingStart 12ab"}, "12ab", 0},
        {"a pasted negative number", {L"clear edtNumberingStart", L"paste edtNumberingStart -7"}, "-7", -7},
        {"Ctrl+V is a typed character too",
         {L"clear edtNumberingStart", L"type edtNumberingStart 5", L"paste edtNumberingStart 8", L"key CTRL+V"},
         "58",
         58},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings("[Option]\r\nNumberingStart=123\r\n");
        TFLConfig config(settingsPath_);
        std::vector<std::wstring> steps = c.steps;
        steps.push_back(L"read edtNumberingStart");
        steps.push_back(L"click btnOk");
        const DialogRun run = Run(config, steps);
        EXPECT_TRUE(run.ok);
        EXPECT_EQ(run.Seen("read edtNumberingStart"), c.shown);
        EXPECT_EQ(config.NumberingStart(), c.stored);
        EXPECT_EQ(TFLConfig(settingsPath_).NumberingStart(), c.stored);
    }
}

TEST_F(OptionDialog, CancellingTheFolderBrowserLeavesTheBoxAsItWas) {
    WriteSettings(kSettings);
    TFLConfig config(settingsPath_);
    const DialogRun run =
        Run(config, {L"clear edtDefaultFolder", L"type edtDefaultFolder E:\\typed", L"click btnRefFolder",
                     L"browser-cancel", L"read edtDefaultFolder", L"checked cbxIsDefaultFolder", L"click btnOk"});
    EXPECT_EQ(run.Seen("browser title shown"), "yes");
    EXPECT_EQ(run.Seen("read edtDefaultFolder"), "E:\\typed");
    EXPECT_EQ(run.Seen("checked cbxIsDefaultFolder"), "yes");
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(config.DefaultFolder(), "E:\\typed");
}

TEST_F(OptionDialog, AFolderChosenInTheBrowserGoesIntoTheBox) {
    TFLConfig config(settingsPath_);
    // Under Wine the desktop's first folder is "/" (drive Z:): open it and pick "usr".
    const DialogRun run = Run(config, {L"click btnRefFolder", L"browser-ok HOME RIGHT RIGHT =usr",
                                       L"read edtDefaultFolder", L"checked cbxIsDefaultFolder", L"click btnOk"});
    EXPECT_EQ(run.Seen("browser title shown"), "yes");
    EXPECT_NE(run.Seen("browser chose at start"), "another folder");
    EXPECT_EQ(run.Seen("read edtDefaultFolder"), "Z:\\usr");
    EXPECT_EQ(run.Seen("checked cbxIsDefaultFolder"), "no");  // the check box is not touched
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(config.DefaultFolder(), "Z:\\usr");
    EXPECT_FALSE(config.IsDefaultFolder());
}

// A Resource.ini next to the program, removed again when the test ends.
class ResourceFile {
public:
    explicit ResourceFile(const std::string& bytes)
        : path_(std::filesystem::path(ThisProgram()).parent_path() / "Resource.ini") {
        WriteTestFile(path_.string(), bytes);
    }
    ~ResourceFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

private:
    std::filesystem::path path_;
};

std::string ShippedResource(const std::string& relative) {
    const auto bytes = ReadTestFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\" + relative);
    if (!bytes) ADD_FAILURE() << "missing resources\\" << relative;
    return bytes.value_or("");
}

const std::vector<std::wstring> kReadTexts = {
    L"caption",
    L"read lblPrefixOfFileName",
    L"read lblComment",
    L"read lblDefaultFormatType",
    L"read lblNumberingStart",
    L"read cbxIsDefaultFolder",
    L"read cbxIsAutoFileName",
    L"read cbxIsNotUseDialog",
    L"read btnOk",
    L"read btnCancel",
    L"read btnRefFolder",
    L"read btnSetPrinter",
    L"items cmbDefaultFormatType",
    L"read cmbDefaultFormatType",
};

TEST_F(OptionDialog, TheShippedJapaneseResourceKeepsTheDesignTexts) {
    const ResourceFile resource(ShippedResource("Resource.ini"));
    WriteSettings(kSettings);
    TFLConfig config(settingsPath_);
    std::vector<std::wstring> steps = kReadTexts;
    steps.push_back(L"click btnCancel");
    const DialogRun run = Run(config, steps);
    EXPECT_EQ(run.Seen("caption"), "オプション設定");
    EXPECT_EQ(run.Seen("read lblComment"), "※ 上記の全てがチェックされていないと有効にはなりません。");
    EXPECT_EQ(run.Seen("read btnSetPrinter"), "プリンタの設定(&U)...");
    EXPECT_EQ(run.Seen("items cmbDefaultFormatType"), "JPEG|ビットマップ");
}

TEST_F(OptionDialog, TheEnglishResourceReplacesTheTextsAndTheChosenItemStillMeansTheSameFormat) {
    const ResourceFile resource(ShippedResource("en\\Resource.ini"));
    WriteSettings(kSettings);
    TFLConfig config(settingsPath_);
    std::vector<std::wstring> steps = kReadTexts;
    steps.push_back(L"click btnOk");
    const DialogRun run = Run(config, steps);
    const std::map<std::string, std::string> expected = {
        {"caption", "Options"},
        {"read lblPrefixOfFileName", "Prefix"},
        {"read lblComment", "* Works only when all the options above are checked."},
        {"read lblDefaultFormatType", "Default file format"},
        {"read lblNumberingStart", "Start at"},
        {"read cbxIsDefaultFolder", "Save into a default folder"},
        {"read cbxIsAutoFileName", "Make file names automatically"},
        {"read cbxIsNotUseDialog", "Save automatically without the dialog"},
        {"read btnOk", "&OK"},
        {"read btnCancel", "&Cancel"},
        {"read btnRefFolder", "&Browse..."},
        {"read btnSetPrinter", "Printer set&up..."},
        {"items cmbDefaultFormatType", "JPEG|Bitmap"},
        {"read cmbDefaultFormatType", "Bitmap"},
    };
    for (const auto& [key, text] : expected) EXPECT_EQ(run.Seen(key), text) << key;
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(config.DefaultFormatType(), 1);
    EXPECT_FALSE(config.Dirty());
}

TEST_F(OptionDialog, EachOpeningReadsResourceIniAnew) {
    TFLConfig config(settingsPath_);
    {
        const ResourceFile resource("[fmOption]\r\nbtnOk_caption=First\r\n");
        EXPECT_EQ(Run(config, {L"read btnOk", L"click btnOk"}).Seen("read btnOk"), "First");
    }
    {
        const ResourceFile resource(Utf8ToAnsi("[FMOPTION]\r\nbtnOk_caption= 決定 \r\nedtNumberingStart_text=777\r\n"));
        const DialogRun run = Run(config, {L"read btnOk", L"read edtNumberingStart", L"click btnOk"});
        EXPECT_EQ(run.Seen("read btnOk"), "決定");
        // Filled from the settings after the texts were replaced.
        EXPECT_EQ(run.Seen("read edtNumberingStart"), "1");
    }
    EXPECT_EQ(Run(config, {L"read btnOk", L"click btnOk"}).Seen("read btnOk"), "OK(&O)");
}

TEST_F(OptionDialog, ASaveThatFailsStillReleasesTheDialog) {
    // A settings file in a folder that does not exist: reading gives defaults, writing fails.
    auto config = std::make_unique<TFLConfig>(dir_.File("missing\\Framlet.ini"));
    EXPECT_THROW(Run(*config, {L"type edtPrefixOfFileName X", L"click btnOk"}), AppError);
    EXPECT_EQ(::FindWindowW(L"TfmOption", nullptr), nullptr);
    EXPECT_EQ(config->PrefixOfFileName(), "Capture_X");  // stored, only the file is not written
    EXPECT_TRUE(config->Dirty());
    // Its last attempt to save fails the same way and is only reported.
    SetErrorReporter([](const std::exception&) {});
    config.reset();
    SetErrorReporter(nullptr);
}

// OptionPrinter.* runs with the print queues CUPS-PDF (the default) and CUPS-PDF2.
class OptionPrinter : public OptionDialog {
protected:
    void SetUp() override {
        OptionDialog::SetUp();
        ThePrinter().ForgetChoice();
    }
};

TEST_F(OptionPrinter, ThePrinterButtonClosesWithCancelWhenTheSetupIsCancelled) {
    WriteSettings(kSettings);
    const auto before = SettingsFile();
    TFLConfig config(settingsPath_);
    const DialogRun run = Run(config, {L"type edtDefaultFolder \\more", L"click btnSetPrinter", L"setup-cancel"});
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.Seen("setup shows"), "CUPS-PDF");
    EXPECT_EQ(config.DefaultFolder(), Utf8ToAnsi("C:\\写真\\保存先"));
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(ThePrinter().DeviceName(), u"CUPS-PDF");
}

TEST_F(OptionPrinter, AConfirmedPrinterIsThePrintersAndTheDialogStillClosesWithCancel) {
    WriteSettings(kSettings);
    const auto before = SettingsFile();
    TFLConfig config(settingsPath_);
    const DialogRun run = Run(config, {L"type edtDefaultFolder \\more", L"click cbxIsAutoFileName",
                                       L"click btnSetPrinter", L"setup-ok CUPS-PDF2"});
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.Seen("setup chose"), "CUPS-PDF2");
    EXPECT_EQ(config.DefaultFolder(), Utf8ToAnsi("C:\\写真\\保存先"));
    EXPECT_FALSE(config.IsAutoFileName());
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(SettingsFile(), before);  // the printer is not a setting
    EXPECT_EQ(ThePrinter().DeviceName(), u"CUPS-PDF2");

    // The choice lasts: the next opening shows it, and a cancelled setup keeps it.
    const DialogRun again = Run(config, {L"click btnSetPrinter", L"setup-cancel"});
    EXPECT_EQ(again.Seen("setup shows"), "CUPS-PDF2");
    EXPECT_EQ(ThePrinter().DeviceName(), u"CUPS-PDF2");
}

// OptionNoPrinter.* runs with no print queue at all.
class OptionNoPrinter : public OptionDialog {
protected:
    void SetUp() override {
        OptionDialog::SetUp();
        TheApplication().SetTitle(u"Framlet");
        TheApplication().InstallErrorHandler();
    }
    void TearDown() override { SetErrorReporter(nullptr); }
};

TEST_F(OptionNoPrinter, ThePrinterButtonReportsTheMissingPrinterAndTheDialogClosesWithCancel) {
    WriteSettings(kSettings);
    const auto before = SettingsFile();
    TFLConfig config(settingsPath_);
    const std::string prefix = config.PrefixOfFileName();
    const DialogRun run = Run(config, {L"clear edtPrefixOfFileName", L"type edtPrefixOfFileName after_",
                                       L"click btnSetPrinter", L"message-ok"});
    EXPECT_EQ(run.Seen("message"), "プリンタがインストールされていません。");
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(config.PrefixOfFileName(), prefix);
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(SettingsFile(), before);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--drive") == 0) {
        int count = 0;
        wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
        std::vector<std::wstring> steps(args + 3, args + count);
        const int status = Drive(args[2], steps);
        ::LocalFree(args);
        return status;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
