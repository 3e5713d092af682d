// The day dialog and its two editors, driven through their controls.
#include "data/day_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
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
#include "support/scripted_ui.h"

using namespace sorvel;
using namespace Qt::StringLiterals;

namespace {

// 5 May 2001: a Saturday, the first of the month, in the first week row.
constexpr ClickedDate kMay5{2001, 5, 5, 1, 6, 1};

template <typename T = QWidget>
T* need(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w) {
        ADD_FAILURE() << "no control " << name;
        std::abort();
    }
    return w;
}
void click(QDialog* d, const char* name) { need<QAbstractButton>(d, name)->click(); }
// Japanese text arrives from the input method as a committed string.
void type(QDialog* d, const char* name, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(need(d, name), &commit);
}

// Runs `step` on the modal dialog named `name` once it is shown. Schedule it before the click
// that opens the dialog: that click returns only when the dialog has closed.
void whenShown(const char* name, std::function<void(QDialog*)> step, int triesLeft = 500) {
    QTimer::singleShot(5, [name, step, triesLeft] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && d->isVisible() && d->objectName() == QLatin1String(name))
            step(d);
        else if (triesLeft > 0)
            whenShown(name, step, triesLeft - 1);
        else
            ADD_FAILURE() << name << " did not open";
    });
}

std::string rowsOf(QDialog* d) {
    auto* t = need<QTableWidget>(d, "DayDataList");
    QStringList rows;
    for (int r = 0; r < t->rowCount(); ++r) rows << t->item(r, 0)->text() + "|" + t->item(r, 1)->text();
    return rows.join(" / ").toStdString();
}
void clickRow(QDialog* d, int row, bool twice = false) {
    auto* t = need<QTableWidget>(d, "DayDataList");
    const QPoint at = t->visualItemRect(t->item(row, 0)).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    if (twice) QTest::mouseDClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// The editors' controls in one line: a radio button or box is marked * when checked, 決定 shows
// whether it is enabled.
std::string memoState(QDialog* m) {
    return (need<QLineEdit>(m, "MemoCaption")->text() + "|" + need<QPlainTextEdit>(m, "DayMemo")->toPlainText() +
            "|決定" + (need(m, "MemoOK")->isEnabled() ? "可" : "不可"))
        .toStdString();
}
std::string holidayState(QDialog* h) {
    QString s = need<QLineEdit>(h, "HolidayName")->text();
    for (const char* name : {"TheDay", "TheWeekDay", "IsHoliDay", "IsPubHoliCheck"}) {
        auto* b = need<QAbstractButton>(h, name);
        s += "|" + b->text() + (b->isChecked() ? "*" : "");
    }
    return (s + "|決定" + (need(h, "HoliOK")->isEnabled() ? "可" : "不可")).toStdString();
}

QPoint centred(QSize size) { return centredTopLeft(QGuiApplication::primaryScreen()->availableGeometry(), size); }

// Rejects whatever modal dialog is still open after a few seconds, so a dialog that opened when
// it should not have fails the test instead of hanging it.
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
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2002, 5, 5, "", sjis("翌年")}));
    }
    // Opens the day dialog on `date`, runs `steps` in it and closes it with "閉じる".
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

class EntryEditorTest : public DialogTest {};

}  // namespace

// --- listing ------------------------------------------------------------------------------------

TEST_F(DayDialogTest, FixedFrameCentredOnTheWorkArea) {
    run(kMay5, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("5月5日の予定"));
        EXPECT_EQ(d->size(), QSize(313, 232));
        EXPECT_EQ(d->minimumSize(), d->maximumSize());
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(d->pos(), centred(QSize(313, 232)));
        auto* t = need<QTableWidget>(d, "DayDataList");
        EXPECT_EQ(t->horizontalHeaderItem(0)->text() + t->horizontalHeaderItem(1)->text(), QStringLiteral("なんの日？内容"));
        EXPECT_EQ(QSize(t->columnWidth(0), t->columnWidth(1)), QSize(100, 210));
        EXPECT_EQ(need(d, "CloseButton")->width(), 313);
    });
}

