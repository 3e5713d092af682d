#include "app/main_form.h"
#include "app/about_form.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>
#include <QWindow>
#include <QScopeGuard>

#include <functional>
#include <utility>
#include <QTimer>

#include "data/data_file.h"
#include "data/day_dialog.h"
#include "layout/layout_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/secret_store.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "settings/calender_set.h"
#include "support/caldav_stub.h"
#include "support/program_dir.h"
#include "support/short_disk.h"

using namespace sorvel;

namespace {

class MainFormTest : public sorvel::testing::ProgramDirTest {
protected:
    // An empty data file and a state file showing the first of the month, then a window started
    // over them without a message.
    void startShowing(std::unique_ptr<TMainForm>& form, std::int32_t year, std::int32_t month) {
        write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
        TCalenderSet state;
        state.DispYear = year;
        state.DispMonth = month;
        state.DispDay = 1;
        write("SorvelSt.dat", buildStateFile(state));
        form = std::make_unique<TMainForm>();
        form->FormCreate();
        ASSERT_TRUE(ui.messages.empty());
    }

    ScriptedUi ui;
};

QAction* menuAction(TMainForm& form, const char* name) {
    return form.popupMenu()->findChild<QAction*>(QString::fromLatin1(name));
}

// The row captions of the day dialog that `open` shows; the dialog is closed once read.
std::vector<std::string> dayDialogCaptions(const std::function<void()>& open) {
    std::vector<std::string> captions;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<TDayData*>(QApplication::activeModalWidget())) {
            for (const TDataList& row : d->rows()) captions.push_back(cp932ToUtf8(row.caption));
            d->close();
        }
    });
    poll.start(5);
    open();
    return captions;
}

}  // namespace

// A first start's message kept open longer than the tray icon waits for a paint: the icon comes
// while the start is still asking, before the sync it belongs to exists.
TEST_F(MainFormTest, ATrayIconDueWhileAFirstStartMessageIsOpenComesWithoutTheSync) {
    struct SlowUi : ScriptedUi {
        MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) override {
            QTest::qWait(2200);
            return ScriptedUi::messageBox(text, caption, buttons);
        }
    } slow;
    TMainForm::setTrayForTesting(true);
    const auto trayBack = qScopeGuard([] { TMainForm::setTrayForTesting(false); });
    TMainForm form;
    form.FormCreate();
    EXPECT_EQ(slow.messages.size(), 2u);
    ASSERT_NE(form.trayIcon(), nullptr);
    EXPECT_TRUE(form.trayIcon()->isVisible());
}

TEST_F(MainFormTest, FreshInstallationShowsBothMessagesAndWritesThreeFilesAtClose) {
    TMainForm form;
    form.FormCreate();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("状態保存ファイル\n") + path("SorvelSt.dat") + QStringLiteral(" を作成します。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("データ保存ファイル\n") + path("Sorvel.dat") + QStringLiteral(" を作成します。"));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("メッセージ"));

    const TCalenderSet& cs = form.draw().settings();
    EXPECT_EQ(cs.DispPercent, 100.0f);
    EXPECT_EQ(cs.Cl[kSlotBackground], 7);
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 1);
    EXPECT_EQ(cs.FontName, sjis("ＭＳ ゴシック"));
    EXPECT_EQ(cs.DispYear, 2001);
    EXPECT_EQ(cs.DispMonth, 9);
    EXPECT_EQ(cs.DispDay, 23);
    EXPECT_EQ(form.width(), 640);
    EXPECT_EQ(form.height(), 480);
    EXPECT_EQ(form.sorvelSet().MemoFileName, cp932FromPath(path("Sorvel.dat")));

    QSignalSpy closed(&form, &TMainForm::closeRequested);
    menuAction(form, "Close1")->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(ui.messages.size(), 2u);

    const std::string ini = read("sorvel.ini");
    EXPECT_NE(ini.find("[SorvelSetting]\r\nVersion=1.2\r\nAdsorption=0\r\nLengthAdsorp=15\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[YoteiSet]"), std::string::npos);
    EXPECT_NE(ini.find("[LayoutSet]"), std::string::npos);
    EXPECT_EQ(read("SorvelSt.dat").substr(0, 8), "<+M01>\r\n");
    EXPECT_EQ(read("Sorvel.dat"), std::string("<+Sorvel>\0<-Sorvel>\0", 20));

    // The second start reads everything back without a message.
    ui.messages.clear();
    TMainForm again;
    again.FormCreate();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(again.draw().settings().DispYear, 2001);
}

TEST_F(MainFormTest, AProgramDirectoryNamedOutsideShiftJisKeepsItsNotes) {
    for (const QString& sub : {QString::fromUtf8("dé"), QString::fromUtf8("𠮷")}) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(sub));
        setProgramDirectory(dir.filePath(sub));
        {
            TMainForm form;
            form.FormCreate();
            EXPECT_EQ(ui.messages.back().text, "データ保存ファイル\n" + dir.filePath(sub) + "/Sorvel.dat を作成します。");
            form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, "", "x"}));
            form.Close1Click();
        }
        EXPECT_NE(readWholeFile(dir.filePath(sub) + "/sorvel.ini")->find("MemoFileName=Sorvel.dat\r\n"), std::string::npos);
        TMainForm again;
        again.FormCreate();
        ASSERT_EQ(again.document().memos().size(), 1u);
    }
}

