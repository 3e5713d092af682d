#include "layout/so_tex_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/entry_dialog.h"
#include "data/entry_editors.h"
#include "layout/so_tex.h"
#include "settings/form_parts.h"

namespace sorvel {

using namespace form_parts;

TSoTexForm::TSoTexForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TSoTexForm"));
    setWindowTitle(QStringLiteral("設定-テキスト"));
    // A sizeable window: the text field grows with it.
    setUpDialog(this, QSize(301, 327), DialogFrame::Sizeable);

    auto* group = new QGroupBox(QStringLiteral("テキスト"), this);
    textMemo_ = named(new QPlainTextEdit(group), "TextMemo");
    textMemo_->setTabChangesFocus(true);
    xorCB_ = checkBox("XORCB", "重ね合わせする", group);
    auto* fontButton = button("FontButton", "フォント選択", group);
    connect(fontButton, &QPushButton::clicked, this, &TSoTexForm::FontButtonClick);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(8, 6, 8, 8);
    rows->addWidget(textMemo_, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(xorCB_);
    options->addStretch(1);
    options->addWidget(fontButton);
    rows->addLayout(options);

    okButton_ = entryButton(QStringLiteral("確定"), "OKButton", this);
    canButton_ = entryButton(QStringLiteral("取消"), "CanButton", this);
    connect(okButton_, &QPushButton::clicked, this, &TSoTexForm::OKButtonClick);
    connect(canButton_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(canButton_);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addWidget(group, 1);
    page->addLayout(buttons);
}

TSoTexForm::~TSoTexForm() = default;

int TSoTexForm::Execute(TSoTex& tex) {
    tex_ = &tex;
    work_ = fillTexForm(tex);
    textMemo_->setPlainText(work_.shownText);
    work_.shownText = textMemo_->toPlainText();
    xorCB_->setChecked(work_.overlay);
    exec();
    tex_ = nullptr;
    return 1;
}

void TSoTexForm::FontButtonClick() { chooseFont(work_.font, &work_.pointSize); }

void TSoTexForm::OKButtonClick() {
    TexFormValues v = work_;
    v.text = textMemo_->toPlainText();
    v.overlay = xorCB_->isChecked();
    // A character the text cannot store keeps the dialog open after the message.
    if (!applyTexForm(v, *tex_)) {
        textMemo_->setFocus();
        return;
    }
    accept();
}

}  // namespace sorvel