TEST(AlmanacLineWrap, BreaksOnlyBetweenItems) {
    const auto advance = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
    const std::pair<int, QStringList> cases[] = {
        {100, {u"a　bb　ccc 1"_s}},
        {40, {u"a　bb"_s, u"ccc 1"_s}},  // the first two fit exactly; never at an ASCII space
        {39, {u"a"_s, u"bb"_s, u"ccc 1"_s}},  // "ccc 1" too wide alone: a line of its own
    };
    for (const auto& [width, lines] : cases) EXPECT_EQ(wrapAlmanacLine(u"a　bb　ccc 1"_s, width, advance), lines) << width;
}

TEST_F(DayDialogTest, EmptyDayListsNothingAndDeleteAndDoubleClickDoNothing) {
    const int result = run(ClickedDate{2001, 5, 6, 2, 0, 1}, [](QDialog* d) {
        EXPECT_EQ(rowsOf(d), "");
        click(d, "Delete");
        QTest::mouseDClick(need<QTableWidget>(d, "DayDataList")->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(rules.size() + memos.size(), 3u);
}

TEST_F(DayDialogTest, RuleInEveryYearNoteInItsOwnSubstituteLastTextOnOneLine) {
    substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    memos[0]->text = sjis("十時\r\n会議室");
    run(kMay5, [](QDialog* d) { EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 会議|十時 会議室 / 振替休日|休みの日！"); });
    run(ClickedDate{2003, 5, 5, 2, 1, 1}, [](QDialog* d) { EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！"); });
}

TEST_F(DayDialogTest, ALongAlmanacLineStandsWholeAboveTheList) {
    const QString line = u"2025年12月22日(月)　令和7年　旧暦 11月3日　六曜 先勝　冬至 12月22日 0:03　干支 乙丑"_s;
    TDayData d(nullptr, kMay5, rules, memos, {}, {}, line);
    auto* label = need<QLabel>(&d, "AlmanacLine");
    EXPECT_EQ(label->text().count(u'\n'), 1);
    EXPECT_EQ(label->text().replace(u'\n', u'\u3000'), line);
    EXPECT_LE(label->geometry().bottom(), need(&d, "DayDataList")->y());
}

// --- adding -------------------------------------------------------------------------------------

TEST_F(DayDialogTest, AddedNoteGoesToTheEndOfTheListWithTheDate) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            EXPECT_EQ(m->windowTitle(), QStringLiteral("予定追加"));
            EXPECT_EQ(memoState(m), "||決定不可");
            type(m, "MemoCaption", QStringLiteral("歯医者"));
            type(m, "DayMemo", QStringLiteral("午後"));
            QTest::keyClick(need(m, "DayMemo"), Qt::Key_Return);
            type(m, "DayMemo", QStringLiteral("三時"));
            EXPECT_EQ(memoState(m), "歯医者|午後\n三時|決定可");
            click(m, "MemoOK");
        });
        click(d, "SetPlan");
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 会議|午前十時 / 歯医者|午後 三時");
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(memos.size(), 3u);
    EXPECT_EQ(std::tie(memos[2]->year, memos[2]->month, memos[2]->day), std::make_tuple(2001, 5, 5));
    EXPECT_EQ(memos[2]->caption, sjis("歯医者"));
    EXPECT_EQ(memos[2]->text, sjis("午後\r\n三時"));
}

TEST_F(DayDialogTest, CancelledEditorsAddNothingByButtonOrEscape) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            type(m, "MemoCaption", QStringLiteral("取り消す"));
            click(m, "MemoCancel");
        });
        click(d, "SetPlan");
        whenShown("TDayMemo", [](QDialog* m) {
            type(m, "MemoCaption", QStringLiteral("逃げる"));
            QTest::keyClick(need(m, "MemoCaption"), Qt::Key_Escape);
        });
        click(d, "SetPlan");
        whenShown("THolidayForm", [](QDialog* h) {
            type(h, "HolidayName", QStringLiteral("取り消す"));
            click(h, "HoliCancel");
        });
        click(d, "SetHoliday");
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 会議|午前十時");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rules.size() + memos.size(), 3u);
}

TEST_F(DayDialogTest, HolidayButtonStartsAPublicHolidayByDateWithOKDisabled) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("THolidayForm", [](QDialog* h) {
            EXPECT_EQ(h->windowTitle(), QStringLiteral("休日設定"));
            EXPECT_EQ(h->size(), QSize(195, 172));
            EXPECT_EQ(holidayState(h), "|5月5日と指定*|5月の第1土曜日と指定|休みの日！*|公休日（振替有り）*|決定不可");
            type(h, "HolidayName", QStringLiteral("創立記念日"));
            click(h, "TheWeekDay");
            EXPECT_EQ(holidayState(h),
                      "創立記念日|5月5日と指定|5月の第1土曜日と指定*|休みの日！*|公休日（振替有り）*|決定可");
            click(h, "HoliOK");
        });
        click(d, "SetHoliday");
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 創立記念日|休みの日！ / 会議|午前十時");
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(rules.size(), 2u);
    const THolidaySet& r = *rules[1];
    EXPECT_EQ(r.name, sjis("創立記念日"));
    EXPECT_EQ(std::tie(r.dayOffKind, r.ruleKind), std::make_tuple(std::uint8_t{1}, std::uint8_t{1}));
    EXPECT_EQ(std::tie(r.month, r.day, r.weekRow, r.weekday, r.ordinal), std::make_tuple(5, 5, 1, 6, 1));
}

