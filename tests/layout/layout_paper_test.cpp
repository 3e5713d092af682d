// The layout page: its scale, the stack, the layout file byte for byte, damaged and hostile
// files, the atomic save and the question before unsaved changes are lost.
#include <gtest/gtest.h>

#include <tuple>

#include <QTemporaryDir>

#include "layout/layout_paper.h"
#include "layout/so_tex.h"
#include "layout_test_support.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "render/sorvel_draw.h"
#include "settings/calender_set.h"
#include "support/print_failures.h"

namespace sorvel {
namespace {

using namespace std::string_literals;
using namespace layout_test;

const std::string kStart("<+SoLay>\0", 9), kEnd("<-SoLay>\0", 9);

std::string pageHead(const std::string& w = "4760", const std::string& h = "6779") {
    return kStart + "<+M06>\r\n" + field(1, "9") + field(2, "1") + field(3, w) + field(4, h);
}
std::string objectBlock(const std::string& l, const std::string& t, const std::string& w, const std::string& h,
                        int kind, const std::string& content) {
    return container(5, "<+M07>\r\n" + field(1, l) + field(2, t) + field(3, w) + field(4, h) +
                            field(5, std::to_string(kind)) + container(6, content) + "<-M07>\r\n");
}

class LayoutPage : public ::testing::Test {
protected:
    void TearDown() override { setSaveFaultForTesting({}); }
    ScriptedUi scripted;
    RecordingPrinter printer;  // 4760 × 6779, A4 portrait
    QTemporaryDir dir;
};

TEST(LayoutScale, FitsThePrintableAreaIntoTheView) {
    const PageFit fit = FitPage(700, 400, 4800, 6800);
    EXPECT_EQ(fit.scale, 400.0f / 6800.0f);
    EXPECT_EQ(fit.width, 282);
    EXPECT_EQ(fit.height, 400);
    const PageFit wide = FitPage(700, 400, 7000, 2000);
    EXPECT_EQ(std::make_tuple(wide.scale, wide.width, wide.height), std::make_tuple(0.1f, 700, 200));
}

TEST_F(LayoutPage, WithoutAPrinterThePageIsA4PortraitWithoutAMessage) {
    printer.hasDefaultPrinter = false;
    TLayoutPaper page;
    // 210 × 297 mm at 300 dpi
    EXPECT_EQ(std::make_tuple(page.PaperSize, page.Orientation, page.PrintableWidth, page.PrintableHeight),
              std::make_tuple(9, 1, 2480, 3507));
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(LayoutPage, EmptyPageFileBytes) {
    TLayoutPaper page;
    const std::string expected =
        "<+SoLay>\0<+M06>\r\n<+S01>\r\n<+DA>9<-DA><-S01>\r\n<+S02>\r\n<+DA>1<-DA><-S02>\r\n"
        "<+S03>\r\n<+DA>4760<-DA><-S03>\r\n<+S04>\r\n<+DA>6779<-DA><-S04>\r\n<-M06>\r\n<-SoLay>\0"s;
    EXPECT_EQ(page.BuildLayout(), expected);
}

TEST_F(LayoutPage, OneObjectOfEachKindTopFirstAndReadBackInOrder) {
    TLayoutPaper page;
    page.LayoutFor(595, 848);  // scale 0.125: page units are view units × 8
    auto text = std::make_unique<TSorvelObj>(kObjText, ObjRect{1, 2, 11, 22}, page.Scale);
    text->text()->Text = "A\r\nB";
    page.objects.push_back(std::move(text));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjPicture, ObjRect{3, 4, 13, 24}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{5, 6, 15, 26}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{7, 8, 57, 48}, page.Scale));
    TCalenderSet& cs = page.objects[3]->calendar()->settings();
    cs.DispYear = 2001;
    cs.DispMonth = 5;
    // The calendar settings block, as the state file writes M01: the default set, with the year
    // and month set and the zoom -1 that a calendar drawn at the object's size keeps (field 7).
    const std::string gothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック
    const std::string values[39] = {"0", "0", "0", "0",    "1",    "1",    "-1", "2001", "5", "-1", "128", "128", "128",
                                    "1", "1", "1", gothic, gothic, gothic, "",   "0",    "0", "0",  "0",   "0",   "2",
                                    "8", "6", "4", "2",    "3",    "0",    "0",  "0",    "0", "0",  "0",   "0",   "7"};
    std::string m01 = "<+M01>\r\n";
    for (int n = 1; n <= 39; ++n) m01 += field(n, values[n - 1]);
    m01 += container(40, "<+M05>\r\n" + field(1, "0") + field(2, "0") + field(3, "100") + field(4, "100") +
                             field(5, "0") + field(6, "0") + field(7, "1") + field(8, "1") + "<-M05>\r\n") +
           "<-M01>\r\n";

