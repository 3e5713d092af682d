// The import and export commands through the calendar's menu and the schedule list's row menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>

#include "app/main_form.h"
#include "ical/ical_commands.h"
#include "ical/ical_import.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"
#include "schedule/schedule_tree_model.h"
#include "schedule/yotei_form.h"

#include <QTreeView>

using namespace sorvel;

namespace {

class IcalCommands : public sorvel::testing::ProgramDirTest {
protected:
    IcalCommands() : ProgramDirTest(LocalDate{2026, 3, 1}) {}
    void SetUp() override {
        ProgramDirTest::SetUp();
        ASSERT_TRUE(atomicReplace(path("Sorvel.dat"), std::string("<+Sorvel>\0<-Sorvel>\0", 20)));
        form.FormCreate();
        ui.messages.clear();
    }
    QAction* action(const char* name) { return form.popupMenu()->findChild<QAction*>(QString::fromLatin1(name)); }
    // Answers the next modal dialog: the years typed, the check box set, then OK.
    static void answerDialog(int from, int to, bool national = false) {
        QTimer::singleShot(0, [=] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            if (auto* c = d->findChild<QCheckBox*>(QStringLiteral("National"))) c->setChecked(national);
            d->findChild<QSpinBox*>(QStringLiteral("FromYear"))->setValue(from);
            d->findChild<QSpinBox*>(QStringLiteral("ToYear"))->setValue(to);
            d->accept();
        });
    }

    ScriptedUi ui;
    TMainForm form;
};

TEST_F(IcalCommands, SubmenuStandsBetweenQuickPrintAndHelp) {
    QStringList titles;
    for (QAction* a : form.popupMenu()->actions()) titles << a->text();
    const qsizetype at = titles.indexOf(QStringLiteral("予定の読み込みと書き出し(&I)"));
    ASSERT_GT(at, 0);
    EXPECT_EQ(titles[at - 1], QStringLiteral("簡単印刷(&P)"));
    EXPECT_EQ(titles[at + 1], QStringLiteral("ヘルプ(&H)"));
    EXPECT_EQ(action("IcalImport")->text(), QStringLiteral("iCalendarファイルを読み込む(&I)..."));
    EXPECT_EQ(action("IcalExport")->text(), QStringLiteral("iCalendarファイルに書き出す(&E)..."));
}

TEST_F(IcalCommands, ImportAddsSavesAndSaysWhatCameInAndASecondImportAddsNothing) {
    ASSERT_TRUE(atomicReplace(path("in.ics"),
                              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                              "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260310\r\nSUMMARY:歯医者😀\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20200101\r\nRRULE:FREQ=MONTHLY;COUNT=100\r\n"
                              "SUMMARY:月初\r\nEND:VEVENT\r\n"
                              "BEGIN:VTODO\r\nSUMMARY:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"));
    ui.fileAnswers.push_back(path("in.ics"));
    answerDialog(2026, 2026);
    action("IcalImport")->trigger();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filter, QStringLiteral("iCalendar (*.ics)|*.ics"));
    ASSERT_EQ(ui.messages.size(), 1u);
    // 12 first days of 2026 and the dentist; the monthly one also repeats in 2020 to 2025.
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("予定 13件、休日 0件を追加しました。\n"
                                                              "繰り返す予定 1件の、2026〜2026年の外にある日は読み込みませんでした。\n"
                                                              "ToDo・日誌・アラームなど 1件は読み込みませんでした。\n"
                                                              "Shift-JISにない文字 1文字を「？」にしました。"),
                                               QStringLiteral("メッセージ"), MsgButtons::Ok}));
    const std::string saved = readWholeFile(path("Sorvel.dat")).value_or("");
    EXPECT_NE(saved.find(sjis("歯医者？")), std::string::npos);
    EXPECT_EQ(form.document().memos().size(), 13u);

    ui.fileAnswers.push_back(path("in.ics"));
    answerDialog(2026, 2026);
    action("IcalImport")->trigger();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.startsWith(QStringLiteral("予定 0件、休日 0件を追加しました。\n13件は登録済みでした。")))
        << ui.messages[1].text.toStdString();
    EXPECT_EQ(form.document().memos().size(), 13u);
}

TEST_F(IcalCommands, AShiftJisFileIsReadAsThatAndTheMessageSaysSo) {
    ASSERT_TRUE(atomicReplace(path("sjis.ics"), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260310\r\n"
                                                "SUMMARY:\x8E\x95\x88\xE3\x8E\xD2\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSTATUS:CANCELLED\r\n"
                                                "DTSTART;VALUE=DATE:20260311\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
    ui.fileAnswers.push_back(path("sjis.ics"));
    answerDialog(2026, 2026);
    action("IcalImport")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("予定 1件、休日 0件を追加しました。\n"
                                                              "UTF-8ではないので、Shift-JISのファイルとして読み込みました。\n"
                                                              "取り消された予定 1件は読み込みませんでした。"),
                                               QStringLiteral("メッセージ"), MsgButtons::Ok}));
}

TEST_F(IcalCommands, RefusedFilesChangeNothing) {
    ASSERT_TRUE(atomicReplace(path("not.ics"), "<html>\r\n"));
    ui.fileAnswers.push_back(path("not.ics"));
    answerDialog(2026, 2027);
    action("IcalImport")->trigger();
    QFile big(path("big.ics"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kIcalMaxFileBytes + 1));
    big.close();
    ui.fileAnswers.push_back(path("big.ics"));
    action("IcalImport")->trigger();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("iCalendarファイルではありません。"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("ファイルが大きすぎます。読み込めるのは64MBまでのファイルです。"));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("メッセージ"));
    EXPECT_TRUE(form.document().memos().empty());
}

