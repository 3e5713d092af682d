#include "ical/ical_library.h"

#include "platform/feature_library.h"
#include "platform/ui.h"

namespace sorvel {

IcalLibrary* icalLibrary() {
    QString error;
    auto entry = reinterpret_cast<IcalLibrary* (*)()>(
        featureFunction(QString::fromLatin1(kIcalLibrary), kIcalLibraryEntry, &error));
    if (!entry) {
        showMessage(QStringLiteral("iCalendar の機能を読み込めませんでした。\n") + error, QStringLiteral("エラー"));
        return nullptr;
    }
    return entry();
}

}  // namespace sorvel
