#pragma once
// Real printers for the program: Qt Print Support and its dialogs live in libsorvel-print.so,
// loaded with the first print dialog or the first look at the default printer, so that a start
// which prints nothing never maps them. CUPS submission stays one library further
// (libsorvel-cups.so), loaded with the first job for a printer.
#include <memory>

#include "platform/printing.h"
#include "platform/printing_submission.h"

namespace sorvel {

inline constexpr char kPrintLibrary[] = "libsorvel-print.so";
inline constexpr char kPrintLibraryEntry[] = "sorvel_print_service";
// The library's print service, handing finished jobs for a printer to `submit`.
using SorvelPrintService = PrintService* (*)(PrintSubmitter submit);

class LoadedPrintService final : public PrintService {
  public:
    // Without the library a print dialog says so and is cancelled; the default printer is none
    // (a page then takes the paper used without a printer).
    std::unique_ptr<PrintJob> printDialog(QWidget* owner, PrintDialogKind kind, const PaperSetup& preset) override;
    std::unique_ptr<PrintJob> defaultPrinter() override;

  private:
    PrintService* service(bool sayWhenMissing);
    PrintService* loaded_ = nullptr;
};

// Sends a finished document to its CUPS queue through libsorvel-cups.so; false (and said, each
// time, when the library is missing) when the queue did not take it.
bool submitToCups(const PrintSubmission& submission);

}  // namespace sorvel
