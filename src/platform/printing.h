#pragma once
// Printing: a process-wide print service that shows the print dialogs and hands back a print
// job for the chosen printer (what a printer device context was), and the job's document and
// page steps with a canvas for the current page. The Qt implementation (printing_qt) prints to
// CUPS printers and PDF files; tests install a recording printer (tests/support), which keeps
// every page as an image, records the steps and fails any step on request. It knows nothing
// about calendars.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "platform/gdi.h"

class QPainter;
class QWidget;

namespace sorvel {

// What a print dialog is preset with and what a job reports of its paper. Paper codes are the
// platform's paper size numbers (9 = A4, 1 = Letter …); orientation 1 is portrait, 2 landscape;
// 0 means "the printer's default".
struct PaperSetup {
    int paperSize = 0;
    int orientation = 0;
};

enum class PrintDialogKind {
    Setup,  // the print-setup form (printer, paper, orientation)
    Print,  // the print form, one page, no page range or selection choices
};

// One document on one printer. Each step answers whether it worked, as the Parts test for.
class PrintJob {
public:
    virtual ~PrintJob() = default;

    // Printable area in device pixels (HORZRES, VERTRES).
    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;
    // Physical page size in millimetres (HORZSIZE, VERTSIZE) and pixels per inch (LOGPIXELSX/Y).
    virtual int widthMm() const = 0;
    virtual int heightMm() const = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // Bitmap transfer and bitmaps above 64 KB (RC_BITBLT and RC_BITMAP64).
    virtual bool canPrintBitmaps() const = 0;
    virtual PaperSetup paper() const = 0;

    virtual bool startDoc(const QString& documentName) = 0;
    virtual bool startPage() = 0;
    virtual bool endPage() = 0;
    virtual bool endDoc() = 0;
    virtual bool abortDoc() = 0;
    // The current page, between startPage and endPage; its pixels are the printable area's.
    virtual Canvas& canvas() = 0;
    // The current page's painter when the page takes vector drawing (a printer or a PDF file),
    // with the printable area's top left at (0, 0) in device pixels; null for a page of pixels.
    virtual QPainter* pagePainter() { return nullptr; }
};

class PrintService {
public:
    virtual ~PrintService() = default;
    // Shows the dialog over owner (may be null); null when the user cancelled.
    virtual std::unique_ptr<PrintJob> printDialog(QWidget* owner, PrintDialogKind kind, const PaperSetup& preset) = 0;
    // The default printer's job without a dialog; null when there is no printer.
    virtual std::unique_ptr<PrintJob> defaultPrinter() = 0;
};

PrintService& printService();
// Installs a service (not owned) and returns the one installed before; nullptr returns to the
// default service.
PrintService* setPrintService(PrintService* service);
// The service used when none is installed; set by the widget library at start-up. Without
// one, every dialog is cancelled and there is no default printer.
void setDefaultPrintService(PrintService* service);

}  // namespace sorvel
