#include "data/memo_dialog.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "data/entry_dialog.h"
#include "data/entry_editors.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {
constexpr int kCaptionMaxLength = 254;
}

TDayMemo::TDayMemo(QWidget* parent, MemoEdit edit) : QDialog(parent) {
    setObjectName(QStringLiteral("TDayMemo"));
    setWindowTitle(edit == MemoEdit::Add ? QStringLiteral("予定追加") : QStringLiteral("予定変更"));

    auto* captionLabel = new QLabel(QStringLiteral("見だし"), this);
    captionLabel->setGeometry(8, 6, 266, 16);
    memoCaption_ = new QLineEdit(this);
    memoCaption_->setObjectName(QStringLiteral("MemoCaption"));
    memoCaption_->setMaxLength(kCaptionMaxLength);
    memoCaption_->setGeometry(8, 22, 266, 22);
    captionLabel->setBuddy(memoCaption_);

    auto* textLabel = new QLabel(QStringLiteral("内容"), this);
    textLabel->setGeometry(8, 50, 266, 16);
    dayMemo_ = new QPlainTextEdit(this);
    dayMemo_->setObjectName(QStringLiteral("DayMemo"));
    dayMemo_->setTabChangesFocus(true);
    dayMemo_->setGeometry(8, 66, 266, 104);
    textLabel->setBuddy(dayMemo_);

    memoOK_ = entryButton(QStringLiteral("決定"), "MemoOK", this);
    memoOK_->setGeometry(112, 178, 78, 24);
    memoOK_->setEnabled(false);
    memoCancel_ = entryButton(QStringLiteral("取消"), "MemoCancel", this);
    memoCancel_->setGeometry(196, 178, 78, 24);

    setTabOrder(memoCaption_, dayMemo_);
    setTabOrder(dayMemo_, memoOK_);
    setTabOrder(memoOK_, memoCancel_);

    connect(memoCaption_, &QLineEdit::textChanged, this, &TDayMemo::MemoCaptionChange);
    connect(memoOK_, &QPushButton::clicked, this, &TDayMemo::accept);
    connect(memoCancel_, &QPushButton::clicked, this, &TDayMemo::reject);
    FormCreate();
}

TDayMemo::~TDayMemo() = default;

void TDayMemo::FormCreate() { setUpDialog(this, QSize(282, 209)); }

int TDayMemo::Execute(TDateMemo& memo) {
    memo_ = &memo;
    dayMemo_->setPlainText(toQString(memo.text));
    // The limit is for typing: a longer caption from the data file is shown whole, not cut.
    const QString caption = toQString(memo.caption);
    memoCaption_->setMaxLength(std::max<int>(kCaptionMaxLength, static_cast<int>(caption.size())));
    memoCaption_->setText(caption);
    shownCaption_ = memoCaption_->text();
    shownText_ = dayMemo_->toPlainText();
    MemoCaptionChange();
    memoCaption_->setFocus();

    const int result = exec();
    memo_ = nullptr;
    if (result != QDialog::Accepted) return 0;
    memo.caption = acceptedCaption_;
    memo.text = acceptedText_;
    return 1;
}

void TDayMemo::MemoCaptionChange() { memoOK_->setEnabled(!memoCaption_->text().isEmpty()); }

void TDayMemo::accept() {
    if (!memo_ || memoCaption_->text().isEmpty()) return;
    const EditedText caption = takeEditedText(memo_->caption, shownCaption_, memoCaption_->text(), false);
    if (!caption.ok()) {
        ui().messageBox(refusedCharacterMessage(QStringLiteral("見だし"), caption.refused), refusedCharacterCaption(),
                        MsgButtons::Ok);
        memoCaption_->setFocus();
        return;
    }
    const EditedText text = takeEditedText(memo_->text, shownText_, dayMemo_->toPlainText(), true);
    if (!text.ok()) {
        ui().messageBox(refusedCharacterMessage(QStringLiteral("内容"), text.refused), refusedCharacterCaption(),
                        MsgButtons::Ok);
        dayMemo_->setFocus();
        return;
    }
    if ((caption.unreadableReplaced || text.unreadableReplaced) && !unreadableTold_) {
        ui().messageBox(unreadableReplacedMessage(), refusedCharacterCaption(), MsgButtons::Ok);
        unreadableTold_ = true;
    }
    acceptedCaption_ = caption.bytes;
    acceptedText_ = text.bytes;
    QDialog::accept();
}

void TDayMemo::keyPressEvent(QKeyEvent* event) { FormKeyDown(event); }

void TDayMemo::FormKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        memoCancel_->click();
        return;
    }
    // Enter in the caption confirms nothing; the buttons are pressed by click or space.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace sorvel
