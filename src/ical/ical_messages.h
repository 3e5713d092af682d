#pragma once
// The texts the iCalendar commands show, each written here once (what a reading or a writing
// found is told by ical_import.h and ical_export.h); the captions are in platform/messages.h.
#include <QString>

#include "platform/messages.h"

namespace sorvel {

inline QString icalReadFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("%1 を読み込めませんでした。\n%2").arg(path, reason);
}

inline QString icalWriteFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("%1 に書き出せませんでした。\n%2").arg(path, reason);
}

}  // namespace sorvel
