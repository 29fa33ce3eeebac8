#include "win32/Window.h"

#include <commctrl.h>

#include <set>
#include <stdexcept>
#include <vector>

#include "platform/AppError.h"

namespace {
// Marks every window the toolkit handles, whether of its own class or subclassed, so a
// message loop can find the object behind any window.
constexpr const wchar_t* kObjectProperty = L"Framlet.Window";
constexpr UINT_PTR kSubclassId = 1;

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }
}  // namespace

void ReportCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportError(AppError("予期しないエラーが起きました。"));
    }
}

Window::~Window() { Forget(); }

void Window::Forget() {
    if (!hwnd_) return;
    ::RemovePropW(hwnd_, kObjectProperty);
    if (subclassed_) {
        ::RemoveWindowSubclass(hwnd_, SubclassThunk, kSubclassId);
    } else {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<Window*>(::GetPropW(hwnd, kObjectProperty));
}

HWND Window::CreateOwnClass(const ClassInfo& info, DWORD exStyle, DWORD style, std::u16string_view text, int x, int y,
                            int width, int height, HWND parent, HMENU menuOrId) {
    static std::set<std::wstring> registered;
    if (!registered.count(info.name)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = info.style;
        wc.lpfnWndProc = Thunk;
        wc.hInstance = ThisModule();
        wc.hCursor = info.cursor ? info.cursor : ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = info.background;
        wc.lpszClassName = info.name;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            throw AppError("ウィンドウクラスを登録できません。");
        }
        registered.insert(info.name);
    }
    const std::u16string title(text);
    HWND hwnd = ::CreateWindowExW(exStyle, info.name, Wide(title), style, x, y, width, height, parent, menuOrId,
                                  ThisModule(), this);
    if (!hwnd) throw AppError("ウィンドウを作れません。");
    return hwnd;
}

HWND Window::CreateStandard(const wchar_t* className, DWORD exStyle, DWORD style, std::u16string_view text, int x,
                            int y, int width, int height, HWND parent, HMENU menuOrId) {
    const std::u16string title(text);
    HWND hwnd = ::CreateWindowExW(exStyle, className, Wide(title), style, x, y, width, height, parent, menuOrId,
                                  ThisModule(), nullptr);
    if (!hwnd) throw AppError("コントロールを作れません。");
    hwnd_ = hwnd;
    subclassed_ = true;
    ::SetPropW(hwnd, kObjectProperty, this);
    ::SetWindowSubclass(hwnd, SubclassThunk, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return hwnd;
}

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return subclassed_ ? ::DefSubclassProc(hwnd_, msg, wp, lp) : ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    // An error ends the message's handling where it happened, with no default handling
    // after it (a failed WM_CLOSE handler must not go on to destroy the window).
    try {
        return HandleMessage(msg, wp, lp);
    } catch (...) {
        ReportCurrentException();
    }
    return 0;
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ::SetPropW(hwnd, kObjectProperty, self);
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);  // a few messages come before WM_NCCREATE
    const LRESULT result = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->Forget();
        Guarded([self] { self->WindowGone(); });
    }
    return result;
}

LRESULT CALLBACK Window::SubclassThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Window*>(data);
    if (!self || self->hwnd_ != hwnd) return ::DefSubclassProc(hwnd, msg, wp, lp);
    const LRESULT result = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->Forget();
        Guarded([self] { self->WindowGone(); });
    }
    return result;
}

std::u16string GetWindowTextW16(HWND hwnd) {
    if (!hwnd) return {};
    const int length = static_cast<int>(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got =
        static_cast<int>(::SendMessageW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    return FromWide(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void SetWindowTextW16(HWND hwnd, std::u16string_view text) {
    if (!hwnd) return;
    const std::u16string copy(text);
    ::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(copy)));
}
