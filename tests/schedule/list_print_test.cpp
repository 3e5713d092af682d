#include <gtest/gtest.h>

#include <QImage>

#include "data/date_data.h"
#include "platform/printing.h"
#include "platform/ui.h"
#include "schedule/list_pagination.h"
#include "schedule/list_print.h"

using namespace sorvel;

namespace {

// ---- the table without a printer ----------------------------------------------------------

TEST(ListLayout, CellsWrapByWholeCharactersAndBreakAtCrLf) {
    // One byte is 10 wide, a double-byte character 20; lines 30 high.
    auto advance = [](std::string_view ch) { return ch.size() == 2 ? 20 : 10; };
    struct Case {
        const char* name;
        std::string text;
        int left, limit;
        std::vector<PlacedChar> chars;
        int bottom;
    };
    const Case cases[] = {
        {"one line", "abc", 5, 100, {{5, 0, "a"}, {15, 0, "b"}, {25, 0, "c"}}, 30},
        {"exact fit stays", "aaa", 0, 30, {{0, 0, "a"}, {10, 0, "a"}, {20, 0, "a"}}, 30},
        {"wrap", "aaaa", 0, 30, {{0, 0, "a"}, {10, 0, "a"}, {20, 0, "a"}, {0, 31, "a"}}, 61},
        {"double byte never split", "a\x82\xA0", 0, 25, {{0, 0, "a"}, {0, 31, "\x82\xA0"}}, 61},
        {"trail byte 0x5C is no break", "\x95\x5C" "b", 0, 100, {{0, 0, "\x95\x5C"}, {20, 0, "b"}}, 30},
        {"CR LF", "a\r\nb\r\n\r\nc", 7, 100, {{7, 0, "a"}, {7, 31, "b"}, {7, 93, "c"}}, 123},
        {"lone lead byte at the end", "a\x82", 0, 100, {{0, 0, "a"}, {10, 0, "\x82"}}, 30},
        {"empty", "", 0, 100, {}, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CellLayout cell = layoutCell(c.text, c.left, c.limit, 30, advance);
        ASSERT_EQ(cell.chars.size(), c.chars.size());
        for (std::size_t i = 0; i < c.chars.size(); ++i) {
            EXPECT_EQ(cell.chars[i].x, c.chars[i].x) << i;
            EXPECT_EQ(cell.chars[i].y, c.chars[i].y) << i;
            EXPECT_EQ(cell.chars[i].bytes, c.chars[i].bytes) << i;
        }
        EXPECT_EQ(cell.bottom, c.bottom);
    }
}

TEST(ListLayout, PageSizeAndColumns) {
    EXPECT_EQ(wholeInchPixels(203, 160), 7 * 160);
    EXPECT_EQ(wholeInchPixels(297, 300), 11 * 300);
    EXPECT_EQ(wholeInchPixels(25, 600), 0);
    const ListColumns c = listColumns(1120);
    EXPECT_EQ(c.date, 179);
    EXPECT_EQ(c.caption, 470);
    EXPECT_EQ(c.text, 470);
}

TEST(ListLayout, RowsGoUnderTheHeaderAndBreakWhenTheyDoNotFit) {
    struct Case {
        const char* name;
        int pageHeight;
        std::vector<int> heights;
        int pages;
        std::vector<RowPlace> places;
    };
    const Case cases[] = {
        {"empty list", 160, {}, 1, {}},
        {"break", 160, {49, 49, 49, 49}, 2, {{0, 50, 49}, {0, 99, 49}, {1, 50, 49}, {1, 99, 49}}},
        {"exact fit", 148, {49, 49}, 1, {{0, 50, 49}, {0, 99, 49}}},
        {"tall row cut on a page of its own", 160, {49, 500, 49}, 3, {{0, 50, 49}, {1, 50, 110}, {2, 50, 49}}},
        {"tall first row", 160, {500, 500}, 2, {{0, 50, 110}, {1, 50, 110}}},
        {"no room at all", 40, {49, 49}, 2, {{0, 50, 0}, {1, 50, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ListPages p = paginateRows(c.pageHeight, 49, c.heights);
        EXPECT_EQ(p.pageCount, c.pages);
        ASSERT_EQ(p.rows.size(), c.places.size());
        for (std::size_t i = 0; i < c.places.size(); ++i) {
            EXPECT_EQ(p.rows[i].page, c.places[i].page) << i;
            EXPECT_EQ(p.rows[i].y, c.places[i].y) << i;
            EXPECT_EQ(p.rows[i].height, c.places[i].height) << i;
        }
    }
}

// ---- printing on the recording printer ---------------------------------------------------

// Pages of 1120 × 160 table pixels (7 × 1 whole inches at 160 dpi): columns end at 179, 649
// and 1119; one line of 48-pixel text makes a row 49 high, so the header covers 0–48 and
// rows start at 50, 99, …
class ListPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        printer.dpi = 160;
        printer.widthMm = 203;
        printer.heightMm = 26;
        printer.printableWidth = 1130;
        printer.printableHeight = 170;
    }
    static TDateMemo note(int y, int m, int d, const char* caption, const char* text) {
        return TDateMemo{y, m, d, text, caption};
    }
    // Dark pixels in the box.
    static int ink(const QImage& page, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += qGray(page.pixel(x, y)) < 128;
        return n;
    }
    static bool black(const QImage& page, int x, int y) { return page.pixel(x, y) == 0xFF000000; }

    ScriptedUi ui;
    RecordingPrinter printer;
};

TEST_F(ListPrintTest, DateOnceUnderEachHeaderAndAHeaderOnEveryPage) {
    const TDateMemo a = note(2001, 9, 23, "a", "b");
    const std::vector<const TDateMemo*> notes{&a, &a, &a, &a};
    EXPECT_EQ(PrintList(nullptr, notes), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(printer.dialogs, std::vector<PrintDialogKind>{PrintDialogKind::Setup});
    EXPECT_EQ(printer.documentNames, std::vector<QString>{QStringLiteral("Sorvel 一覧印刷")});
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "startPage", "endPage",
                                                       "endDoc"}));
    ASSERT_EQ(printer.pages.size(), 2u);
    for (const QImage& page : printer.pages) {
        EXPECT_GT(ink(page, 2, 2, 178, 47), 0);  // 日付
        EXPECT_GT(ink(page, 181, 2, 648, 47), 0);  // 見だし
        EXPECT_GT(ink(page, 651, 2, 1118, 47), 0);  // 内容
        // The header's bottom line, the blank line under it, the first row's top line.
        EXPECT_TRUE(black(page, 500, 48));
        EXPECT_FALSE(black(page, 500, 49));
        EXPECT_TRUE(black(page, 500, 50));
        EXPECT_TRUE(black(page, 0, 60));  // rows begin at the left edge
        EXPECT_TRUE(black(page, 179, 60));
        EXPECT_TRUE(black(page, 649, 60));
        EXPECT_TRUE(black(page, 1119, 60));
        // The date in the first row under the header only.
        EXPECT_GT(ink(page, 2, 52, 178, 97), 0);
        EXPECT_EQ(ink(page, 2, 101, 178, 146), 0);
        EXPECT_GT(ink(page, 181, 101, 648, 146), 0);  // its caption is there
        // Nothing below the last whole inch.
        EXPECT_EQ(ink(page, 0, 160, 1130, 170), 0);
    }
}

TEST_F(ListPrintTest, LineBreaksAndLongCaptionsStayInsideTheirColumns) {
    printer.heightMm = 78;  // 3 inches: 480 pixels
    printer.printableHeight = 490;
    const TDateMemo lines = note(2001, 9, 23, "x", "a\r\nb\r\nc");
    std::string longCaption;
    for (int i = 0; i < 30; ++i) longCaption += "\x82\xA0";  // あ
    const TDateMemo wide = note(2001, 9, 24, longCaption.c_str(), "");
    EXPECT_EQ(PrintList(nullptr, {&lines, &wide}), 1);
    ASSERT_EQ(printer.pages.size(), 1u);
    const QImage& page = printer.pages[0];
    // Three lines of 48 + 1: the row is 147 high, its bottom line at 50 + 146.
    EXPECT_FALSE(black(page, 10, 98));
    EXPECT_TRUE(black(page, 10, 196));
    for (int line = 0; line < 3; ++line) {
        const int top = 50 + 1 + 49 * line;
        SCOPED_TRACE(line);
        EXPECT_GT(ink(page, 651, top, 700, top + 46), 0);
        // One narrow letter a line: no mark of the line breaks after it.
        EXPECT_EQ(ink(page, 700, top, 1118, top + 46), 0);
    }
    // The caption wraps inside its column: more than one line, nothing in the text column.
    const int top = 197;
    EXPECT_TRUE(black(page, 10, top));
    EXPECT_FALSE(black(page, 10, top + 48));
    EXPECT_GT(ink(page, 181, top + 2, 648, top + 47), 0);
    EXPECT_GT(ink(page, 181, top + 51, 648, top + 96), 0);
    EXPECT_EQ(ink(page, 650, top + 1, 1119, top + 96), 0);
}

TEST_F(ListPrintTest, EmptyListIsOneBlankPageAndATallRowEnds) {
    EXPECT_EQ(PrintList(nullptr, {}), 1);
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc"}));
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(ink(printer.pages[0], 0, 0, 1130, 170), 0);

    printer.pages.clear();
    std::string many;
    for (int i = 0; i < 200; ++i) many += "t\r\n";
    const TDateMemo small = note(2001, 1, 1, "s", "s");
    const TDateMemo tall = note(2001, 1, 2, "t", many.c_str());
    EXPECT_EQ(PrintList(nullptr, {&small, &tall, &small}), 1);
    ASSERT_EQ(printer.pages.size(), 3u);
    // The tall row fills its page to the bottom of the last whole inch.
    EXPECT_GT(ink(printer.pages[1], 651, 100, 700, 160), 0);
    EXPECT_EQ(ink(printer.pages[1], 0, 160, 1130, 170), 0);
}

TEST_F(ListPrintTest, FailuresAreReportedAndTheDocumentAborted) {
    const TDateMemo a = note(2001, 9, 23, "a", "b");
    const QString error = QStringLiteral("エラー");
    struct Case {
        std::vector<std::string> fail;
        std::vector<std::string> steps;
        std::vector<QString> messages;
    };
    const Case cases[] = {
        {{"startDoc"}, {"startDoc", "abortDoc"}, {QStringLiteral("印刷開始に失敗")}},
        {{"startPage"}, {"startDoc", "startPage", "abortDoc"}, {QStringLiteral("ページ開始に失敗")}},
        {{"endPage"}, {"startDoc", "startPage", "endPage", "abortDoc"}, {QStringLiteral("ページ終了に失敗")}},
        {{"endDoc"}, {"startDoc", "startPage", "endPage", "endDoc", "abortDoc"}, {QStringLiteral("印刷終了に失敗")}},
        {{"startPage", "abortDoc"},
         {"startDoc", "startPage", "abortDoc"},
         {QStringLiteral("ページ開始に失敗"), QStringLiteral("印刷中止にも失敗")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail.front());
        printer.steps.clear();
        printer.failSteps = c.fail;
        ui.messages.clear();
        EXPECT_EQ(PrintList(nullptr, {&a}), 0);
        EXPECT_EQ(printer.steps, c.steps);
        ASSERT_EQ(ui.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(ui.messages[i], (RecordedMessage{c.messages[i], error, MsgButtons::Ok}));
        EXPECT_EQ(printer.liveJobs, 0);
    }
    printer.steps.clear();
    ui.messages.clear();
    printer.bitmaps = false;
    EXPECT_EQ(PrintList(nullptr, {&a}), 0);
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{{QStringLiteral("このプリンタはビットマップを印刷できません。"),
                                                          QStringLiteral("デバイスエラー"), MsgButtons::Ok}}));
    printer.bitmaps = true;
    ui.messages.clear();
    printer.dialogAnswers = {false};
    EXPECT_EQ(PrintList(nullptr, {&a}), 0);
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
