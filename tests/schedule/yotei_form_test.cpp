// The schedule list window as the calendar window opens it: its lifecycle and geometry, refilling
// by node, re-edit, moving notes by a drop, and the data file written after each change.
#include "schedule/yotei_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

#include "app/main_form.h"
#include "data/data_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"
#include "schedule/schedule_rows_model.h"
#include "schedule/schedule_tree_model.h"
#include "settings/calender_set.h"

using namespace sorvel;

namespace {

class YoteiFormTest : public sorvel::testing::ProgramDirTest {
protected:
    void SetUp() override {
        ProgramDirTest::SetUp();
        TCalenderSet cs;
        write("SorvelSt.dat", buildStateFile(cs));
        // Captions name the dates, in the order the list shows them.
        TDateMemoList memos;
        for (auto [y, m, d, caption] : {std::tuple{2001, 12, 24, "c"}, {1999, 7, 7, "a"}, {2001, 5, 3, "b"}})
            memos.push_back(std::make_unique<TDateMemo>(TDateMemo{y, m, d, "text", caption}));
        THolidayList rules;
        write("Sorvel.dat", buildDataFile(memos, rules));
    }
    // The notes of the data file on disk in date order: "a1999/7/7 b2001/5/3".
    std::string notesOnDisk() const {
        TDateMemoList memos;
        THolidayList rules;
        parseDataFile(read("Sorvel.dat"), rules, memos);
        QStringList out;
        for (const auto& m : memos) out << QStringLiteral("%1%2/%3/%4").arg(toQString(m->caption)).arg(m->year).arg(m->month).arg(m->day);
        return out.join(' ').toStdString();
    }
    std::unique_ptr<TMainForm> start() {
        auto form = std::make_unique<TMainForm>();
        form->FormCreate();
        return form;
    }
    static std::string shownCaptions(TYoteiForm& w) {
        std::string out;
        for (const TYoteiData& r : w.rowsModel()->rows()) out += r.caption;
        return out;
    }
    static void selectNode(TYoteiForm& w, const QModelIndex& node) {
        QSignalSpy refilled(w.rowsModel(), &QAbstractItemModel::modelReset);
        w.dateTree()->setCurrentIndex(node);
        EXPECT_TRUE(refilled.wait(5000));  // the change is acted on 5 ms later
    }
    static void selectRows(TYoteiForm& w, std::initializer_list<int> rows) {
        w.yoteiList()->clearSelection();
        for (int r : rows)
            w.yoteiList()->selectionModel()->select(w.rowsModel()->index(r, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    ScriptedUi ui;
};

QAction* action(QMenu* menu, const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); }

// Window, flag and check mark agree that the list is closed.
bool listClosed(TMainForm& form) {
    return !form.yoteiForm() && form.sorvelSet().yotei.YoDisp == 0 && !action(form.popupMenu(), "Yotei")->isChecked();
}

}  // namespace

TEST_F(YoteiFormTest, OpensAtStartWithDefaultGeometryClosesFromTheMenuAndKeepsItsStateAcrossARestart) {
    write("sorvel.ini", "[SorvelSetting]\r\nVersion=1.2\r\n[YoteiSet]\r\nYoteiX=40\r\nYoteiY=30\r\nYoteiHeight=2000000000\r\n");
    auto form = start();
    TYoteiForm* w = form->yoteiForm();
    ASSERT_TRUE(w && w->isVisible() && action(form->popupMenu(), "Yotei")->isChecked());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("予定一覧"));
    // Width missing: 350; a height of two billion: a window system's limit.
    EXPECT_EQ(QSize(w->width(), w->height()), QSize(350, 16384));
    EXPECT_EQ(w->splitter()->sizes().value(0), 150);
    // The tree: 1999 to 2001 + 3, the root selected and all notes listed in date order.
    EXPECT_EQ(w->treeModel()->years(), (YearRange{1999, 2004}));
    EXPECT_EQ(w->dateTree()->currentIndex(), w->treeModel()->rootIndex());
    EXPECT_TRUE(w->dateTree()->isExpanded(w->treeModel()->yearIndex(2004)));
    EXPECT_EQ(shownCaptions(*w), "abc");

