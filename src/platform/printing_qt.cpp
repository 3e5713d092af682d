#include "platform/printing_qt.h"

#include <algorithm>

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "platform/files.h"

namespace sorvel {

namespace {

struct PaperCode {
    int code;
    QPageSize::PageSizeId id;
};
// The platform's paper numbers the program stores, and Qt's sizes for them.
constexpr PaperCode kPapers[] = {
    {1, QPageSize::Letter}, {5, QPageSize::Legal},   {8, QPageSize::A3},  {9, QPageSize::A4},
    {11, QPageSize::A5},    {12, QPageSize::JisB4}, {13, QPageSize::JisB5}, {43, QPageSize::Postcard},
};

void applyPreset(QPrinter& printer, const PaperSetup& preset) {
    for (const PaperCode& p : kPapers)
        if (p.code == preset.paperSize) printer.setPageSize(QPageSize(p.id));
    if (preset.orientation == 1) printer.setPageOrientation(QPageLayout::Portrait);
    if (preset.orientation == 2) printer.setPageOrientation(QPageLayout::Landscape);
}

PrintSubmitter& submitter() {
    static PrintSubmitter s;
    return s;
}

// The options Qt's own CUPS output gives a job: the paper, copies and collation, the sides, the
// orientation, and what the dialog's property pages added (Qt keeps those as name/value pairs
// under a print engine key of its own).
std::vector<std::pair<QByteArray, QByteArray>> cupsOptions(QPrinter& printer) {
    std::vector<std::pair<QByteArray, QByteArray>> o;
    const QPageLayout layout = printer.pageLayout();
    o.emplace_back("media", layout.pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) {
        o.emplace_back("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies()) o.emplace_back("Collate", "True");
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
        case QPrinter::DuplexNone: o.emplace_back("sides", "one-sided"); break;
        case QPrinter::DuplexAuto: o.emplace_back("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge"); break;
        case QPrinter::DuplexLongSide: o.emplace_back("sides", "two-sided-long-edge"); break;
        case QPrinter::DuplexShortSide: o.emplace_back("sides", "two-sided-short-edge"); break;
    }
    if (!portrait) o.emplace_back("landscape", "");
    constexpr auto kCupsOptions = static_cast<QPrintEngine::PrintEnginePropertyKey>(0xfe00);
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList pairs = engine->property(kCupsOptions).toStringList();
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) o.emplace_back(pairs[i].toLocal8Bit(), pairs[i + 1].toLocal8Bit());
    }
    return o;
}

// What the dialog (or the default printer) chose, as a destination.
PrintDestination destinationOf(QPrinter& printer) {
    PrintDestination d;
    if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty())
        d.outputFile = printer.outputFileName();
    else
        d.printer = printer.printerName();
    d.layout = printer.pageLayout();
    d.fullPage = printer.fullPage();
    d.colour = printer.colorMode();
    if (!d.printer.isEmpty()) d.options = cupsOptions(printer);
    return d;
}

