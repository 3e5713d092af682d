#include "layout/so_pic_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "data/entry_dialog.h"
#include "layout/object_settings.h"
#include "layout/so_pic.h"
#include "platform/files.h"
#include "settings/form_parts.h"

namespace sorvel {

using namespace form_parts;

TSoPicForm::TSoPicForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TSoPicForm"));
    setWindowTitle(QStringLiteral("設定-ピクチャー"));
    setUpDialog(this, QSize(294, 143));

    auto* group = new QGroupBox(QStringLiteral("画像"), this);
    group->setGeometry(8, 8, 278, 92);
    fileNameEdit_ = named(new QLineEdit(QStringLiteral("（なし）"), group), "FileNameEdit");
    auto* choose = button("GFileButton", "画像選択", group);
    connect(choose, &QPushButton::clicked, this, &TSoPicForm::GFileButtonClick);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(8, 6, 8, 8);
    rows->addWidget(fileNameEdit_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(choose);
    rows->addLayout(buttonRow);

    okButton_ = entryButton(QStringLiteral("確定"), "OKButton", this);
    canButton_ = entryButton(QStringLiteral("取消"), "CanButton", this);
    okButton_->setGeometry(122, 110, 80, 25);
    canButton_->setGeometry(206, 110, 80, 25);
    connect(okButton_, &QPushButton::clicked, this, &TSoPicForm::OKButtonClick);
    connect(canButton_, &QPushButton::clicked, this, &QDialog::reject);
}

TSoPicForm::~TSoPicForm() = default;

int TSoPicForm::Execute(TSoPic& picture) {
    picture_ = &picture;
    showName(picture.FileName);
    exec();
    picture_ = nullptr;
    return 1;
}

void TSoPicForm::showName(const std::string& name) {
    fileName_ = name;
    fileNameEdit_->setText(name.empty() ? QString() : pathFromCp932(name));
    shown_ = fileNameEdit_->text();
}

void TSoPicForm::GFileButtonClick() {
    if (auto chosen = choosePictureFile(fileName_)) showName(*chosen);
}

void TSoPicForm::OKButtonClick() {
    // A name typed into the field counts as well; a character it cannot store keeps the dialog
    // open after the message.
    if (!applyPicForm(PicFormValues{fileName_, shown_, fileNameEdit_->text()}, *picture_)) {
        fileNameEdit_->setFocus();
        return;
    }
    accept();
}

}  // namespace sorvel
