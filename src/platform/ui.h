#pragma once
// One process-wide service for what the desktop shell and the common dialogs provide:
// message boxes, file choosers, the font dialog, opening a document with the desktop. The Qt
// implementation shows real dialogs; tests install a scripted one (tests/support), which records
// every message and answers from a queue.
#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

class QImage;

namespace sorvel {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString title;
    QString filter;     // "name|*.a;*.b" pairs, as the program states them
    QString initialPath;
    bool acceptNewName = false;  // to open: a file that does not exist yet may be named too
    QString defaultSuffix{};     // to save: added to a name typed without one, before the
                                 // dialog asks whether to replace an existing file
};

// Decodes a picture file for a preview; false when it cannot (damaged, too large, not a
// picture). The dialog knows no picture formats of its own: its owner hands in its readers.
using PictureDecoder = std::function<bool(const QString& path, QImage* out)>;

class UiService {
public:
    virtual ~UiService() = default;
    virtual MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) = 0;
    // A file to open; empty optional when cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& req) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& req) = 0;
    // A picture to open, with a preview of the selected file beside the file list.
    virtual std::optional<QString> openPicture(const FileDialogRequest& req, const PictureDecoder& decode);
    // Opens a local document or an address with the desktop's default program; false when
    // the desktop has no program to open it with.
    virtual bool openDocument(const QString& pathOrUrl) = 0;
    // The font dialog without its effects, preset with a face and a point size; the chosen
    // face, or an empty optional when cancelled.
    virtual std::optional<QString> chooseFont(const QString& face, int pointSize) = 0;
    // The same dialog, answering the point size chosen as well. By default the face of
    // chooseFont with the preset size.
    struct ChosenFont {
        QString face;
        int pointSize = 0;
    };
    virtual std::optional<ChosenFont> chooseFontAndSize(const QString& face, int pointSize);
    // A password asked in a small dialog whose entry hides what is typed; an empty optional
    // when cancelled. Without a GUI nothing is asked (an empty optional).
    virtual std::optional<QString> askPassword(const QString& text, const QString& caption);
};

UiService& ui();
// Installs a service (not owned) and returns the one installed before; nullptr returns to the
// default (Qt) service.
UiService* setUi(UiService* service);
// The service used when none is installed; set by the widget library at start-up.
void setDefaultUi(UiService* service);

// The answer of a message's first button (Ok or Yes), what an unattended message gives.
MsgAnswer firstButtonAnswer(MsgButtons buttons);

// Message with an OK button.
inline void showMessage(const QString& text, const QString& caption) {
    ui().messageBox(text, caption, MsgButtons::Ok);
}

// While it lives, messages are answered with the first button and shown to nobody: for work
// that must not wait for a person (saving while the desktop session ends).
class UnattendedUi {
public:
    UnattendedUi();
    ~UnattendedUi();
    UnattendedUi(const UnattendedUi&) = delete;
    UnattendedUi& operator=(const UnattendedUi&) = delete;

private:
    UiService* previous_;
};

}  // namespace sorvel
