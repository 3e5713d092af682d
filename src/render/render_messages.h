#pragma once
// The texts the drawing engine shows, each written here once; the captions are in
// platform/messages.h.
#include <QString>

#include "platform/messages.h"

namespace sorvel {

inline QString selectErrorMessage() { return QStringLiteral("Select Error"); }
inline QString wallpaperUnreadableMessage() {
    return QStringLiteral("壁紙ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。");
}
inline QString bitmapCreationFailedMessage() { return QStringLiteral("ビットマップ作成に失敗"); }
inline QString transferFailedMessage() { return QStringLiteral("転送に失敗"); }

}  // namespace sorvel
