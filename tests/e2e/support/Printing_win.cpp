#include "Printing_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Driver_win.h"

namespace e2e {

namespace {

std::wstring ListItem(HWND combo, LRESULT index) {
    // The wide message: the ANSI one comes back as UTF-16 across processes under Wine.
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return L"";
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(length));
    return item;
}

}  // namespace

std::string PrintOutFolder() {
    const char* out = std::getenv("CUPS_PDF_OUT");
    if (!out || !*out) return {};
    std::string path = std::string("Z:") + out;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

PageGeometry PageOf(HDC printer) {
    return {::GetDeviceCaps(printer, LOGPIXELSX),      ::GetDeviceCaps(printer, LOGPIXELSY),
            ::GetDeviceCaps(printer, PHYSICALOFFSETX), ::GetDeviceCaps(printer, PHYSICALOFFSETY),
            ::GetDeviceCaps(printer, PHYSICALWIDTH),   ::GetDeviceCaps(printer, PHYSICALHEIGHT)};
}

PageGeometry PageOfQueue(const std::wstring& queue) {
    HDC dc = ::CreateDCW(L"WINSPOOL", queue.c_str(), nullptr, nullptr);
    if (!dc) {
        ADD_FAILURE() << "no device context for a print queue";
        return {};
    }
    const PageGeometry page = PageOf(dc);
    ::DeleteDC(dc);
    return page;
}

void RecordPrintJob(const std::string& queue, int width, int height, const PrintLayout& layout,
                    const PageGeometry& page) {
    std::ofstream jobs(PrintOutFolder() + "\\jobs.txt", std::ios::app);
    jobs << "queue=" << queue << " width=" << width << " height=" << height << " x=" << layout.X << " y=" << layout.Y
         << " dw=" << layout.DW << " dh=" << layout.DH << " dpix=" << page.dpiX << " dpiy=" << page.dpiY
         << " offx=" << page.offsetX << " offy=" << page.offsetY << " physw=" << page.physicalWidth
         << " physh=" << page.physicalHeight << "\n";
    ASSERT_TRUE(jobs.good()) << "cannot write the job list in " << PrintOutFolder();
}

HWND PrinterSetupList(HWND setup) {
    constexpr int kPrinterList = 0x470;  // cmb1 of the common dialogs' print setup template
    return ::GetDlgItem(setup, kPrinterList);
}

std::wstring ChoosePrinterInSetup(HWND setup, const std::wstring& printer) {
    HWND list = PrinterSetupList(setup);
    if (!list) return L"";
    ClickOn(list);  // drops the list down
    PressKeys({}, VK_HOME);
    const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count && ListItem(list, ::SendMessageW(list, CB_GETCURSEL, 0, 0)) != printer; ++i) {
        PressKeys({}, VK_DOWN);
    }
    PressKeys({}, VK_RETURN);
    return WindowText(list);
}

}  // namespace e2e
