#pragma once
// The real dialogs behind the ui service.
#include <QLabel>

#include "platform/ui.h"

class QFileDialog;

namespace sorvel {

class QtUi : public UiService {
public:
    MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    std::optional<QString> openPicture(const FileDialogRequest& req, const PictureDecoder& decode) override;
    bool openDocument(const QString& pathOrUrl) override;
    std::optional<QString> chooseFont(const QString& face, int pointSize) override;
    std::optional<ChosenFont> chooseFontAndSize(const QString& face, int pointSize) override;
    std::optional<QString> askPassword(const QString& text, const QString& caption) override;
};

// The preview beside the file list of a picture dialog: the selected file decoded by the
// decoder it was given, scaled down to fit; a text where it cannot be decoded.
class PicturePreview : public QLabel {
public:
    static constexpr int kSide = 200;
    PicturePreview(PictureDecoder decode, QWidget* parent);
    void showFile(const QString& path);

private:
    PictureDecoder decode_;
};

// The picture dialog itself, for its owner to run (and for tests to drive): a Qt file dialog
// with a PicturePreview (object name "PicturePreview") beside its list.
void setUpPictureDialog(QFileDialog& dialog, const FileDialogRequest& req, const PictureDecoder& decode);

// "name|*.a;*.b|name2|*.c" as a Qt file-dialog filter "name (*.a *.b);;name2 (*.c)".
QString qtFileFilter(const QString& filter);

}  // namespace sorvel
