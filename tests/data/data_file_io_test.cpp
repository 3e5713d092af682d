#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/data_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"

using namespace sorvel;
using namespace std::string_literals;

namespace {

class DataFileIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { setSaveFaultForTesting({}); }

    std::string pathOf(const QString& name) const { return cp932FromPath(dir.filePath(name)); }
    void fill() {
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 5, 3, "t", "c"}));
        rules.push_back(std::make_unique<THolidaySet>(THolidaySet{1, 0, 5, 3, 0, 0, 0, "n"}));
    }
    bool listsStillFilled() const {
        return memos.size() == 1 && memos[0]->caption == "c" && rules.size() == 1 && rules[0]->name == "n";
    }

    QTemporaryDir dir;
    ScriptedUi scripted;
    THolidayList rules;
    TDateMemoList memos;
};

}  // namespace

TEST_F(DataFileIo, ResolvesTheDefaultNameToTheProgramDirectory) {
    const QString programDir = dir.path();
    const std::string expected = pathOf("Sorvel.dat");
    for (std::string name : {""s, "Sorvel.dat"s}) {
        EXPECT_EQ(resolveDataFileName(name, programDir), expected);
        EXPECT_EQ(name, expected);  // stored back
    }
    std::string trailing = "Sorvel.dat";
    EXPECT_EQ(resolveDataFileName(trailing, programDir + "/"), expected);
    // A directory CP932 cannot hold keeps the short name, also where its UTF-8 bytes were stored.
    for (std::string name : {""s, "/tmp/d\xC3\xA9/Sorvel.dat"s})
        EXPECT_EQ(resolveDataFileName(name, QString::fromUtf8("/tmp/dé")), "Sorvel.dat");
    for (std::string name : {"sorvel.dat"s, "./Sorvel.dat"s, "Sorvel.dat "s, "/home/u/" + sjis("予定.dat")}) {
        const std::string before = name;
        EXPECT_EQ(resolveDataFileName(name, programDir), before);
        EXPECT_EQ(name, before);
    }
}

TEST_F(DataFileIo, SaveAndLoadThroughTheProgramDirectory) {
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 12, 5, "x<y\r\nz", sjis("<見だし>")}));
    memos.push_back(nullptr);
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2000, 6, 1, "", "first"}));
    rules.push_back(nullptr);
    rules.push_back(std::make_unique<THolidaySet>(THolidaySet{2, 1, 1, 9, 2, 1, 2, sjis("成人の日")}));
    std::string name;
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 1);
    EXPECT_EQ(name, pathOf("Sorvel.dat"));
    EXPECT_EQ(memos.size(), 2u);
    EXPECT_EQ(rules.size(), 1u);
    const auto bytes = readWholeFile(dir.filePath("Sorvel.dat"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, buildDataFile(memos, rules));

    THolidayList loadedRules;
    TDateMemoList loadedMemos;
    std::string again = "Sorvel.dat";
    LoadDataFile(again, dir.path(), loadedRules, loadedMemos);
    EXPECT_TRUE(scripted.messages.empty());
    ASSERT_EQ(loadedMemos.size(), 2u);
    EXPECT_EQ(loadedMemos[0]->caption, "first");
    EXPECT_EQ(loadedMemos[1]->text, "x<y\r\nz");
    EXPECT_EQ(loadedMemos[1]->caption, sjis("<見だし>"));
    ASSERT_EQ(loadedRules.size(), 1u);
    EXPECT_EQ(loadedRules[0]->name, sjis("成人の日"));
    EXPECT_EQ(loadedRules[0]->day, 9);
}

TEST_F(DataFileIo, MissingFileIsAnnouncedAndTheListsStay) {
    fill();
    std::string name = pathOf(QString::fromUtf8("予定.dat"));
    LoadDataFile(name, dir.path(), rules, memos);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text, "データ保存ファイル\n" + dir.filePath(QString::fromUtf8("予定.dat")) + " を作成します。");
    EXPECT_EQ(scripted.messages[0].caption, "メッセージ");
    EXPECT_EQ(scripted.messages[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(listsStillFilled());

    // An empty file is usable as it is, silently.
    scripted.messages.clear();
    ASSERT_TRUE(atomicReplace(dir.filePath("empty.dat"), ""));
    for (std::string other : {pathOf("empty.dat")}) {
        LoadDataFile(other, dir.path(), rules, memos);
        EXPECT_TRUE(scripted.messages.empty());
        EXPECT_TRUE(listsStillFilled());
    }
}

TEST_F(DataFileIo, AnotherProgramsFileIsKeptAsideBeforeTheFirstSave) {
    const QString file = dir.filePath("text.dat");
    ASSERT_TRUE(atomicReplace(file, "just some text\r\n"));
    fill();
    std::string name = pathOf("text.dat");
    LoadDataFile(name, dir.path(), rules, memos);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text, file + "\nは壊れています。読み込めた予定と祝日だけを使います。\n元のファイルは\n" +
                                             file + ".damaged\nに残しました。");
    EXPECT_TRUE(listsStillFilled());
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 1);
    EXPECT_EQ(readWholeFile(file + ".damaged"), "just some text\r\n");
}

