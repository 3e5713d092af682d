#pragma once
// The texts the data file and the day dialogs show, each written here once; the captions are in
// platform/messages.h.
#include <cstddef>

#include <QString>

#include "platform/messages.h"

namespace sorvel {

// "<path>\nは読み込めませんでした。": a data file that cannot be read (also when it is chosen in
// the settings).
inline QString unreadableFileMessage(const QString& path) {
    return path + QStringLiteral("\nは読み込めませんでした。");
}

// An unreadable data file, and where it was moved (empty when it stayed).
inline QString unreadableMovedMessage(const QString& path, const QString& aside) {
    QString text = unreadableFileMessage(path);
    if (!aside.isEmpty()) text += QStringLiteral("\n元のファイルは\n") + aside + QStringLiteral("\nに移しました。");
    return text;
}

// A damaged data file, and where its copy was kept (empty when none could be kept).
inline QString damagedKeptMessage(const QString& path, const QString& copy) {
    QString text = path + QStringLiteral("\nは壊れています。読み込めた予定と祝日だけを使います。");
    if (!copy.isEmpty())
        text += QStringLiteral("\n元のファイルは\n") + copy + QStringLiteral("\nに残しました。");
    else
        text += QStringLiteral("\n元のファイルを残せませんでした。");
    return text;
}

inline QString otherVersionTakenMessage(std::size_t count) {
    return QStringLiteral(
               "データファイルは他のプログラムで変更されていました。\n他の版の予定・休日 %1件を取り込みました。")
        .arg(count);
}

inline QString dataFileCreatedMessage(const QString& path) {
    return QStringLiteral("データ保存ファイル\n") + path + QStringLiteral(" を作成します。");
}

}  // namespace sorvel
