#pragma once
// The recording printer of the tests, installed as the print service while it lives.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "platform/printing.h"

namespace sorvel {

// A printer for tests: every dialog answers from a queue of outcomes (an empty queue means the
// user confirmed), pages are images of the printable size filled white, and every step is
// recorded by name ("startDoc", "startPage", "endPage", "endDoc", "abortDoc").
class RecordingPrinter : public PrintService {
public:
    RecordingPrinter();
    ~RecordingPrinter() override;
    RecordingPrinter(const RecordingPrinter&) = delete;
    RecordingPrinter& operator=(const RecordingPrinter&) = delete;

    std::unique_ptr<PrintJob> printDialog(QWidget* owner, PrintDialogKind kind, const PaperSetup& preset) override;
    std::unique_ptr<PrintJob> defaultPrinter() override;

    // The device every job reports.
    int printableWidth = 4760;
    int printableHeight = 6779;
    int widthMm = 203;
    int heightMm = 287;
    int dpi = 600;
    bool bitmaps = true;
    PaperSetup paper{9, 1};
    bool hasDefaultPrinter = true;

    // Dialog outcomes, oldest first: true confirms, false cancels.
    std::deque<bool> dialogAnswers;
    // Steps that fail (by name), each once for every entry.
    std::vector<std::string> failSteps;

    // What happened.
    std::vector<PrintDialogKind> dialogs;
    std::vector<PaperSetup> presets;
    std::vector<std::string> steps;
    std::vector<QString> documentNames;
    std::vector<QImage> pages;  // every ended page, and a page still open when the job ended
    int liveJobs = 0;           // jobs not yet released

private:
    class Job;
    PrintService* previous_;
};

}  // namespace sorvel
