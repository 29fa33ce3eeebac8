#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// The base of every window whose messages the toolkit handles: windows of its own classes
// (forms, panels, the image view) and standard controls it subclasses (buttons, edits).
// The object does not own the window: the window tree does. When the window goes, the object
// forgets its handle (Handle() becomes null) and may outlive it.
//
// No C++ exception ever leaves a window procedure: HandleMessage runs inside a catch that
// hands the error to ReportError (platform/AppError.h), and the message then gets the result
// of the default handling.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // The toolkit object behind a window, or null for a window that is not the toolkit's.
    static Window* FromHandle(HWND hwnd);

    // The message loop offers every key message to the top-level window it belongs to before
    // translating it. True when the window used the message up.
    virtual bool PreTranslateKey(MSG&) { return false; }

protected:
    // Registers the class on first use. The class's procedure is the thunk, which ties the
    // window to `this` at WM_NCCREATE, before any other message reaches HandleMessage.
    struct ClassInfo {
        const wchar_t* name;
        UINT style = 0;
        HBRUSH background = nullptr;
        HCURSOR cursor = nullptr;  // null: the arrow
    };
    HWND CreateOwnClass(const ClassInfo& info, DWORD exStyle, DWORD style, std::u16string_view text, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId);
    // Creates a standard control (a system class) and subclasses it.
    HWND CreateStandard(const wchar_t* className, DWORD exStyle, DWORD style, std::u16string_view text, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }
    // The handling the window would get without us: DefWindowProc for our classes, the
    // control's own procedure for subclassed ones.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window has gone (after WM_NCDESTROY); the handle is already cleared.
    virtual void WindowGone() {}

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Forget();

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
};

// Wide-string views of UTF-16 text for the W calls (wchar_t is 16 bits on Windows).
inline const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string FromWide(const wchar_t* s, size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(s), length);
}

// The window's text as UTF-16 (WM_GETTEXT), and setting it.
std::u16string GetWindowTextW16(HWND hwnd);
void SetWindowTextW16(HWND hwnd, std::u16string_view text);

// Runs a handler as a window procedure must: errors reach ReportError, never the caller.
template <class F>
void Guarded(F&& f) noexcept;

void ReportCurrentException() noexcept;

template <class F>
void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
        ReportCurrentException();
    }
}
