// The Save and the capture a user waits for, measured on the real Framlet.exe (beside this
// driver) on the screen Wine gives it, 4K under bench/wine-save:
//   capture: Print Screen pressed -> the window shown in front and answering, against one BitBlt
//            of the whole screen in this process;
//   Save:    the double click's Save request -> the file complete (the program writes a temporary
//            file and renames it, so the name appears only when the file is whole), against the
//            work's floor in this process: one pass over the capture (a copy of its 32-bit
//            pixels) plus the libjpeg encode of the output with the program's parameters, or,
//            for a bitmap, plus writing a file of the output's size in the same folder.
// Three settings, each in a program started for it: (a) no reduction, JPEG; (b) free into
// 1500 x 900, JPEG; (c) no reduction, bitmap. Every figure is the median of the rounds, its floor
// measured in the same rounds. A benchmark, not a test: it only reports.
//   SaveBench.exe [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"

namespace {

// The program's private messages and timings of its window, as the program defines them.
constexpr UINT kSaveRequest = 0x4C8;  // WM_USER + 200, what a double click on the picture posts
constexpr int kTimeoutMs = 60000;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty()) return 0;
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Polls tightly (1 ms) until the condition holds; false when the time runs out.
template <class Condition>
bool PollUntil(Condition condition, int timeoutMs = kTimeoutMs) {
    const double deadline = Now() + timeoutMs;
    while (!condition()) {
        if (Now() > deadline) return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(1);
    }
    return true;
}

// The program being measured, ended on a failure: it would otherwise outlive the driver.
HANDLE g_program = nullptr;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "SaveBench: %s\n", what.c_str());
    std::fflush(stderr);
    if (g_program) ::TerminateProcess(g_program, 99);
    std::exit(1);
}

// The whole screen by one BitBlt into a bitmap of the screen's format: the capture's floor.
double TimeOneBitBlt() {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const double start = Now();
    ::BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    const double ms = Now() - start;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ms;
}

// The screen's pixels, top-down 0x00RRGGBB, for the floors' work.
MemoryBitmap ScreenPicture() {
    const e2e::ScreenShot shot = e2e::CaptureScreen();
    MemoryBitmap picture;
    picture.SetSizeForOverwrite(shot.width, shot.height);
    for (int y = 0; y < shot.height; ++y) {
        std::memcpy(picture.Row(y), shot.pixels.data() + static_cast<size_t>(y) * shot.width,
                    static_cast<size_t>(shot.width) * 4);
    }
    return picture;
}

struct Mode {
    const char* name;
    const char* settings;  // [Trim] and the file type
    bool jpeg;
};

struct Figures {
    std::vector<double> capture, bitblt, save, floor;
};

// One pass over the capture: its 32-bit pixels copied once.
double TimeOnePass(const MemoryBitmap& capture, std::vector<uint32_t>& into) {
    const size_t count = static_cast<size_t>(capture.Width()) * capture.Height();
    into.resize(count);
    const double start = Now();
    std::memcpy(into.data(), capture.Row(0), count * 4);
    return Now() - start;
}

// The floor's own part: the libjpeg encode of the output, or a file of the output's size
// written in the same folder.
double TimeFloorWork(const Mode& mode, const SoftwareBitmap& output, size_t fileBytes, const std::string& folder) {
    if (mode.jpeg) {
        DibInfo info{};
        DibBits bits;
        const uint8_t* pixels = DIB24PixelsOf(output, info, bits);
        const double start = Now();
        const std::string stream = EncodeJpeg(info, pixels);
        const double ms = Now() - start;
        if (stream.size() < 100) Fail("the floor's encode failed");
        return ms;
    }
    const std::string path = folder + "\\floor.bin";
    const std::string bytes(fileBytes, '\x5A');
    const double start = Now();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    const double ms = Now() - start;
    ::DeleteFileA(path.c_str());
    if (!ok) Fail("the floor's file could not be written");
    return ms;
}

size_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<size_t>(data.nFileSizeLow);
}

void WriteFileText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
        Fail("cannot write " + path);
}

