#pragma once
// The program's name, its version lines, the captions of its messages and the texts that more
// than one folder shows, each written here once. A folder's own texts are in its catalogue
// (data/data_messages.h, layout/layout_messages.h …), which builds on these.
#include <QString>

#include "platform/version.h"

namespace sorvel {

// The name the windows, the tray and the captions show.
inline QString programName() { return QStringLiteral("Sorvel"); }

// "Sorvel Version 1.25a" (the About box) and "Sorvel Version 1.25" (the settings dialog).
inline QString versionLine() { return programName() + QStringLiteral(" Version ") + QLatin1String(kVersion); }
inline QString versionNumberLine() {
    return programName() + QStringLiteral(" Version ") + QLatin1String(kVersionNumber);
}

// Captions.
inline QString programMessageCaption() { return QStringLiteral("メッセージ from ") + programName(); }
inline QString programMessageCaptionLatin() { return QStringLiteral("Message from ") + programName(); }
inline QString programErrorCaptionLatin() { return QStringLiteral("Error from ") + programName(); }
inline QString objectErrorCaptionLatin() { return programErrorCaptionLatin() + QStringLiteral("Obj"); }
inline QString programFileCaption() { return QStringLiteral("メッセージ-") + programName(); }
inline QString messageCaption() { return QStringLiteral("メッセージ"); }
inline QString messageCaptionHalfWidth() { return QStringLiteral("ﾒｯｾｰｼﾞ"); }
inline QString messageCaptionLatin() { return QStringLiteral("Message"); }
inline QString errorCaption() { return QStringLiteral("エラー"); }
inline QString errorCaptionLatin() { return QStringLiteral("Error"); }
inline QString deviceErrorCaption() { return QStringLiteral("デバイスエラー"); }
inline QString confirmCaption() { return QStringLiteral("確認"); }

// Texts.
inline QString removeFailedMessage(const QString& path) { return path + QStringLiteral("\nが削除できませんでした。"); }
inline QString printerCannotPrintBitmapsMessage() {
    return QStringLiteral("このプリンタはビットマップを印刷できません。");
}
inline QString printAbortFailedMessage() { return QStringLiteral("印刷中止にも失敗"); }
// A feature library that could not be loaded (caption errorCaption()), said when the feature is used.
inline QString featureMissingMessage(const QString& feature, const QString& reason) {
    return feature + QStringLiteral("の機能を読み込めませんでした。\n") + reason;
}
inline QString printFeatureMissingMessage(const QString& reason) {
    return featureMissingMessage(QStringLiteral("印刷"), reason);
}
inline QString icalFeatureMissingMessage(const QString& reason) {
    return featureMissingMessage(QStringLiteral("iCalendar "), reason);
}
inline QString syncFeatureMissingMessage(const QString& reason) {
    return featureMissingMessage(QStringLiteral("同期"), reason);
}
inline QString secretsFeatureMissingMessage(const QString& reason) {
    return featureMissingMessage(QStringLiteral("パスワード"), reason);
}

}  // namespace sorvel