TEST_F(MainFormTest, OlderIniIsReadOnceAndMigratedToTheStateFile) {
    write("sorvel.ini", "[SorvelSetting]\r\nVersion=1.01\r\nCl4=3\r\nDispPercent=25\r\n[TDateSet]\r\nNumberOfMonth=260\r\n");
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    {
        TMainForm form;
        form.FormCreate();
        EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
        EXPECT_EQ(form.draw().settings().Cl[kSlotSunday], 3);
        EXPECT_EQ(form.draw().settings().dateSet.NumberOfMonth, 4);
        EXPECT_EQ(form.width(), 320);
        EXPECT_EQ(form.height(), 240);
        form.Close1Click();
    }
    EXPECT_NE(read("sorvel.ini").find("Version=1.2\r\n"), std::string::npos);
    // The next start takes the colour from the state file, not from the ini file: the old key
    // is still in the ini, so give it another colour first.
    std::string ini = read("sorvel.ini");
    const auto oldKey = ini.find("Cl4=3\r\n");
    ASSERT_NE(oldKey, std::string::npos) << ini;
    write("sorvel.ini", ini.replace(oldKey, 7, "Cl4=5\r\n"));
    TMainForm next;
    next.FormCreate();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(next.draw().settings().Cl[kSlotSunday], 3);
    TCalenderSet fromState;
    ASSERT_EQ(parseStateFile(read("SorvelSt.dat"), fromState), 1);
    EXPECT_EQ(fromState.Cl[kSlotSunday], 3);
}

TEST_F(MainFormTest, RefusedStateFileGivesTheDefaultSetSilently) {
    // Field 41 refuses the file; the reader still takes the Sunday colour 9 after it, which the
    // default set must replace.
    write("SorvelSt.dat", "<+M01>\r\n<+S41>\r\n<+DA>1<-DA><-S41>\r\n<+S30>\r\n<+DA>9<-DA><-S30>\r\n<-M01>\r\n");
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    TMainForm form;
    form.FormCreate();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(form.draw().settings().Cl[kSlotSunday], 2);
    EXPECT_EQ(form.draw().settings().DispPercent, 100.0f);
    EXPECT_EQ(form.width(), 640);
}

TEST_F(MainFormTest, DamagedOrHostileStoredValuesDoNotStopTheStart) {
    write("sorvel.ini", "[SorvelSetting]\r\nVersion=abc\r\nLengthAdsorp=many\r\nLeft=-5000\r\nTop=-5000\r\n");
    TCalenderSet cs;
    cs.DispPercent = 1e30f;
    cs.DispYear = -2147483647 - 1;
    cs.DispDay = 1;
    cs.dateSet.NumberOfMonth = -1;
    cs.dateSet.DrawStyle = 9;
    write("SorvelSt.dat", buildStateFile(cs));
    TMainForm form;
    form.FormCreate();
    // It paints the calendar (silver background, red Sundays), and the display date is one the
    // window can step from.
    const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    bool background = false, sunday = false;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            background |= (line[x] & 0xFFFFFF) == 0xC0C0C0;
            sunday |= (line[x] & 0xFFFFFF) == 0xFF0000;
        }
    }
    EXPECT_TRUE(background && sunday);
    EXPECT_EQ(form.draw().settings().DispYear, 0);
    form.FormMouseDown(Qt::LeftButton, form.width() - 1, 1);
    EXPECT_EQ(form.draw().settings().DispYear, 0);
    // Version that is not a number counts as 1.2: the state file is read.
    EXPECT_EQ(form.sorvelSet().LengthAdsorp, 15);
    EXPECT_EQ(form.x(), 0);
    EXPECT_EQ(form.y(), 0);
    // A zoom the settings dialog would refuse starts at 100, not at the largest canvas.
    EXPECT_EQ(form.draw().settings().DispPercent, 100.0f);
    EXPECT_EQ(form.width(), 640);

    for (float zoom : {0.0f, -5.0f, -1.0f}) {
        cs.DispPercent = zoom;
        write("SorvelSt.dat", buildStateFile(cs));
        TMainForm f;
        f.FormCreate();
        EXPECT_EQ(f.draw().settings().DispPercent, 100.0f) << zoom;
        EXPECT_EQ(f.width(), 640);
    }
}

TEST_F(MainFormTest, UnwritableDataFileAsksBeforeEndingAndNoKeepsEverything) {
    TMainForm form;
    form.FormCreate();
    ui.messages.clear();
    // Root ignores permissions: a data file whose directory does not exist cannot be created.
    const std::string badName = cp932FromPath(dir.filePath(QStringLiteral("missing/dir/Sorvel.dat")));
    form.sorvelSet().MemoFileName = badName;
    auto memo = std::make_unique<TDateMemo>();
    memo->year = 2001;
    memo->month = 9;
    memo->day = 23;
    memo->caption = sjis("秋分");
    form.document().memos().push_back(std::move(memo));

    QSignalSpy closed(&form, &TMainForm::closeRequested);
    ui.answers = {MsgAnswer::No};
    form.Close1Click();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, toQString(badName) + QStringLiteral("\nが作成できませんでした。\nフォルダがありません。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ from Sorvel"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("データ保存でエラーが発生しました。\nこのまま終了しますか？"));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("メッセージ from Sorvel"));
    EXPECT_EQ(ui.messages[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(closed.count(), 0);
    ASSERT_EQ(form.document().memos().size(), 1u);
    EXPECT_EQ(form.document().memos()[0]->caption, sjis("秋分"));

    // Yes ends the program anyway.
    ui.answers = {MsgAnswer::Yes};
    form.Close1Click();
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainFormTest, ASessionEndThatCannotWriteTheDataFileKeepsTheNotesBesideAndTheNextStartSaysWhere) {
    {
        TMainForm form;
        form.FormCreate();
        form.sorvelSet().MemoFileName = cp932FromPath(dir.filePath(QStringLiteral("missing/Sorvel.dat")));
        form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, "", "kept"}));
        EXPECT_EQ(form.SaveForSessionEnd(), 0);
    }
    const std::string unsaved = read("Sorvel.dat.unsaved");
    EXPECT_NE(unsaved.find("<+DA>kept<-DA>"), std::string::npos) << unsaved;
    ui.messages.clear();
    TMainForm next;
    next.FormCreate();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text,
              QStringLiteral("前回の終了時にデータファイルへ保存できなかった予定と祝日を\n") + path("Sorvel.dat.unsaved") +
                  QStringLiteral("\nに残しました。設定でこのファイルをデータファイルに選ぶと読み込めます。"));
    EXPECT_EQ(ui.messages.back().caption, QStringLiteral("メッセージ from Sorvel"));
}