TEST_F(DataFileIo, DamagedFileIsKeptBesideAndEveryIntactRecordRead) {
    const std::string good = "<+M03>\r\n<+S01>\r\n<+DA>2001<-DA><-S01>\r\n<-M03>\r\n";
    const std::string rule = "<+M04>\r\n<+S03>\r\n<+DA>5<-DA><-S03>\r\n<-M04>\r\n";
    const std::string damaged = "<+Sorvel>\0"s + good + "\r\n<+M03>\r\n<+S01>\r\n<+DA>x<-DA>" + rule + "<-Sorvel>\0"s;
    ASSERT_TRUE(atomicReplace(dir.filePath("bad.dat"), damaged));
    fill();
    std::string name = pathOf("bad.dat");
    LoadDataFile(name, dir.path(), rules, memos);
    const QString copy = dir.filePath("bad.dat.damaged");
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text, dir.filePath("bad.dat") +
                                             "\nは壊れています。読み込めた予定と祝日だけを使います。\n元のファイルは\n" +
                                             copy + "\nに残しました。");
    EXPECT_EQ(scripted.messages[0].caption, "エラー");
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->year, 2001);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0]->month, 5);
    EXPECT_EQ(readWholeFile(copy), damaged);

    // Saving replaces the file with what was read; the copy stays. The same damage loaded again
    // reuses its copy; other damaged bytes get a numbered one.
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 1);
    EXPECT_EQ(readWholeFile(copy), damaged);
    ASSERT_TRUE(atomicReplace(dir.filePath("bad.dat"), damaged));
    LoadDataFile(name, dir.path(), rules, memos);
    EXPECT_FALSE(QFileInfo::exists(copy + ".2"));
    ASSERT_TRUE(atomicReplace(dir.filePath("bad.dat"), damaged + "x"));
    LoadDataFile(name, dir.path(), rules, memos);
    EXPECT_EQ(readWholeFile(copy + ".2"), damaged + "x");
}

TEST_F(DataFileIo, UnwritableFileIsReportedAndTheOldFileKept) {
    fill();
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    for (const auto& [target, reason] : {std::pair{dir.filePath("missing/Sorvel.dat"), "フォルダがありません。"},
                                         std::pair{dir.filePath("folder"), "同じ名前のフォルダがあります。"}}) {
        scripted.messages.clear();
        std::string name = cp932FromPath(target);
        EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 0);
        ASSERT_EQ(scripted.messages.size(), 1u);
        EXPECT_EQ(scripted.messages[0].text, target + "\nが作成できませんでした。\n" + reason);
        EXPECT_EQ(scripted.messages[0].caption, "メッセージ from Sorvel");
        EXPECT_EQ(scripted.messages[0].buttons, MsgButtons::Ok);
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));

    // A save that fails half-way leaves the previous file as it was.
    const std::string previous = "<+Sorvel>\0<-Sorvel>\0"s;
    ASSERT_TRUE(atomicReplace(dir.filePath("Sorvel.dat"), previous));
    setSaveFaultForTesting({SaveFault::WriteAfterBytes, 20});
    std::string name;
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 0);
    EXPECT_EQ(scripted.messages.back().text,
              dir.filePath("Sorvel.dat") + "\nが作成できませんでした。\ninjected: no space left on device");
    EXPECT_EQ(readWholeFile(dir.filePath("Sorvel.dat")), std::optional<std::string>(previous));
}

TEST_F(DataFileIo, OlderBinaryFileIsRewrittenTaggedByTheNextSave) {
    std::string binary = "Sorvel\0"s;
    auto i32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) binary.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    i32(1);
    i32(0x1001), i32(4), i32(1999);
    i32(0x1005), i32(3), binary += "old";
    i32(0), i32(0);
    ASSERT_TRUE(atomicReplace(dir.filePath("Sorvel.dat"), binary));
    std::string name;
    LoadDataFile(name, dir.path(), rules, memos);
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->year, 1999);
    EXPECT_EQ(memos[0]->caption, "old");
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 1);
    EXPECT_EQ(readWholeFile(dir.filePath("Sorvel.dat")),
              std::optional<std::string>("<+Sorvel>\0<+M03>\r\n<+S01>\r\n<+DA>1999<-DA><-S01>\r\n"
                                         "<+S02>\r\n<+DA>0<-DA><-S02>\r\n<+S03>\r\n<+DA>0<-DA><-S03>\r\n"
                                         "<+S04>\r\n<+DA><-DA><-S04>\r\n<+S05>\r\n<+DA>old<-DA><-S05>\r\n"
                                         "<-M03>\r\n<-Sorvel>\0"s));
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(DataFileIo, AFileThatCannotBeReadIsMovedAsideNeverReplaced) {
    // Larger than any data file is read: a sparse file costs no disk.
    const QString big = dir.filePath("big.dat");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxReadBytes + 1));
    }
    fill();
    std::string name = pathOf("big.dat");
    LoadDataFile(name, dir.path(), rules, memos);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text, big + "\nは読み込めませんでした。\n元のファイルは\n" + big +
                                             ".damaged\nに移しました。");
    EXPECT_EQ(scripted.messages[0].caption, "エラー");
    EXPECT_EQ(QFileInfo(big + ".damaged").size(), kMaxReadBytes + 1);
    // The next save writes a new file; the moved one is untouched.
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos), 1);
    EXPECT_EQ(QFileInfo(big + ".damaged").size(), kMaxReadBytes + 1);
    EXPECT_LT(QFileInfo(big).size(), 1000);
}

