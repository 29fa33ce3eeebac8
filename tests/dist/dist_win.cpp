// The release as a user meets it: the zip unpacked into a folder whose path has Japanese
// characters and a space (FRAMLET_DIST_FOLDER, set by run-unpacked.sh), Framlet.exe started from
// there. It must go to the tray, capture on Print Screen through the hook library beside it,
// ask its closing question in the texts of the Resource.ini beside it, and leave its settings
// file in that folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "Tray_win.h"

namespace {

std::wstring DistFolder() {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"FRAMLET_DIST_FOLDER", buffer, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return L"";
    std::wstring folder(buffer, length);
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

TEST(Unpacked, StartsIntoTheTrayCapturesAndKeepsItsSettingsInItsOwnFolder) {
    const std::wstring folder = DistFolder();
    ASSERT_FALSE(folder.empty()) << "FRAMLET_DIST_FOLDER is not set";
    ASSERT_NE(folder.find(L"キャプチャ ツール"), std::wstring::npos) << "the folder is not the Japanese one";
    for (const wchar_t* file : {L"Framlet.exe", L"Trellin.dll", L"Resource.ini", L"en\\Resource.ini"}) {
        ASSERT_TRUE(FileExists(folder + file)) << "not unpacked: " << std::string(file, file + wcslen(file));
    }
    ASSERT_FALSE(FileExists(folder + L"Framlet.ini")) << "a settings file before the first start";

    ASSERT_TRUE(e2e::TrayIcons().empty());
    e2e::Program program(folder + L"Framlet.exe");
    const HWND main = program.WaitForTopWindow(L"TfmMain");
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().size() == 1; })) << "no tray icon";
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main); })) << "the window is still shown";
    // A missing Trellin.dll or a hook that failed would have shown a message instead.
    EXPECT_EQ(e2e::FindMessageBox(program.Id()), nullptr);

    e2e::PressKey(VK_SNAPSHOT);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }))
        << "Print Screen did not bring the window";
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
    RECT view{};
    ::GetClientRect(e2e::MainControl(main, "imgCapture"), &view);
    EXPECT_EQ(view.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(view.bottom, ::GetSystemMetrics(SM_CYSCREEN));

    // A changed value makes the end of the program write the settings (an unchanged start
    // writes nothing).
    ::SendMessageW(e2e::MainControl(main, "edtWidth"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"432"));

    // The question comes from the Shift-JIS Resource.ini of the zip, read from this folder.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const HWND box = e2e::WaitForMessageBox(program.Id());
    ASSERT_NE(box, nullptr) << "no closing question";
    EXPECT_EQ(e2e::MessageBoxText(box),
              L"Framletを終了します。\rよろしいですか？\r終了すると、キャプチャキーが使えなくなります。");
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }, 5000));

    const std::string settings = FileBytes(folder + L"Framlet.ini");
    EXPECT_NE(settings.find("[Trim]"), std::string::npos) << "no settings beside the program:\n" << settings;
    EXPECT_NE(settings.find("Width=432"), std::string::npos) << settings;
}

}  // namespace
