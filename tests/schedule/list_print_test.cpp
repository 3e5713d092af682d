#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "data/date_data.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/printing_qt.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "schedule/list_pagination.h"
#include "schedule/list_print.h"
#include "support/print_failures.h"

using namespace sorvel;

namespace {

// ---- the table without a printer ----------------------------------------------------------

TEST(ListLayout, CellsWrapByWholeCharactersAndBreakAtCrLf) {
    // One byte is 10 wide, a double-byte character 20; lines 30 high.
    auto advance = [](std::string_view ch) { return ch.size() == 2 ? 20 : 10; };
    struct Case {
        std::string text;
        int limit;
        std::vector<PlacedChar> chars;
        int bottom;
    };
    const Case cases[] = {
        {"aaaa", 35, {{5, 0, "a"}, {15, 0, "a"}, {25, 0, "a"}, {5, 31, "a"}}, 61},  // the third fits exactly
        {"a\x82\xA0", 30, {{5, 0, "a"}, {5, 31, "\x82\xA0"}}, 61},                  // never split
        {"\x95\x5C" "b", 100, {{5, 0, "\x95\x5C"}, {25, 0, "b"}}, 30},             // trail byte 0x5C
        {"a\r\nb\r\n\r\nc", 100, {{5, 0, "a"}, {5, 31, "b"}, {5, 93, "c"}}, 123},
        {"a\x82", 100, {{5, 0, "a"}, {15, 0, "\x82"}}, 30},  // a lead byte at the end stands alone
    };
    for (const Case& c : cases) {
        const CellLayout cell = layoutCell(c.text, 5, c.limit, 30, advance);
        EXPECT_EQ(cell.chars, c.chars) << c.text;
        EXPECT_EQ(cell.bottom, c.bottom) << c.text;
    }
}

TEST(ListLayout, RowsGoUnderTheHeaderAndLongOnesGoOnOverPages) {
    struct Case {
        int pageHeight;
        std::vector<int> heights;
        int pages;
        std::vector<RowPiece> pieces;  // row, page, y, from, height; header and lines 49 high
    };
    const Case cases[] = {
        {160, {}, 1, {}},
        {160, {49, 49, 49}, 2, {{0, 0, 50, 0, 49}, {1, 0, 99, 0, 49}, {2, 1, 50, 0, 49}}},
        {148, {49, 49}, 1, {{0, 0, 50, 0, 49}, {1, 0, 99, 0, 49}}},  // exact fit
        // Four lines a page: ten lines go 4 + 4 + 2 from the top of a page, the next row after.
        {250, {49, 490, 49}, 4,
         {{0, 0, 50, 0, 49}, {1, 1, 50, 0, 196}, {1, 2, 50, 196, 196}, {1, 3, 50, 392, 98}, {2, 3, 148, 0, 49}}},
        {250, {245}, 2, {{0, 0, 50, 0, 196}, {0, 1, 50, 196, 98}}},  // one line left: room for the mark
        {100, {98}, 2, {{0, 0, 50, 0, 49}, {0, 1, 50, 49, 49}}},    // one line a page
        {40, {49, 49}, 2, {{0, 0, 50, 0, 0}, {1, 1, 50, 0, 0}}},     // no room under the header at all
    };
    for (const Case& c : cases) {
        const ListPages p = paginateRows(c.pageHeight, 49, 49, 98, c.heights);
        EXPECT_EQ(p.pageCount, c.pages) << c.heights.size();
        EXPECT_EQ(p.pieces, c.pieces) << c.heights.size();
    }
}

TEST(ListLayout, DateColumnTakesItsWidestDateWithinASixthToAQuarter) {
    struct Case {
        int pageWidth, dateWidth;
        ListColumns columns;
    };
    const Case cases[] = {
        {2100, 386, {386, 857, 857}},  // as the date needs; the rest halved, truncated
        {2100, 100, {336, 882, 882}},  // never below 16 % (the caption and text 42 % each)
        {1120, 388, {280, 420, 420}},  // never above a quarter
        {0, 50, {0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(listColumns(c.pageWidth, c.dateWidth), c.columns) << c.pageWidth << " " << c.dateWidth;
}

// ---- printing on the recording printer ---------------------------------------------------

// Tables 1120 × 160 pixels (7 × 1 whole inches at 160 dpi) on pages of 1130 × 170: the widest
// date in 48-pixel text needs more than a quarter of 1120, so the date column takes 280 and the
// others 420 each, edges at 280, 700 and 1120; a line of 48-pixel text makes a row 49 high, so the header covers
// 0–48 and rows start at 50, 99, …
class ListPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        printer.dpi = 160;
        printer.widthMm = 203;
        printer.heightMm = 26;
        printer.printableWidth = 1130;
        printer.printableHeight = 170;
    }
    static int ink(const QImage& page, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += qGray(page.pixel(x, y)) < 128;
        return n;
    }
    static bool black(const QImage& page, int x, int y) { return page.pixel(x, y) == 0xFF000000; }

    ScriptedUi ui;
    RecordingPrinter printer;
    const TDateMemo note{2001, 9, 23, "b", "a"};
};

TEST_F(ListPrintTest, DateOnceUnderEachHeaderAndAHeaderOnEveryPage) {
    EXPECT_EQ(PrintList(nullptr, {&note, &note, &note, &note}), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(printer.dialogs, std::vector<PrintDialogKind>{PrintDialogKind::Setup});
    EXPECT_EQ(printer.documentNames, std::vector<QString>{QStringLiteral("Sorvel 一覧印刷")});
    EXPECT_EQ(printer.steps,
              (std::vector<std::string>{"startDoc", "startPage", "endPage", "startPage", "endPage", "endDoc"}));
    ASSERT_EQ(printer.pages.size(), 2u);
    for (const QImage& page : printer.pages) {
        for (int x : {2, 282, 702}) EXPECT_GT(ink(page, x, 2, x + 176, 47), 0) << x;  // 日付 見だし 内容
        // The header's bottom line, the blank line under it, the first row's top line.
        EXPECT_TRUE(black(page, 500, 48));
        EXPECT_FALSE(black(page, 500, 49));
        EXPECT_TRUE(black(page, 500, 50));
        for (int x : {0, 280, 700, 1120}) EXPECT_TRUE(black(page, x, 60)) << x;
        // The date in the first row under the header only; the caption in both.
        EXPECT_GT(ink(page, 2, 52, 278, 97), 0);
        EXPECT_EQ(ink(page, 2, 101, 278, 146), 0);
        EXPECT_GT(ink(page, 282, 101, 698, 146), 0);
        EXPECT_EQ(ink(page, 0, 160, 1130, 170), 0);  // nothing below the last whole inch
    }
}

TEST_F(ListPrintTest, RowsGrowToTheirLinesAndATallRowGoesOn) {
    printer.heightMm = 78;  // 3 inches
    printer.printableHeight = 490;
    std::string longCaption, many;
    for (int i = 0; i < 30; ++i) longCaption += "\x82\xA0";  // あ
    for (int i = 0; i < 12; ++i) many += "t\r\n";
    const TDateMemo lines{2001, 9, 23, "a\r\nb\r\nc", "x"}, wide{2001, 9, 24, "", longCaption},
        tall{2001, 9, 25, many, "t"};
    EXPECT_EQ(PrintList(nullptr, {&lines, &wide, &tall, &note}), 1);
    ASSERT_EQ(printer.pages.size(), 3u);
    const QImage& page = printer.pages[0];
    // Three lines of 48 + 1: the row is 147 high, its bottom line at 50 + 146; each line one
    // narrow letter, with no mark of the line break.
    EXPECT_FALSE(black(page, 10, 98));
    EXPECT_TRUE(black(page, 10, 196));
    for (int top : {51, 100, 149}) {
        EXPECT_GT(ink(page, 702, top, 751, top + 46), 0) << top;
        EXPECT_EQ(ink(page, 751, top, 1118, top + 46), 0) << top;
    }
    // The next row wraps its caption to a second line, nothing in the text column.
    EXPECT_FALSE(black(page, 10, 197 + 48));
    EXPECT_GT(ink(page, 282, 197 + 51, 698, 197 + 96), 0);
    EXPECT_EQ(ink(page, 701, 198, 1119, 197 + 96), 0);
    // Eight of its 13 lines on a page of their own, five more under the next page's header with
    // （続き） over the date at their head (the lines of a real PDF: e2e/list_print.sh).
    EXPECT_GT(ink(printer.pages[2], 702, 198, 751, 244), 0);  // the twelfth
    EXPECT_GT(ink(printer.pages[2], 2, 52, 278, 97) * ink(printer.pages[2], 2, 101, 278, 146), 0);

    // An empty list is one blank page.
    printer.pages.clear();
    EXPECT_EQ(PrintList(nullptr, {}), 1);
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(ink(printer.pages[0], 0, 0, 1130, 490), 0);
}

TEST_F(ListPrintTest, CancelAndFailuresStopTheJob) {
    printer.dialogAnswers = {false};
    EXPECT_EQ(PrintList(nullptr, {&note}), 0);
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_TRUE(ui.messages.empty());

    for (const print_cases::PrintFailure& c : print_cases::printFailures()) {
        SCOPED_TRACE(print_cases::name(c));
        printer.steps.clear();
        printer.failSteps = c.fail;
        ui.messages.clear();
        EXPECT_EQ(PrintList(nullptr, {&note}), 0);
        EXPECT_EQ(printer.steps, c.steps);
        EXPECT_EQ(ui.messages, print_cases::errors(c));
        EXPECT_EQ(printer.liveJobs, 0);
    }

    printer.steps.clear();
    ui.messages.clear();
    printer.bitmaps = false;
    EXPECT_EQ(PrintList(nullptr, {&note}), 0);
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_EQ(ui.messages, std::vector<RecordedMessage>{print_cases::kNoBitmaps});
}

// A4 at the fixed print resolution (202 mm printable: 7 whole inches, 2100 pixels at 300 dpi)
// with the real font: every date stands whole in its column and the caption column starts after
// it. A page 20 inches wide, where a sixth of the page is room to spare, prints the same dates as
// the reference.
TEST(ListPrintDates, LongDatesStayInsideTheirColumn) {
    ScriptedUi ui;
    RecordingPrinter printer;
    printer.dpi = 300;
    printer.widthMm = 202;
    printer.heightMm = 26;  // one inch: the header and four rows of 49
    printer.printableWidth = 2397;
    printer.printableHeight = 300;
    const TDateMemo notes[] = {{2024, 12, 15, "a", "t"},
                               {10002, 12, 31, "a", "t"},  // the last year a note can be dropped on
                               {1, 1, 1, "a", "t"},
                               {-2147483647 - 1, 12, 31, "a", "t"}};  // only a damaged file holds this
    const std::vector<const TDateMemo*> list{&notes[0], &notes[1], &notes[2], &notes[3]};
    ASSERT_EQ(PrintList(nullptr, list), 1);
    printer.widthMm = 508;
    printer.printableWidth = 6010;
    ASSERT_EQ(PrintList(nullptr, list), 1);
    ASSERT_EQ(printer.pages.size(), 2u);
    const QImage &a4 = printer.pages[0], &wide = printer.pages[1];
    auto ink = [](const QImage& page, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += qGray(page.pixel(x, y)) < 128;
        return n;
    };
    // The first line right of the table's left edge that is black through the whole row.
    auto columnLine = [&](const QImage& page, int top) {
        for (int x = 1; x < page.width(); ++x)
            if (ink(page, x, top + 1, x + 1, top + 48) == 47) return x;
        return -1;
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(notes[i].year);
        const int top = 50 + 49 * i;
        const int line = columnLine(a4, top);
        ASSERT_GT(line, 0);
        EXPECT_GT(ink(a4, 1, top + 1, line - 2, top + 48), 0);
        EXPECT_EQ(ink(a4, line - 2, top + 1, line, top + 48), 0);  // nothing cut at the edge
        EXPECT_EQ(ink(a4, line + 1, top + 1, line + 2, top + 48), 0);
        EXPECT_GT(ink(a4, line + 2, top + 1, line + 60, top + 48), 0);  // the caption after it
        // The dates of the tree's years at their full size, as on the wide page.
        if (i < 3) {
            EXPECT_EQ(ink(a4, 1, top + 1, line, top + 48), ink(wide, 1, top + 1, columnLine(wide, top), top + 48));
        }
    }
}

// A real printer's page gets the rows as text, not as pictures: a PDF keeps it selectable.
TEST(ListPrintPdf, RowsAreVectorTextOnPrinterPages) {
    class PdfService : public PrintService {
    public:
        QString path;
        std::unique_ptr<PrintJob> printDialog(QWidget*, PrintDialogKind, const PaperSetup&) override {
            return pdfFileJob(path);
        }
        std::unique_ptr<PrintJob> defaultPrinter() override { return nullptr; }
    } pdf;
    QTemporaryDir dir;
    pdf.path = dir.filePath(QStringLiteral("list.pdf"));
    setPrintService(&pdf);
    const TDateMemo note{2001, 9, 23, "b", "a"};
    std::vector<const TDateMemo*> notes(100, &note);  // 49-pixel rows at 300 dpi: two A4 pages
    const int result = PrintList(nullptr, notes);
    setPrintService(nullptr);
    ASSERT_EQ(result, 1);
    const QString bytes = QString::fromLatin1(readWholeFile(pdf.path).value_or(std::string()));
    EXPECT_EQ(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 2);
    EXPECT_TRUE(bytes.contains(QStringLiteral("/FontFile")));
    EXPECT_FALSE(bytes.contains(QRegularExpression(QStringLiteral("/Subtype\\s*/Image"))));
}

}  // namespace