    const std::string expected =
        pageHead() +
        objectBlock("8", "16", "80", "160", 3,
                    "<+M09>\r\n" + field(1, "A\r\nB") + field(2, "") + field(3, "128") + field(4, "12") +
                        field(5, "1") + "<-M09>\r\n") +
        objectBlock("24", "32", "80", "160", 2, "<+M08>\r\n" + field(1, "") + "<-M08>\r\n") +
        objectBlock("40", "48", "80", "160", 0, "") + objectBlock("56", "64", "400", "320", 1, m01) +
        "<-M06>\r\n" + kEnd;
    const std::string bytes = page.BuildLayout();
    EXPECT_EQ(bytes, expected);

    TLayoutPaper back;
    back.LayoutFor(595, 848);
    ASSERT_EQ(back.ParseLayout(bytes), LayoutRead::Ok);
    ASSERT_EQ(back.objects.size(), 4u);
    std::vector<int> kinds;
    for (const auto& o : back.objects) kinds.push_back(o->kind());
    EXPECT_EQ(kinds, (std::vector<int>{kObjText, kObjPicture, kObjNone, kObjCalendar}));
    EXPECT_EQ(back.objects[0]->text()->Text, "A\r\nB");
    EXPECT_EQ(back.objects[3]->calendar()->settings().DispMonth, 5);
    EXPECT_EQ(back.objects[3]->ViewWidth, 50);  // the calendar took the page's scale
    EXPECT_EQ(back.BuildLayout(), bytes);
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(LayoutPage, PrintableSizeIsReadAsThirtyTwoBits) {
    TLayoutPaper page;
    ASSERT_EQ(page.ParseLayout(pageHead("40000", "56000") + "<-M06>\r\n" + kEnd), LayoutRead::Ok);
    EXPECT_EQ(std::make_pair(page.PrintableWidth, page.PrintableHeight), std::make_pair(40000, 56000));
}

TEST_F(LayoutPage, DamagedAndHostileFiles) {
    struct Case {
        const char* name;
        std::string bytes;
        LayoutRead result;
        std::size_t objectsKept;
    };
    const std::string one = objectBlock("0", "0", "100", "100", 0, "");
    std::string many = pageHead();
    for (std::size_t i = 0; i <= kMaxLayoutObjects; ++i) many += one;
    const Case cases[] = {
        {"wrong magic", "<+SoLaY>\0"s + (pageHead() + "<-M06>\r\n").substr(9), LayoutRead::NotLayout, 0},
        {"first block not M06", kStart + "<+M01>\r\n<-M01>\r\n" + kEnd, LayoutRead::NotLayout, 0},
        {"unknown page field", pageHead() + one + field(7, "1") + "<-M06>\r\n" + kEnd, LayoutRead::Refused, 1},
        // The object being read when the data ends stays, as far as it was read.
        {"cut off", (pageHead() + one + one).substr(0, pageHead().size() + one.size() + 20), LayoutRead::Refused, 2},
        {"empty object", pageHead() + objectBlock("5", "5", "0", "30", 3, "") + "<-M06>\r\n" + kEnd, LayoutRead::Ok, 1},
        {"too many objects", many + "<-M06>\r\n" + kEnd, LayoutRead::Refused, kMaxLayoutObjects},
        {"object beyond the canvas limit",
         pageHead() + one + objectBlock("0", "0", "20000", "20000", 0, "") + one + "<-M06>\r\n" + kEnd,
         LayoutRead::Refused, 1},
        {"no printable width", pageHead("0", "100") + "<-M06>\r\n" + kEnd, LayoutRead::Refused, 0},
        // A page too small for paper would blow its objects up to its scale; the objects that fit
        // the page that stays (4760 × 6779) are kept.
        {"a page of 99 pixels", pageHead("99", "6779") + one + "<-M06>\r\n" + kEnd, LayoutRead::Refused, 1},
        {"an object more than twice the page's width",
         pageHead() + one + objectBlock("0", "0", "9521", "10", 0, "") + "<-M06>\r\n" + kEnd, LayoutRead::Refused, 1},
        {"objects covering the page 17 times", pageHead() + [] {
             std::string pages;
             for (int i = 0; i < 17; ++i) pages += objectBlock("0", "0", "4760", "6779", 0, "");
             return pages;
         }() + "<-M06>\r\n" + kEnd,
         LayoutRead::Refused, 16},
    };
    const std::vector<RecordedMessage> refused{{"開けないファイルです。", "メッセージ", MsgButtons::Ok}};
    for (const Case& c : cases) {
        scripted.messages.clear();
        TLayoutPaper page;
        EXPECT_EQ(page.ParseLayout(c.bytes), c.result) << c.name;
        EXPECT_EQ(page.objects.size(), c.objectsKept) << c.name;
        EXPECT_EQ(scripted.messages, c.result == LayoutRead::Refused ? refused : std::vector<RecordedMessage>{})
            << c.name;
    }
}

TEST_F(LayoutPage, AContentRepeatedInOneObjectIsReadOnce) {
    const std::string missing = "<+M08>\r\n" + field(1, "/nonexistent/x.bmp") + "<-M08>\r\n";
    const std::string thrice = container(6, missing) + container(6, missing) + container(6, missing);
    TLayoutPaper page;
    EXPECT_EQ(page.ParseLayout(pageHead() +
                               container(5, "<+M07>\r\n" + field(3, "100") + field(4, "100") + field(5, "2") + thrice +
                                                "<-M07>\r\n") +
                               "<-M06>\r\n" + kEnd),
              LayoutRead::Ok);
    // One message, not three.
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{{"画像ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。", "ﾒｯｾｰｼﾞ",
                                                                MsgButtons::Ok}}));
}

