#pragma once
// "設定-ピクチャー": the dialog that edits the picture file of a picture object of a layout page.
#include <string>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace sorvel {

class TSoPic;

class TSoPicForm : public QDialog {
    Q_OBJECT
public:
    explicit TSoPicForm(QWidget* owner = nullptr);
    ~TSoPicForm() override;

    // Fills the field from the picture, shows the dialog modally and writes the file name back
    // when "確定" closed it. Returns 1 when the dialog has closed.
    int Execute(TSoPic& picture);

private:
    void showName(const std::string& name);
    void GFileButtonClick();
    void OKButtonClick();

    TSoPic* picture_ = nullptr;
    std::string fileName_;  // the working name, CP932
    QString shown_;         // what the field held when the working name was put into it
    QLineEdit* fileNameEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* canButton_ = nullptr;
};

}  // namespace sorvel
