#pragma once
// The note editor: the caption ("見だし") and the text ("内容") of one schedule note.
#include <QDialog>

#include "data/date_data.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sorvel {

// Whether the editor makes a new note or changes one the lists hold; it is titled after it.
enum class MemoEdit { Add, Change };

class TDayMemo : public QDialog {
    Q_OBJECT
public:
    explicit TDayMemo(QWidget* parent = nullptr, MemoEdit edit = MemoEdit::Add);
    ~TDayMemo() override;

    // Shows the note modally. 1 when "決定" was pressed with a caption: the note then holds the
    // edited caption and text. Otherwise 0 and the note is unchanged.
    int Execute(TDateMemo& memo);

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void MemoCaptionChange();
    void FormKeyDown(QKeyEvent* event);

    QLineEdit* memoCaption_ = nullptr;
    QPlainTextEdit* dayMemo_ = nullptr;
    QPushButton* memoOK_ = nullptr;
    QPushButton* memoCancel_ = nullptr;

    const TDateMemo* memo_ = nullptr;
    QString shownCaption_;
    QString shownText_;
    std::string acceptedCaption_;
    std::string acceptedText_;
    bool unreadableTold_ = false;  // the note on unreadable bytes is said once per dialog
};

}  // namespace sorvel
