// Mouse editing of a page without a window: placing, selecting, moving and resizing with the
// rubber band kept on the page, the cursor by zone, and dropped notes as one text.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include "layout/layout_edit.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "data/note_drag.h"

namespace sorvel {
namespace {

QRect viewRect(const TSorvelObj& o) { return QRect(o.ViewLeft, o.ViewTop, o.ViewWidth, o.ViewHeight); }

class MouseEditing : public ::testing::Test {
protected:
    void SetUp() override {
        page.LayoutFor(476, 678);  // 4760 × 6779 at scale 0.1: the page is 476 × 677 on screen
        ASSERT_EQ(page.PageViewHeight, 677);
    }
    void drag(int x0, int y0, int x1, int y1) {
        edit.MouseDown(true, x0, y0);
        edit.MouseMove(x1, y1);
        edit.MouseUp();
    }
    ScriptedUi scripted;
    RecordingPrinter printer;
    TLayoutPaper page;
    LayoutEdit edit{page};
};

TEST_F(MouseEditing, PlacingByClickOrByDragInEitherDirection) {
    edit.ChooseKind(kObjCalendar);
    edit.MouseDown(true, 100, 120);
    edit.MouseUp();
    ASSERT_EQ(page.objects.size(), 1u);
    EXPECT_EQ(page.objects[0]->kind(), kObjCalendar);
    EXPECT_EQ(viewRect(*page.objects[0]), QRect(100, 120, 50, 50));
    EXPECT_EQ(page.objects[0]->IsSelected(), 0);
    EXPECT_EQ(page.Modified, 1);
    EXPECT_EQ(edit.Mode, kEditIdle);

    // Dragged up and to the left, and the other way: the same rectangle, at the bottom.
    edit.ChooseKind(kObjText);
    drag(300, 260, 200, 200);
    edit.ChooseKind(kObjPicture);
    drag(200, 200, 300, 260);
    ASSERT_EQ(page.objects.size(), 3u);
    EXPECT_EQ(page.objects[1]->kind(), kObjText);
    EXPECT_EQ(viewRect(*page.objects[1]), QRect(200, 200, 100, 60));
    EXPECT_EQ(viewRect(*page.objects[2]), QRect(200, 200, 100, 60));

    // A right click cancels a placing without making anything.
    edit.ChooseKind(kObjCalendar);
    edit.MouseDown(false, 400, 400);
    edit.MouseUp();
    EXPECT_EQ(edit.Mode, kEditIdle);
    edit.MouseDown(true, 400, 400);
    edit.MouseUp();
    EXPECT_EQ(page.objects.size(), 3u);
}

TEST_F(MouseEditing, ClickingSelectsAndRaisesMovingAndResizingFollowTheBand) {
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{100, 100, 200, 200}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{150, 150, 300, 300}, page.Scale));
    TSorvelObj* lower = page.objects[1].get();

    // A click on the lower object's own part brings it up, selected; without a move it stays.
    edit.MouseDown(true, 250, 250);
    EXPECT_EQ(edit.Mode, kEditMoving);
    EXPECT_EQ(page.objects[0].get(), lower);
    EXPECT_EQ(lower->IsSelected(), 1);
    EXPECT_EQ(page.objects[1]->IsSelected(), 0);
    page.ComposeView();
    edit.MouseMove(270, 260);
    // While dragging only the band follows: the page is not composed again.
    EXPECT_EQ(page.NeedsRender, 0);
    EXPECT_EQ(QRect(page.band.left, page.band.top, page.band.width, page.band.height), QRect(170, 160, 150, 150));
    EXPECT_EQ(viewRect(*lower), QRect(150, 150, 150, 150));
    edit.MouseUp();
    EXPECT_EQ(viewRect(*lower), QRect(170, 160, 150, 150));
    EXPECT_EQ(page.BandVisible, 0);

    // The right edge (at 320) dragged 168 to the left, past the left edge (at 170): the
    // rectangle comes out the right way round.
    edit.MouseDown(true, 318, 200);
    ASSERT_EQ(edit.Mode, kEditResizing);
    EXPECT_EQ(edit.EdgeCode, kHitRight);
    edit.MouseMove(150, 205);
    edit.MouseUp();
    EXPECT_EQ(viewRect(*lower), QRect(152, 160, 18, 150));

