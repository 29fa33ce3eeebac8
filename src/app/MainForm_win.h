#pragma once
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "selection/SelectionRouting.h"
#include "win32/Form.h"

class FormComponents;
class QInternational;
class QMsgResource;
class TFLConfig;
class TSelectArea;

// The program's one message lookup (the close confirmation's texts), over Resource.ini in the
// program's folder. The main window creates it in its constructor and frees it when it goes;
// null before and after.
QMsgResource* TheMsgResource();

// Where the main window finds its files: the settings file and the folder of Resource.ini.
struct MainWindowFiles {
    std::string settingsFile;
    std::string programFolder;  // with its trailing delimiter
};
// The running executable's: its path with the extension ".ini", and its own folder.
MainWindowFiles FilesBesideExecutable();

// The main window: the captured picture in a scrolling view on the left, the option panel on
// the right. It owns the settings, the selection and its localiser; captures arrive as the
// private messages WM_CAPTURE_SCREEN and WM_CAPTURE_WINDOW.
//
// The selection is drawn into the picture's own pixels. After each selection operation the
// view repaints only the strips of the frame before and after it, never the whole picture.
class TfmMain final : public Form {
public:
    enum CaptureKind { kCaptureScreen = 0, kCaptureWindow = 1 };

    explicit TfmMain(const MainWindowFiles& files = FilesBesideExecutable());
    ~TfmMain() override;

    // Creation and destruction (raised by the form's events).
    void FormCreate();
    void FormDestroy();
    // The first showing sends the program to the tray, by a posted WM_START_MINIMIZED.
    void FormShow();
    // Asks "Framlet" + the three close messages in an OK/Cancel box, unless the session ends.
    void FormCloseQuery(bool& canClose);

    // Chained into the application's minimise and restore events: the tray icon comes and goes.
    void AppMinimize();
    void AppRestore();
    // Each does nothing when the icon already is (or is not) there. When the shell takes no icon,
    // AddTrayIcon asks again every second (and on TaskbarCreated) while the program is
    // minimised, which meanwhile keeps a taskbar button instead of hiding completely.
    void AddTrayIcon();
    void RemoveTrayIcon();
    bool InTray() const { return inTray_; }

    // Settings into the option controls; called while the loading flag is set.
    void LoadControls();
    // Option controls into the settings, then the settings' Save (which writes only when a
    // value changed). Does nothing while the loading flag is set. A number box whose text is no
    // 32-bit integer gets the setting's current value back and the setting stays.
    void StoreControls();
    // Every option control's click and every number box's exit: store, then refit a shown
    // rectangle while the trim mode is proportion.
    void ConfigClick(Control& sender);
    // Only digits and backspace reach the number boxes.
    void edtWidthKeyPress(Control& sender, char16_t& key);
    void edtHeightKeyPress(Control& sender, char16_t& key);

    // Takes the whole screen or the foreground window (with its frame) into the view, brings the
    // window to the front and drops the selection without erasing it.
    void CaptureImage(int kind);

    void imgCaptureMouseDown(Control& sender, MouseButton button, ShiftState shift, int X, int Y);
    void imgCaptureMouseMove(Control& sender, ShiftState shift, int X, int Y);
    void imgCaptureMouseUp(Control& sender, MouseButton button, ShiftState shift, int X, int Y);
    // Asks for Save by a posted WM_SAVE_REQUEST, so it runs after the click's own mouse events.
    void imgCaptureDblClick(Control& sender);
    // Erases the frame (the rectangle is kept for Save and Print) and disables btnUnSelect.
    // The sender is not used; the commands call it with none.
    void btnUnSelectClick(Control* sender);
    // Esc clears the selection whichever control has the focus; the key goes on unchanged.
    void FormKeyDown(unsigned& key, ShiftState shift);

    // The Save and Print commands and the options dialog are wired here; their work is added
    // with those commands.
    // Save: the final picture into the view, a name (automatic or from dlgSave), the file as
    // JPEG or bitmap by the name's extension, then minimise. Nothing at all when the guard fails;
    // no minimise when writing fails (the error goes on to the application's handler).
    void btnSaveClick(Control* sender);
    // Print: the final picture on one page, as large as fits nine tenths of the printable area,
    // centred; then minimise. Printing errors go on to the application's handler.
    void btnPrintClick(Control* sender);
    // The first step of Save and Print: the view at least 1 x 1, Width, Height and Scale above 0.
    bool CommandGuard() const;
    // Clears the selection (or takes the whole picture), trims the view's picture into a new
    // display-compatible bitmap, shows a copy of it in the view and returns it to the caller.
    UniqueBitmap PrepareFinalImage();
    // The name to write: the automatic name, or the one chosen in dlgSave. False when the user
    // cancelled the dialog (name untouched).
    bool ChooseSaveFileName(std::string& name);
    void btnOptionClick(Control& sender);
    // Back to the tray: minimises the application.
    void btnCancelClick(Control& sender);

    TFLConfig* Config() const { return config_.get(); }
    TSelectArea* SelectArea() const { return selectArea_.get(); }
    bool Loading() const { return loading_; }
    Image& imgCapture() const { return *imgCapture_; }

protected:
    // The private messages (Messages.h) and the shell's, each to its handler below.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void WMCaptureScreen();
    void WMCaptureWindow();
    void WMSaveRequest();
    void WMStartMinimized();
    void WMTrayNotify(LPARAM mouseMessage);
    void WMQueryEndSession();
    void WMEndSession(bool endsNow);
    void WMDestroy();
    void WMTaskbarCreated();
    // True when the message is the tray's own and handled.
    bool WMTimer(WPARAM id);
    // True when the message was a minimise, handled here (to the tray); other sizes go on to
    // the form's layout.
    bool WMSize(WPARAM kind);
    bool WMSysCommand(WPARAM command);
    // Runs a selection operation on the picture's canvas and repaints what its frame changed.
    template <class Operation>
    PointerOutcome ChangeSelection(Operation&& operation);
    // StoreControls without the Save: the controls' values go into the settings.
    void ReadControls();
    void StoreNumber(Edit& box, int32_t current, void (TFLConfig::*setter)(int32_t));
    void BringToFront();
    static void ResetPointer();
    // PrepareFinalImage's first steps: the selection erased (or the whole picture taken) and
    // the final picture made; the view is not touched.
    UniqueBitmap MakeFinalImage();
    void UnchainApplication();

    std::string settingsFile_;
    std::string programFolder_;
    std::unique_ptr<FormComponents> components_;
    std::unique_ptr<QInternational> international_;
    std::unique_ptr<TSelectArea> selectArea_;
    std::unique_ptr<TFLConfig> config_;
    bool loading_ = false;
    bool inTray_ = false;
    bool endingSession_ = false;
    bool showingTaskbarButton_ = false;
    // Shown minimised for its taskbar button while the shell takes no icon.
    bool onTaskbar_ = false;
    bool hookInstalled_ = false;
    bool chained_ = false;
    // Filled each time the icon is added; its old 88-byte form (in the 32-bit program).
    NOTIFYICONDATAA trayIcon_{};
    // The application's handlers from before FormCreate chained in; put back by FormDestroy.
    std::function<void()> oldOnMinimize_;
    std::function<void()> oldOnRestore_;

    // The save dialog's values, set anew for each use and kept after it.
    struct SaveDialog {
        std::string InitialDir;
        std::string DefaultExt;
        int FilterIndex = 1;
        std::string FileName;
        bool Execute(HWND owner);
    } dlgSave;

    Image* imgCapture_ = nullptr;
    Button* btnUnSelect_ = nullptr;
};
