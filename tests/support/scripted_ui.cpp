#include "support/scripted_ui.h"

namespace sorvel {

ScriptedUi::ScriptedUi() : previous_(setUi(this)) {}
ScriptedUi::~ScriptedUi() { setUi(previous_); }

MsgAnswer ScriptedUi::messageBox(const QString& text, const QString& caption, MsgButtons buttons) {
    messages.push_back(RecordedMessage{text, caption, buttons});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;  // nothing to decide: the queue is for questions
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return firstButtonAnswer(buttons);
}

std::optional<QString> ScriptedUi::openFile(const FileDialogRequest& req) {
    fileRequests.push_back(req);
    if (fileAnswers.empty()) return std::nullopt;
    QString answer;
    const bool chosen = fileAnswers.front().has_value();
    if (chosen) answer = *fileAnswers.front();
    fileAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedUi::saveFile(const FileDialogRequest& req) { return openFile(req); }

std::optional<QString> ScriptedUi::openPicture(const FileDialogRequest& req, const PictureDecoder& decode) {
    lastPictureDecoder = decode;
    return openFile(req);
}

bool ScriptedUi::openDocument(const QString& pathOrUrl) {
    openedDocuments << pathOrUrl;
    return openDocumentSucceeds;
}

std::optional<UiService::ChosenFont> ScriptedUi::chooseFontAndSize(const QString& face, int pointSize) {
    fontSizeRequests.push_back(pointSize);
    auto chosen = chooseFont(face, pointSize);
    if (!chosen) return std::nullopt;
    int size = pointSize;
    if (!fontSizeAnswers.empty()) {
        size = fontSizeAnswers.front();
        fontSizeAnswers.pop_front();
    }
    return ChosenFont{*chosen, size};
}

std::optional<QString> ScriptedUi::chooseFont(const QString& face, int) {
    fontRequests << face;
    if (fontAnswers.empty()) return std::nullopt;
    QString answer;
    const bool chosen = fontAnswers.front().has_value();
    if (chosen) answer = *fontAnswers.front();
    fontAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedUi::askPassword(const QString& text, const QString& caption) {
    passwordRequests.push_back(RecordedMessage{text, caption, MsgButtons::OkCancel});
    if (passwordAnswers.empty()) return std::nullopt;
    // Copied out before the pop, as openFile does: g++ sees an optional moved from a deque
    // element as possibly unset.
    QString answer;
    const bool given = passwordAnswers.front().has_value();
    if (given) answer = *passwordAnswers.front();
    passwordAnswers.pop_front();
    if (!given) return std::nullopt;
    return answer;
}

}  // namespace sorvel
