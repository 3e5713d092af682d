// The layout window's wiring: its menus and handlers, Space, the drop of schedule notes and the
// close query.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest/QTest>

#include "layout/layout_form.h"
#include "layout/so_tex.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "data/note_drag.h"
#include "schedule/schedule_rows_model.h"

namespace sorvel {
namespace {

class LayoutWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form.ApplyGeometry(TLayoutSet{0, 0, 700, 500, 1});
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void trigger(const char* name) { form.findChild<QAction*>(QString::fromLatin1(name))->trigger(); }
    ScriptedUi scripted;
    RecordingPrinter printer;
    TLayoutForm form{nullptr};
};

TEST_F(LayoutWindow, MenusPlaceSelectCycleAndDelete) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("レイアウトウィンドウ"));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("Print1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    // Delete with nothing selected: the question first, then that nothing is selected.
    scripted.answers = {MsgAnswer::Yes};
    trigger("Delete1");
    const QString caption = QStringLiteral("メッセージ");
    EXPECT_EQ(scripted.messages,
              (std::vector<RecordedMessage>{
                  {QStringLiteral("選択している項目を削除します。\nよろしいですか？"), caption, MsgButtons::YesNo},
                  {QStringLiteral("削除する項目が選ばれていません。"), caption, MsgButtons::Ok}}));
    scripted.messages.clear();
    trigger("Setting");
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{{QStringLiteral("設定する項目が選ばれていません。"), caption,
                                                                MsgButtons::Ok}}));

    // Two clicks with "カレンダー(&C)" and "テキスト(&T)": two 50 × 50 objects.
    trigger("Calender1");
    form.FormMouseDown(Qt::LeftButton, 20, 20);
    form.FormMouseUp();
    trigger("Text1");
    form.FormMouseDown(Qt::LeftButton, 40, 40);
    form.FormMouseUp();
    TLayoutPaper& page = form.page();
    ASSERT_EQ(page.objects.size(), 2u);
    EXPECT_EQ(page.objects[1]->kind(), kObjText);
    EXPECT_EQ(std::make_pair(page.objects[1]->ViewWidth, page.objects[1]->ViewHeight), std::make_pair(50, 50));

    // A click on the lower one's own corner brings it up; Space sends it down again.
    form.FormMouseDown(Qt::LeftButton, 80, 80);
    form.FormMouseUp();
    EXPECT_EQ(page.objects[0]->kind(), kObjText);
    QTest::keyClick(form.pageView(), Qt::Key_Space);
    EXPECT_EQ(page.objects[0]->kind(), kObjCalendar);
    EXPECT_EQ(page.objects[0]->IsSelected(), 1);
    EXPECT_EQ(page.objects[1]->IsSelected(), 0);

    scripted.messages.clear();
    scripted.answers = {MsgAnswer::Yes};
    trigger("Delete2");
    ASSERT_EQ(page.objects.size(), 1u);
    EXPECT_EQ(page.objects[0]->kind(), kObjText);
    EXPECT_EQ(scripted.messages,
              (std::vector<RecordedMessage>{
                  {QStringLiteral("選択している項目を削除します。\nよろしいですか？"), caption, MsgButtons::YesNo}}));
}

TEST_F(LayoutWindow, UndoAndRedoLeadTheEditMenuAndTheirKeysTakeBackAndRedoThePlacing) {
    QAction* undo = form.findChild<QMenu*>(QStringLiteral("Edit1"))->actions().at(0);
    QAction* redo = form.findChild<QMenu*>(QStringLiteral("Edit1"))->actions().at(1);
    EXPECT_EQ(undo->objectName(), QStringLiteral("Undo1"));
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(redo->text(), QStringLiteral("やり直し(&R)"));
    EXPECT_EQ(redo->shortcuts(), QKeySequence::listFromString(QStringLiteral("Ctrl+Shift+Z; Ctrl+Y")));
    EXPECT_FALSE(undo->isEnabled());
    trigger("Calender1");
    form.FormMouseDown(Qt::LeftButton, 20, 20);
    form.FormMouseUp();
    EXPECT_TRUE(undo->isEnabled());
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.pageView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form.page().objects.empty());
    EXPECT_EQ(form.page().Modified, 0);
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClick(form.pageView(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form.page().objects.size(), 1u);
}

TEST_F(LayoutWindow, BesideThePageIsTheDesktopColour) {
    const QImage view = form.pageView()->grab().toImage();
    EXPECT_EQ(view.pixel(form.page().PageViewWidth - 10, 10), 0xFFFFFFFFu);  // the paper
    EXPECT_EQ(view.pixel(view.width() - 1, view.height() - 1), 0xFF3A6EA5u);
}

TEST_F(LayoutWindow, TakesDroppedNotesAndNothingElse) {
    const TDateMemo a{2001, 5, 3, "", "A"}, b{2001, 5, 10, "", "B"};
    ScheduleRowsModel rows;
    rows.setNotes({const_cast<TDateMemo*>(&a), const_cast<TDateMemo*>(&b)});
    std::unique_ptr<QMimeData> notes(rows.mimeData({rows.index(0, 0), rows.index(1, 0)}));
    QMimeData plain;
    plain.setText(QStringLiteral("2001年5月3日A"));
    for (QMimeData* mime : {&plain, notes.get()}) {
        QDragEnterEvent enter(QPoint(30, 40), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.pageView(), &enter);
        EXPECT_EQ(enter.isAccepted(), mime == notes.get());
        QDropEvent drop(QPointF(30, 40), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.pageView(), &drop);
    }
    ASSERT_EQ(form.page().objects.size(), 1u);
    const TSorvelObj& o = *form.page().objects[0];
    EXPECT_EQ(std::make_pair(o.ViewLeft, o.ViewTop), std::make_pair(30, 40));
    EXPECT_EQ(TSoTex::SplitLines(o.text()->Text).size(), 2u);
}

TEST_F(LayoutWindow, CloseQueryCancelKeepsTheWindowAndItsPage) {
    trigger("Calender1");
    form.FormMouseDown(Qt::LeftButton, 20, 20);
    form.FormMouseUp();
    scripted.answers = {MsgAnswer::Cancel};
    trigger("Close1");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.page().objects.size(), 1u);
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{{QStringLiteral("レイアウトは変更されています。\n保存しますか？"),
                                                                QStringLiteral("メッセージ"), MsgButtons::YesNoCancel}}));
    TLayoutSet set;
    scripted.answers = {MsgAnswer::No};
    EXPECT_EQ(form.StoreGeometryAndAskToSave(set), 1);
    EXPECT_EQ(std::make_pair(set.Width, set.Height), std::make_pair(700, 500));
    EXPECT_TRUE(form.page().objects.empty());
}

}  // namespace
}  // namespace sorvel