class QtPrintJob : public PrintJob {
public:
    explicit QtPrintJob(PrintDestination destination) : destination_(std::move(destination)) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageLayout(destination_.layout);
        printer_.setFullPage(destination_.fullPage);
        printer_.setColorMode(destination_.colour);
        // The resolution is set last: choosing the format resets it.
        printer_.setResolution(kPrintDpi);
        const QPageLayout layout = printer_.pageLayout();
        paint_ = layout.paintRectPixels(kPrintDpi);
        const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
        widthMm_ = static_cast<int>(mm.width());
        heightMm_ = static_cast<int>(mm.height());
    }
    ~QtPrintJob() override {
        // Unfinished: the painter's end only closes the spool file, which goes with spool_.
        if (painter_.isActive()) painter_.end();
    }

    int printableWidth() const override { return paint_.width(); }
    int printableHeight() const override { return paint_.height(); }
    int widthMm() const override { return widthMm_; }
    int heightMm() const override { return heightMm_; }
    int dpiX() const override { return kPrintDpi; }
    int dpiY() const override { return kPrintDpi; }
    bool canPrintBitmaps() const override { return true; }
    PaperSetup paper() const override {
        PaperSetup s;
        const QPageSize::PageSizeId id = printer_.pageLayout().pageSize().id();
        for (const PaperCode& p : kPapers)
            if (p.id == id) s.paperSize = p.code;
        s.orientation = printer_.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
        return s;
    }

    bool startDoc(const QString& documentName) override {
        if (painter_.isActive() || spool_) return false;
        spool_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/sorvel-print-XXXXXX.pdf"));
        if (!spool_->open()) {
            spool_.reset();
            return false;
        }
        documentName_ = documentName;
        printer_.setOutputFileName(spool_->fileName());
        printer_.setDocName(documentName);
        // Beginning the painter starts the document and its first page.
        if (!painter_.begin(&printer_)) {
            spool_.reset();
            return false;
        }
        pages_ = 0;
        return true;
    }
    bool startPage() override {
        if (!painter_.isActive() || inPage_) return false;
        if (pages_ > 0 && !printer_.newPage()) return false;
        ++pages_;
        inPage_ = true;
        painter_.resetTransform();
        painter_.setClipping(false);
        canvas_ = std::make_unique<Canvas>(painter_);
        return true;
    }
    bool endPage() override {
        if (!inPage_) return false;
        inPage_ = false;
        canvas_.reset();
        return printer_.printerState() != QPrinter::Error;
    }
    bool endDoc() override {
        if (!painter_.isActive()) return false;
        canvas_.reset();
        inPage_ = false;
        if (!painter_.end() || printer_.printerState() == QPrinter::Error) return false;
        // The document is whole: only now does it reach the printer or the chosen file. A
        // failure keeps the spool for abortDoc to drop.
        if (!deliver()) return false;
        spool_.reset();
        return true;
    }
    bool abortDoc() override {
        canvas_.reset();
        inPage_ = false;
        if (!spool_) return false;  // no document to abort
        if (painter_.isActive()) painter_.end();
        spool_.reset();  // removes the file: nothing was sent
        return true;
    }
    Canvas& canvas() override {
        if (!canvas_) {
            // Drawing outside a page goes nowhere, as a device context without a page takes it.
            if (scrap_.isNull()) scrap_ = Bitmap::create(1, 1);
            canvas_ = std::make_unique<Canvas>(scrap_);
        }
        return *canvas_;
    }
    QPainter* pagePainter() override { return inPage_ ? &painter_ : nullptr; }

private:
    bool deliver() {
        if (!destination_.printer.isEmpty()) {
            const PrintSubmission job{destination_.printer, spool_->fileName(), documentName_, destination_.options};
            return submitter() && submitter()(job);
        }
        if (destination_.outputFile.isEmpty()) return false;
        const std::optional<std::string> bytes = readWholeFile(spool_->fileName());
        return bytes && atomicReplace(destination_.outputFile, *bytes);
    }

    PrintDestination destination_;
    QPrinter printer_{QPrinter::HighResolution};
    QPainter painter_;
    std::unique_ptr<QTemporaryFile> spool_;  // the document while it is printed
    QString documentName_;
    std::unique_ptr<Canvas> canvas_;
    Bitmap scrap_;
    QRect paint_;
    int widthMm_ = 0;
    int heightMm_ = 0;
    int pages_ = 0;
    bool inPage_ = false;
};

}  // namespace

std::unique_ptr<PrintJob> QtPrintService::printDialog(QWidget* owner, PrintDialogKind kind, const PaperSetup& preset) {
    QPrinter printer(QPrinter::HighResolution);
    applyPreset(printer, preset);
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    // The program decides what it prints: no page range, selection or current-page choices.
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile;
    if (kind == PrintDialogKind::Setup) options |= QAbstractPrintDialog::PrintShowPageSize;
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    // Every page of the document reaches the printer (a range would go to CUPS as page-ranges).
    printer.setPrintRange(QPrinter::AllPages);
    printer.setCopyCount(std::max(1, printer.copyCount()));
    return spooledJob(destinationOf(printer));
}

std::unique_ptr<PrintJob> pdfFileJob(const QString& path, const PaperSetup& paper) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    applyPreset(printer, paper);
    return spooledJob(destinationOf(printer));
}

std::unique_ptr<PrintJob> QtPrintService::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    QPrinter printer(info, QPrinter::HighResolution);
    return spooledJob(destinationOf(printer));
}

std::unique_ptr<PrintJob> spooledJob(const PrintDestination& destination) {
    return std::make_unique<QtPrintJob>(destination);
}

void setPrintSubmitter(PrintSubmitter s) { submitter() = std::move(s); }

}  // namespace sorvel