TEST_F(DataFileIo, ASaveTakesInWhatAnotherProgramWroteSinceTheLoad) {
    const QString file = dir.filePath("Sorvel.dat");
    auto note = [](const char* caption) {
        return "<+M03>\r\n<+S01>\r\n<+DA>2001<-DA><-S01>\r\n<+S05>\r\n<+DA>"s + caption + "<-DA><-S05>\r\n<-M03>\r\n";
    };
    ASSERT_TRUE(atomicReplace(file, "<+Sorvel>\0"s + note("old") + "<-Sorvel>\0"s));
    std::string name;
    DataFileBase base;
    LoadDataFile(name, dir.path(), rules, memos, &base);
    ASSERT_EQ(memos.size(), 1u);
    // Here: a note added. Over there (a second machine): "old" deleted, a note and a rule added.
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 1, 1, "", "ours"}));
    ASSERT_TRUE(atomicReplace(file, "<+Sorvel>\0"s + note("theirs") +
                                        "<+M04>\r\n<+S08>\r\n<+DA>rule<-DA><-S08>\r\n<-M04>\r\n<-Sorvel>\0"s));
    std::size_t merged = 0;
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos, &base, &merged), 1);
    EXPECT_EQ(merged, 2u);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text,
              "データファイルは他のプログラムで変更されていました。\n他の版の予定・休日 2件を取り込みました。");
    EXPECT_EQ(scripted.messages[0].caption, "メッセージ from Sorvel");
    THolidayList savedRules;
    TDateMemoList saved;
    parseDataFile(*readWholeFile(file), savedRules, saved);
    ASSERT_EQ(saved.size(), 3u);
    // Sorted by date: the two of month 0 first, in their order, then ours of 1 January.
    EXPECT_EQ(saved[0]->caption, "old");
    EXPECT_EQ(saved[1]->caption, "theirs");
    EXPECT_EQ(saved[2]->caption, "ours");
    ASSERT_EQ(savedRules.size(), 1u);
    EXPECT_EQ(savedRules[0]->name, "rule");

    // Unchanged since this save: a note deleted here stays deleted, silently.
    memos.erase(memos.begin());
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos, &base, &merged), 1);
    EXPECT_EQ(merged, 0u);
    EXPECT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(*readWholeFile(file), buildDataFile(memos, rules));
    EXPECT_EQ(memos.size(), 2u);
}

TEST_F(DataFileIo, ADamagedOtherVersionIsKeptBesideAndItsIntactRecordsTaken) {
    const QString file = dir.filePath("Sorvel.dat");
    std::string name;
    DataFileBase base;
    ASSERT_TRUE(atomicReplace(file, "<+Sorvel>\0<-Sorvel>\0"s));
    LoadDataFile(name, dir.path(), rules, memos, &base);
    const std::string damaged = "<+Sorvel>\0<+M03>\r\n<+S05>\r\n<+DA>kept<-DA><-S05>\r\n<-M03>\r\n<+M03>\r\n<+S01>\r\n<+DA>x"s;
    ASSERT_TRUE(atomicReplace(file, damaged));
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos, &base), 1);
    ASSERT_EQ(scripted.messages.size(), 2u);
    EXPECT_EQ(scripted.messages[0].text, file + "\nは壊れています。読み込めた予定と祝日だけを使います。\n元のファイルは\n" + file +
                                             ".damaged\nに残しました。");
    EXPECT_EQ(scripted.messages[0].caption, "エラー");
    EXPECT_EQ(scripted.messages[1].text,
              "データファイルは他のプログラムで変更されていました。\n他の版の予定・休日 1件を取り込みました。");
    EXPECT_EQ(readWholeFile(file + ".damaged"), damaged);
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->caption, "kept");

    // One that cannot be read at all is moved aside as the load does, never replaced.
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxReadBytes + 1));
    }
    scripted.messages.clear();
    EXPECT_EQ(SaveDataFile(name, dir.path(), rules, memos, &base), 1);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].text, file + "\nは読み込めませんでした。\n元のファイルは\n" + file + ".damaged.2\nに移しました。");
    EXPECT_EQ(QFileInfo(file + ".damaged.2").size(), kMaxReadBytes + 1);
    EXPECT_EQ(*readWholeFile(file), buildDataFile(memos, rules));
}
