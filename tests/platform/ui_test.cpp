#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"

using namespace sorvel;

TEST(ScriptedUi, RecordsMessagesAndAnswersFromItsQueue) {
    ScriptedUi scripted;
    scripted.answers = {MsgAnswer::No, MsgAnswer::Cancel};
    EXPECT_EQ(ui().messageBox("終了しますか？", "確認", MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(ui().messageBox("t2", "c2", MsgButtons::YesNoCancel), MsgAnswer::Cancel);
    // Queue empty: the first button answers.
    EXPECT_EQ(ui().messageBox("t3", "c3", MsgButtons::YesNoCancel), MsgAnswer::Yes);
    EXPECT_EQ(ui().messageBox("t4", "c4", MsgButtons::OkCancel), MsgAnswer::Ok);
    showMessage("データ", "メッセージ");
    EXPECT_EQ(scripted.messages, (std::vector<RecordedMessage>{
                                     {"終了しますか？", "確認", MsgButtons::YesNo},
                                     {"t2", "c2", MsgButtons::YesNoCancel},
                                     {"t3", "c3", MsgButtons::YesNoCancel},
                                     {"t4", "c4", MsgButtons::OkCancel},
                                     {"データ", "メッセージ", MsgButtons::Ok},
                                 }));

    scripted.fileAnswers = {QString("/tmp/a.dat"), std::nullopt};
    EXPECT_EQ(ui().openFile({"開く", "data|*.dat", "/tmp"}), QString("/tmp/a.dat"));
    EXPECT_EQ(ui().saveFile({"保存", "", ""}), std::nullopt);
    EXPECT_EQ(ui().openFile({"again", "", ""}), std::nullopt);
    ASSERT_EQ(scripted.fileRequests.size(), 3u);
    EXPECT_EQ(scripted.fileRequests[0].filter, "data|*.dat");
    EXPECT_EQ(scripted.fileRequests[1].title, "保存");
    EXPECT_TRUE(ui().openDocument("https://example.org/"));
    EXPECT_EQ(scripted.openedDocuments, QStringList{"https://example.org/"});
}

TEST(ScriptedUi, NestedServicesRestoreThePreviousOne) {
    ScriptedUi outer;
    {
        ScriptedUi inner;
        showMessage("inner", "c");
        EXPECT_EQ(inner.messages.size(), 1u);
    }
    showMessage("outer", "c");
    ASSERT_EQ(outer.messages.size(), 1u);
    EXPECT_EQ(outer.messages[0].text, "outer");
}

TEST(Clock, FixedDateForTests) {
    setTodayForTesting(LocalDate{2001, 12, 5});
    EXPECT_EQ(today(), (LocalDate{2001, 12, 5}));
    setTodayForTesting(std::nullopt);
    const LocalDate now = today();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
}
