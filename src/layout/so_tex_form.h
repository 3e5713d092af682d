#pragma once
// "設定-テキスト": the dialog that edits the text, the font and the overlay flag of a text
// object of a layout page.
#include <QDialog>

#include "layout/object_settings.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace sorvel {

class TSoTex;

class TSoTexForm : public QDialog {
    Q_OBJECT
public:
    explicit TSoTexForm(QWidget* owner = nullptr);
    ~TSoTexForm() override;

    // Fills the controls from the text, shows the dialog modally and writes the text back when
    // "確定" closed it. Returns 1 when the dialog has closed.
    int Execute(TSoTex& tex);

private:
    void FontButtonClick();
    void OKButtonClick();

    TSoTex* tex_ = nullptr;
    TexFormValues work_;  // the working copies: font name, character set and point size
    QPlainTextEdit* textMemo_ = nullptr;
    QCheckBox* xorCB_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* canButton_ = nullptr;
};

}  // namespace sorvel
