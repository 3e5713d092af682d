#pragma once
// Qt's own Japanese translations, so the standard dialogs (print, font, file) speak the
// program's language.

namespace sorvel {

// Loads "qtbase_ja" from Qt's translations directory into the application; false when it is
// not there (the dialogs then stay in English).
bool installQtTranslations();

}  // namespace sorvel
