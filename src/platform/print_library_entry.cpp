// The implementation libsorvel-print.so hands out: the Qt print service of printing_qt.h.
#include "platform/print_library.h"
#include "platform/printing_qt.h"

extern "C" __attribute__((visibility("default"))) sorvel::PrintService* sorvel_print_service(
    sorvel::PrintSubmitter submit) {
    sorvel::setPrintSubmitter(std::move(submit));
    static sorvel::QtPrintService service;
    return &service;
}