TEST_F(MainFormTest, AScreenReaderReadsTheMonthTodayAndEachDay) {
    TMainForm form;
    form.FormCreate();
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, "", "a"}));
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, "", "b"}));
    form.draw().settings().DispYear = 2001;
    form.draw().settings().DispMonth = 9;
    form.ShowImage();
    QAccessibleInterface* calendar = QAccessible::queryAccessibleInterface(&form);
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->text(QAccessible::Name), QStringLiteral("2001年9月、今日は9月23日（日）、予定 2件"));
    EXPECT_EQ(calendar->text(QAccessible::Description), QStringLiteral("今日の予定：a、b"));
    ASSERT_EQ(calendar->childCount(), 30);
    QAccessibleInterface* today = calendar->child(22);
    EXPECT_EQ(today->role(), QAccessible::Cell);
    EXPECT_TRUE(today->text(QAccessible::Name).startsWith(QStringLiteral("2001年9月23日(日)、予定 2件、今日、")))
        << today->text(QAccessible::Name).toStdString();
    // Its cell is where a double click finds the 23rd: Sunday of week row 5.
    EXPECT_EQ(today->rect().topLeft() - form.mapToGlobal(QPoint(0, 0)), QPoint(40, 7 * 53));
    EXPECT_EQ(calendar->childAt(today->rect().center().x(), today->rect().center().y()), today);
}

TEST_F(MainFormTest, StoredPositionIsKeptOnScreen) {
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    const ScreenExtent screen = TMainForm::screenExtent();
    write("sorvel.ini", "[SorvelSetting]\r\nLeft=" + std::to_string(screen.right()) + "\r\nTop=40\r\n");
    TCalenderSet cs;
    write("SorvelSt.dat", buildStateFile(cs));
    TMainForm form;
    form.FormCreate();
    EXPECT_EQ(form.x() + form.width(), screen.right());
    EXPECT_EQ(form.y(), 40);
    EXPECT_EQ(form.sorvelSet().Top, 40);
}

TEST_F(MainFormTest, MenuHoldsTheCommandsAndTheZoomCheckMark) {
    TMainForm form;
    form.FormCreate();
    ASSERT_NE(menuAction(form, "Close1"), nullptr);
    EXPECT_EQ(menuAction(form, "Close1")->text(), QStringLiteral("閉じる(&X)"));
    ASSERT_NE(menuAction(form, "N11001"), nullptr);
    EXPECT_TRUE(menuAction(form, "N11001")->isChecked());
    EXPECT_FALSE(menuAction(form, "x22001")->isChecked());
}

namespace {

// A started window over an installed program directory (no first-start messages).
class StartedForm : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(startShowing(form, 2001, 9));
    }
    void TearDown() override {
        form.reset();
        MainFormTest::TearDown();
    }
    TCalenderSet& cs() { return form->draw().settings(); }
    std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(StartedForm, CornerPressesStepTheMonthsWhetherOrNotButtonsAreDrawn) {
    cs().NoDrawButton = 1;
    form->FormMouseDown(Qt::LeftButton, 3, 3);
    form->FormMouseUp(3, 3);
    EXPECT_EQ(cs().DispMonth, 8);
    form->FormMouseDown(Qt::LeftButton, form->width() - 3, 3);
    form->FormMouseDown(Qt::LeftButton, form->width() - 3, 3);
    EXPECT_EQ(cs().DispMonth, 10);
    // Only the left button steps.
    form->FormMouseDown(Qt::RightButton, 3, 3);
    EXPECT_EQ(cs().DispMonth, 10);
}

TEST_F(StartedForm, DoubleClickOnADayRunsTheDayDialogAndWritesTheDataFile) {
    std::vector<ClickedDate> opened;
    form->setDayDialogRunner([&](TMainForm& f, const ClickedDate& d) {
        opened.push_back(d);
        auto memo = std::make_unique<TDateMemo>();
        memo->year = d.year;
        memo->month = d.month;
        memo->day = d.day;
        memo->caption = sjis("会議");
        f.document().memos().push_back(std::move(memo));
        return 1;
    });
    // 23 September 2001: Sunday of week row 5 of a 640 × 480 single month.
    const int x = 40 + 40, y = 7 * (480 / 9) + 20;
    form->FormMouseDown(Qt::LeftButton, x, y);
    form->FormMouseUp(x, y);
    form->FormDblClick();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], (ClickedDate{2001, 9, 23, 5, 0, 4}));
    TDateMemoList memos;
    THolidayList rules;
    parseDataFile(read("Sorvel.dat"), rules, memos);
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->caption, sjis("会議"));
    EXPECT_EQ(memos[0]->day, 23);

    // The press that follows a double click starts no drag.
    const QPoint before = form->pos();
    form->FormMouseDown(Qt::LeftButton, x, y);
    form->FormMouseMove(x + 50, y + 50);
    EXPECT_EQ(form->pos(), before);
}

