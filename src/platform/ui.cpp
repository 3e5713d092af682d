#include "platform/ui.h"

namespace sorvel {

namespace {

// The answer of a message's first button.
MsgAnswer firstButton(MsgButtons buttons) {
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
}

// Without a GUI (core tools, tests that install nothing) messages are counted and answered
// with the first button.
class SilentUi : public UiService {
public:
    MsgAnswer messageBox(const QString&, const QString&, MsgButtons buttons) override {
        return firstButton(buttons);
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool openDocument(const QString&) override { return false; }
    std::optional<QString> chooseFont(const QString&, int) override { return std::nullopt; }
};

UiService*& installed() {
    static UiService* s = nullptr;
    return s;
}
SilentUi& silentUi() {
    static SilentUi silent;
    return silent;
}
UiService*& fallback() {
    static UiService* s = &silentUi();
    return s;
}

}  // namespace

std::optional<QString> UiService::openPicture(const FileDialogRequest& req, const PictureDecoder&) {
    return openFile(req);
}

std::optional<QString> UiService::askPassword(const QString&, const QString&) { return std::nullopt; }

UiService& ui() { return installed() ? *installed() : *fallback(); }
void setUi(UiService* service) { installed() = service; }
void setDefaultUi(UiService* service) { fallback() = service ? service : &silentUi(); }

UnattendedUi::UnattendedUi() : previous_(installed()) { setUi(&silentUi()); }
UnattendedUi::~UnattendedUi() { setUi(previous_); }

ScriptedUi::ScriptedUi() : previous_(installed()) { setUi(this); }
ScriptedUi::~ScriptedUi() { setUi(previous_); }

MsgAnswer ScriptedUi::messageBox(const QString& text, const QString& caption, MsgButtons buttons) {
    messages.push_back(RecordedMessage{text, caption, buttons});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;  // nothing to decide: the queue is for questions
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return firstButton(buttons);
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

std::optional<UiService::ChosenFont> UiService::chooseFontAndSize(const QString& face, int pointSize) {
    auto chosen = chooseFont(face, pointSize);
    if (!chosen) return std::nullopt;
    return ChosenFont{*chosen, pointSize};
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