Figures RunMode(const Mode& mode, int rounds, const std::string& root) {
    const std::string folder = root + "\\" + mode.name;
    const std::string out = folder + "\\out";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA(out.c_str(), nullptr);
    for (const wchar_t* file : {L"Framlet.exe", L"Trellin.dll"}) {
        const std::wstring from = e2e::ExeFolder() + file;
        const std::wstring to = e2e::FromAnsi(folder) + L"\\" + file;
        if (!::CopyFileW(from.c_str(), to.c_str(), FALSE))
            Fail("cannot copy " + e2e::ToAnsi(file) + " beside the driver");
    }
    WriteFileText(folder + "\\Framlet.ini", std::string(mode.settings) +
                                                "[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=" + out +
                                                "\r\nIsAutoFileName=1\r\nIsNoUseDialog=1\r\n");

    e2e::Program program(e2e::FromAnsi(folder) + L"\\Framlet.exe");
    g_program = program.Handle();
    HWND main = program.WaitForTopWindow(L"TfmMain");
    if (!main) Fail("no main window");
    if (!PollUntil([&] { return !::IsWindowVisible(main); })) Fail("the program did not go to the tray");

    // The output as the program makes it, for the floor: the same settings through the pipeline.
    const MemoryBitmap screen = ScreenPicture();
    TrimSettings settings;
    settings.TrimType = 3;
    if (std::strstr(mode.settings, "Type=2")) {
        settings.TrimType = 2;
        settings.Width = 1500;
        settings.Height = 900;
    }
    const SoftwareBitmap capture{MemoryBitmap(screen)};
    SoftwareBitmap output;
    TrimImage(capture, output, Rect{0, 0, screen.Width() - 1, screen.Height() - 1}, settings);
    std::vector<uint32_t> scratch;

    Figures figures;
    for (int round = 1; round <= rounds; ++round) {
        figures.bitblt.push_back(TimeOneBitBlt());

        // Print Screen, as the keyboard sends it; the hook asks the program to capture.
        INPUT keys[2]{};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_SNAPSHOT;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        double start = Now();
        ::SendInput(2, keys, sizeof keys[0]);
        const bool shown = PollUntil([&] {
            if (!::IsWindowVisible(main) || ::GetForegroundWindow() != main) return false;
            DWORD_PTR result = 0;
            return ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) != 0;
        });
        if (!shown) Fail(std::string(mode.name) + ": the window did not come up after Print Screen");
        figures.capture.push_back(Now() - start);

        // The Save as the double click on the picture asks for it: the view posts this request
        // to the window. (Synthesised clicks on a 4K view did not reach it reliably here.)
        char name[32];
        std::snprintf(name, sizeof name, "\\Capture_%04d.%s", round, mode.jpeg ? "jpg" : "bmp");
        const std::string file = out + name;
        start = Now();
        ::PostMessageW(main, kSaveRequest, 0, 0);
        if (!PollUntil([&] { return ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
            Fail(std::string(mode.name) + ": no " + file + " after the double click");
        }
        figures.save.push_back(Now() - start);
        const size_t bytes = FileSize(file);
        if (bytes < 100) Fail(file + " is empty");
        if (!PollUntil([&] { return !::IsWindowVisible(main); }))
            Fail(std::string(mode.name) + ": not minimised after the Save");

        figures.floor.push_back(TimeOnePass(screen, scratch) + TimeFloorWork(mode, output, bytes, folder));
    }
    g_program = nullptr;
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "framlet-savebench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(root.c_str(), nullptr);

    // Something to capture over the whole screen, as a desktop would be.
    e2e::PatternWindow pattern;
    const Mode modes[] = {
        {"a-no-reduction-jpeg", "[Trim]\r\nType=3\r\n", true},
        {"b-free-1500x900-jpeg", "[Trim]\r\nType=2\r\nWidth=1500\r\nHeight=900\r\n", true},
        {"c-no-reduction-bitmap", "[Trim]\r\nType=3\r\n[Option]\r\nDefaultFormatType=1\r\n", false},
    };
    std::printf(
        "screen %d x %d, %d bits, %d rounds, %s driver\n", ::GetSystemMetrics(SM_CXSCREEN),
        ::GetSystemMetrics(SM_CYSCREEN),
        [] {
            HDC dc = ::GetDC(nullptr);
            const int bits = ::GetDeviceCaps(dc, BITSPIXEL);
            ::ReleaseDC(nullptr, dc);
            return bits;
        }(),
        rounds, sizeof(void*) == 8 ? "64-bit" : "32-bit");
    std::vector<double> capture, bitblt;
    for (const Mode& mode : modes) {
        const Figures f = RunMode(mode, rounds, root);
        capture.insert(capture.end(), f.capture.begin(), f.capture.end());
        bitblt.insert(bitblt.end(), f.bitblt.begin(), f.bitblt.end());
        const double save = Median(f.save), floor = Median(f.floor);
        std::printf("Save %-22s %8.1f ms, floor %8.1f ms: %5.2fx\n", mode.name, save, floor, save / floor);
        std::fflush(stdout);
    }
    const double c = Median(capture), b = Median(bitblt);
    std::printf("Capture (Print Screen -> shown) %8.1f ms, one BitBlt %8.1f ms: %5.2fx\n", c, b, c / b);
    return 0;
}
