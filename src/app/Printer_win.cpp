#include "app/Printer_win.h"

#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <utility>

#include "platform/AppError.h"
#include "platform/SystemError_win.h"
#include "platform/Text.h"
#include "win32/Application.h"
#include "win32/Handles.h"

namespace {

constexpr char kUnknownPrinter[] = "選ばれたプリンタがわかりません。";
constexpr char kCannotStart[] = "印刷を開始できません。";

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string FromWide(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

[[noreturn]] void ThrowNoPrinter() { throw AppError("プリンタがインストールされていません。"); }

[[noreturn]] void ThrowUnreachable(const std::u16string& device) {
    // CreateDC leaves unhelpful codes behind (Wine: "module not found"), so no system text.
    throw AppError("プリンタ \"" + Utf16ToUtf8(device) + "\" に接続できません。");
}

// A step of the job failed: the step's text, and the system's reason when it gave one.
[[noreturn]] void ThrowStepFailure(const char* what, DWORD error) {
    std::string text = what;
    if (error != 0) text += "\n" + SystemErrorText(error);
    throw AppError(text);
}

// Lets the program handle its messages while the device works; the job always goes on.
BOOL CALLBACK KeepPrinting(HDC, int) {
    TheApplication().ProcessMessages();
    return TRUE;
}

struct PrinterDCTraits {
    using Handle = HDC;
    static constexpr HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
using UniquePrinterDC = Unique<PrinterDCTraits>;

// The movable memory blocks PrintDlg takes and gives back.
struct MovableBlockTraits {
    using Handle = HGLOBAL;
    static constexpr HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL block) { ::GlobalFree(block); }
};
using UniqueMovableBlock = Unique<MovableBlockTraits>;

class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL handle) : handle_(handle), data_(handle ? ::GlobalLock(handle) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_) ::GlobalUnlock(handle_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* Get() const { return data_; }
    size_t Size() const { return data_ ? ::GlobalSize(handle_) : 0; }

private:
    HGLOBAL handle_;
    void* data_;
};

HGLOBAL CopyToGlobal(const void* data, size_t size) {
    HGLOBAL handle = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!handle) throw AppError("メモリが足りません。");
    GlobalLockGuard lock(handle);
    std::memcpy(lock.Get(), data, size);
    return handle;
}

// A DEVNAMES block that names only the device: the dialog finds the driver and port itself.
HGLOBAL MakeDevNames(const std::u16string& device) {
    const size_t chars = 1 + (device.size() + 1) + 1;  // "" driver, device, "" port
    std::vector<wchar_t> block(sizeof(DEVNAMES) / sizeof(wchar_t) + chars, L'\0');
    auto* names = reinterpret_cast<DEVNAMES*>(block.data());
    const WORD base = sizeof(DEVNAMES) / sizeof(wchar_t);
    names->wDriverOffset = base;
    names->wDeviceOffset = static_cast<WORD>(base + 1);
    std::memcpy(block.data() + names->wDeviceOffset, device.c_str(), device.size() * sizeof(wchar_t));
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
    return CopyToGlobal(block.data(), block.size() * sizeof(wchar_t));
}

// The bytes of a DEVMODEW that belong to it, or 0 when it is not a plausible one.
size_t DevModeSize(const DEVMODEW* mode, size_t available) {
    if (!mode || available < offsetof(DEVMODEW, dmFields) + sizeof(DWORD)) return 0;
    const size_t size = static_cast<size_t>(mode->dmSize) + mode->dmDriverExtra;
    if (mode->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) || size > available) return 0;
    return size;
}

}  // namespace

Printer& ThePrinter() {
    static Printer printer;
    return printer;
}

std::u16string Printer::DeviceName() const {
    if (!chosenDevice_.empty()) return chosenDevice_;
    DWORD size = 0;
    ::GetDefaultPrinterW(nullptr, &size);
    if (size == 0) ThrowNoPrinter();
    std::vector<wchar_t> name(size + 1, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &size) || name[0] == L'\0') ThrowNoPrinter();
    return FromWide(name.data());
}

const DEVMODEW* Printer::ChosenMode() const {
    return chosenMode_.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(chosenMode_.data());
}

void Printer::Choose(std::u16string_view device, const DEVMODEW* mode) {
    chosenDevice_ = std::u16string(device);
    chosenMode_.clear();
    if (chosenDevice_.empty()) return;  // page settings belong to the printer they were made for
    const size_t size = mode ? DevModeSize(mode, static_cast<size_t>(mode->dmSize) + mode->dmDriverExtra) : 0;
    if (size > 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(mode);
        chosenMode_.assign(bytes, bytes + size);
    }
}

void Printer::ForgetChoice() {
    chosenDevice_.clear();
    chosenMode_.clear();
}

