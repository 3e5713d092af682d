#include "platform/feature_library.h"

#include <map>
#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "platform/messages.h"
#include "platform/ui.h"

namespace sorvel {

QStringList featureLibraryFolders() {
    const QString bin = QCoreApplication::applicationDirPath();
    return {bin, QDir::cleanPath(bin + QStringLiteral("/../lib/sorvel"))};
}

namespace {
std::map<std::pair<QString, QByteArray>, void*>& provided() {
    static std::map<std::pair<QString, QByteArray>, void*> functions;
    return functions;
}
}  // namespace

void provideFeatureFunction(const QString& library, const char* name, void* function) {
    provided()[{library, QByteArray(name)}] = function;
}

void* featureFunction(const QString& library, const char* name, QString* error) {
    if (auto p = provided().find({library, QByteArray(name)}); p != provided().end()) return p->second;
    // Loaded libraries stay for the rest of the run: their functions may be held anywhere.
    static std::map<QString, std::unique_ptr<QLibrary>> loaded;
    auto it = loaded.find(library);
    if (it == loaded.end()) {
        QString reasons;
        for (const QString& folder : featureLibraryFolders()) {
            const QString path = folder + QLatin1Char('/') + library;
            if (!QFileInfo::exists(path)) continue;
            auto lib = std::make_unique<QLibrary>(path);
            if (lib->load()) {
                it = loaded.emplace(library, std::move(lib)).first;
                break;
            }
            reasons = lib->errorString();
        }
        if (it == loaded.end()) {
            if (error)
                *error = reasons.isEmpty() ? library + QStringLiteral(" が ") +
                                                 featureLibraryFolders().join(QStringLiteral("、")) +
                                                 QStringLiteral(" にありません。")
                                           : reasons;
            return nullptr;
        }
    }
    void* function = reinterpret_cast<void*>(it->second->resolve(name));
    if (!function && error) *error = it->second->errorString();
    return function;
}

void showFeatureMissing(const QString& message) { showMessage(message, errorCaption()); }

}  // namespace sorvel