// A fresh ini file shows the national holidays: the day dialog of Tuesday 22 September 2026
// (column 2, grid row 6) lists its 国民の休日.
TEST_F(MainFormTest, DayDialogListsTheNationalHolidayOfTheDay) {
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    TCalenderSet state;
    state.DispYear = 2026;
    state.DispMonth = 9;
    state.DispDay = 1;
    write("SorvelSt.dat", buildStateFile(state));
    TMainForm form;
    form.FormCreate();
    const auto captions = dayDialogCaptions([&] {
        form.FormMouseUp(240, 6 * (480 / 9) + 20);
        form.FormDblClick();
    });
    EXPECT_EQ(captions, std::vector<std::string>{"国民の休日"});
}

// Enter opens today's day dialog while September is shown: Monday 11 June 2001 still lists the
// substitute holiday of the rule on Sunday the 10th, which no paint has classified.
TEST_F(StartedForm, TodaysDayDialogListsASubstituteHolidayOfAMonthNotShown) {
    setTodayForTesting(LocalDate{2001, 6, 11});
    form->document().rules().push_back(std::make_unique<THolidaySet>(THolidaySet{1, 0, 6, 10, 1, 0, 1, sjis("記念日")}));
    form->ShowImage();
    EXPECT_EQ(dayDialogCaptions([&] { form->FormKeyDown(Qt::Key_Return); }), std::vector<std::string>{"振替休日"});
    EXPECT_EQ(cs().DispMonth, 9);
}

TEST_F(StartedForm, DoubleClickOutsideTheDaysHidesAndShowsTheMonths) {
    int runs = 0;
    form->setDayDialogRunner([&](TMainForm&, const ClickedDate&) { return ++runs; });
    form->FormMouseUp(320, 480 / 9 + 5);  // the heading
    form->FormDblClick();
    EXPECT_EQ(cs().NoDayDraw, 1);
    form->FormDblClick();
    EXPECT_EQ(cs().NoDayDraw, 0);
    // A double click in a corner zone does nothing more than its presses.
    form->FormMouseUp(2, 2);
    form->FormDblClick();
    EXPECT_EQ(cs().NoDayDraw, 0);
    EXPECT_EQ(runs, 0);
}

TEST_F(StartedForm, DraggingSnapsToTheLeftEdge) {
    form->sorvelSet().AdSorption = 1;
    form->sorvelSet().LengthAdsorp = 15;
    const ScreenExtent s = TMainForm::screenExtent();
    form->move(s.left + 100, s.top + 100);
    form->FormMouseDown(Qt::LeftButton, 300, 300);
    form->FormMouseMove(300 - 90, 300);
    EXPECT_EQ(form->x(), s.left);
    form->FormMouseUp(300, 300);
    form->FormMouseMove(100, 300);  // released: no move
    EXPECT_EQ(form->x(), s.left);

    // A right press opens the menu, which takes the release: the pointer moving on with no
    // button held drags nothing.
    form->show();
    QTest::mousePress(form.get(), Qt::RightButton, {}, QPoint(50, 50));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(50, 50), form->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(form.get(), &menu);
    form->popupMenu()->hide();
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 80), form->mapToGlobal(QPointF(150, 80)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &move);
    EXPECT_EQ(form->x(), s.left);
}

TEST_F(StartedForm, TheTodayFrameMovesWhenTheDateChanges) {
    auto* timer = form->findChild<QTimer*>(QStringLiteral("todayTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_LE(timer->interval(), 60 * 1000);
    setTodayForTesting(LocalDate{2001, 9, 24});
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    EXPECT_EQ(form->draw().todaysDate(), (LocalDate{2001, 9, 24}));
}

TEST_F(StartedForm, TooltipWithoutAlmanacNamesTheDayAndCapsItsNotes) {
    // Tuesday 25 September 2001, in week row 5 of the 640 × 480 month: cells 80 × 53 from
    // x = 40, the first week row at grid row 3.
    for (int i = 0; i < 1000; ++i)
        form->document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 25, "", std::string("n").append(std::to_string(i))}));
    const QStringList lines = form->DayToolTipAt(40 + 2 * 80 + 40, 7 * 53 + 20).split(QChar(u'\n'));
    ASSERT_EQ(lines.size(), 23) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("2001年9月25日(火)"));
    EXPECT_EQ(lines[1], QStringLiteral("平成13年"));
    EXPECT_EQ(lines[2], QStringLiteral("n0"));
    EXPECT_EQ(lines[21], QStringLiteral("n19"));
    EXPECT_EQ(lines[22], QStringLiteral("ほか 980件"));
}

TEST_F(StartedForm, ZoomItemsAndTheirCheckMarks) {
    menuAction(*form, "x22001")->trigger();
    EXPECT_EQ(cs().DispPercent, 200.0f);
    EXPECT_TRUE(menuAction(*form, "x22001")->isChecked());
    EXPECT_FALSE(menuAction(*form, "N11001")->isChecked());
    EXPECT_EQ(form->width(), 905);
    // A zoom the items do not offer leaves none checked.
    cs().DispPercent = 30;
    form->setZoomChecks();
    for (const char* name : {"x01101", "x025251", "x05501", "N11001", "x22001"})
        EXPECT_FALSE(menuAction(*form, name)->isChecked()) << name;
}

