// The program entry: the application, its main window and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/MainForm_win.h"
#include "win32/Application.h"
#include "win32/Handles.h"

namespace {
constexpr char kMutexName[] = "_VEDivavov_Mutex";
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Only one copy runs: a later one ends at once, without a word and without waking the first.
    if (HANDLE running = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName)) {
        ::CloseHandle(running);
        return 0;
    }
    // The probe above and this creation are two steps: a copy started at the same instant may
    // have created the mutex in between. Only the copy that really created it goes on.
    const UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, kMutexName));
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    // The manifest asks for common controls 6; its window classes are registered here.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    Application& application = TheApplication();
    application.SetTitle(u"Framlet");
    application.InstallErrorHandler();
    std::unique_ptr<TfmMain> fmMain;
    try {
        fmMain = MakeForm<TfmMain>();
    } catch (const std::exception& error) {
        Application::ShowException(error);
        return 1;
    }
    application.SetMainForm(fmMain.get());
    fmMain->Show();
    application.Run();
    if (mutex) ::ReleaseMutex(mutex.Get());
    return 0;
}