TEST_F(IcalCommands, ExportWritesNotesRulesAndAskedNationalHolidaysAndAFailedWriteKeepsTheFile) {
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 3, 10, sjis("本文"), sjis("見だし")}));
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{1700, 2, 29, "", "leap"}));
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{1752, 9, 5, "", "gap"}));
    ui.fileAnswers.push_back(path("out.ics"));
    answerDialog(2026, 2026, true);
    action("IcalExport")->trigger();
    EXPECT_EQ(ui.fileRequests.back().defaultSuffix, QStringLiteral("ics"));
    const std::string out = readWholeFile(path("out.ics")).value_or("");
    EXPECT_NE(out.find("SUMMARY:見だし\r\nDESCRIPTION:本文\r\n"), std::string::npos);
    EXPECT_NE(out.find("UID:national-20260505@sorvel"), std::string::npos);
    EXPECT_NE(out.find("DTSTART;VALUE=DATE:17000311\r\nDTEND;VALUE=DATE:17000312\r\nSUMMARY:leap"), std::string::npos);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("1件の予定は書き出しませんでした。\n日付が暦にないか、iCalendarの日付"
                                                  "（グレゴリオ暦の1年1月1日から9999年12月31日）で表せません。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
    ui.messages.clear();

    setSaveFaultForTesting({SaveFault::Commit});
    ui.fileAnswers.push_back(path("out.ics"));
    answerDialog(2026, 2026, false);
    action("IcalExport")->trigger();
    setSaveFaultForTesting({});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(path("out.ics") + QStringLiteral(" に書き出せませんでした。\n")));
    EXPECT_EQ(readWholeFile(path("out.ics")).value_or(""), out);
}

TEST_F(IcalCommands, ExportWritesTheAlmanacOfTheYearsAskedOnlyWhenItsBoxIsTicked) {
    ui.fileAnswers.push_back(path("alm.ics"));
    QString caption;
    bool rangeEnabledBefore = true;
    int lowest = 0, highest = 0;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        auto* box = d->findChild<QCheckBox*>(QStringLiteral("Almanac"));
        ASSERT_NE(box, nullptr);
        caption = box->text();
        auto* from = d->findChild<QSpinBox*>(QStringLiteral("AlmanacFromYear"));
        auto* to = d->findChild<QSpinBox*>(QStringLiteral("AlmanacToYear"));
        rangeEnabledBefore = from->isEnabled();
        box->setChecked(true);
        from->setValue(1);
        lowest = from->value();
        to->setValue(9999);
        highest = to->value();
        from->setValue(2026);
        to->setValue(2026);
        d->accept();
    });
    action("IcalExport")->trigger();
    EXPECT_EQ(caption, QStringLiteral("暦注も書き出す"));
    EXPECT_FALSE(rangeEnabledBefore);
    EXPECT_EQ(lowest, 1873);
    EXPECT_EQ(highest, 2200);
    const std::string out = readWholeFile(path("alm.ics")).value_or("");
    EXPECT_NE(out.find("UID:rokuyo-20260101@sorvel"), std::string::npos);
    EXPECT_NE(out.find("UID:rokuyo-20261231@sorvel"), std::string::npos);
    EXPECT_EQ(out.find("UID:rokuyo-20251231@sorvel"), std::string::npos);
    EXPECT_EQ(out.find("UID:rokuyo-20270101@sorvel"), std::string::npos);

    ui.fileAnswers.push_back(path("none.ics"));
    answerDialog(2026, 2026, true);
    action("IcalExport")->trigger();
    EXPECT_EQ(readWholeFile(path("none.ics")).value_or("x").find("X-SORVEL-ALMANAC"), std::string::npos);
}

TEST_F(IcalCommands, ScheduleListExportsTheRowsItShows) {
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 3, 10, "", "a"}));
    form.document().memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2025, 1, 1, "", "b"}));
    form.sorvelSet().yotei.YoDisp = 1;
    form.ApplyYoDisp();
    TYoteiForm* list = form.yoteiForm();
    ASSERT_NE(list, nullptr);
    // The tree's year 2026.
    const QModelIndex root = list->treeModel()->rootIndex();
    QModelIndex year2026;
    for (int i = 0; i < list->treeModel()->rowCount(root); ++i)
        if (list->treeModel()->index(i, 0, root).data().toString().startsWith(QStringLiteral("2026")))
            year2026 = list->treeModel()->index(i, 0, root);
    ASSERT_TRUE(year2026.isValid());
    list->dateTree()->setCurrentIndex(year2026);
    list->Refresh();
    ui.fileAnswers.push_back(path("list.ics"));
    list->popupMenu()->findChild<QAction*>(QStringLiteral("IcalExport"))->trigger();
    const std::string out = readWholeFile(path("list.ics")).value_or("");
    EXPECT_NE(out.find("SUMMARY:a\r\n"), std::string::npos);
    EXPECT_EQ(out.find("SUMMARY:b\r\n"), std::string::npos);
    EXPECT_EQ(out.find("RRULE"), std::string::npos);
}

}  // namespace