    // The mouse leaving the page during a move counts as its edge: 0 and 677.
    edit.MouseDown(true, 160, 200);
    edit.MouseMove(-500, 5000);
    edit.MouseUp();
    EXPECT_EQ(viewRect(*lower), QRect(152 - 160, 160 + 477, 18, 150));
    EXPECT_TRUE(scripted.messages.empty());

    // A click on empty page selects nothing.
    edit.MouseDown(true, 450, 20);
    edit.MouseUp();
    EXPECT_EQ(page.objects[0]->IsSelected(), 0);
    EXPECT_EQ(page.objects[1]->IsSelected(), 0);
}

TEST_F(MouseEditing, SpaceDuringAMoveLeavesTheMoveOnTheObjectDragged) {
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjText, ObjRect{300, 300, 400, 400}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{100, 100, 200, 200}, page.Scale));
    TSorvelObj* dragged = page.objects[1].get();  // raised by the click
    TSorvelObj* other = page.objects[0].get();
    const std::int32_t leftBefore = dragged->PageLeft;
    edit.MouseDown(true, 150, 150);
    ASSERT_EQ(edit.Mode, kEditMoving);
    edit.MouseMove(170, 160);
    page.CycleSelection();  // Space: the other object comes up
    edit.MouseUp();
    EXPECT_EQ(viewRect(*dragged), QRect(120, 110, 100, 100));
    EXPECT_EQ(viewRect(*other), QRect(300, 300, 100, 100));
    // Undo takes back the move, the Space and the raise, each in its turn.
    ASSERT_EQ(page.Undo(), 1);
    EXPECT_EQ(page.objects[0]->kind(), kObjText);
    EXPECT_EQ(page.objects[1]->PageLeft, leftBefore);
    ASSERT_EQ(page.Undo(), 1);
    EXPECT_EQ(page.objects[0]->kind(), kObjNone);
    ASSERT_EQ(page.Undo(), 1);
    EXPECT_EQ(page.objects[0]->kind(), kObjText);
    EXPECT_EQ(page.Undo(), 0);
}

TEST_F(MouseEditing, AnObjectResizedToNothingCanBeResizedBack) {
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjText, ObjRect{100, 100, 200, 200}, page.Scale));
    // The right edge (at 200) dragged onto the left one.
    drag(200, 150, 100, 150);
    const TSorvelObj& o = *page.objects[0];
    EXPECT_EQ(o.ViewWidth, 0);
    ASSERT_FALSE(scripted.messages.empty());
    EXPECT_EQ(scripted.messages[0].text, QStringLiteral("Fail CreateDIBSection"));
    EXPECT_EQ(edit.Mode, kEditIdle);
    // Its left band still takes the mouse: dragged 53 to the left, the object is 53 wide.
    drag(103, 150, 50, 150);
    EXPECT_EQ(viewRect(o), QRect(47, 100, 53, 100));
    EXPECT_EQ(o.image().width(), 53);
}

TEST_F(MouseEditing, CursorFollowsTheZoneOfTheUpperObject) {
    const std::pair<int, CursorShape> table[] = {
        {0, CursorShape::Arrow},     {1, CursorShape::SizeWE},   {2, CursorShape::SizeWE},
        {4, CursorShape::SizeNS},    {8, CursorShape::SizeNS},   {5, CursorShape::SizeNWSE},
        {10, CursorShape::SizeNWSE}, {6, CursorShape::SizeNESW}, {9, CursorShape::SizeNESW},
        {16, CursorShape::Arrow},    {17, CursorShape::Arrow},   {19, CursorShape::Arrow},
    };
    for (const auto& [zone, shape] : table) EXPECT_EQ(cursorForZone(zone), shape) << zone;

    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{100, 100, 200, 200}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{150, 50, 300, 300}, page.Scale));
    // Nothing selected: the arrow everywhere.
    EXPECT_EQ(edit.MouseMove(198, 150), CursorShape::Arrow);
    page.objects[0]->SetSelected(1);
    // On the upper object's right edge, which lies inside the lower one.
    EXPECT_EQ(edit.MouseMove(198, 150), CursorShape::SizeWE);
    EXPECT_EQ(edit.MouseMove(250, 298), CursorShape::SizeNS);
}

// The picture dialog answered with a file.
class ChoosePicture : public ObjectDialogs {
public:
    explicit ChoosePicture(std::string name) : name_(std::move(name)) { setObjectDialogs(this); }
    ~ChoosePicture() override { setObjectDialogs(nullptr); }
    int editCalendar(TCalenderSet&) override { return 0; }
    int editPicture(TSoPic& p) override {
        p.FileName = name_;
        return 1;
    }
    int editText(TSoTex&) override { return 0; }

private:
    std::string name_;
};

