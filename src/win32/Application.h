#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

class Window;

// The program's one application object: its title, its main form, the message loop and the
// minimise/restore state of the whole program.
//
// Minimised means the main form is hidden, with no taskbar button. Minimize() does that; a
// main form whose own minimising should mean the same (its minimise box, a minimise from
// outside) calls it from its handler. Restored means it is shown again. Each change raises its
// event after the window has been hidden or shown; minimising a minimised program (or
// restoring a shown one) changes nothing and raises nothing.
class Application {
public:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::u16string& Title() const { return title_; }
    void SetTitle(std::u16string_view title) { title_ = std::u16string(title); }

    Window* MainForm() const { return mainForm_; }
    // Closing the main form destroys it (other forms are hidden); minimising hides it.
    void SetMainForm(Window* form) { mainForm_ = form; }

    // Handles messages until Terminate (or WM_QUIT).
    void Run();
    // Handles every message waiting now, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    // Ends the message loop once the current message has been handled.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Makes the loop usable again after Terminate, dropping the quit message a loop left in
    // the queue (tests run several loops in one process).
    void ResetTerminated();

    void Minimize();
    void Restore();
    bool Minimized() const { return minimized_; }
    // Chain by keeping the handler found here and calling it first from the new one; put the
    // kept one back to unchain.
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

    // The standard error handler: the error's UTF-8 text in a message box captioned with the
    // title; the program then goes on.
    static void ShowException(const std::exception& error);
    // Routes ReportError (platform/AppError.h) to ShowException.
    void InstallErrorHandler();

    // A message box over the active window of the program, captioned with the title unless
    // a caption is given. Returns the button chosen (IDOK, IDCANCEL...).
    int MessageDialog(std::u16string_view text, std::u16string_view caption = {}, UINT flags = MB_OK);

private:
    friend Application& TheApplication();
    Application() = default;
    void Dispatch(MSG& msg);
    // A loop got WM_QUIT: the program is terminated, and the quit goes back into the queue
    // for any loop further out.
    void QuitReceived(const MSG& quit);

    std::u16string title_;
    Window* mainForm_ = nullptr;
    bool terminated_ = false;
    bool minimized_ = false;
};

Application& TheApplication();
