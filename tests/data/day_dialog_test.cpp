// The day dialog and its two editors, driven through their controls.
#include "data/day_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "data/entry_editors.h"
#include "data/holiday_dialog.h"
#include "data/memo_dialog.h"
#include "platform/text.h"
#include "platform/ui.h"

using namespace sorvel;

namespace {

// 5 May 2001: a Saturday, the first of the month, in the first week row.
constexpr ClickedDate kMay5{2001, 5, 5, 1, 6, 1};

template <typename T>
T* need(QWidget* parent, const char* name) {
    T* w = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!w) {
        ADD_FAILURE() << "no control " << name;
        std::abort();
    }
    return w;
}

// Runs `step` on the modal dialog named `name` as soon as it is the active modal widget. Schedule
// it before the click that opens the dialog: the click blocks until the dialog has closed.
void whenShown(const char* name, std::function<void(QDialog*)> step, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 5, [name, step, triesLeft] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && d->isVisible() && d->objectName() == QLatin1String(name)) {
            step(d);
            return;
        }
        if (triesLeft > 0) {
            whenShown(name, step, triesLeft - 1);
            return;
        }
        ADD_FAILURE() << name << " did not open";
        while (auto* m = qobject_cast<QDialog*>(QApplication::activeModalWidget())) m->reject();
    });
}

QTableWidget* list(QDialog* d) { return need<QTableWidget>(d, "DayDataList"); }

std::vector<std::string> shownRows(QDialog* d) {
    std::vector<std::string> out;
    QTableWidget* t = list(d);
    for (int r = 0; r < t->rowCount(); ++r)
        out.push_back((t->item(r, 0)->text() + "|" + t->item(r, 1)->text()).toStdString());
    return out;
}

void selectRow(QDialog* d, int row) {
    QTableWidget* t = list(d);
    const QRect rect = t->visualItemRect(t->item(row, 0));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void doubleClickRow(QDialog* d, int row) {
    QTableWidget* t = list(d);
    const QRect rect = t->visualItemRect(t->item(row, 0));
    // A double click is a press and release followed by the double-click press.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Japanese text arrives from the input method as a committed string.
void type(QWidget* w, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(w, &commit);
}

void click(QDialog* d, const char* name) { need<QAbstractButton>(d, name)->click(); }

// Closes whatever modal dialog is still open after a few seconds, so a dialog that opened when it
// should not have fails the test instead of hanging it.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "a dialog was left open";
            while (auto* m = qobject_cast<QDialog*>(QApplication::activeModalWidget())) m->reject();
        });
        watchdog.start(5000);
    }
    QTimer watchdog;
    ScriptedUi ui;
};

class DayDialogTest : public DialogTest {
protected:
    void SetUp() override {
        rules.push_back(std::make_unique<THolidaySet>(THolidaySet{1, 0, 5, 5, 1, 6, 1, sjis("こどもの日")}));
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 5, 5, sjis("午前十時"), sjis("会議")}));
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2002, 5, 5, sjis(""), sjis("翌年")}));
    }
    // Opens the day dialog on `date`, runs `steps` in it, and closes it with "閉じる".
    int run(const ClickedDate& date, std::function<void(QDialog*)> steps) {
        whenShown("TDayData", [steps](QDialog* d) {
            steps(d);
            click(d, "CloseButton");
        });
        return ExecuteDayDialog(nullptr, date, rules, memos, substitutes);
    }

    THolidayList rules;
    TDateMemoList memos;
    std::vector<TSubstituteHoliday> substitutes;
};

}  // namespace

// --- the day dialog ---------------------------------------------------------------------------

