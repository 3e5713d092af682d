// Picture and text contents: lines and their height, overlay and opaque texts on a page,
// pictures and the stretch fallback, and the text block.
#include <gtest/gtest.h>

#include <tuple>

#include <QImage>
#include <QTemporaryDir>

#include "layout/layout_paper.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "layout_test_support.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "render/sorvel_draw.h"

namespace sorvel {
namespace {

using namespace layout_test;

TEST(TextContent, LinesShareTheHeightEmptyOnesIncluded) {
    TSoTex t;
    t.Text = "A\r\n\r\nB";
    t.SetTargetSize(200, 100);
    EXPECT_EQ(t.LineCount, 3);
    EXPECT_EQ(t.LineHeight, 33);
    ASSERT_EQ(t.PrepareText(), 1);
    EXPECT_EQ(t.ImageHeight, 99);

    t.Text = "A\r\n";  // a final CR LF gives an empty last line
    t.SetTargetSize(200, 100);
    EXPECT_EQ(t.LineCount, 2);
    EXPECT_EQ(t.LineHeight, 50);

    // A long line at printer resolution is drawn smaller than the line height and stretched.
    t.Text = std::string(60, 'W');
    t.SetTargetSize(4000, 7000);
    ASSERT_EQ(t.PrepareText(), 1);
    EXPECT_FALSE(t.textImage().isNull());
    EXPECT_LE(std::int64_t{t.ImageWidth} * t.ImageHeight, 64ll * 1024 * 1024);
}

// A calendar under a text that covers its middle; the calendar's navy background shows where
// the text lets it through (navy never comes out of black text smoothed on white).
int navyUnderText(int overlay) {
    RecordingPrinter printer;
    TLayoutPaper page;
    page.LayoutFor(page.PrintableWidth / 10, page.PrintableHeight / 10);  // scale 0.1
    auto text = std::make_unique<TSorvelObj>(kObjText, ObjRect{40, 40, 240, 140}, page.Scale);
    text->text()->Text = "Ab\r\nCd";
    text->text()->Overlay = overlay;
    page.objects.push_back(std::move(text));
    auto calendar = std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{0, 0, 300, 300}, page.Scale);
    calendar->calendar()->settings().Cl[kSlotBackground] = 9;  // 紺
    page.objects.push_back(std::move(calendar));
    page.ComposeView();
    const Bitmap& v = page.viewBuffer();
    const QRect textArea(40, 40, 200, 100);
    if (overlay == 0) {
        EXPECT_GT(count(v, textArea, kWhite), 10000);
    }
    return count(v, textArea, 0x000080);
}

TEST(TextContent, OverlayLetsTheCalendarShowAndOpaqueHidesIt) {
    ScriptedUi scripted;
    EXPECT_GT(navyUnderText(1), 10000);  // most of the 200 × 100 box
    EXPECT_EQ(navyUnderText(0), 0);
}

TEST(PictureContent, LoadsStretchesAndFallsBackThroughHalfSize) {
    ScriptedUi scripted;
    QTemporaryDir dir;
    QImage red(8, 4, QImage::Format_RGB888);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(dir.filePath("red.bmp"), "BMP"));
    TSoPic p;
    p.FileName = cp932FromPath(dir.filePath("red.bmp"));
    ASSERT_EQ(p.LoadPicture(), 1);
    EXPECT_EQ(std::make_pair(p.PicWidth, p.PicHeight), std::make_pair(8, 4));
    p.SetTargetSize(40, 30);
    for (int failures : {0, 1}) {
        Canvas::failStretchesForTesting(failures);
        Bitmap target = filled(50, 40, kGrey);
        p.PaintPicture(target);
        EXPECT_EQ(count(target, QRect(0, 0, 40, 30), 0xFF0000), 40 * 30) << failures;
        EXPECT_EQ(target.pixel(45, 35), kGrey);
    }
    Canvas::failStretchesForTesting(0);
    EXPECT_TRUE(scripted.messages.empty());

    p.FileName = cp932FromPath(dir.filePath("missing.jpg"));
    EXPECT_EQ(p.LoadPicture(), 0);
    EXPECT_TRUE(p.FileName.empty());
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{{"画像ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。",
                                                                 "ﾒｯｾｰｼﾞ", MsgButtons::Ok}}));
}

TEST(ContentBlocks, TextBlockReadsBackAndKeepsTheLowEightBitsOfTheCharacterSet) {
    const std::string block = "<+M09>\r\n" + field(1, "a\x1a" "b\r\n" + sjis("予定")) + field(2, sjis("ＭＳ 明朝")) +
                              field(3, "300") + field(4, "14") + field(5, "0") + "<-M09>\r\n";
    TagStream in(block);
    int n = 0;
    std::string letter;
    ASSERT_EQ(ReadTag(in, n, letter, kTagOpen), 1);
    TSoTex t;
    ASSERT_EQ(t.LoadBlock(in), 1);
    EXPECT_EQ(t.Text, "a<b\r\n" + sjis("予定"));
    EXPECT_EQ(t.FontName, sjis("ＭＳ 明朝"));
    EXPECT_EQ(std::make_tuple(t.FontCharSet, t.FontSize, t.Overlay), std::make_tuple(44, 14, 0));  // 300 = 0x12C
    std::string out;
    t.SaveBlock(out);
    EXPECT_EQ(out, block.substr(0, block.find("300")) + "44" + block.substr(block.find("300") + 3));
}

}  // namespace
}  // namespace sorvel
