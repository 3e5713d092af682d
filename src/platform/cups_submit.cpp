// The feature library that hands a finished document to CUPS (libsorvel-cups.so). The program
// loads it when it first prints to a printer, so a start maps neither libcups nor what libcups
// maps (GnuTLS, Kerberos, Avahi).
#include <cups/cups.h>

#include "platform/cups_submit.h"

extern "C" __attribute__((visibility("default"))) int sorvel_cups_print_file(const char* printer, const char* file,
                                                                              const char* title, int count,
                                                                              const char* const* names,
                                                                              const char* const* values) {
    cups_option_t* options = nullptr;
    int n = 0;
    for (int i = 0; i < count; ++i) n = cupsAddOption(names[i], values[i], n, &options);
    const int job = cupsPrintFile(printer, file, title, n, options);
    cupsFreeOptions(n, options);
    return job;
}