TEST_F(DayDialogTest, FrameCaptionColumnsAndPlace) {
    run(kMay5, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("5月5日の予定"));
        EXPECT_EQ(d->size(), QSize(313, 232));
        EXPECT_EQ(d->minimumSize(), d->maximumSize());
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_FALSE(d->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(d->pos(), centredTopLeft(QGuiApplication::primaryScreen()->availableGeometry(), QSize(313, 232)));
        QTableWidget* t = list(d);
        EXPECT_EQ(t->horizontalHeaderItem(0)->text(), QStringLiteral("なんの日？"));
        EXPECT_EQ(t->horizontalHeaderItem(1)->text(), QStringLiteral("内容"));
        EXPECT_EQ(t->columnWidth(0), 100);
        EXPECT_EQ(t->columnWidth(1), 210);
        EXPECT_EQ(t->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(need<QPushButton>(d, "SetPlan")->text(), QStringLiteral("予定追加"));
        EXPECT_EQ(need<QPushButton>(d, "SetHoliday")->text(), QStringLiteral("祝日設定"));
        EXPECT_EQ(need<QPushButton>(d, "Delete")->text(), QStringLiteral("削除"));
        QPushButton* close = need<QPushButton>(d, "CloseButton");
        EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
        EXPECT_EQ(close->width(), 313);
    });
}

TEST_F(DayDialogTest, EmptyDayListsNothingAndDeleteAndDoubleClickDoNothing) {
    const int result = run(ClickedDate{2001, 5, 6, 2, 0, 1}, [](QDialog* d) {
        EXPECT_EQ(list(d)->rowCount(), 0);
        click(d, "Delete");
        QTest::mouseDClick(list(d)->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        EXPECT_EQ(QApplication::activeModalWidget(), d);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(rules.size(), 1u);
    EXPECT_EQ(memos.size(), 2u);
}

TEST_F(DayDialogTest, RuleListedEveryYearNoteOnlyInItsOwnYearSubstituteLast) {
    substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    run(kMay5, [](QDialog* d) {
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！", "会議|午前十時", "振替休日|休みの日！"}));
    });
    run(ClickedDate{2003, 5, 5, 2, 1, 1}, [](QDialog* d) {
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！"}));
    });
}

TEST_F(DayDialogTest, NoteTextOfSeveralLinesShowsOnOneLine) {
    memos[0]->text = sjis("一行目\r\n二行目");
    run(kMay5, [](QDialog* d) { EXPECT_EQ(shownRows(d)[1], "会議|一行目 二行目"); });
    EXPECT_EQ(memos[0]->text, sjis("一行目\r\n二行目"));
}

// --- adding -------------------------------------------------------------------------------------

TEST_F(DayDialogTest, AddedNoteGoesToTheEndOfTheListWithTheDate) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            EXPECT_EQ(m->windowTitle(), QStringLiteral("予定追加"));
            EXPECT_FALSE(need<QPushButton>(m, "MemoOK")->isEnabled());
            EXPECT_TRUE(need<QLineEdit>(m, "MemoCaption")->text().isEmpty());
            type(need<QLineEdit>(m, "MemoCaption"), QStringLiteral("歯医者"));
            EXPECT_TRUE(need<QPushButton>(m, "MemoOK")->isEnabled());
            type(need<QPlainTextEdit>(m, "DayMemo"), QStringLiteral("午後"));
            QTest::keyClick(need<QPlainTextEdit>(m, "DayMemo"), Qt::Key_Return);
            type(need<QPlainTextEdit>(m, "DayMemo"), QStringLiteral("三時"));
            click(m, "MemoOK");
        });
        click(d, "SetPlan");
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！", "会議|午前十時", "歯医者|午後 三時"}));
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(memos.size(), 3u);
    EXPECT_EQ(std::tie(memos[2]->year, memos[2]->month, memos[2]->day), std::make_tuple(2001, 5, 5));
    EXPECT_EQ(memos[2]->caption, sjis("歯医者"));
    EXPECT_EQ(memos[2]->text, sjis("午後\r\n三時"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DayDialogTest, CancelledNoteAddsNothingByButtonOrEscape) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            type(need<QLineEdit>(m, "MemoCaption"), QStringLiteral("取り消す"));
            click(m, "MemoCancel");
        });
        click(d, "SetPlan");
        whenShown("TDayMemo", [](QDialog* m) {
            type(need<QLineEdit>(m, "MemoCaption"), QStringLiteral("逃げる"));
            QTest::keyClick(need<QLineEdit>(m, "MemoCaption"), Qt::Key_Escape);
        });
        click(d, "SetPlan");
        EXPECT_EQ(list(d)->rowCount(), 2);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(memos.size(), 2u);
}