    // Resized, then closed at "閉じる(&X)" while open: the next start opens it where it was.
    w->resize(420, 260);
    form->Close1Click();
    form.reset();
    for (const char* key : {"YoteiWidth=420\r\n", "YoteiHeight=260\r\n", "YoDisp=1\r\n"})
        EXPECT_NE(read("sorvel.ini").find(key), std::string::npos) << key;
    form = start();
    ASSERT_NE(form->yoteiForm(), nullptr);
    EXPECT_EQ(form->yoteiForm()->size(), QSize(420, 260));

    // The menu item closes it and opens it again.
    action(form->popupMenu(), "Yotei")->trigger();
    EXPECT_TRUE(listClosed(*form));
    action(form->popupMenu(), "Yotei")->trigger();
    ASSERT_NE(form->yoteiForm(), nullptr);

    // Closed with its own close box: the next look at the menu counts it as closed.
    form->yoteiForm()->close();
    emit form->popupMenu()->aboutToShow();
    EXPECT_TRUE(listClosed(*form));
}

TEST_F(YoteiFormTest, NodesRefillTheRowsAndEnterReEditsTheFirstSelectedRow) {
    auto form = start();
    TYoteiForm& w = *form->yoteiForm();
    selectNode(w, w.treeModel()->yearIndex(2001));
    EXPECT_EQ(shownCaptions(w), "bc");

    std::string edited;
    w.setMemoEditor([&](QWidget*, TDateMemo& m) { edited += m.caption; m.caption = "e"; return 1; });
    QTest::keyClick(w.yoteiList(), Qt::Key_Return);
    EXPECT_TRUE(edited.empty());  // no row selected
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 b2001/5/3 c2001/12/24");
    selectRows(w, {1, 0});
    QTest::keyClick(w.yoteiList(), Qt::Key_Return);
    EXPECT_EQ(edited, "b");
    // The row shows the edit and the data file holds it at once.
    EXPECT_EQ(shownCaptions(w), "ec");
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 e2001/5/3 c2001/12/24");

    // The list is printed in the order it shows.
    std::string printed;
    w.setListPrinter([&](QWidget*, const std::vector<const TDateMemo*>& notes) {
        for (const TDateMemo* m : notes) printed += m->caption;
        return 1;
    });
    action(w.popupMenu(), "P1")->trigger();
    EXPECT_EQ(printed, "ec");
}

TEST_F(YoteiFormTest, DroppedNotesMoveAfterTheQuestionAndReachTheDataFileAtOnce) {
    auto form = start();
    TYoteiForm& w = *form->yoteiForm();
    selectRows(w, {1, 2});  // b 2001/5/3 and c 2001/12/24

    ui.answers = {MsgAnswer::Cancel};
    w.DateTreeDragDrop(w.treeModel()->yearIndex(2002));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("ドラッグした予定を2002年に変更します。"),
                                               QStringLiteral("メッセージ"), MsgButtons::OkCancel}));
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 b2001/5/3 c2001/12/24");

    w.DateTreeDragDrop(w.treeModel()->yearIndex(2002));
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 b2002/5/3 c2002/12/24");

    // Onto a month node of the year shown: the month too; the rows follow.
    selectNode(w, w.treeModel()->yearIndex(2002));
    selectRows(w, {0, 1});
    w.DateTreeDragDrop(w.treeModel()->monthIndex(2002, 4));
    EXPECT_EQ(ui.messages.at(2).text, QStringLiteral("ドラッグした予定を2002年4月に変更します。"));
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 b2002/4/3 c2002/4/24");
    EXPECT_EQ(shownCaptions(w), "bc");

    // The root takes nothing and asks nothing; nor does text dropped from another program.
    ui.messages.clear();
    w.DateTreeDragDrop(w.treeModel()->rootIndex());
    QMimeData text;
    text.setText(QStringLiteral("2002"));
    const QPoint at = w.dateTree()->visualRect(w.treeModel()->yearIndex(1999)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.dateTree()->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.dateTree()->viewport(), &drop);
    QTest::qWait(10);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(YoteiFormTest, NotesDeletedOrReplacedElsewhereLeaveNoRowBehind) {
    auto form = start();
    TYoteiForm& w = *form->yoteiForm();
    // The day dialog deletes the note of 3 May 2001 while the list shows it.
    form->setDayDialogRunner([](TMainForm& f, const ClickedDate&) {
        auto& memos = f.document().memos();
        memos.erase(std::find_if(memos.begin(), memos.end(), [](const auto& m) { return m->caption == "b"; }));
        return 1;
    });
    form->FormMouseUp(40 + 40, 7 * (480 / 9) + 20);  // a day of the shown month
    form->FormDblClick();
    EXPECT_EQ(shownCaptions(w), "ac");

    // Another data file is loaded: the tree and the rows are its own.
    TDateMemoList other;
    other.push_back(std::make_unique<TDateMemo>(TDateMemo{1850, 1, 2, "", "z"}));
    THolidayList rules;
    write("other.dat", buildDataFile(other, rules));
    form->sorvelSet().MemoFileName = cp932FromPath(dir.filePath(QStringLiteral("other.dat")));
    form->LoadDataFile();
    EXPECT_EQ(w.treeModel()->years(), (YearRange{1850, 1853}));
    EXPECT_EQ(shownCaptions(w), "z");
    EXPECT_EQ(w.rowsModel()->row(0).entry, form->document().memos().front().get());
}

