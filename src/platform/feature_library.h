#pragma once
// Libraries of features a start does not use, loaded on their first use: from the program's own
// folder (the build tree) or from lib/sorvel beside an installed program's bin folder.
#include <QString>

namespace sorvel {

// The function `name` of the feature library `library` (its file name, "libsorvel-cups.so"),
// loaded once and kept; nullptr with the reason in `error` when it cannot be found or loaded.
void* featureFunction(const QString& library, const char* name, QString* error = nullptr);

// A function the process links in itself (a test does), answered instead of loading `library`.
void provideFeatureFunction(const QString& library, const char* name, void* function);

// Where the program looks for a feature library, in order.
QStringList featureLibraryFolders();

// Shows `message` with the caption "エラー": a feature was used whose library cannot be loaded.
void showFeatureMissing(const QString& message);

// The function `name` of `library` as a `Function`; nullptr once `missing(reason)` has been shown.
template <class Function>
Function featureEntry(const char* library, const char* name, QString (*missing)(const QString&)) {
    QString error;
    const auto function = reinterpret_cast<Function>(featureFunction(QString::fromLatin1(library), name, &error));
    if (!function) showFeatureMissing(missing(error));
    return function;
}

}  // namespace sorvel
