// The program entry: the application, its main window and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/main_win.h"
#include "win32/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
    application.Run();
    return 0;
}
