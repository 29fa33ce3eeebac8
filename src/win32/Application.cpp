#include "win32/Application.h"

#include "platform/AppError.h"
#include "platform/Text.h"
#include "win32/Window.h"

Application& TheApplication() {
    static Application application;
    return application;
}

namespace {

// The window a message box should belong to: the active window, if it is this thread's.
HWND ActiveOwner() {
    HWND active = ::GetActiveWindow();
    return active && ::IsWindowVisible(active) ? active : nullptr;
}

void ReportToMessageBox(const std::exception& error) { Application::ShowException(error); }

}  // namespace

void Application::ShowException(const std::exception& error) {
    const std::u16string text = Utf8ToUtf16(error.what());
    const std::u16string& title = TheApplication().Title();
    HWND owner = ActiveOwner();
    // Without an owner the box is task-modal, so no window of ours takes input meanwhile.
    ::MessageBoxW(owner, Wide(text), Wide(title), MB_OK | MB_ICONERROR | (owner ? 0 : MB_TASKMODAL));
}

void Application::InstallErrorHandler() { SetErrorReporter(ReportToMessageBox); }

int Application::MessageDialog(std::u16string_view text, std::u16string_view caption, UINT flags) {
    const std::u16string body(text);
    const std::u16string title(caption.empty() ? std::u16string_view(title_) : caption);
    HWND owner = ActiveOwner();
    return ::MessageBoxW(owner, Wide(body), Wide(title), flags | (owner ? 0 : MB_TASKMODAL));
}

void Application::Dispatch(MSG& msg) {
    try {
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            if (Window* root = Window::FromHandle(::GetAncestor(msg.hwnd, GA_ROOT))) {
                if (root->PreTranslateKey(msg)) return;
            }
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    } catch (...) {
        ReportCurrentException();
    }
}

void Application::QuitReceived(const MSG& quit) {
    terminated_ = true;
    // Put back for the loop further out. This call may run inside the handler of a sent
    // message (Wine's tray sends the icon's clicks), which a GetMessage further out is
    // dispatching; that GetMessage then goes on waiting for a posted message and would wait
    // for ever had the quit been taken here. Every loop of ours checks Terminated() before it
    // waits again, so the quit put back ends nothing else.
    ::PostQuitMessage(static_cast<int>(quit.wParam));
}

void Application::ProcessMessages() {
    MSG msg;
    while (!terminated_ && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            QuitReceived(msg);
            break;
        }
        Dispatch(msg);
    }
}

void Application::HandleMessage() {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        QuitReceived(msg);
        return;
    }
    if (got < 0) {
        terminated_ = true;
        return;
    }
    Dispatch(msg);
}

void Application::ResetTerminated() {
    terminated_ = false;
    MSG quit;
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

void Application::Run() {
    while (!terminated_) HandleMessage();
}

void Application::Terminate() {
    if (!terminated_) ::PostQuitMessage(0);
}

void Application::Minimize() {
    HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
    if (minimized_ && !(main && ::IsWindowVisible(main))) return;
    minimized_ = true;
    // Hiding takes the taskbar button away too, whether the window was minimised first or not.
    if (main) ::ShowWindow(main, SW_HIDE);
    if (OnMinimize) OnMinimize();
}

void Application::Restore() {
    HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
    if (!minimized_ && !(main && (!::IsWindowVisible(main) || ::IsIconic(main)))) return;
    minimized_ = false;
    if (main) ::ShowWindow(main, ::IsIconic(main) ? SW_RESTORE : SW_SHOW);
    if (OnRestore) OnRestore();
}