TEST_F(StartedForm, ShowTodayAlwaysOnTopHelpAndWindowItems) {
    cs().DispYear = 1990;
    menuAction(*form, "ShowToday")->trigger();
    EXPECT_EQ(cs().DispYear, 2001);
    EXPECT_EQ(cs().DispMonth, 9);
    EXPECT_EQ(cs().DispDay, 23);

    menuAction(*form, "AllwaysOnTop")->trigger();
    EXPECT_EQ(form->sorvelSet().AllwaysOnTop, 1);
    EXPECT_TRUE(menuAction(*form, "AllwaysOnTop")->isChecked());
    menuAction(*form, "AllwaysOnTop")->trigger();
    EXPECT_EQ(form->sorvelSet().AllwaysOnTop, 0);
    EXPECT_FALSE(menuAction(*form, "AllwaysOnTop")->isChecked());

    write("sorvel-help.html", "<html></html>");
    menuAction(*form, "H1")->trigger();
    ASSERT_EQ(ui.openedDocuments.size(), 1);
    EXPECT_TRUE(ui.openedDocuments[0].endsWith(QStringLiteral("sorvel-help.html")));
    write("Sorvel.chm", "help");
    menuAction(*form, "H1")->trigger();
    EXPECT_EQ(ui.openedDocuments.value(1), path("Sorvel.chm"));

    EXPECT_TRUE(menuAction(*form, "Yotei")->isChecked());
    menuAction(*form, "Yotei")->trigger();
    EXPECT_EQ(form->sorvelSet().yotei.YoDisp, 0);
    EXPECT_FALSE(menuAction(*form, "Yotei")->isChecked());
    menuAction(*form, "Layout")->trigger();
    EXPECT_EQ(form->sorvelSet().layout.Disp, 0);
}

TEST_F(StartedForm, WallpaperChoiceCancelledChangesNothing) {
    menuAction(*form, "Selectbmp")->trigger();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, QStringLiteral("壁紙を選んでください"));
    EXPECT_EQ(ui.fileRequests[0].filter, QStringLiteral("グラフィック (bmp/jpg)|*.bmp;*.jpg"));
    EXPECT_EQ(cs().IsWallPaper, 0);
    EXPECT_TRUE(cs().WallPaperName.empty());
}

TEST_F(StartedForm, WallpaperOutsideShiftJisIsRefusedAndThePreviewUsesTheProgramsReaders) {
    const QString emoji = dir.filePath(QString::fromUtf8("emoji😀.bmp"));
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(emoji, "BMP"));
    ui.fileAnswers = {emoji};
    menuAction(*form, "Selectbmp")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, emoji + QString::fromUtf8("\nの名前には保存できない文字「😀」(U+1F600)があります。\n"
                                                             "このファイルは選べません。"));
    EXPECT_EQ(cs().IsWallPaper, 0);
    EXPECT_TRUE(cs().WallPaperName.empty());
    QImage shown;
    ASSERT_TRUE(ui.lastPictureDecoder && ui.lastPictureDecoder(emoji, &shown));
    EXPECT_EQ(shown.size(), QSize(40, 30));
}

TEST_F(StartedForm, SettingsFilesThatCannotBeReplacedAreReportedAndTheOldOnesKept) {
    write("sorvel.ini", "[SorvelSetting]\r\nVersion=1.2\r\nTop=5\r\n");
    const std::string oldIni = read("sorvel.ini");
    const std::string oldState = read("SorvelSt.dat");
    const std::string oldData = read("Sorvel.dat");
    // Refused where the code looks for it, and by the kernel: files may not grow past 16 bytes
    // (each of the three is longer), as on a full disk.
    const QString noRoom = QStringLiteral("ファイルの大きさの上限を超えました。");
    for (SaveFault fault : {SaveFault::Open, SaveFault::Commit, SaveFault::None}) {
        ui.messages.clear();
        setSaveFaultForTesting(SaveFaultPlan{fault, 0});
        ui.answers = {MsgAnswer::No};
        QSignalSpy closed(form.get(), &TMainForm::closeRequested);
        {
            const sorvel::testing::FileSizeLimit limit(fault == SaveFault::None ? 16 : RLIM_INFINITY);
            form->Close1Click();
        }
        setSaveFaultForTesting({});
        EXPECT_EQ(closed.count(), 0);
        // Each of the three files: its message, naming it and the reason; then the question,
        // answered No.
        ASSERT_EQ(ui.messages.size(), 4u);
        const QString reason = fault == SaveFault::Open     ? QStringLiteral("injected: cannot create")
                               : fault == SaveFault::Commit ? QStringLiteral("injected: rename failed")
                                                            : noRoom;
        for (int i = 0; i < 3; ++i) {
            const char* name = i == 0 ? "sorvel.ini" : i == 1 ? "SorvelSt.dat" : "Sorvel.dat";
            EXPECT_EQ(ui.messages[static_cast<size_t>(i)].text,
                      path(name) + QStringLiteral("\nが作成できませんでした。\n") + reason);
            EXPECT_EQ(ui.messages[static_cast<size_t>(i)].caption, QStringLiteral("メッセージ from Sorvel"));
        }
        EXPECT_EQ(ui.messages[3].text, QStringLiteral("データ保存でエラーが発生しました。\nこのまま終了しますか？"));
        EXPECT_EQ(read("sorvel.ini"), oldIni);
        EXPECT_EQ(read("SorvelSt.dat"), oldState);
        EXPECT_EQ(read("Sorvel.dat"), oldData);
    }
    // Once the disk is back, the same command saves and ends.
    ui.messages.clear();
    QSignalSpy closed(form.get(), &TMainForm::closeRequested);
    form->Close1Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainFormTest, WindowLeftOnNoScreenWhenTheScreensChangeComesBack) {
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    write("SorvelSt.dat", buildStateFile(TCalenderSet()));
    TMainForm form;
    form.FormCreate();
    const ScreenExtent primary{0, 0, 1280, 800};
    const ScreenExtent second{1280, 0, 1920, 1080};
    form.setWindowRect(WindowRect{2000, 100, 640, 480});
    form.ScreensChanged({primary, second});
    EXPECT_EQ(form.windowRect(), (WindowRect{2000, 100, 640, 480}));
    // The second screen is unplugged: the window comes back to the primary screen's right edge.
    form.ScreensChanged({primary});
    EXPECT_EQ(form.windowRect(), (WindowRect{1280 - 640, 100, 640, 480}));
    EXPECT_EQ(form.sorvelSet().Left, 640);
    EXPECT_EQ(form.sorvelSet().Top, 100);
}

