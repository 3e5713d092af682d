#pragma once
// The program's version. The configure reads it from the first line of debian/changelog, the one
// place it is kept, into version.cpp (made from version.cpp.in); the package's version is that
// line too.

namespace sorvel {

extern const char kVersion[];        // "1.25a": the About box and the iCalendar PRODID
extern const char kVersionNumber[];  // "1.25": the version without its letter

}  // namespace sorvel
