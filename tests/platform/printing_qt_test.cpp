#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/files.h"
#include "platform/print_library.h"
#include "platform/printing_qt.h"
#include "support/scripted_ui.h"

using namespace sorvel;

namespace {

// Jobs spool into a directory of their own (TMPDIR) and hand finished documents to a recorder.
class SpooledJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", spoolDir.path().toLocal8Bit());
        setPrintSubmitter([this](const PrintSubmission& s) {
            submitted.push_back(s);
            pagesAtSubmit = pageCount(readWholeFile(s.file).value_or(std::string()));
            return accept;
        });
    }
    void TearDown() override {
        setPrintSubmitter({});
        qputenv("TMPDIR", previousTmp_);
    }
    static int pageCount(const std::string& pdf) {
        return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
    }
    QStringList spoolFiles() const { return QDir(spoolDir.path()).entryList(QDir::Files | QDir::Hidden); }
    static PrintDestination queue() {
        return {QStringLiteral("Queue"), QString(), QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                false, QPrinter::Color, {{"copies", "2"}}};
    }
    // Two pages with a line on each; the steps' results in order.
    static std::vector<bool> twoPages(PrintJob& job) {
        std::vector<bool> r{job.startDoc(QStringLiteral("Sorvel 一覧印刷"))};
        for (int i = 0; i < 2; ++i) {
            r.push_back(job.startPage());
            if (QPainter* p = job.pagePainter()) p->drawLine(0, 0, 300, 300);
            r.push_back(job.endPage());
        }
        return r;
    }

    QTemporaryDir spoolDir;
    std::vector<PrintSubmission> submitted;
    int pagesAtSubmit = -1;
    bool accept = true;

private:
    QByteArray previousTmp_;
};

TEST_F(SpooledJobTest, APrinterGetsTheWholeDocumentOnceAtItsEnd) {
    auto job = spooledJob(queue());
    EXPECT_EQ(twoPages(*job), std::vector<bool>(5, true));
    EXPECT_TRUE(submitted.empty());  // nothing goes before the end of the document
    EXPECT_EQ(spoolFiles().size(), 1);
    EXPECT_TRUE(job->endDoc());
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].printer, QStringLiteral("Queue"));
    EXPECT_EQ(submitted[0].jobName, QStringLiteral("Sorvel 一覧印刷"));
    EXPECT_EQ(submitted[0].options, (std::vector<std::pair<QByteArray, QByteArray>>{{"copies", "2"}}));
    EXPECT_EQ(pagesAtSubmit, 2);
    EXPECT_TRUE(spoolFiles().isEmpty());
}

TEST_F(SpooledJobTest, AbortFailureAndDropSendNothingAndLeaveNoSpool) {
    {
        auto job = spooledJob(queue());
        twoPages(*job);
        EXPECT_TRUE(job->abortDoc());
        EXPECT_TRUE(spoolFiles().isEmpty());
        EXPECT_FALSE(job->abortDoc());  // nothing left to abort
    }
    {
        auto job = spooledJob(queue());  // dropped in the middle of a page
        job->startDoc(QStringLiteral("x"));
        job->startPage();
    }
    EXPECT_TRUE(submitted.empty());
    EXPECT_TRUE(spoolFiles().isEmpty());

    // The queue refuses the job: the end of the document fails, the abort after it works.
    accept = false;
    auto job = spooledJob(queue());
    twoPages(*job);
    EXPECT_FALSE(job->endDoc());
    EXPECT_TRUE(job->abortDoc());
    EXPECT_EQ(submitted.size(), 1u);
    EXPECT_TRUE(spoolFiles().isEmpty());
}

TEST_F(SpooledJobTest, APdfFileIsReplacedOnlyAtTheEnd) {
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("list.pdf"));
    ASSERT_TRUE(atomicReplace(path, "old"));
    {
        auto job = pdfFileJob(path);
        twoPages(*job);
        EXPECT_EQ(readWholeFile(path), std::string("old"));
        EXPECT_TRUE(job->abortDoc());
    }
    EXPECT_EQ(readWholeFile(path), std::string("old"));
    auto job = pdfFileJob(path);
    twoPages(*job);
    EXPECT_EQ(readWholeFile(path), std::string("old"));
    EXPECT_TRUE(job->endDoc());
    EXPECT_EQ(pageCount(readWholeFile(path).value_or(std::string())), 2);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.pdf")});
    EXPECT_TRUE(spoolFiles().isEmpty());
    EXPECT_TRUE(submitted.empty());
}

// The program's printers come from libsorvel-print.so (not beside a test): without it the user
// who asks to print is told so each time, while a page looking for its paper is told nothing.
TEST(LoadedPrintService, WithoutItsLibraryAPrintDialogSaysSoAndAPaperLookSaysNothing) {
    ScriptedUi ui;
    LoadedPrintService printers;
    EXPECT_EQ(printers.defaultPrinter(), nullptr);
    EXPECT_TRUE(ui.messages.empty());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(printers.printDialog(nullptr, PrintDialogKind::Print, {}), nullptr);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.startsWith(QStringLiteral("印刷の機能を読み込めませんでした。\n")));
    EXPECT_TRUE(ui.messages[1].text.contains(QStringLiteral("libsorvel-print.so")));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("エラー"));
}

}  // namespace