TEST_F(DayDialogTest, HolidayButtonOpensAPublicHolidayByDateWithOKDisabled) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("THolidayForm", [](QDialog* h) {
            EXPECT_EQ(h->windowTitle(), QStringLiteral("休日設定"));
            EXPECT_EQ(h->size(), QSize(195, 172));
            auto* theDay = need<QRadioButton>(h, "TheDay");
            auto* theWeekDay = need<QRadioButton>(h, "TheWeekDay");
            EXPECT_EQ(theDay->text(), QStringLiteral("5月5日と指定"));
            EXPECT_EQ(theWeekDay->text(), QStringLiteral("5月の第1土曜日と指定"));
            EXPECT_TRUE(theDay->isChecked());
            EXPECT_FALSE(theWeekDay->isChecked());
            EXPECT_TRUE(need<QCheckBox>(h, "IsHoliDay")->isChecked());
            EXPECT_TRUE(need<QCheckBox>(h, "IsPubHoliCheck")->isChecked());
            EXPECT_FALSE(need<QPushButton>(h, "HoliOK")->isEnabled());
            type(need<QLineEdit>(h, "HolidayName"), QStringLiteral("創立記念日"));
            EXPECT_TRUE(need<QPushButton>(h, "HoliOK")->isEnabled());
            click(h, "TheWeekDay");
            click(h, "HoliOK");
        });
        click(d, "SetHoliday");
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！", "創立記念日|休みの日！", "会議|午前十時"}));
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(rules.size(), 2u);
    const THolidaySet& r = *rules[1];
    EXPECT_EQ(r.name, sjis("創立記念日"));
    EXPECT_EQ(r.dayOffKind, 1);
    EXPECT_EQ(r.ruleKind, 1);
    EXPECT_EQ(std::tie(r.month, r.day, r.weekRow, r.weekday, r.ordinal), std::make_tuple(5, 5, 1, 6, 1));
}

TEST_F(DayDialogTest, CancelledHolidayAddsNothing) {
    run(kMay5, [](QDialog* d) {
        whenShown("THolidayForm", [](QDialog* h) {
            type(need<QLineEdit>(h, "HolidayName"), QStringLiteral("取り消す"));
            click(h, "HoliCancel");
        });
        click(d, "SetHoliday");
    });
    EXPECT_EQ(rules.size(), 1u);
}

// --- deleting -----------------------------------------------------------------------------------

TEST_F(DayDialogTest, NoToTheQuestionLeavesTheNote) {
    ui.answers.push_back(MsgAnswer::No);
    const int result = run(kMay5, [](QDialog* d) {
        selectRow(d, 1);
        click(d, "Delete");
        EXPECT_EQ(list(d)->rowCount(), 2);
        EXPECT_EQ(list(d)->currentRow(), 1) << "the rows were not rebuilt";
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ui.messages,
              (std::vector<RecordedMessage>{{QStringLiteral("予定 会議 を削除します。"), QStringLiteral("確認"), MsgButtons::YesNo}}));
    EXPECT_EQ(memos.size(), 2u);
}

TEST_F(DayDialogTest, YesDeletesTheNoteOrTheRule) {
    ui.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    const int result = run(kMay5, [](QDialog* d) {
        selectRow(d, 1);
        click(d, "Delete");
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！"}));
        click(d, "Delete");  // nothing is selected after the rebuild
        selectRow(d, 0);
        click(d, "Delete");
        EXPECT_EQ(list(d)->rowCount(), 0);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("祝日 こどもの日 を削除します。"));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("確認"));
    EXPECT_TRUE(rules.empty());
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->caption, sjis("翌年"));
}

TEST_F(DayDialogTest, SubstituteRowCanBeNeitherDeletedNorEdited) {
    rules.clear();
    memos.clear();
    substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    const int result = run(kMay5, [](QDialog* d) {
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"振替休日|休みの日！"}));
        selectRow(d, 0);
        click(d, "Delete");
        selectRow(d, 0);
        doubleClickRow(d, 0);
        EXPECT_EQ(QApplication::activeModalWidget(), d);
        EXPECT_EQ(list(d)->rowCount(), 1);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ui.messages.empty());
}

