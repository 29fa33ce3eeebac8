#pragma once
// Print jobs as the end-to-end tests check them, under tests/e2e/cups-pdf: each job a test
// prints is described by a line of CUPS_PDF_OUT/jobs.txt, which print-check.py compares with
// the PDF files the queues wrote. And the printer setup dialog, worked with real input.
#include <windows.h>

#include <string>

#include "app/PrintLayout.h"

namespace e2e {

// The folder the print queues write into, as Wine sees it (drive Z: is the Linux root);
// empty outside a cups-pdf run.
std::string PrintOutFolder();

// What print-check.py needs of a page to find the picture on it: the resolution, the
// printable area's offset and the paper's size, in device pixels.
struct PageGeometry {
    int dpiX, dpiY, offsetX, offsetY, physicalWidth, physicalHeight;
};
PageGeometry PageOf(HDC printer);
// The page geometry of a print queue, from a device context of its own.
PageGeometry PageOfQueue(const std::wstring& queue);

// Appends the line of one job: the queue, the picture's size and where the layout put it.
// A failed write fails the test.
void RecordPrintJob(const std::string& queue, int width, int height, const PrintLayout& layout,
                    const PageGeometry& page);

// The list of printers in the common print setup dialog, or null.
HWND PrinterSetupList(HWND setup);
// Chooses printer in the dialog's list with real input: a click drops the list down, Home,
// Down until the printer is chosen, Enter. Returns what the list shows then. OK is the caller's.
std::wstring ChoosePrinterInSetup(HWND setup, const std::wstring& printer);

}  // namespace e2e