TEST_F(MainFormTest, StartRemovesWhatInterruptedSavesLeftBesideItsFiles) {
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    write("SorvelSt.dat", buildStateFile(TCalenderSet()));
    for (const char* name :
         {"sorvel.ini.xYzAbC", "SorvelSt.dat.QwErTy", "Sorvel.dat.SzGjPc", "Sorvel.dat.sync.kLmNoP", "notes.txt.SzGjPc"})
        write(name, "half a save");
    TMainForm form;
    form.FormCreate();
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"Sorvel.dat", "SorvelSt.dat", "notes.txt.SzGjPc"}));
}

TEST_F(StartedForm, LayoutWindowFollowsItsMenuItemAndAnUnsavedPageSurvivesTheSessionEnd) {
    // Shown at start (Disp 1 without a LayoutSet section).
    ASSERT_NE(form->layoutForm(), nullptr);
    EXPECT_TRUE(form->layoutForm()->isVisible());
    EXPECT_TRUE(menuAction(*form, "Layout")->isChecked());
    TLayoutPaper& page = form->layoutForm()->page();
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{10, 10, 60, 60}, page.Scale));
    page.Modified = 1;

    // The save question cancelled: the window, its page and the program stay.
    QSignalSpy closed(form.get(), &TMainForm::closeRequested);
    ui.answers = {MsgAnswer::Cancel, MsgAnswer::Cancel};
    menuAction(*form, "Layout")->trigger();
    menuAction(*form, "Close1")->trigger();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(form->sorvelSet().layout.Disp, 1);
    EXPECT_TRUE(menuAction(*form, "Layout")->isChecked());
    // The menu item and the close each asked the page's save question once.
    const RecordedMessage question{QStringLiteral("レイアウトは変更されています。\n保存しますか？"), QStringLiteral("メッセージ"),
                                   MsgButtons::YesNoCancel};
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{question, question}));

    // The session ends: nobody is asked, the page goes to the recovery file.
    ui.messages.clear();
    EXPECT_EQ(form->SaveForSessionEnd(), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(read("Sorvel-recovery.sla").substr(0, 9), std::string("<+SoLay>\0", 9));

    // The next start offers it; the page comes back unsaved, and the file stays until the page
    // is saved or given up.
    form.reset();
    ui.answers = {MsgAnswer::Yes};
    form = std::make_unique<TMainForm>();
    form->FormCreate();
    const QString offer = QStringLiteral("前回終了したときに保存されていなかったレイアウトを\n%1\nに残しました。\n開きますか？")
                              .arg(QDir::toNativeSeparators(path("Sorvel-recovery.sla")));
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{{offer, QStringLiteral("メッセージ"), MsgButtons::YesNo}}));
    TLayoutPaper& back = form->layoutForm()->page();
    ASSERT_EQ(back.objects.size(), 1u);
    EXPECT_EQ(back.objects[0]->kind(), kObjCalendar);
    EXPECT_EQ(back.Modified, 1);
    EXPECT_TRUE(back.FileName.isEmpty());
    EXPECT_TRUE(QFile::exists(path("Sorvel-recovery.sla")));

    // Closed with its close box (page given up): the menu opening forgets the window.
    ui.answers = {MsgAnswer::No};
    form->layoutForm()->close();
    EXPECT_FALSE(form->layoutForm()->isVisible());
    form->PopupMenu1Popup();
    EXPECT_EQ(form->layoutForm(), nullptr);
    EXPECT_EQ(form->sorvelSet().layout.Disp, 0);
    EXPECT_FALSE(menuAction(*form, "Layout")->isChecked());
    form->Close1Click();
    EXPECT_FALSE(QFile::exists(path("Sorvel-recovery.sla")));
}

namespace {

const RecordedMessage kLayoutQuestion{QStringLiteral("レイアウトは変更されています。\n保存しますか？"),
                                      QStringLiteral("メッセージ"), MsgButtons::YesNoCancel};

// Answers as ScriptedUi does, and runs `whileAsked` once while the first question is open (as a
// signal arriving under a message box runs in its event loop).
class AskedUi : public ScriptedUi {
public:
    std::function<void()> whileAsked;
    MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) override {
        const MsgAnswer a = ScriptedUi::messageBox(text, caption, buttons);
        if (auto run = std::exchange(whileAsked, {})) run();
        return a;
    }
};

