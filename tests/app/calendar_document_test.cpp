#include "app/calendar_document.h"

#include <gtest/gtest.h>

#include "platform/ui.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"
#include "sync/caldav_sync.h"

using namespace sorvel;

namespace {

class CalendarDocumentTest : public sorvel::testing::ProgramDirTest {
protected:
    // Another program's version of the data file: notes of 2 September 2001.
    void other(const std::vector<const char*>& captions) {
        TDateMemoList memos;
        THolidayList rules;
        for (const char* c : captions) memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 2, "", c}));
        write("Sorvel.dat", buildDataFile(memos, rules));
    }
    std::vector<std::string> captionsOnDisk() {
        TDateMemoList memos;
        THolidayList rules;
        parseDataFile(read("Sorvel.dat"), rules, memos);
        std::vector<std::string> captions;
        for (const auto& m : memos) captions.push_back(m->caption);
        return captions;
    }

    ScriptedUi ui;
    std::string memoFileName = "Sorvel.dat";
    CalendarDocument doc{memoFileName, dir.path()};
};

TEST_F(CalendarDocumentTest, TheDataFileAndItsSyncStateLieInTheProgramDirectory) {
    write("Sorvel.dat.sync.kLmNoP", "half a save");
    doc.removeSaveLeftovers();
    EXPECT_EQ(memoFileName, cp932FromPath(path("Sorvel.dat")));
    EXPECT_EQ(doc.dataFile(), path("Sorvel.dat"));
    EXPECT_EQ(doc.syncStateFile(), path("Sorvel.dat.sync"));
    EXPECT_EQ(read("Sorvel.dat.sync.kLmNoP"), "<missing>");

    QString error;
    EXPECT_TRUE(doc.SaveSyncState(SyncState{}, &error));
    EXPECT_EQ(read("Sorvel.dat.sync").substr(0, 13), "SorvelSync 1\n");
    memoFileName = cp932FromPath(path("missing/Sorvel.dat"));
    EXPECT_FALSE(doc.SaveSyncState(SyncState{}, &error));
    EXPECT_EQ(error, QStringLiteral("フォルダがありません。"));
}

TEST_F(CalendarDocumentTest, ASyncsChangesJoinTheListsAsTheyAreNow) {
    doc.memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 12, 8, "", "meeting"}));
    doc.memos().push_back(nullptr);
    EXPECT_EQ(doc.snapshot().memos.size(), 1u);
    doc.memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 12, 9, "", "edited meanwhile"}));
    EXPECT_FALSE(doc.ApplySync(SyncResult{}));
    SyncResult result;
    result.memosToAdd = {TDateMemo{2026, 12, 10, "", "movie"}};
    result.memosToRemove = {TDateMemo{2026, 12, 8, "", "meeting"}};
    EXPECT_TRUE(doc.ApplySync(result));
    ASSERT_EQ(doc.memoList().size(), 2u);
    EXPECT_EQ(doc.memoList()[0]->caption, "edited meanwhile");
    EXPECT_EQ(doc.memoList()[1]->caption, "movie");
}

TEST_F(CalendarDocumentTest, NotesAnotherProgramWroteMeanwhileSurviveTheNextSave) {
    write("Sorvel.dat", std::string("<+Sorvel>\0<-Sorvel>\0", 20));
    doc.Load();
    ASSERT_TRUE(ui.messages.empty());
    other({"theirs"});
    doc.memos().push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, "", "ours"}));
    std::size_t merged = 0;
    EXPECT_EQ(doc.Save(&merged), 1);
    EXPECT_EQ(merged, 1u);
    EXPECT_EQ(ui.messages, (std::vector<RecordedMessage>{
                               {QStringLiteral("データファイルは他のプログラムで変更されていました。\n他の版の予定・休日 1件を取り込みました。"),
                                QStringLiteral("メッセージ from Sorvel"), MsgButtons::Ok}}));
    EXPECT_EQ(captionsOnDisk(), (std::vector<std::string>{"theirs", "ours"}));
    EXPECT_EQ(doc.memos().size(), 2u);

    // When nobody can be asked (the session end): taken in all the same.
    ui.messages.clear();
    other({"theirs", "later"});
    {
        UnattendedUi unattended;
        EXPECT_EQ(doc.Save(), 1);
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(captionsOnDisk(), (std::vector<std::string>{"theirs", "later", "ours"}));
}

}  // namespace