bool Printer::ShowSetupDialog(HWND owner) {
    // Wine opens the dialog with an empty printer list when there is no printer at all.
    if (chosenDevice_.empty()) DeviceName();
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    // Our own error text reports a missing printer, through the standard error handler.
    dialog.Flags = PD_PRINTSETUP | PD_NOWARNING;
    UniqueMovableBlock names;
    UniqueMovableBlock mode;
    if (!chosenDevice_.empty()) {
        names.Reset(MakeDevNames(chosenDevice_));
        if (const DEVMODEW* chosen = ChosenMode()) mode.Reset(CopyToGlobal(chosen, chosenMode_.size()));
    }
    dialog.hDevNames = names.Release();
    dialog.hDevMode = mode.Release();
    const BOOL confirmed = ::PrintDlgW(&dialog);
    // The dialog frees or keeps the blocks it was given; what it returns is ours to free.
    names.Reset(dialog.hDevNames);
    mode.Reset(dialog.hDevMode);
    if (!confirmed) {
        const DWORD error = ::CommDlgExtendedError();
        if (error == 0) return false;
        if (error == PDERR_NODEFAULTPRN) ThrowNoPrinter();
        throw AppError("プリンタの設定を開けません (エラー " + std::to_string(error) + ")。");
    }

    GlobalLockGuard namesLock(dialog.hDevNames);
    if (!namesLock.Get() || namesLock.Size() < sizeof(DEVNAMES)) throw AppError(kUnknownPrinter);
    const auto* devNames = static_cast<const DEVNAMES*>(namesLock.Get());
    const auto* chars = static_cast<const wchar_t*>(namesLock.Get());
    const size_t charCount = namesLock.Size() / sizeof(wchar_t);
    if (devNames->wDeviceOffset >= charCount ||
        !std::wmemchr(chars + devNames->wDeviceOffset, L'\0', charCount - devNames->wDeviceOffset)) {
        throw AppError(kUnknownPrinter);
    }
    const std::u16string device = FromWide(chars + devNames->wDeviceOffset);

    GlobalLockGuard modeLock(dialog.hDevMode);
    const auto* devMode = static_cast<const DEVMODEW*>(modeLock.Get());
    Choose(device, DevModeSize(devMode, modeLock.Size()) > 0 ? devMode : nullptr);
    return true;
}

int Printer::DeviceCaps(int index) const {
    if (documentDc_) return ::GetDeviceCaps(documentDc_, index);
    const std::u16string device = DeviceName();
    UniquePrinterDC info(::CreateICW(L"WINSPOOL", Wide(device), nullptr, ChosenMode()));
    if (!info.Get()) ThrowUnreachable(device);
    return ::GetDeviceCaps(info.Get(), index);
}

int Printer::PageWidth() const { return DeviceCaps(HORZRES); }

int Printer::PageHeight() const { return DeviceCaps(VERTRES); }

PrintDocument Printer::BeginDoc() {
    // The abort procedure runs the message loop, so a second Print can arrive meanwhile.
    if (Printing()) throw AppError("前の印刷がまだ終わっていません。");
    const std::u16string device = DeviceName();
    UniquePrinterDC dc(::CreateDCW(L"WINSPOOL", Wide(device), nullptr, ChosenMode()));
    if (!dc.Get()) ThrowUnreachable(device);
    if (::SetAbortProc(dc.Get(), KeepPrinting) <= 0) ThrowStepFailure(kCannotStart, ::GetLastError());

    // An empty title, not a null one: Wine drops a job whose title is null at EndDoc.
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = L"";
    ::SetLastError(0);
    if (::StartDocW(dc.Get(), &info) <= 0) ThrowStepFailure(kCannotStart, ::GetLastError());

    // From here the document owns the context, so a failure below cancels the job.
    documentDc_ = dc.Get();
    PrintDocument document(*this, dc.Release());
    ::SetLastError(0);
    if (::StartPage(document.Handle()) <= 0) ThrowStepFailure("印刷するページを開始できません。", ::GetLastError());
    return document;
}

PrintDocument::PrintDocument(PrintDocument&& other) noexcept
    : printer_(other.printer_), dc_(std::exchange(other.dc_, nullptr)) {}

PrintDocument::~PrintDocument() { Release(true); }

void PrintDocument::Release(bool cancel) {
    if (!dc_) return;
    if (cancel) ::AbortDoc(dc_);
    ::DeleteDC(dc_);
    if (printer_->documentDc_ == dc_) printer_->documentDc_ = nullptr;
    dc_ = nullptr;
}

void PrintDocument::EndDoc() {
    if (!dc_) return;
    ::SetLastError(0);
    if (::EndPage(dc_) <= 0) {
        const DWORD error = ::GetLastError();
        Release(true);
        ThrowStepFailure("ページを印刷できません。", error);
    }
    ::SetLastError(0);
    if (::EndDoc(dc_) <= 0) {
        const DWORD error = ::GetLastError();
        Release(false);
        ThrowStepFailure("印刷を終了できません。", error);
    }
    Release(false);
}