// --- re-editing ---------------------------------------------------------------------------------

TEST_F(DayDialogTest, DoubleClickReEditsTheNoteItself) {
    const TDateMemo* before = memos[0].get();
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            EXPECT_EQ(m->windowTitle(), QStringLiteral("予定追加"));
            auto* caption = need<QLineEdit>(m, "MemoCaption");
            EXPECT_EQ(caption->text(), QStringLiteral("会議"));
            EXPECT_EQ(need<QPlainTextEdit>(m, "DayMemo")->toPlainText(), QStringLiteral("午前十時"));
            EXPECT_TRUE(need<QPushButton>(m, "MemoOK")->isEnabled());
            QTest::keyClick(caption, Qt::Key_End);  // the caption may open selected
            type(caption, QStringLiteral("室"));
            click(m, "MemoOK");
        });
        doubleClickRow(d, 1);
        EXPECT_EQ(shownRows(d)[1], "会議室|午前十時");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(memos[0].get(), before);
    EXPECT_EQ(memos[0]->caption, sjis("会議室"));
    EXPECT_EQ(memos[0]->text, sjis("午前十時"));
}

TEST_F(DayDialogTest, EscapeOnAnExistingNoteLeavesItAsItWas) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            need<QLineEdit>(m, "MemoCaption")->clear();
            type(need<QPlainTextEdit>(m, "DayMemo"), QStringLiteral("追記"));
            QTest::keyClick(need<QPlainTextEdit>(m, "DayMemo"), Qt::Key_Escape);
        });
        doubleClickRow(d, 1);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(memos[0]->caption, sjis("会議"));
    EXPECT_EQ(memos[0]->text, sjis("午前十時"));
}

TEST_F(DayDialogTest, RuleSwitchedToWeekdayFallsOnTheWeekdayOfTheOpenedDay) {
    // The rule was listed on Saturday 5 May 2001, so it takes the first Saturday of May.
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("THolidayForm", [](QDialog* h) {
            EXPECT_EQ(need<QLineEdit>(h, "HolidayName")->text(), QStringLiteral("こどもの日"));
            EXPECT_EQ(need<QRadioButton>(h, "TheWeekDay")->text(), QStringLiteral("5月の第1土曜日と指定"));
            click(h, "TheWeekDay");
            click(h, "IsPubHoliCheck");
            click(h, "HoliOK");
        });
        doubleClickRow(d, 0);
    });
    EXPECT_EQ(result, 1);
    const THolidaySet& r = *rules[0];
    EXPECT_EQ(r.ruleKind, 1);
    EXPECT_EQ(r.dayOffKind, 2);
    EXPECT_EQ(std::tie(r.weekday, r.ordinal, r.day), std::make_tuple(6, 1, 5));
    // On 2002-05-04, the first Saturday of May 2002, the rule is listed; on 2002-05-05 it is not.
    run(ClickedDate{2002, 5, 4, 1, 6, 1}, [](QDialog* d) {
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"こどもの日|休みの日！"}));
    });
    run(ClickedDate{2002, 5, 5, 2, 0, 1}, [](QDialog* d) { EXPECT_EQ(shownRows(d), (std::vector<std::string>{"翌年|"})); });
}

// --- the note editor on its own -----------------------------------------------------------------

class EntryEditorTest : public DialogTest {};

