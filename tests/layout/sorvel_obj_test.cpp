// Layout objects: geometry, hit zones, the cached rendering and what each kind draws.
#include <gtest/gtest.h>

#include "layout/sorvel_obj.h"
#include "layout_test_support.h"
#include "platform/ui.h"
#include "render/colour_table.h"
#include "render/sorvel_draw.h"

namespace sorvel {
namespace {

using namespace layout_test;

TEST(LayoutObject, WithoutARectangleIsTenByTenAtTheOrigin) {
    ScriptedUi scripted;
    TSorvelObj o(kObjNone, std::nullopt, 0.5f);
    EXPECT_EQ(QRect(o.ViewLeft, o.ViewTop, o.ViewWidth, o.ViewHeight), QRect(0, 0, 10, 10));
    EXPECT_EQ(o.PageWidth, 20);  // 10 ÷ 0.5
    EXPECT_EQ(o.mask().height(), 10);
}

TEST(LayoutObject, HitZones) {
    TSorvelObj o(kObjNone, ObjRect{100, 100, 150, 140}, 1.0f);
    struct Case { int x, y, zone; };
    const Case cases[] = {
        {105, 120, 17},  // exactly 5 in from the left edge
        {100, 100, 5},   {150, 100, 6}, {100, 140, 9}, {150, 140, 10},  // corners
        {120, 120, 16},  {120, 102, 4}, {148, 120, 2}, {120, 139, 8},
        {99, 120, 0},    {151, 120, 0}, {120, 99, 0},  {120, 141, 0},  // one pixel outside
    };
    for (const Case& c : cases) EXPECT_EQ(o.HitZone(c.x, c.y), c.zone) << c.x << "," << c.y;

    // Narrow objects: the left and right bands overlap.
    TSorvelObj eight(kObjNone, ObjRect{0, 0, 8, 40}, 1.0f);
    EXPECT_EQ(eight.HitZone(4, 20), 3);
    TSorvelObj ten(kObjNone, ObjRect{0, 0, 10, 40}, 1.0f);
    EXPECT_EQ(ten.HitZone(5, 20), 19);
}

TEST(LayoutObject, EmptyContentDrawsTheWhiteBoxWithTheDiagonal) {
    ScriptedUi scripted;
    // kind 0: white with the diagonal, no outline; an empty picture or text adds the outline.
    struct Case { int kind; bool outline; };
    for (const Case c : {Case{kObjNone, false}, Case{kObjPicture, true}, Case{kObjText, true}}) {
        Bitmap page = filled(100, 80, kGrey);
        TSorvelObj o(c.kind, ObjRect{10, 20, 50, 50}, 1.0f);  // 40 × 30
        ASSERT_EQ(o.PaintTo(page), 1);
        EXPECT_EQ(page.pixel(10, 20), kBlack) << c.kind;
        EXPECT_EQ(page.pixel(10 + 20, 20 + 15), kBlack) << c.kind;  // on the diagonal
        EXPECT_EQ(page.pixel(10 + 30, 20 + 5), kWhite) << c.kind;
        EXPECT_EQ(page.pixel(10 + 39, 20 + 15), c.outline ? kBlack : kWhite) << c.kind;
        EXPECT_EQ(page.pixel(9, 35), kGrey) << c.kind;
        EXPECT_EQ(page.pixel(50, 35), kGrey) << c.kind;
    }
    EXPECT_TRUE(scripted.messages.empty());
}

TEST(LayoutObject, MovingKeepsTheRenderingAndResizingRendersAgain) {
    ScriptedUi scripted;
    int renders = 0;
    TSorvelDraw::setRenderHookForTesting([&] { ++renders; });
    TSorvelObj o(kObjCalendar, ObjRect{0, 0, 160, 120}, 0.5f);
    Bitmap page = filled(400, 300, kWhite);
    o.PaintTo(page);
    EXPECT_EQ(renders, 1);
    const uchar* cached = o.image().image().constBits();

    o.MoveTo(100, 50, 0.5f);
    EXPECT_EQ(o.PageLeft, 200);
    EXPECT_EQ(o.NeedsRender, 0);
    o.PaintTo(page);
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(o.image().image().constBits(), cached);

    ASSERT_EQ(o.SetViewBounds(ObjRect{100, 50, 300, 150}), 1);
    EXPECT_EQ(o.PageHeight, 200);
    o.PaintTo(page);
    EXPECT_EQ(renders, 2);
    EXPECT_EQ(o.image().width(), 200);
    TSorvelDraw::setRenderHookForTesting(nullptr);
}

TEST(LayoutObject, ResizeOntoTheOppositeEdgeLeavesAUsableObject) {
    ScriptedUi scripted;
    TSorvelObj o(kObjText, ObjRect{20, 20, 60, 60}, 1.0f);
    o.SetViewBounds(ObjRect{20, 20, 20, 60});  // no width
    EXPECT_EQ(scripted.messages.size(), 2u);
    EXPECT_EQ(scripted.messages[0], (RecordedMessage{"Fail CreateDIBSection", "Error from SorvelObj", MsgButtons::Ok}));
    Bitmap page = filled(100, 100, kGrey);
    o.SetSelected(1);
    EXPECT_EQ(o.PaintTo(page), 1);  // only the frame: no "False DrawObj BitBlt"
    EXPECT_EQ(scripted.messages.size(), 2u);
    EXPECT_NE(o.HitZone(20, 40), 0);
    // Dragged past the opposite edge, the rectangle comes out the right way round.
    o.SetViewBounds(ObjRect{60, 70, 30, 40});
    EXPECT_EQ(QRect(o.ViewLeft, o.ViewTop, o.ViewWidth, o.ViewHeight), QRect(30, 40, 30, 30));
    EXPECT_EQ(o.image().width(), 30);
}

TEST(LayoutObject, CalendarMarksNoHolidaysOrNotes) {
    ScriptedUi scripted;
    TSorvelObj o(kObjCalendar, ObjRect{0, 0, 320, 240}, 1.0f);
    TCalenderSet& s = o.calendar()->settings();
    s.DispYear = 2001;
    s.DispMonth = 1;  // 1 January 2001 is a Monday and New Year's Day
    s.HolidayColoring = s.MemoColoring = 1;
    Bitmap page = filled(320, 240, kWhite);
    o.PaintTo(page);
    EXPECT_EQ(o.calendar()->dayColours()[0], colourRgb(s.Cl[kSlotMonday]));
    EXPECT_EQ(s.NoDrawButton, 1);
}

}  // namespace
}  // namespace sorvel
