#pragma once
// The real dialogs behind the ui service.
#include "platform/ui.h"

namespace sorvel {

class QtUi : public UiService {
public:
    MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    bool openDocument(const QString& pathOrUrl) override;
    std::optional<QString> chooseFont(const QString& face, int pointSize) override;
    std::optional<ChosenFont> chooseFontAndSize(const QString& face, int pointSize) override;
};

// "name|*.a;*.b|name2|*.c" as a Qt file-dialog filter "name (*.a *.b);;name2 (*.c)".
QString qtFileFilter(const QString& filter);

}  // namespace sorvel