TEST_F(EntryEditorTest, NoteEditorLayoutAndEnterConfirmsNothing) {
    TDateMemo memo{2001, 5, 5, "", ""};
    whenShown("TDayMemo", [](QDialog* m) {
        EXPECT_EQ(m->size(), QSize(282, 209));
        EXPECT_EQ(m->pos(), centredTopLeft(QGuiApplication::primaryScreen()->availableGeometry(), QSize(282, 209)));
        auto* caption = need<QLineEdit>(m, "MemoCaption");
        EXPECT_EQ(caption->maxLength(), 254);
        EXPECT_EQ(m->focusWidget(), caption);
        EXPECT_EQ(need<QPushButton>(m, "MemoOK")->text(), QStringLiteral("決定"));
        EXPECT_EQ(need<QPushButton>(m, "MemoCancel")->text(), QStringLiteral("取消"));
        type(caption, QStringLiteral("x"));
        QTest::keyClick(caption, Qt::Key_Return);
        EXPECT_TRUE(m->isVisible());
        QTest::keyClick(caption, Qt::Key_Backspace);
        EXPECT_FALSE(need<QPushButton>(m, "MemoOK")->isEnabled());
        m->accept();  // an empty caption counts as a cancel even when the dialog is told to accept
        EXPECT_TRUE(m->isVisible());
        click(m, "MemoCancel");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 0);
}

TEST_F(EntryEditorTest, UntouchedNoteKeepsBytesThatDoNotConvertBack) {
    // 0x87 0x90 (NEC "≒") converts back as 0x81 0xE0; 0x5C trails in "表".
    TDateMemo memo{2001, 5, 5, "\x95\x5C\r\n\x87\x90", "\x87\x90"};
    whenShown("TDayMemo", [](QDialog* m) { click(m, "MemoOK"); });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 1);
    EXPECT_EQ(memo.caption, "\x87\x90");
    EXPECT_EQ(memo.text, "\x95\x5C\r\n\x87\x90");
}

TEST_F(EntryEditorTest, CharacterCP932CannotHoldIsRefusedAndTheEditorStaysOpen) {
    TDateMemo memo{2001, 5, 5, sjis("本文"), sjis("見出し")};
    whenShown("TDayMemo", [](QDialog* m) {
        need<QPlainTextEdit>(m, "DayMemo")->insertPlainText(QStringLiteral("🎂"));
        click(m, "MemoOK");
        EXPECT_TRUE(m->isVisible());
        EXPECT_EQ(m->focusWidget(), need<QPlainTextEdit>(m, "DayMemo"));
        need<QPlainTextEdit>(m, "DayMemo")->setPlainText(QStringLiteral("誕生日"));
        click(m, "MemoOK");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 1);
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{
                               {QStringLiteral("内容に保存できない文字「🎂」(U+1F382)があります。\n"
                                               "この文字を取り除いてから「決定」を押してください。"),
                                QStringLiteral("メッセージ"), MsgButtons::Ok}}));
    EXPECT_EQ(memo.text, sjis("誕生日"));
    EXPECT_EQ(memo.caption, sjis("見出し"));
}

