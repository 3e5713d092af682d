#include "support/recording_printer.h"

#include <algorithm>

namespace sorvel {

class RecordingPrinter::Job : public PrintJob {
public:
    explicit Job(RecordingPrinter& owner) : owner_(owner) { ++owner_.liveJobs; }
    ~Job() override { --owner_.liveJobs; }

    int printableWidth() const override { return owner_.printableWidth; }
    int printableHeight() const override { return owner_.printableHeight; }
    int widthMm() const override { return owner_.widthMm; }
    int heightMm() const override { return owner_.heightMm; }
    int dpiX() const override { return owner_.dpi; }
    int dpiY() const override { return owner_.dpi; }
    bool canPrintBitmaps() const override { return owner_.bitmaps; }
    PaperSetup paper() const override { return owner_.paper; }

    bool startDoc(const QString& documentName) override {
        owner_.documentNames.push_back(documentName);
        return step("startDoc");
    }
    bool startPage() override {
        if (!step("startPage")) return false;
        page_ = Bitmap::create(owner_.printableWidth, owner_.printableHeight);
        if (page_.isNull()) return false;
        page_.image().fill(Qt::white);
        canvas_ = std::make_unique<Canvas>(page_);
        return true;
    }
    bool endPage() override {
        finishPage();
        return step("endPage");
    }
    bool endDoc() override { return step("endDoc"); }
    bool abortDoc() override {
        canvas_.reset();
        page_ = Bitmap();
        return step("abortDoc");
    }
    Canvas& canvas() override {
        if (!canvas_) {
            // Drawing outside a page goes to a scrap bitmap, as a device context would take it.
            page_ = Bitmap::create(std::max(1, owner_.printableWidth), std::max(1, owner_.printableHeight));
            canvas_ = std::make_unique<Canvas>(page_);
        }
        return *canvas_;
    }

private:
    bool step(const char* name) {
        owner_.steps.emplace_back(name);
        auto it = std::find(owner_.failSteps.begin(), owner_.failSteps.end(), name);
        if (it == owner_.failSteps.end()) return true;
        owner_.failSteps.erase(it);
        return false;
    }
    void finishPage() {
        if (canvas_) {
            canvas_.reset();
            owner_.pages.push_back(page_.image());
            page_ = Bitmap();
        }
    }

    RecordingPrinter& owner_;
    Bitmap page_;
    std::unique_ptr<Canvas> canvas_;
};

RecordingPrinter::RecordingPrinter() : previous_(setPrintService(this)) {}
RecordingPrinter::~RecordingPrinter() { setPrintService(previous_); }

std::unique_ptr<PrintJob> RecordingPrinter::printDialog(QWidget*, PrintDialogKind kind, const PaperSetup& preset) {
    dialogs.push_back(kind);
    presets.push_back(preset);
    bool confirmed = true;
    if (!dialogAnswers.empty()) {
        confirmed = dialogAnswers.front();
        dialogAnswers.pop_front();
    }
    if (!confirmed) return nullptr;
    return std::make_unique<Job>(*this);
}

std::unique_ptr<PrintJob> RecordingPrinter::defaultPrinter() {
    if (!hasDefaultPrinter) return nullptr;
    return std::make_unique<Job>(*this);
}

}  // namespace sorvel
