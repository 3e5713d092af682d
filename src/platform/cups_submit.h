#pragma once
// The one function of libsorvel-cups.so: cupsPrintFile with the options given as name/value
// pairs. The job number, or 0 when CUPS refused the job.
extern "C" {
using SorvelCupsPrintFile = int (*)(const char* printer, const char* file, const char* title, int count,
                                    const char* const* names, const char* const* values);
int sorvel_cups_print_file(const char* printer, const char* file, const char* title, int count,
                           const char* const* names, const char* const* values);
}
inline constexpr char kCupsLibrary[] = "libsorvel-cups.so";
