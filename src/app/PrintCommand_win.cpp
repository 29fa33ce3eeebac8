// The Print command: the final picture on one page.
#include "app/MainForm_win.h"

#include "app/PrintLayout.h"
#include "app/Printer_win.h"
#include "imaging/BitmapDib_win.h"
#include "win32/Application.h"

void TfmMain::btnPrintClick(Control*) {
    if (!CommandGuard()) return;
    const UniqueBitmap finalPicture = PrepareFinalImage();
    Printer& printer = ThePrinter();
    const PrintLayout layout =
        CalcPrintLayout(printer.PageWidth(), printer.PageHeight(), imgCapture_->Width(), imgCapture_->Height());
    PrintDocument document = printer.BeginDoc();
    DrawBitmapDib(document.Handle(), layout.X, layout.Y, layout.DW, layout.DH, finalPicture.Get());
    document.EndDoc();
    TheApplication().Minimize();
}
