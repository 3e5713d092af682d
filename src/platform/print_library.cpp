#include "platform/print_library.h"

#include <vector>

#include <QFile>

#include "platform/cups_submit.h"
#include "platform/feature_library.h"
#include "platform/messages.h"

namespace sorvel {

PrintService* LoadedPrintService::service(bool sayWhenMissing) {
    if (loaded_) return loaded_;
    QString error;
    const auto entry = reinterpret_cast<SorvelPrintService>(
        featureFunction(QString::fromLatin1(kPrintLibrary), kPrintLibraryEntry, &error));
    if (entry) {
        loaded_ = entry(submitToCups);
    } else if (sayWhenMissing) {
        // Said each time the user asks to print, never when a page only looks for its paper.
        showFeatureMissing(printFeatureMissingMessage(error));
    }
    return loaded_;
}

std::unique_ptr<PrintJob> LoadedPrintService::printDialog(QWidget* owner, PrintDialogKind kind,
                                                          const PaperSetup& preset) {
    PrintService* s = service(true);
    return s ? s->printDialog(owner, kind, preset) : nullptr;
}

std::unique_ptr<PrintJob> LoadedPrintService::defaultPrinter() {
    PrintService* s = service(false);
    return s ? s->defaultPrinter() : nullptr;
}

bool submitToCups(const PrintSubmission& s) {
    const auto printFile =
        featureEntry<SorvelCupsPrintFile>(kCupsLibrary, "sorvel_cups_print_file", printFeatureMissingMessage);
    if (!printFile) return false;
    std::vector<const char*> names;
    std::vector<const char*> values;
    for (const auto& [name, value] : s.options) {
        names.push_back(name.constData());
        values.push_back(value.constData());
    }
    const int job =
        printFile(s.printer.toLocal8Bit().constData(), QFile::encodeName(s.file).constData(),
                  s.jobName.toUtf8().constData(), static_cast<int>(names.size()), names.data(), values.data());
    return job > 0;
}

}  // namespace sorvel