TEST_F(EntryEditorTest, RefusedCharacterThenCancelLeavesTheNote) {
    TDateMemo memo{2001, 5, 5, sjis("本文"), sjis("見出し")};
    whenShown("TDayMemo", [](QDialog* m) {
        need<QLineEdit>(m, "MemoCaption")->insert(QStringLiteral("𠮷"));
        click(m, "MemoOK");
        click(m, "MemoCancel");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("見だしに保存できない文字「𠮷」(U+20BB7)があります。\n"
                                                  "この文字を取り除いてから「決定」を押してください。"));
    EXPECT_EQ(memo.caption, sjis("見出し"));
}

TEST_F(EntryEditorTest, LongCaptionFromTheFileIsShownWholeAndKept) {
    TDateMemo memo{2001, 5, 5, "", std::string(300, 'a')};
    whenShown("TDayMemo", [](QDialog* m) {
        EXPECT_EQ(need<QLineEdit>(m, "MemoCaption")->text().size(), 300);
        click(m, "MemoOK");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 1);
    EXPECT_EQ(memo.caption, std::string(300, 'a'));
}

// --- the holiday rule editor on its own ---------------------------------------------------------

TEST_F(EntryEditorTest, HolidayEditorFillsFromTheRule) {
    THolidaySet rule{2, 1, 1, 8, 2, 1, 2, sjis("成人の日")};
    whenShown("THolidayForm", [](QDialog* h) {
        EXPECT_EQ(h->pos(), centredTopLeft(QGuiApplication::primaryScreen()->availableGeometry(), QSize(195, 172)));
        EXPECT_EQ(need<QLineEdit>(h, "HolidayName")->maxLength(), 255);
        EXPECT_EQ(need<QRadioButton>(h, "TheDay")->text(), QStringLiteral("1月8日と指定"));
        EXPECT_EQ(need<QRadioButton>(h, "TheWeekDay")->text(), QStringLiteral("1月の第2月曜日と指定"));
        EXPECT_FALSE(need<QRadioButton>(h, "TheDay")->isChecked());
        EXPECT_TRUE(need<QRadioButton>(h, "TheWeekDay")->isChecked());
        EXPECT_TRUE(need<QCheckBox>(h, "IsHoliDay")->isChecked());
        EXPECT_FALSE(need<QCheckBox>(h, "IsPubHoliCheck")->isChecked());
        EXPECT_TRUE(need<QPushButton>(h, "HoliOK")->isEnabled());
        click(h, "HoliCancel");
    });
    THolidayForm editor;
    EXPECT_EQ(editor.Execute(rule), 0);

    THolidaySet named{0, 0, 2, 14, 3, 3, 2, sjis("バレンタイン")};
    whenShown("THolidayForm", [](QDialog* h) {
        EXPECT_FALSE(need<QCheckBox>(h, "IsHoliDay")->isChecked());
        EXPECT_FALSE(need<QCheckBox>(h, "IsPubHoliCheck")->isChecked());
        EXPECT_TRUE(need<QRadioButton>(h, "TheDay")->isChecked());
        click(h, "HoliOK");
    });
    THolidayForm second;
    EXPECT_EQ(second.Execute(named), 1);
    EXPECT_EQ(named.dayOffKind, 0);
    EXPECT_EQ(named.ruleKind, 0);
}

TEST_F(EntryEditorTest, CoupledBoxesAndCancelLeavesTheRule) {
    THolidaySet rule{0, 0, 5, 5, 1, 6, 1, sjis("祭り")};
    const THolidaySet before = rule;
    whenShown("THolidayForm", [](QDialog* h) {
        auto* holi = need<QCheckBox>(h, "IsHoliDay");
        auto* pub = need<QCheckBox>(h, "IsPubHoliCheck");
        click(h, "IsPubHoliCheck");
        EXPECT_TRUE(pub->isChecked());
        EXPECT_TRUE(holi->isChecked()) << "a substitute needs a day off";
        click(h, "IsHoliDay");
        EXPECT_FALSE(holi->isChecked());
        EXPECT_FALSE(pub->isChecked()) << "no day off, no substitute";
        click(h, "IsHoliDay");
        EXPECT_FALSE(pub->isChecked());
        click(h, "TheWeekDay");
        need<QLineEdit>(h, "HolidayName")->setText(QStringLiteral("別名"));
        click(h, "HoliCancel");
    });
    THolidayForm editor;
    EXPECT_EQ(editor.Execute(rule), 0);
    EXPECT_EQ(rule.name, before.name);
    EXPECT_EQ(rule.dayOffKind, before.dayOffKind);
    EXPECT_EQ(rule.ruleKind, before.ruleKind);
}

TEST_F(EntryEditorTest, HolidayNameRefusesCharacterCP932CannotHold) {
    THolidaySet rule{1, 0, 5, 5, 1, 6, 1, ""};
    whenShown("THolidayForm", [](QDialog* h) {
        auto* name = need<QLineEdit>(h, "HolidayName");
        name->insert(QStringLiteral("🎏の日"));
        click(h, "HoliOK");
        EXPECT_TRUE(h->isVisible());
        name->setText(QStringLiteral("鯉のぼりの日"));
        click(h, "HoliOK");
    });
    THolidayForm editor;
    EXPECT_EQ(editor.Execute(rule), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("休日/祝日名に保存できない文字「🎏」(U+1F38F)があります。\n"
                                                  "この文字を取り除いてから「決定」を押してください。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
    EXPECT_EQ(rule.name, sjis("鯉のぼりの日"));
    EXPECT_EQ(rule.dayOffKind, 1);
}