TEST_F(LayoutPage, FailedSaveKeepsTheOldFileAndSaysSo) {
    const QString path = dir.filePath("a.sla");
    TLayoutPaper page;
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, std::nullopt, 1.0f));
    page.Modified = 1;
    ASSERT_EQ(page.WriteLayoutFile(path), 1);
    EXPECT_EQ(page.Modified, 0);
    const std::string saved = *readWholeFile(path);

    page.objects.clear();
    page.Modified = 1;
    setSaveFaultForTesting({SaveFault::WriteAfterBytes, 20});
    EXPECT_EQ(page.WriteLayoutFile(path), 0);
    EXPECT_EQ(*readWholeFile(path), saved);
    EXPECT_EQ(page.Modified, 1);
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{
                                     {"ファイルに保存できませんでした。\n" + path + "\ninjected: no space left on device",
                                      "メッセージ-Sorvel", MsgButtons::Ok}}));
}

TEST_F(LayoutPage, ModifiedFlagAndTheSaveQuestion) {
    const QString question = QStringLiteral("レイアウトは変更されています。\n保存しますか？");
    TLayoutPaper page;
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, std::nullopt, 1.0f));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, std::nullopt, 1.0f));
    EXPECT_EQ(page.DeleteSelected(), 0);  // nothing selected
    EXPECT_EQ(page.Modified, 0);
    page.CycleSelection();
    EXPECT_EQ(page.objects[0]->IsSelected(), 1);
    EXPECT_EQ(page.DeleteSelected(), 1);
    EXPECT_EQ(page.Modified, 1);

    // Cancel keeps the page as it is.
    scripted.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(page.QuerySave(), 0);
    EXPECT_EQ(page.objects.size(), 1u);
    EXPECT_EQ(scripted.messages,
              (std::vector<RecordedMessage>{{question, "メッセージ", MsgButtons::YesNoCancel}}));

    // Yes saves through the save dialog; the name gets its extension.
    scripted.answers = {MsgAnswer::Yes};
    scripted.fileAnswers = {dir.filePath("b")};
    EXPECT_EQ(page.QuerySave(), 1);
    EXPECT_EQ(scripted.fileRequests.back().filter, QStringLiteral("Sorvelﾚｲｱｳﾄ (*.sla)|*.sla"));
    EXPECT_TRUE(page.objects.empty());
    EXPECT_TRUE(page.FileName.isEmpty());

    // Opening the saved file: no question for a page that is not modified.
    scripted.messages.clear();
    scripted.fileAnswers = {dir.filePath("b.sla")};
    ASSERT_EQ(page.OpenLayout(), 1);
    EXPECT_EQ(page.objects.size(), 1u);
    EXPECT_EQ(page.FileName, dir.filePath("b.sla"));
    EXPECT_EQ(page.QuerySave(), 1);
    EXPECT_TRUE(scripted.messages.empty());
    scripted.fileAnswers = {dir.filePath("gone.sla")};
    EXPECT_EQ(page.OpenLayout(), 0);
    EXPECT_EQ(scripted.messages,
              (std::vector<RecordedMessage>{{"ファイルが開けませんでした。", "メッセージ-Sorvel", MsgButtons::Ok}}));
}