namespace {

// Pixels of the calendar window in the note-day colour (紫, the default) inside a box.
int noteDayPixels(TMainForm& form, const QRect& box) {
    const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) n += (shot.pixel(x, y) & 0xFFFFFF) == 0x800080;
    return n;
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

// September 2001 is shown (today the 23rd) and holds no note. Cancel on a month node moves
// nothing and writes nothing; Ok moves the note to Monday 3 September (column 1, week row 2 of
// the 640 × 480 month: x 120–199, y 212–264) and the calendar shows the day at once.
TEST_F(YoteiFormTest, CancelOnAMonthNodeKeepsTheNotesAndAConfirmedMoveRedrawsTheCalendar) {
    auto form = start();
    TYoteiForm& w = *form->yoteiForm();
    const QRect monday3(120, 212, 80, 53);
    EXPECT_EQ(noteDayPixels(*form, QRect(0, 0, 640, 480)), 0);
    const std::string before = read("Sorvel.dat");
    const ino_t file = inodeOf(dir.filePath("Sorvel.dat"));
    selectRows(w, {1});  // b 2001/5/3

    ui.answers = {MsgAnswer::Cancel};
    w.DateTreeDragDrop(w.treeModel()->monthIndex(2001, 9));
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{{QStringLiteral("ドラッグした予定を2001年9月に変更します。"),
                                                          QStringLiteral("メッセージ"), MsgButtons::OkCancel}}));
    const auto& memos = form->document().memos();
    const auto b = std::find_if(memos.begin(), memos.end(), [](const auto& m) { return m && m->caption == "b"; });
    ASSERT_NE(b, memos.end());
    EXPECT_EQ((*b)->month, 5);
    EXPECT_EQ(shownCaptions(w), "abc");
    EXPECT_EQ(read("Sorvel.dat"), before);
    EXPECT_EQ(inodeOf(dir.filePath("Sorvel.dat")), file);  // not even replaced by the same bytes
    EXPECT_EQ(noteDayPixels(*form, QRect(0, 0, 640, 480)), 0);

    w.DateTreeDragDrop(w.treeModel()->monthIndex(2001, 9));
    EXPECT_EQ(notesOnDisk(), "a1999/7/7 b2001/9/3 c2001/12/24");
    EXPECT_GT(noteDayPixels(*form, monday3), 0);
    EXPECT_EQ(noteDayPixels(*form, QRect(0, 0, 640, 480)), noteDayPixels(*form, monday3));
}
