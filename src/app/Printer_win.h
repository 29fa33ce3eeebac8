#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class PrintDocument;

// The program's printer: the one chosen in the printer setup dialog (with the page settings
// chosen there) for as long as the program runs, else the system's default printer, looked
// up anew each time it is needed. Nothing of the choice is saved.
//
// Every failure throws AppError with a text for the user: no printer installed, a printer
// that cannot be reached, or a step of the print job that the device refused.
class Printer {
public:
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // The name of the printer Print uses now.
    std::u16string DeviceName() const;
    // True while a document of this printer is open.
    bool Printing() const { return documentDc_ != nullptr; }

    // Runs the system's printer setup dialog on the current printer and its page settings.
    // Returns true when the user confirmed; the choice is then the current printer. A cancel
    // changes nothing.
    bool ShowSetupDialog(HWND owner);
    // What the setup dialog does on OK: device becomes the current printer with the page
    // settings of mode (null: the printer's own defaults). Of mode, dmSize + dmDriverExtra
    // bytes are kept. An empty device is the system default, with its own settings.
    void Choose(std::u16string_view device, const DEVMODEW* mode = nullptr);
    // Back to the system's default printer.
    void ForgetChoice();

    // The printable area in device pixels (HORZRES, VERTRES), asked of the device each time.
    int PageWidth() const;
    int PageHeight() const;

    // Opens a print job with no document title and its first page. The printer's abort
    // procedure lets the message loop run while the device works and never cancels the job.
    // One document at a time: beginning another while one is open is an error.
    PrintDocument BeginDoc();

private:
    friend Printer& ThePrinter();
    friend class PrintDocument;
    Printer() = default;

    const DEVMODEW* ChosenMode() const;
    int DeviceCaps(int index) const;

    std::u16string chosenDevice_;            // empty: the system default
    std::vector<unsigned char> chosenMode_;  // a DEVMODEW with its driver data, or empty
    HDC documentDc_ = nullptr;               // the open document's, owned by its PrintDocument
};

// The one printer object of the program.
Printer& ThePrinter();

// One open print job with one page. EndDoc closes the page and the job, which then prints.
// A document dropped without EndDoc (after an error while drawing) is cancelled, so nothing
// of it prints; its device context is freed either way.
class PrintDocument {
public:
    PrintDocument(PrintDocument&& other) noexcept;
    PrintDocument& operator=(PrintDocument&&) = delete;
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;
    ~PrintDocument();

    // The page's device context; null once the document has ended.
    HDC Handle() const { return dc_; }
    // Throws AppError if the device refuses the page or the job; the document is over then too.
    void EndDoc();

private:
    friend class Printer;
    PrintDocument(Printer& printer, HDC dc) : printer_(&printer), dc_(dc) {}
    void Release(bool cancel);

    Printer* printer_;
    HDC dc_;
};
