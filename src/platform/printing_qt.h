#pragma once
// The real printers behind the print service: QPrintDialog lists the CUPS printers and offers
// PDF output; a job is a QPrinter with a QPainter on its pages.
//
// Every page is drawn at a fixed resolution, kPrintDpi, whatever the printer reports: a CUPS
// PDF queue reports 1200 dpi, which would make a bitmap page of A4 about 140 million pixels.
// At 300 dpi an A4 page is about 2400 × 3500 pixels and text 48 pixels high is about 4 mm.
#include "platform/printing.h"

namespace sorvel {

inline constexpr int kPrintDpi = 300;

class QtPrintService : public PrintService {
public:
    std::unique_ptr<PrintJob> printDialog(QWidget* owner, PrintDialogKind kind, const PaperSetup& preset) override;
    std::unique_ptr<PrintJob> defaultPrinter() override;
};

// A job that writes a PDF file on the given paper (A4 portrait when none is given), without a
// dialog: for exports and measurements.
std::unique_ptr<PrintJob> pdfFileJob(const QString& path, const PaperSetup& paper = {});

}  // namespace sorvel
