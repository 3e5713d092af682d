#include "platform/printing.h"

namespace sorvel {

namespace {

class NoPrinter : public PrintService {
public:
    std::unique_ptr<PrintJob> printDialog(QWidget*, PrintDialogKind, const PaperSetup&) override { return nullptr; }
    std::unique_ptr<PrintJob> defaultPrinter() override { return nullptr; }
};

PrintService*& installed() {
    static PrintService* s = nullptr;
    return s;
}
NoPrinter& noPrinter() {
    static NoPrinter none;
    return none;
}
PrintService*& fallback() {
    static PrintService* s = &noPrinter();
    return s;
}

}  // namespace

PrintService& printService() { return installed() ? *installed() : *fallback(); }
PrintService* setPrintService(PrintService* service) {
    PrintService* before = installed();
    installed() = service;
    return before;
}
void setDefaultPrintService(PrintService* service) { fallback() = service ? service : &noPrinter(); }

}  // namespace sorvel
