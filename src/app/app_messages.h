#pragma once
// The texts the main window, its controllers and the About box show, each written here once; the
// captions are in platform/messages.h.
#include <QString>

#include "platform/messages.h"

namespace sorvel {

inline QString helpFileMissingMessage(const QString& path) {
    return QStringLiteral("ヘルプファイル\n%1\nが見つかりません。").arg(path);
}

inline QString helpNotShownMessage(const QString& path) {
    return QStringLiteral("ヘルプを表示できませんでした。\nブラウザーが見つかりません。\n%1 を開いてください。")
        .arg(path);
}

inline QString endAfterSaveErrorQuestion() {
    return QStringLiteral("データ保存でエラーが発生しました。\nこのまま終了しますか？");
}

inline QString layoutRecoveryQuestion(const QString& path) {
    return QStringLiteral("前回終了したときに保存されていなかったレイアウトを\n%1\nに残しました。\n開きますか？")
        .arg(path);
}

inline QString syncNotSetUpMessage() {
    return QStringLiteral("CalDAVでの同期が設定されていません。「設定」の「同期」で設定してください");
}

}  // namespace sorvel
