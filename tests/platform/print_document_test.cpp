// The document loop beside the printer: the pages come one after the other, and a page that has
// nothing to print ends the job with an abort (the painter has said why; the loop says nothing).
#include <gtest/gtest.h>

#include "platform/print_document.h"
#include "platform/printing.h"
#include "platform/ui.h"

namespace sorvel {
namespace {

TEST(PrintDocument, PagesInTurnAndARefusedPageAbortsWithoutAMessage) {
    ScriptedUi ui;
    RecordingPrinter printer;
    std::unique_ptr<PrintJob> job = printService().defaultPrinter();
    ASSERT_TRUE(job);
    std::vector<int> painted;
    const bool ended = printDocument(*job, QStringLiteral("三枚"), 3, [&](int page) {
        painted.push_back(page);
        return page < 1;
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(painted, (std::vector<int>{0, 1}));
    EXPECT_EQ(printer.steps, (std::vector<std::string>{"startDoc", "startPage", "endPage", "startPage", "abortDoc"}));
    EXPECT_EQ(printer.documentNames, (std::vector<QString>{QStringLiteral("三枚")}));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sorvel