TEST_F(LayoutPage, OpeningOverAModifiedPageAsksFirstAndCancelKeepsThePage) {
    const QString path = dir.filePath("empty.sla");
    ASSERT_EQ(TLayoutPaper().WriteLayoutFile(path), 1);
    TLayoutPaper page;
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, std::nullopt, 1.0f));
    page.Modified = 1;
    scripted.fileAnswers = {path};
    scripted.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(page.OpenLayout(), 0);
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{{"レイアウトは変更されています。\n保存しますか？", "メッセージ",
                                                                MsgButtons::YesNoCancel}}));
    EXPECT_EQ(page.objects.size(), 1u);
    EXPECT_EQ(page.Modified, 1);
    // "いいえ": the file's empty page takes its place.
    scripted.fileAnswers = {path};
    scripted.answers = {MsgAnswer::No};
    EXPECT_EQ(page.OpenLayout(), 1);
    EXPECT_TRUE(page.objects.empty());
    EXPECT_EQ(page.FileName, path);
}

TEST_F(LayoutPage, ComposesTheFrameAndTheBandAndFindsTheTopObject) {
    TLayoutPaper page;
    page.LayoutFor(595, 848);
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{0, 0, 40, 40}, page.Scale));
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjPicture, ObjRect{20, 20, 60, 60}, page.Scale));
    page.objects[0]->SetSelected(1);
    page.band = RubberBand{200, 200, -50, -50};
    page.BandVisible = 1;
    page.ComposeView();
    const Bitmap& v = page.viewBuffer();
    EXPECT_EQ(v.pixel(150, 150), kBlack);  // the band's corner
    const int frame = count(v, QRect(39, 0, 3, 41), 0x3232C8);  // dashed blue, 2 pixels wide
    EXPECT_GT(frame, 20);
    EXPECT_LT(frame, 2 * 41);
    EXPECT_EQ(page.FindObjectAt(30, 30), std::make_pair(16, 0));
    EXPECT_EQ(page.FindObjectAt(300, 300), std::make_pair(0, -1));
}

class LayoutPrinting : public LayoutPage {
protected:
    void SetUp() override {
        page.LayoutFor(476, 678);  // scale 0.1
        // An object of page rectangle 1000, 1000 – 2000, 2000, selected.
        page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{100, 100, 200, 200}, page.Scale));
        page.objects[0]->SetSelected(1);
        page.LayoutFor(476, 678);
        viewWidthBefore = page.objects[0]->ViewWidth;
        // The printer has a fifth of the page's pixels each way.
        printer.printableWidth = 952;
        printer.printableHeight = 1356;
    }
    void expectLaidOutForTheView() {
        EXPECT_EQ(page.Scale, 0.1f);
        EXPECT_EQ(std::make_tuple(page.viewBuffer().width(), page.viewBuffer().height()), std::make_tuple(476, 678));
        EXPECT_EQ(page.objects[0]->ViewWidth, viewWidthBefore);
    }
    TLayoutPaper page;
    int viewWidthBefore = 0;
};

