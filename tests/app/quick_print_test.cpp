#include <gtest/gtest.h>


#include "app/main_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "settings/calender_set.h"
#include "support/print_failures.h"
#include "support/program_dir.h"

using namespace sorvel;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kSilver = 0xFFC0C0C0;  // the default background

class QuickPrintTest : public sorvel::testing::ProgramDirTest {
protected:
    void SetUp() override {
        ProgramDirTest::SetUp();
        form.FormCreate();
        ui.messages.clear();  // the first start's file messages
        form.draw().settings().TodayColoring = 1;
    }
    void TearDown() override {
        TSorvelDraw::setRenderHookForTesting(nullptr);
        ProgramDirTest::TearDown();
    }
    // The window's own zoom, frame and buttons, whatever happened.
    void expectRestored() {
        const TCalenderSet& cs = form.draw().settings();
        EXPECT_EQ(cs.DispPercent, 100.0f);
        EXPECT_EQ(cs.TodayColoring, 1);
        EXPECT_EQ(cs.NoDrawButton, 0);
        EXPECT_EQ(form.draw().CanvasWidth(), 640);
        EXPECT_FALSE(form.printing());
        EXPECT_EQ(printer.liveJobs, 0);
    }

    ScriptedUi ui;
    RecordingPrinter printer;
    TMainForm form;
};

TEST_F(QuickPrintTest, OnePageWithTheCalendarAsLargeAsFitsAtTheTopLeft) {
    form.show();
    const QSize shown = form.size();
    QSize duringPrint;
    float zoom = -1;
    int todayColoring = -1, noDrawButton = -1;
    TSorvelDraw::setRenderHookForTesting([&] {
        if (!form.printing()) return;
        form.repaint();  // the window paints its own canvas at its own size meanwhile
        duringPrint = form.size();
        zoom = form.draw().settings().DispPercent;
        todayColoring = form.draw().settings().TodayColoring;
        noDrawButton = form.draw().settings().NoDrawButton;
    });
    form.calenprintClick();

    EXPECT_EQ(duringPrint, shown);
    EXPECT_EQ(zoom, 100.0f);
    EXPECT_EQ(todayColoring, 1);
    EXPECT_EQ(noDrawButton, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(printer.dialogs, std::vector<PrintDialogKind>{PrintDialogKind::Setup});
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc"}));
    // The full-width space between the name and the year stays.
    EXPECT_EQ(printer.documentNames, std::vector<QString>{QString::fromUtf8("Sorvel\xE3\x80\x80" "2001年9月")});
    // 4760 × 6779 printable pixels and a 640 × 480 base: 4757 × 3568 from (0, 0).
    ASSERT_EQ(printer.pages.size(), 1u);
    const QImage& page = printer.pages[0];
    EXPECT_EQ(page.pixel(0, 0), kSilver);  // no month button in the corner
    EXPECT_EQ(page.pixel(4756, 3567), kSilver);
    EXPECT_EQ(page.pixel(4757, 3567), kWhite);
    EXPECT_EQ(page.pixel(4756, 3568), kWhite);
    expectRestored();
    EXPECT_EQ(form.size(), shown);
}

// The session ends while the page is being rendered: the state file gets the window's own zoom,
// today frame and month buttons, and the print goes on with its own.
TEST_F(QuickPrintTest, SessionEndDuringThePrintStoresTheWindowsOwnSettings) {
    int saved = -1;
    TSorvelDraw::setRenderHookForTesting([&] {
        if (!form.printing() || saved != -1) return;
        saved = form.SaveForSessionEnd();
    });
    form.calenprintClick();
    EXPECT_EQ(saved, 1);
    TCalenderSet stored;
    ASSERT_EQ(parseStateFile(readWholeFile(dir.filePath("SorvelSt.dat")).value_or(""), stored), 1);
    EXPECT_EQ(stored.DispPercent, 100.0f);
    EXPECT_EQ(stored.TodayColoring, 1);
    EXPECT_EQ(stored.NoDrawButton, 0);
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc"}));
    expectRestored();
}

TEST_F(QuickPrintTest, CancelFailuresAndPrintersWithoutBitmapsLeaveTheWindowAsItWas) {
    printer.dialogAnswers = {false};
    form.calenprintClick();
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_TRUE(ui.messages.empty());
    expectRestored();

    for (const print_cases::PrintFailure& c : print_cases::printFailures()) {
        SCOPED_TRACE(print_cases::name(c));
        printer.steps.clear();
        printer.failSteps = c.fail;
        ui.messages.clear();
        form.calenprintClick();
        EXPECT_EQ(printer.steps, c.steps);
        EXPECT_EQ(ui.messages, print_cases::errors(c));
        expectRestored();
    }

    printer.steps.clear();
    printer.bitmaps = false;
    ui.messages.clear();
    form.calenprintClick();
    EXPECT_TRUE(printer.steps.empty());
    EXPECT_EQ(ui.messages, std::vector<RecordedMessage>{print_cases::kNoBitmaps});
    expectRestored();

    // A page with no room for a picture is not sent blank: the job is aborted.
    printer.steps.clear();
    printer.pages.clear();
    printer.bitmaps = true;
    printer.printableWidth = 2;
    form.calenprintClick();
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "abortDoc"}));
    EXPECT_TRUE(printer.pages.empty());
    expectRestored();
}

}  // namespace
