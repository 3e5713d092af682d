#pragma once
// The scripted ui service of the tests: installed while it lives, it records every message
// (text, caption, buttons) and answers questions and dialogs from queues.
#include <deque>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/ui.h"

namespace sorvel {

struct RecordedMessage {
    QString text;
    QString caption;
    MsgButtons buttons;
    bool operator==(const RecordedMessage&) const = default;
};

// Records messages and answers questions (messages with more than an OK button) from a queue;
// unanswered questions get the first button's answer (Ok or Yes). File and font dialogs answer
// from their own queues, cancelled when the queue is empty.
class ScriptedUi : public UiService {
public:
    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    std::optional<QString> openPicture(const FileDialogRequest& req, const PictureDecoder& decode) override;
    bool openDocument(const QString& pathOrUrl) override;
    std::optional<QString> chooseFont(const QString& face, int pointSize) override;
    // The face from fontAnswers, the size from fontSizeAnswers (the preset size when empty).
    std::optional<ChosenFont> chooseFontAndSize(const QString& face, int pointSize) override;
    // Recorded in passwordRequests (buttons OkCancel), answered from passwordAnswers
    // (cancelled when empty).
    std::optional<QString> askPassword(const QString& text, const QString& caption) override;

    std::vector<RecordedMessage> messages;
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<QString>> fileAnswers;
    std::vector<FileDialogRequest> fileRequests;
    PictureDecoder lastPictureDecoder;  // what the last picture dialog was given to preview with
    QStringList openedDocuments;
    bool openDocumentSucceeds = true;  // false: as if the desktop had no program for it
    std::deque<std::optional<QString>> fontAnswers;
    QStringList fontRequests;  // the preset faces
    std::deque<int> fontSizeAnswers;
    std::vector<int> fontSizeRequests;  // the preset sizes asked with chooseFontAndSize
    std::vector<RecordedMessage> passwordRequests;
    std::deque<std::optional<QString>> passwordAnswers;

private:
    UiService* previous_;
};

}  // namespace sorvel