TEST_F(LayoutPrinting, PrintsAtThePrintersSizeWithoutTheSelectionFrame) {
    ASSERT_EQ(page.PrintLayout(), 1);
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc"}));
    EXPECT_EQ(printer.documentNames, std::vector<QString>{QStringLiteral("Sorvel - レイアウト")});
    ASSERT_EQ(printer.dialogs, std::vector<PrintDialogKind>{PrintDialogKind::Print});
    EXPECT_EQ(std::make_tuple(printer.presets[0].paperSize, printer.presets[0].orientation), std::make_tuple(9, 1));
    ASSERT_EQ(printer.pages.size(), 1u);
    const QImage& sheet = printer.pages[0];
    ASSERT_EQ(sheet.size(), QSize(952, 1356));
    // The object (a white box with its diagonal) at 200, 200 – 400, 400; no blue frame anywhere.
    int diagonal = 0, blue = 0;
    for (int i = 205; i < 395; ++i) diagonal += QColor(sheet.pixel(i, i)) == Qt::black;
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x) blue += sheet.pixel(x, y) == 0xFF3232C8;
    EXPECT_GT(diagonal, 150);
    EXPECT_EQ(blue, 0);
    EXPECT_EQ(sheet.pixel(100, 100), 0xFFFFFFFF);
    EXPECT_EQ(page.objects[0]->IsSelected(), 0);
    expectLaidOutForTheView();
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(LayoutPrinting, ALargePrinterPageIsComposedSmallerAndStretched) {
    // A quarter of the printer's 952 × 1356 pixels: composed at half the size each way.
    page.MaxPrintPixels = 952.0 * 1356.0 / 4;
    ASSERT_EQ(page.PrintLayout(), 1);
    const QImage& sheet = printer.pages.at(0);
    // The object's diagonal still runs from 200, 200 to 400, 400 of the sheet, and nothing
    // dark lies outside that box.
    auto dark = [&](int x, int y) { return qGray(sheet.pixel(x, y)) < 192; };
    int onDiagonal = 0, outside = 0;
    for (int i = 205; i < 395; i += 10)
        for (int dx = -2; dx <= 2; ++dx)
            if (dark(i + dx, i)) {
                ++onDiagonal;
                break;
            }
    for (int y = 0; y < sheet.height(); y += 2)
        for (int x = 0; x < sheet.width(); x += 2)
            outside += !QRect(196, 196, 208, 208).contains(x, y) && dark(x, y);
    EXPECT_EQ(onDiagonal, 19);
    EXPECT_EQ(outside, 0);
    expectLaidOutForTheView();
}

TEST_F(LayoutPrinting, CancelAndEveryFailure) {
    printer.dialogAnswers = {false};
    EXPECT_EQ(page.PrintLayout(), 0);
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_EQ(page.objects[0]->IsSelected(), 0);
    for (const print_cases::PrintFailure& c : print_cases::printFailures()) {
        SCOPED_TRACE(print_cases::name(c));
        printer.steps.clear();
        scripted.messages.clear();
        printer.failSteps = c.fail;
        EXPECT_EQ(page.PrintLayout(), 0);
        EXPECT_EQ(printer.steps, c.steps);
        EXPECT_EQ(scripted.messages, print_cases::errors(c));
        EXPECT_EQ(printer.liveJobs, 0);
        expectLaidOutForTheView();
    }
}

TEST_F(LayoutPage, PaperSetupTakesTheChosenPaperAndKeepsTheObjects) {
    TLayoutPaper page;
    page.objects.push_back(std::make_unique<TSorvelObj>(kObjNone, ObjRect{0, 0, 500, 500}, 1.0f));
    printer.dialogAnswers = {false};
    EXPECT_EQ(page.ChangePaper(), 0);
    EXPECT_EQ(page.PrintableWidth, 4760);
    printer.paper = PaperSetup{9, 2};
    printer.printableWidth = 6779;
    printer.printableHeight = 4760;
    EXPECT_EQ(page.ChangePaper(), 1);
    EXPECT_EQ(printer.dialogs.back(), PrintDialogKind::Setup);
    EXPECT_EQ(printer.presets.back().orientation, 1);
    EXPECT_EQ(std::make_tuple(page.Orientation, page.PrintableWidth, page.PrintableHeight),
              std::make_tuple(2, 6779, 4760));
    EXPECT_EQ(page.objects[0]->PageWidth, 500);
    EXPECT_EQ(page.Modified, 0);
}

}  // namespace
}  // namespace sorvel
