#include <gtest/gtest.h>

#include <QSize>
#include <QTemporaryDir>

#include "app/main_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "platform/ui.h"
#include "settings/calender_set.h"

using namespace sorvel;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kSilver = 0xFFC0C0C0;  // the default background colour

class QuickPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setProgramDirectory(dir.path());
        setTodayForTesting(LocalDate{2001, 9, 23});
        form.FormCreate();
        ui.messages.clear();  // the first start's file messages
        TCalenderSet& cs = form.draw().settings();
        cs.DispPercent = 100;
        cs.TodayColoring = 1;
        cs.NoDrawButton = 0;
    }
    void TearDown() override {
        TSorvelDraw::setRenderHookForTesting(nullptr);
        setProgramDirectory(QString());
        setTodayForTesting(std::nullopt);
    }
    // The window's own settings are back after the command, whatever happened in it.
    void expectRestored() {
        const TCalenderSet& cs = form.draw().settings();
        EXPECT_EQ(cs.DispPercent, 100.0f);
        EXPECT_EQ(cs.TodayColoring, 1);
        EXPECT_EQ(cs.NoDrawButton, 0);
        EXPECT_EQ(cs.CanvasWidth, 640);
        EXPECT_EQ(cs.CanvasHeight, 480);
        EXPECT_FALSE(form.printing());
    }

    QTemporaryDir dir;
    ScriptedUi ui;
    RecordingPrinter printer;
    TMainForm form;
};

TEST_F(QuickPrintTest, OnePageWithTheCalendarAsLargeAsFitsAtTheTopLeft) {
    form.show();
    const QSize shown = form.size();
    struct Seen {
        QSize window;
        int todayColoring = -1, noDrawButton = -1;
        bool printing = false;
    } seen;
    TSorvelDraw::setRenderHookForTesting([&] {
        // A paint asked for in the middle of the print must neither draw nor resize the window.
        if (!form.printing()) return;
        form.repaint();
        seen = {form.size(), form.draw().settings().TodayColoring, form.draw().settings().NoDrawButton, true};
    });
    form.calenprintClick();
    TSorvelDraw::setRenderHookForTesting(nullptr);

    EXPECT_EQ(seen.window, shown);
    EXPECT_EQ(seen.todayColoring, 0);
    EXPECT_EQ(seen.noDrawButton, 1);
    EXPECT_TRUE(seen.printing);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(printer.dialogs.size(), 1u);
    EXPECT_EQ(printer.dialogs[0], PrintDialogKind::Setup);
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc"}));
    // The full-width space between the name and the year stays.
    ASSERT_EQ(printer.documentNames.size(), 1u);
    EXPECT_EQ(printer.documentNames[0], QString::fromUtf8("Sorvel\xE3\x80\x80" "2001年9月"));

    // 4760 × 6779 printable pixels and a 640 × 480 base: 4757 × 3568 from (0, 0).
    ASSERT_EQ(printer.pages.size(), 1u);
    const QImage& page = printer.pages[0];
    EXPECT_EQ(page.pixel(0, 0), kSilver);  // no month button in the corner
    EXPECT_EQ(page.pixel(4756, 3567), kSilver);
    EXPECT_EQ(page.pixel(4757, 3567), kWhite);
    EXPECT_EQ(page.pixel(4756, 3568), kWhite);
    EXPECT_EQ(page.pixel(4759, 6778), kWhite);
    expectRestored();
    EXPECT_EQ(form.size(), shown);
    EXPECT_EQ(printer.liveJobs, 0);
}

TEST_F(QuickPrintTest, CancelPrintsNothingAndChangesNothing) {
    printer.dialogAnswers = {false};
    form.calenprintClick();
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_TRUE(ui.messages.empty());
    expectRestored();
}

TEST_F(QuickPrintTest, EveryFailureIsReportedAbortedAndRestored) {
    const QString error = QStringLiteral("エラー");
    const QString abortFailed = QStringLiteral("印刷中止にも失敗");
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
        {{"startDoc", "abortDoc"}, {"startDoc", "abortDoc"}, {QStringLiteral("印刷開始に失敗"), abortFailed}},
        {{"endDoc", "abortDoc"},
         {"startDoc", "startPage", "endPage", "endDoc", "abortDoc"},
         {QStringLiteral("印刷終了に失敗"), abortFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail.front() + (c.fail.size() > 1 ? " + abortDoc" : ""));
        printer.steps.clear();
        printer.failSteps = c.fail;
        ui.messages.clear();
        form.calenprintClick();
        EXPECT_EQ(printer.steps, c.steps);
        ASSERT_EQ(ui.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(ui.messages[i], (RecordedMessage{c.messages[i], error, MsgButtons::Ok}));
        expectRestored();
        EXPECT_EQ(printer.liveJobs, 0);
    }

    // A printer that cannot take bitmaps is told so before any step.
    printer.steps.clear();
    printer.failSteps.clear();
    printer.bitmaps = false;
    ui.messages.clear();
    form.calenprintClick();
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{{QStringLiteral("このプリンタはビットマップを印刷できません。"),
                                                          QStringLiteral("デバイスエラー"), MsgButtons::Ok}}));
    expectRestored();
}

}  // namespace
