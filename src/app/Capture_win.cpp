// The capture requests of the keyboard hook: the screen or the foreground window into the view,
// then the window to the front.
#include "app/MainForm_win.h"

#include <string>

#include "platform/AppError.h"
#include "selection/SelectArea.h"
#include "win32/Application.h"

void TfmMain::WMCaptureScreen() { CaptureImage(kCaptureScreen); }

void TfmMain::WMCaptureWindow() { CaptureImage(kCaptureWindow); }
void TfmMain::CaptureImage(int kind) {
    {
        HWND source = nullptr;
        int width = 0;
        int height = 0;
        if (kind == kCaptureWindow) {
            source = ::GetForegroundWindow();
            RECT outer{};
            ::GetWindowRect(source, &outer);
            width = outer.right - outer.left;
            height = outer.bottom - outer.top;
        } else {
            width = ::GetSystemMetrics(SM_CXSCREEN);
            height = ::GetSystemMetrics(SM_CYSCREEN);
        }
        // The window's context covers its title bar and borders, from its top-left corner.
        const WindowDC dc(source, kind == kCaptureWindow ? WindowDC::Area::Window : WindowDC::Area::Client);
        UniqueBitmap picture;
        if (width > 0 && height > 0) {
            picture.Reset(::CreateCompatibleBitmap(dc.Get(), width, height));
            UniqueMemoryDC memory(::CreateCompatibleDC(dc.Get()));
            // Out of GDI memory or handles: one message, and the view keeps its picture and
            // selection.
            if (!dc.Get() || !picture || !memory) {
                throw AppError("画面を取り込むためのメモリが足りません (" + std::to_string(width) + " x " +
                               std::to_string(height) + ")");
            }
            const SelectGuard select(memory.Get(), picture.Get());
            ::BitBlt(memory.Get(), 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
        } else {
            width = height = 0;
        }
        // The old frame is in the old picture's pixels: the selection goes with it, and a drag
        // in progress ends here, before the loop below runs. A queued move or release would
        // otherwise draw the old frame into the new picture.
        if (selectArea_) selectArea_->SetState(TSelectArea::kStateNone);
        if (::GetCapture() == imgCapture_->Handle()) ::ReleaseCapture();
        // The view keeps this bitmap and paints from it: the capture is copied only once.
        imgCapture_->SetPicture(std::move(picture));
        imgCapture_->SetSize(width, height);
    }
    // A capture request already queued runs completely in here; this one then finishes over
    // its picture.
    TheApplication().ProcessMessages();
    TheApplication().Restore();
    BringToFront();
    imgCapture_->SetCursor(Cursor::Arrow);
    ResetPointer();
}

void TfmMain::BringToFront() {
    HWND main = Handle();
    if (!main) return;
    const DWORD own = ::GetWindowThreadProcessId(main, nullptr);
    const DWORD foreground = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    // Sharing the foreground thread's input state is what lets SetForegroundWindow succeed
    // while another program is in front.
    ::AttachThreadInput(own, foreground, TRUE);
    ::SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(main);
    ::AttachThreadInput(own, foreground, FALSE);
}
