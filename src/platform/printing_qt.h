#pragma once
// The real printers behind the print service, which the program loads as libsorvel-print.so:
// QPrintDialog lists the CUPS printers and offers PDF output; a job is a QPainter on the pages of
// a PDF spooled to a temporary file, which goes to its printer (or becomes the chosen PDF file)
// only when the document ends. An aborted or failed job, or one dropped unfinished, leaves
// nothing with the printer and no file behind.
//
// Every page is drawn at a fixed resolution, kPrintDpi, whatever the printer reports: a CUPS
// PDF queue reports 1200 dpi, which would make a bitmap page of A4 about 140 million pixels.
// At 300 dpi an A4 page is about 2400 × 3500 pixels and text 48 pixels high is about 4 mm.
#include <utility>
#include <vector>

#include <QByteArray>
#include <QPageLayout>
#include <QPrinter>

#include "platform/printing.h"
#include "platform/printing_submission.h"

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

// Where a job's document goes, and how, as the print dialog left it.
struct PrintDestination {
    QString printer;     // a CUPS queue; empty for a PDF file
    QString outputFile;  // the PDF file, replaced at the end of the document
    QPageLayout layout;
    bool fullPage = false;
    QPrinter::ColorMode colour = QPrinter::Color;
    // CUPS job options (name, value): paper, copies, collation, sides and the dialog's own.
    std::vector<std::pair<QByteArray, QByteArray>> options;
};
std::unique_ptr<PrintJob> spooledJob(const PrintDestination& destination);

// Where a finished document for a printer goes: the program hands it to CUPS
// (print_library.h), a test records it. Without a submitter no printer takes a job.
void setPrintSubmitter(PrintSubmitter submitter);

}  // namespace sorvel
