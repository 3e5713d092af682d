#include "platform/printing_qt.h"

#include <algorithm>

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

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

class QtPrintJob : public PrintJob {
public:
    explicit QtPrintJob(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
        // The output format is chosen by now (a printer or a PDF file); the resolution is set
        // after it, because choosing the format resets it.
        printer_->setResolution(kPrintDpi);
        const QPageLayout layout = printer_->pageLayout();
        paint_ = layout.paintRectPixels(kPrintDpi);
        const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
        widthMm_ = static_cast<int>(mm.width());
        heightMm_ = static_cast<int>(mm.height());
    }
    ~QtPrintJob() override {
        if (painter_.isActive()) {
            printer_->abort();
            painter_.end();
        }
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
        const QPageSize::PageSizeId id = printer_->pageLayout().pageSize().id();
        for (const PaperCode& p : kPapers)
            if (p.id == id) s.paperSize = p.code;
        s.orientation = printer_->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
        return s;
    }

    bool startDoc(const QString& documentName) override {
        if (painter_.isActive()) return false;
        printer_->setDocName(documentName);
        // Beginning the painter starts the document and its first page.
        if (!painter_.begin(printer_.get())) return false;
        pages_ = 0;
        return true;
    }
    bool startPage() override {
        if (!painter_.isActive() || inPage_) return false;
        if (pages_ > 0 && !printer_->newPage()) return false;
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
        return printer_->printerState() != QPrinter::Error;
    }
    bool endDoc() override {
        if (!painter_.isActive()) return false;
        canvas_.reset();
        return painter_.end() && printer_->printerState() != QPrinter::Error;
    }
    bool abortDoc() override {
        canvas_.reset();
        inPage_ = false;
        if (!painter_.isActive()) return false;
        const bool aborted = printer_->abort();
        painter_.end();
        return aborted;
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
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
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
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    applyPreset(*printer, preset);
    QPrintDialog dialog(printer.get(), owner);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    // The program decides what it prints: no page range, selection or current-page choices.
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile;
    if (kind == PrintDialogKind::Setup) options |= QAbstractPrintDialog::PrintShowPageSize;
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    // Every page of the document reaches the printer (a range would go to CUPS as page-ranges).
    printer->setPrintRange(QPrinter::AllPages);
    printer->setCopyCount(std::max(1, printer->copyCount()));
    return std::make_unique<QtPrintJob>(std::move(printer));
}

std::unique_ptr<PrintJob> pdfFileJob(const QString& path, const PaperSetup& paper) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    applyPreset(*printer, paper);
    return std::make_unique<QtPrintJob>(std::move(printer));
}

std::unique_ptr<PrintJob> QtPrintService::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    return std::make_unique<QtPrintJob>(std::make_unique<QPrinter>(info, QPrinter::HighResolution));
}

}  // namespace sorvel