// A started calendar, shown, with a tray icon and an unsaved layout page.
class UnsavedPage : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
        write("SorvelSt.dat", buildStateFile(TCalenderSet()));
        TMainForm::setTrayForTesting(true);
        form = std::make_unique<TMainForm>();
        form->FormCreate();
        TMainForm::setTrayForTesting(false);
        form->show();
        // Set up once the window is painted.
        ASSERT_TRUE(QTest::qWaitFor([this] { return form->trayIcon() != nullptr; }, 5000));
        ASSERT_TRUE(form->trayIcon()->isVisible());
        ASSERT_NE(form->layoutForm(), nullptr);
        TLayoutPaper& page = form->layoutForm()->page();
        page.objects.push_back(std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{10, 10, 60, 60}, page.Scale));
        page.Modified = 1;
    }
    void TearDown() override {
        form.reset();
        MainFormTest::TearDown();
    }
    // What the window manager's close does (Alt+F4, WM_DELETE_WINDOW); true when it closed.
    bool windowManagerClose() { return form->windowHandle()->close(); }
    std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(UnsavedPage, WindowManagersCloseAsksAsCloseDoesAndCancelKeepsEverything) {
    QSignalSpy ended(form.get(), &TMainForm::closeRequested);
    ui.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(windowManagerClose());
    EXPECT_EQ(ui.messages, std::vector<RecordedMessage>{kLayoutQuestion});
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->trayIcon()->isVisible());
    EXPECT_TRUE(form->layoutForm()->isVisible());
    EXPECT_EQ(form->layoutForm()->page().objects.size(), 1u);
    EXPECT_FALSE(QFile::exists(path("sorvel.ini")));
    EXPECT_EQ(read("Sorvel.dat"), std::string("<+Sorvel>\0<-Sorvel>\0", 20));

    // The termination that follows writes everything, the page to the recovery file, and ends.
    ui.messages.clear();
    form->EndSession();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(form->trayIcon()->isVisible());
    EXPECT_EQ(read("Sorvel-recovery.sla").substr(0, 9), std::string("<+SoLay>\0", 9));
    EXPECT_NE(read("sorvel.ini").find("[LayoutSet]"), std::string::npos);
}

TEST_F(UnsavedPage, WindowManagersCloseAnsweredNoSavesAndEnds) {
    QSignalSpy ended(form.get(), &TMainForm::closeRequested);
    ui.answers = {MsgAnswer::No};
    EXPECT_TRUE(windowManagerClose());
    EXPECT_EQ(ui.messages, std::vector<RecordedMessage>{kLayoutQuestion});
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(form->trayIcon()->isVisible());
    EXPECT_NE(read("sorvel.ini").find("[LayoutSet]"), std::string::npos);
    EXPECT_FALSE(QFile::exists(path("Sorvel-recovery.sla")));
}

TEST_F(UnsavedPage, TerminationWhileTheQuestionIsOpenSavesTheRecoveryPageAndEnds) {
    AskedUi asked;
    asked.answers = {MsgAnswer::Cancel};
    QSignalSpy ended(form.get(), &TMainForm::closeRequested);
    asked.whileAsked = [&] {
        // "閉じる(&X)" from the tray's menu waits for the question open; then the termination comes.
        form->Close1Click();
        EXPECT_EQ(ended.count(), 0);
        form->EndSession();
    };
    EXPECT_FALSE(windowManagerClose());
    EXPECT_EQ(asked.messages, std::vector<RecordedMessage>{kLayoutQuestion});
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(read("Sorvel-recovery.sla").substr(0, 9), std::string("<+SoLay>\0", 9));
    EXPECT_NE(read("sorvel.ini").find("[LayoutSet]"), std::string::npos);
    // Ended: a close now is the end's own, with no question.
    asked.messages.clear();
    EXPECT_TRUE(windowManagerClose());
    EXPECT_TRUE(asked.messages.empty());
}

TEST_F(StartedForm, KeysStepTheMonthsShowThisMonthOpenTodaysDayAndTheMenu) {
    std::vector<ClickedDate> opened;
    form->setDayDialogRunner([&](TMainForm& f, const ClickedDate& d) {
        opened.push_back(d);
        f.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{d.year, d.month, d.day, "", "k"}));
        return 1;
    });
    QTest::keyClick(form.get(), Qt::Key_PageDown);
    EXPECT_EQ(cs().DispYear, 2002);
    EXPECT_EQ(cs().DispMonth, 9);
    QTest::keyClick(form.get(), Qt::Key_PageUp);
    QTest::keyClick(form.get(), Qt::Key_Right);
    EXPECT_EQ(cs().DispYear, 2001);
    EXPECT_EQ(cs().DispMonth, 10);
    QTest::keyClick(form.get(), Qt::Key_Left);
    QTest::keyClick(form.get(), Qt::Key_Left);
    EXPECT_EQ(cs().DispMonth, 8);
    cs().DispYear = 1990;
    QTest::keyClick(form.get(), Qt::Key_Home);
    EXPECT_EQ(cs().DispYear, 2001);
    EXPECT_EQ(cs().DispMonth, 9);
    // Today, 23 September 2001: the fourth Sunday, in week row 5.
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_EQ(opened, (std::vector<ClickedDate>{{2001, 9, 23, 5, 0, 4}}));
    // Then the data file is written, as after a double click.
    EXPECT_NE(read("Sorvel.dat").find("<+M03>"), std::string::npos);

    // Space opens the menu, Escape closes it.
    form->show();
    QTest::keyClick(form.get(), Qt::Key_Space);
    ASSERT_TRUE(form->popupMenu()->isVisible());
    QTest::keyClick(form->popupMenu(), Qt::Key_Escape);
    EXPECT_FALSE(form->popupMenu()->isVisible());
}

TEST_F(StartedForm, HelpThatCannotBeShownIsSaid) {
    const QString page = path("sorvel-help.html");
    TAboutForm::OpenHelpPage(page);
    EXPECT_TRUE(ui.openedDocuments.isEmpty());
    write("sorvel-help.html", "<html></html>");
    ui.openDocumentSucceeds = false;
    menuAction(*form, "H1")->trigger();
    EXPECT_EQ(ui.openedDocuments, QStringList{page});
    EXPECT_EQ(ui.messages,
              (std::vector<RecordedMessage>{
                  {QStringLiteral("ヘルプファイル\n") + page + QStringLiteral("\nが見つかりません。"), QStringLiteral("メッセージ"),
                   MsgButtons::Ok},
                  {QStringLiteral("ヘルプを表示できませんでした。\nブラウザーが見つかりません。\n") + page +
                       QStringLiteral(" を開いてください。"),
                   QStringLiteral("メッセージ"), MsgButtons::Ok}}));
}

