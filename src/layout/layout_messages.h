#pragma once
// The texts the layout window, its page and its objects show, each written here once; the
// captions are in platform/messages.h.
#include <QString>

#include "platform/messages.h"

namespace sorvel {

inline QString failCreateDibSectionMessage() { return QStringLiteral("Fail CreateDIBSection"); }
// The small buffers of a new page (the older spelling, kept as the page has always said it).
inline QString failCrateDibSectionMessage() { return QStringLiteral("Fail CrateDIBSection"); }
inline QString drawObjectFailedMessage() { return QStringLiteral("False DrawObj BitBlt"); }
inline QString newObjectFailedMessage() { return QStringLiteral("new TSopic"); }
inline QString textEnlargeFailedMessage() { return QStringLiteral("テキストの拡大に失敗。"); }
inline QString pictureUnreadableMessage() { return QStringLiteral("画像ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。"); }

inline QString layoutModifiedQuestion() { return QStringLiteral("レイアウトは変更されています。\n保存しますか？"); }
inline QString layoutNotOpenableMessage() { return QStringLiteral("開けないファイルです。"); }
inline QString layoutSaveFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("ファイルに保存できませんでした。\n") + path + '\n' + reason;
}
inline QString layoutOpenFailedMessage() { return QStringLiteral("ファイルが開けませんでした。"); }

inline QString nothingToSetMessage() { return QStringLiteral("設定する項目が選ばれていません。"); }
inline QString deleteSelectedQuestion() { return QStringLiteral("選択している項目を削除します。\nよろしいですか？"); }
inline QString nothingToDeleteMessage() { return QStringLiteral("削除する項目が選ばれていません。"); }

}  // namespace sorvel