// --- deleting -----------------------------------------------------------------------------------

TEST_F(DayDialogTest, NoToTheQuestionLeavesTheNoteAndTheRows) {
    ui.answers.push_back(MsgAnswer::No);
    const int result = run(kMay5, [](QDialog* d) {
        clickRow(d, 1);
        click(d, "Delete");
        EXPECT_EQ(need<QTableWidget>(d, "DayDataList")->currentRow(), 1) << "the rows were not rebuilt";
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{
                               {QStringLiteral("予定 会議 を削除します。"), QStringLiteral("確認"), MsgButtons::YesNo}}));
    EXPECT_EQ(memos.size(), 2u);
}

TEST_F(DayDialogTest, YesDeletesTheNoteAndTheRule) {
    const int result = run(kMay5, [](QDialog* d) {
        clickRow(d, 1);
        click(d, "Delete");
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！");
        click(d, "Delete");  // nothing is selected after the rebuild
        clickRow(d, 0);
        click(d, "Delete");
        EXPECT_EQ(rowsOf(d), "");
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1], (RecordedMessage{QStringLiteral("祝日 こどもの日 を削除します。"), QStringLiteral("確認"),
                                               MsgButtons::YesNo}));
    EXPECT_TRUE(rules.empty());
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->caption, sjis("翌年"));
}

TEST_F(DayDialogTest, SubstituteRowCanBeNeitherDeletedNorEdited) {
    rules.clear();
    memos.clear();
    substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    const int result = run(kMay5, [this](QDialog* d) {
        EXPECT_EQ(rowsOf(d), "振替休日|休みの日！");
        substitutes.clear();  // the calendar drawn again behind the dialog
        clickRow(d, 0);
        click(d, "Delete");
        clickRow(d, 0, true);
        EXPECT_EQ(QApplication::activeModalWidget(), d);
        EXPECT_EQ(rowsOf(d), "振替休日|休みの日！");
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ui.messages.empty());
}

// --- re-editing ---------------------------------------------------------------------------------

TEST_F(DayDialogTest, DoubleClickReEditsTheNoteItself) {
    const TDateMemo* before = memos[0].get();
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            EXPECT_EQ(m->windowTitle(), QStringLiteral("予定変更"));
            EXPECT_EQ(memoState(m), "会議|午前十時|決定可");
            QTest::keyClick(need(m, "MemoCaption"), Qt::Key_End);  // the caption may open selected
            type(m, "MemoCaption", QStringLiteral("室"));
            click(m, "MemoOK");
        });
        clickRow(d, 1, true);
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 会議室|午前十時");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(memos[0].get(), before);
    EXPECT_EQ(memos[0]->caption, sjis("会議室"));
}