TEST_F(MouseEditing, UndoTakesBackEachEditInTurnAndTheModifiedFlagFollowsTheSave) {
    page.LayoutFor(1190, 1700);  // scale 0.25: a page unit is a quarter of a view pixel
    QTemporaryDir dir;
    const QString picture = dir.filePath("p.bmp");
    ASSERT_TRUE(QImage(8, 6, QImage::Format_RGB32).save(picture, "BMP"));
    ChoosePicture dialogs(cp932FromPath(picture));
    edit.ChooseKind(kObjPicture);
    drag(20, 20, 120, 100);                                    // placed
    drag(60, 60, 60, 60);                                      // selected: no edit
    ASSERT_EQ(page.EditSelected(), 1);                         // its picture chosen
    ASSERT_EQ(page.WriteLayoutFile(dir.filePath("a.sla")), 1);
    drag(60, 60, 80, 70);                                      // moved
    drag(140, 70, 160, 70);                                    // resized by its right edge
    ASSERT_TRUE(DropNotes(page, {{2001, 5, 3, "A", ""}}, 300, 300));
    page.CycleSelection();                                     // the text on top
    ASSERT_EQ(page.DeleteSelected(), 1);
    EXPECT_EQ(page.history.Steps(), 7u);
    // An object that only moved keeps its picture: the file is not read again.
    ASSERT_TRUE(QFile::remove(picture));

    auto top = [&] { return page.objects.at(0).get(); };
    ASSERT_EQ(page.Undo(), 1);  // the deletion
    EXPECT_EQ(top()->kind(), kObjText);
    EXPECT_EQ(page.objects.size(), 2u);
    ASSERT_EQ(page.Undo(), 1);  // the stack order
    EXPECT_EQ(top()->kind(), kObjPicture);
    ASSERT_EQ(page.Undo(), 1);  // the drop
    EXPECT_EQ(page.objects.size(), 1u);
    ASSERT_EQ(page.Undo(), 1);  // the resize
    EXPECT_EQ(viewRect(*top()), QRect(40, 30, 100, 80));
    EXPECT_EQ(page.Modified, 1);
    ASSERT_EQ(page.Undo(), 1);  // the move: back to the page as saved
    EXPECT_EQ(viewRect(*top()), QRect(20, 20, 100, 80));
    EXPECT_EQ(std::make_pair(top()->PageLeft, top()->PageWidth), std::make_pair(80, 400));
    EXPECT_EQ(page.Modified, 0);
    EXPECT_EQ(top()->picture()->PicWidth, 8);
    EXPECT_TRUE(scripted.messages.empty());
    ASSERT_EQ(page.Undo(), 1);  // the picture chosen
    EXPECT_TRUE(top()->picture()->FileName.empty());
    EXPECT_EQ(page.Modified, 1);
    ASSERT_EQ(page.Undo(), 1);  // the placing
    EXPECT_TRUE(page.objects.empty());
    EXPECT_EQ(page.Modified, 1);
    EXPECT_EQ(page.Undo(), 0);
    EXPECT_EQ(page.Scale, 0.25f);
}

TEST(DroppedNotes, TwoNotesMakeOneTwoLineText) {
    ScriptedUi scripted;
    RecordingPrinter printer;
    TLayoutPaper page;
    page.LayoutFor(476, 678);
    const std::vector<DraggedNote> notes{{2001, 5, 3, "A", "memo"}, {2001, 5, 10, "B", ""}};
    ASSERT_TRUE(DropNotes(page, notes, 10, 20));
    ASSERT_EQ(page.objects.size(), 1u);
    const TSorvelObj& o = *page.objects[0];
    EXPECT_EQ(o.kind(), kObjText);
    // Half the page's width wide, a quarter of it high.
    EXPECT_EQ(viewRect(o), QRect(10, 20, 238, 119));
    // 年 94 4E, 月 8C 8E, 日 93 FA
    EXPECT_EQ(o.text()->Text, "2001\x94\x4E" "5\x8C\x8E" "3\x93\xFA" "A\r\n2001\x94\x4E" "5\x8C\x8E" "10\x93\xFA" "B");
    EXPECT_EQ(page.Modified, 1);
    page.ComposeView();
    EXPECT_EQ(o.text()->LineCount, 2);
    EXPECT_FALSE(DropNotes(page, {}, 0, 0));
}

}  // namespace
}  // namespace sorvel
