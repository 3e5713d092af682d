#pragma once
// The failures a print job can meet, the steps the printer then sees and the messages shown
// (caption "エラー", OK button); shared by every printing command's tests.
#include <string>
#include <vector>

#include <QString>

#include "platform/ui.h"
#include "support/scripted_ui.h"

namespace sorvel::print_cases {

struct PrintFailure {
    std::vector<std::string> fail;
    std::vector<std::string> steps;
    std::vector<QString> messages;
};

inline std::vector<PrintFailure> printFailures() {
    const QString abortFailed = QStringLiteral("印刷中止にも失敗");
    return {
        {{"startDoc"}, {"startDoc", "abortDoc"}, {QStringLiteral("印刷開始に失敗")}},
        {{"startPage"}, {"startDoc", "startPage", "abortDoc"}, {QStringLiteral("ページ開始に失敗")}},
        {{"endPage"}, {"startDoc", "startPage", "endPage", "abortDoc"}, {QStringLiteral("ページ終了に失敗")}},
        {{"endDoc"}, {"startDoc", "startPage", "endPage", "endDoc", "abortDoc"}, {QStringLiteral("印刷終了に失敗")}},
        {{"startDoc", "abortDoc"}, {"startDoc", "abortDoc"}, {QStringLiteral("印刷開始に失敗"), abortFailed}},
        {{"endDoc", "abortDoc"},
         {"startDoc", "startPage", "endPage", "endDoc", "abortDoc"},
         {QStringLiteral("印刷終了に失敗"), abortFailed}},
    };
}

// The messages of a case as the scripted message service records them.
inline std::vector<RecordedMessage> errors(const PrintFailure& c) {
    std::vector<RecordedMessage> out;
    for (const QString& m : c.messages) out.push_back({m, QStringLiteral("エラー"), MsgButtons::Ok});
    return out;
}

inline std::string name(const PrintFailure& c) { return c.fail.size() > 1 ? c.fail[0] + " + abortDoc" : c.fail[0]; }

inline const RecordedMessage kNoBitmaps{QStringLiteral("このプリンタはビットマップを印刷できません。"),
                                        QStringLiteral("デバイスエラー"), MsgButtons::Ok};

}  // namespace sorvel::print_cases