TEST_F(DayDialogTest, EscapeOnAnExistingNoteLeavesItAsItWas) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("TDayMemo", [](QDialog* m) {
            type(m, "DayMemo", QStringLiteral("追記"));
            QTest::keyClick(need(m, "DayMemo"), Qt::Key_Escape);
        });
        clickRow(d, 1, true);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(memos[0]->text, sjis("午前十時"));
}

TEST_F(DayDialogTest, RuleSwitchedToWeekdayFallsOnTheWeekdayOfTheDayItWasOpenedOn) {
    const int result = run(kMay5, [](QDialog* d) {
        whenShown("THolidayForm", [](QDialog* h) {
            click(h, "TheWeekDay");
            click(h, "IsPubHoliCheck");
            click(h, "HoliOK");
        });
        clickRow(d, 0, true);
        EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！ / 会議|午前十時");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::tie(rules[0]->ruleKind, rules[0]->dayOffKind), std::make_tuple(std::uint8_t{1}, std::uint8_t{2}));
    // Saturday 4 May 2002 is the first Saturday of May; Sunday the 5th is not.
    run(ClickedDate{2002, 5, 4, 1, 6, 1}, [](QDialog* d) { EXPECT_EQ(rowsOf(d), "こどもの日|休みの日！"); });
    run(ClickedDate{2002, 5, 5, 2, 0, 1}, [](QDialog* d) { EXPECT_EQ(rowsOf(d), "翌年|"); });
}

// --- the editors on their own -------------------------------------------------------------------

TEST_F(EntryEditorTest, NoteEditorPlaceFocusAndNoConfirmWithoutCaption) {
    TDateMemo memo{2001, 5, 5, "", ""};
    whenShown("TDayMemo", [](QDialog* m) {
        EXPECT_EQ(m->size(), QSize(282, 209));
        EXPECT_EQ(m->pos(), centred(QSize(282, 209)));
        EXPECT_EQ(m->focusWidget(), need(m, "MemoCaption"));
        type(m, "MemoCaption", QStringLiteral("x"));
        QTest::keyClick(need(m, "MemoCaption"), Qt::Key_Return);
        EXPECT_TRUE(m->isVisible()) << "Enter confirms nothing";
        QTest::keyClick(need(m, "MemoCaption"), Qt::Key_Backspace);
        EXPECT_EQ(memoState(m), "||決定不可");
        m->accept();
        EXPECT_TRUE(m->isVisible()) << "an empty caption is never accepted";
        click(m, "MemoCancel");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 0);
}

TEST_F(EntryEditorTest, UntouchedNoteKeepsItsBytesAndALongCaptionWhole) {
    // 0x87 0x90 (NEC "≒") converts back as 0x81 0xE0; "表" (0x95 0x5C) trails with a backslash.
    TDateMemo memo{2001, 5, 5, "\x95\x5C\r\n\x87\x90", "\x87\x90" + std::string(300, 'a')};
    const TDateMemo before = memo;
    whenShown("TDayMemo", [](QDialog* m) { click(m, "MemoOK"); });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 1);
    EXPECT_EQ(memo.caption, before.caption);
    EXPECT_EQ(memo.text, before.text);
}

TEST_F(EntryEditorTest, CharacterCP932CannotHoldIsRefusedAndTheEditorStaysOpen) {
    TDateMemo memo{2001, 5, 5, sjis("本文"), sjis("見出し")};
    whenShown("TDayMemo", [](QDialog* m) {
        type(m, "DayMemo", QStringLiteral("🎂"));
        click(m, "MemoOK");
        EXPECT_EQ(m->focusWidget(), need(m, "DayMemo"));
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
}

TEST_F(EntryEditorTest, NoteWithUnreadableBytesIsEditedAfterOneNote) {
    TDateMemo memo{2001, 5, 5, std::string(1, '\xFF'), std::string(1, '\xFF')};
    whenShown("TDayMemo", [](QDialog* m) {
        need<QLineEdit>(m, "MemoCaption")->setText(QStringLiteral("\uFFFD2"));
        need<QPlainTextEdit>(m, "DayMemo")->setPlainText(QStringLiteral("\uFFFD3"));
        click(m, "MemoOK");
    });
    TDayMemo editor;
    EXPECT_EQ(editor.Execute(memo), 1);
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{{QStringLiteral("読めない文字「\uFFFD」は、保存すると「？」になります。"),
                                                          QStringLiteral("メッセージ"), MsgButtons::Ok}}));
    EXPECT_EQ(memo.caption + memo.text, sjis("？2？3"));
}

TEST_F(EntryEditorTest, HolidayEditorFillsFromTheRuleAndCouplesItsBoxes) {
    THolidaySet rule{2, 1, 1, 8, 2, 1, 2, sjis("成人の日")};
    whenShown("THolidayForm", [](QDialog* h) {
        EXPECT_EQ(h->pos(), centred(QSize(195, 172)));
        EXPECT_EQ(holidayState(h), "成人の日|1月8日と指定|1月の第2月曜日と指定*|休みの日！*|公休日（振替有り）|決定可");
        click(h, "IsHoliDay");
        EXPECT_EQ(holidayState(h), "成人の日|1月8日と指定|1月の第2月曜日と指定*|休みの日！|公休日（振替有り）|決定可");
        click(h, "IsPubHoliCheck");
        EXPECT_EQ(holidayState(h), "成人の日|1月8日と指定|1月の第2月曜日と指定*|休みの日！*|公休日（振替有り）*|決定可");
        click(h, "IsHoliDay");
        EXPECT_EQ(holidayState(h), "成人の日|1月8日と指定|1月の第2月曜日と指定*|休みの日！|公休日（振替有り）|決定可");
        click(h, "TheDay");
        need<QLineEdit>(h, "HolidayName")->setText(QStringLiteral("別名"));
        click(h, "HoliCancel");
    });
    THolidayForm editor;
    EXPECT_EQ(editor.Execute(rule), 0);
    EXPECT_EQ(std::tie(rule.name, rule.dayOffKind, rule.ruleKind), std::make_tuple(sjis("成人の日"), std::uint8_t{2}, std::uint8_t{1}));
}

TEST_F(EntryEditorTest, HolidayNameRefusesCharacterCP932CannotHold) {
    THolidaySet rule{0, 0, 5, 5, 1, 6, 1, ""};
    whenShown("THolidayForm", [](QDialog* h) {
        type(h, "HolidayName", QStringLiteral("𠮷の日"));
        click(h, "HoliOK");
        EXPECT_TRUE(h->isVisible());
        need<QLineEdit>(h, "HolidayName")->setText(QStringLiteral("吉の日"));
        click(h, "HoliOK");
    });
    THolidayForm editor;
    EXPECT_EQ(editor.Execute(rule), 1);
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{
                               {QStringLiteral("休日/祝日名に保存できない文字「𠮷」(U+20BB7)があります。\n"
                                               "この文字を取り除いてから「決定」を押してください。"),
                                QStringLiteral("メッセージ"), MsgButtons::Ok}}));
    EXPECT_EQ(std::tie(rule.name, rule.dayOffKind), std::make_tuple(sjis("吉の日"), std::uint8_t{0}));
}