TEST_F(MainFormTest, SyncNowSendsAndTakesNotesWithTheTrayTellingAndFailuresSaid) {
    CalDavStub stub;
    stub.addEvent("p1", "20261210", "movie");
    TMainForm::setTrayForTesting(true);
    const auto trayBack = qScopeGuard([] { TMainForm::setTrayForTesting(false); });
    TMainForm form;
    MemorySecretStore secrets;
    secrets.write(QStringLiteral("taro@") + stub.url(), QStringLiteral("secret"), {});
    form.setSecretStore(&secrets);
    form.FormCreate();
    ui.messages.clear();
    TSyncSet& set = form.sorvelSet().sync;
    set = TSyncSet{1, stub.url().toStdString(), "taro", 0};
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 12, 8, "", "meeting"}));

    // A window never painted has its tray icon all the same, a moment later.
    ASSERT_TRUE(QTest::qWaitFor([&form] { return form.trayIcon() != nullptr; }, 5000));
    menuAction(form, "SyncNow")->trigger();
    EXPECT_EQ(form.trayIcon()->toolTip(), QStringLiteral("Sorvel - 同期中"));
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.syncing(); }, 10000));
    EXPECT_EQ(form.trayIcon()->toolTip(), QStringLiteral("Sorvel"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(stub.summaries(), (std::vector<std::string>{"meeting", "movie"}));
    EXPECT_NE(read("Sorvel.dat").find("movie"), std::string::npos);
    EXPECT_EQ(read("Sorvel.dat.sync").substr(0, 13), "SorvelSync 1\n");

    stub.failStatus = 503;
    menuAction(form, "SyncNow")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.syncing(); }, 10000));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("サーバー 127.0.0.1 がエラーを返しました（503）"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ from Sorvel"));

    // A refused password is forgotten, so that the next sync asks for it.
    stub.failStatus = 0;
    stub.password = "changed";
    menuAction(form, "SyncNow")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.syncing(); }, 10000));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("認証に失敗しました"));
    std::optional<QString> held = QStringLiteral("still held");
    secrets.read(QStringLiteral("taro@") + stub.url(), [&](std::optional<QString> p) { held = p; });
    EXPECT_EQ(held, std::nullopt);
}

// With the almanac shown, a window over December 2025 (a 640 × 480 single month, grid rows of
// 53 pixels; Monday 22 December in column 1, grid row 6). The published values: 冬至 at
// 0:03 JST on 22 December 2025 and the new moon of 20 December 2025 (国立天文台 暦要項 令和7年),
// so 旧11月3日 and (11 + 3) mod 6 = 2, 先勝; JDN 2461032 gives 干支 index 1, 乙丑.
class AlmanacForm : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        write("sorvel.ini", "[SorvelSetting]\r\nVersion=1.2\r\nShowRokuyo=1\r\nShowOldCalendar=1\r\nShowSolarTerms=1\r\n");
        ASSERT_NO_FATAL_FAILURE(startShowing(form, 2025, 12));
        form->document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2025, 12, 22, "", sjis("忘年会")}));
    }
    void TearDown() override {
        form.reset();
        MainFormTest::TearDown();
    }
    static constexpr int kDayX = 160, kDayY = 6 * 53 + 20;
    std::unique_ptr<TMainForm> form;
};

TEST_F(AlmanacForm, TooltipEventShowsTheDaysFullInformation) {
    // A tool window is seldom the active one: Qt sends it the resting mouse's tooltip event
    // only with these two.
    EXPECT_TRUE(form->testAttribute(Qt::WA_AlwaysShowToolTips));
    EXPECT_TRUE(form->hasMouseTracking());
    form->show();
    QHelpEvent help(QEvent::ToolTip, QPoint(kDayX, kDayY), form->mapToGlobal(QPoint(kDayX, kDayY)));
    QApplication::sendEvent(form.get(), &help);
    const QStringList lines = QToolTip::text().split(QChar(u'\n'));
    ASSERT_GE(lines.size(), 7) << QToolTip::text().toStdString();
    EXPECT_EQ(lines.first(), QStringLiteral("2025年12月22日(月)"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("令和7年"))) << lines[1].toStdString();
    const QStringList rest = lines.mid(2);
    EXPECT_EQ(rest, (QStringList{QStringLiteral("旧暦 11月3日"), QStringLiteral("六曜 先勝"),
                                 QStringLiteral("冬至 12月22日 0:03"), QStringLiteral("干支 乙丑"),
                                 QStringLiteral("忘年会")}));
    QToolTip::hideText();
}

TEST_F(AlmanacForm, DayDialogShowsTheAlmanacLineAboveItsList) {
    QString line;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<TDayData*>(QApplication::activeModalWidget())) {
            if (auto* label = d->findChild<QLabel*>(QStringLiteral("AlmanacLine")))
                line = label->text().replace(QChar(u'\n'), QChar(u'\u3000'));
            d->close();
        }
    });
    poll.start(5);
    form->FormMouseUp(kDayX, kDayY);
    form->FormDblClick();
    EXPECT_TRUE(line.startsWith(QStringLiteral("2025年12月22日(月)　令和7年"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("　旧暦 11月3日　六曜 先勝　冬至 12月22日 0:03　干支 乙丑")))
        << line.toStdString();
}
