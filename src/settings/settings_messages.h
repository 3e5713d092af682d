#pragma once
// The texts the settings, their files and the settings dialog show, each written here once; the
// captions are in platform/messages.h.
#include <QString>

#include "data/data_messages.h"
#include "platform/messages.h"

namespace sorvel {

inline QString stateFileCreatedMessage(const QString& path) {
    return QStringLiteral("状態保存ファイル\n") + path + QStringLiteral(" を作成します。");
}

// A zoom whose canvas cannot be built: the percentage asked, the largest allowed and the one kept.
inline QString zoomRefusedMessage(long long percent, long long largest, const QString& kept) {
    return QStringLiteral(
               "表示倍率 %1% は使えません。\n1 から %2 までの整数で指定してください。\n表示倍率は %3% のままにします。")
        .arg(percent)
        .arg(largest)
        .arg(kept);
}

inline QString notAnIntegerMessage(const QString& text) {
    return QStringLiteral("'%1' は整数ではありません").arg(text);
}

inline QString unstorableFontMessage(const QString& face) {
    return QStringLiteral("フォント名 %1 には保存できない文字があります。\nこのフォントは使えません。").arg(face);
}

inline QString notProgramFileMessage(const QString& path) {
    return path + QStringLiteral("は、") + programName() + QStringLiteral("用ファイルではありません。");
}

// A sync field holding a character CP932 cannot store: the field's name and the character described.
inline QString unstorableSyncFieldMessage(const QString& field, const QString& character) {
    return QStringLiteral("%1には保存できない文字 %2 があります。").arg(field, character);
}

inline QString unusableServerAddressMessage(const QString& url) {
    return QStringLiteral(
               "サーバーのアドレス「%1」は使えません。\nhttp:// か https:// で始まるアドレスを入力してください。")
        .arg(url);
}

}  // namespace sorvel
