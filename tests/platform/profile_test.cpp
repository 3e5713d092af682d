#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"

using namespace sorvel;

TEST(Profile, NamesAreCaseInsensitiveAndMissingKeysGiveTheDefault) {
    Profile p("[Sorvel]\r\nLeft=120\r\n[Memo]\r\nFileName=a.dat\r\n");
    EXPECT_EQ(p.getString("sorvel", "LEFT", "0"), "120");
    EXPECT_EQ(p.getString("SORVEL", "left", "0"), "120");
    EXPECT_EQ(p.getString("memo", "filename", ""), "a.dat");
    EXPECT_EQ(p.getString("Sorvel", "Top", "35"), "35");
    EXPECT_EQ(p.getString("Missing", "Left", "x"), "x");
    EXPECT_TRUE(p.has("SORVEL", "left"));
    EXPECT_FALSE(p.has("Sorvel", "Top"));
    EXPECT_FALSE(p.has("Left", "Sorvel"));
    // The first of duplicate keys wins; blanks around '=' and one pair of quotes are dropped.
    Profile q("[S]\r\nk = first \r\nK=second\r\nq=\"quoted \"\r\n");
    EXPECT_EQ(q.getString("s", "k", ""), "first");
    EXPECT_EQ(q.getString("s", "q", ""), "quoted ");
}

TEST(Profile, ValuesAreBytesReadThroughA255ByteBuffer) {
    const std::string long300(300, 'x');
    const std::string name = sjis("ソ表予定");  // trail bytes 0x5C
    Profile p("[S]\r\nlong=" + long300 + "\r\nname=" + name + "\r\nexact=" + std::string(254, 'y') + "\r\n");
    EXPECT_EQ(p.getString("S", "long", ""), std::string(254, 'x'));
    EXPECT_EQ(p.getString("S", "exact", ""), std::string(254, 'y'));
    EXPECT_EQ(p.getString("S", "name", ""), name);
    EXPECT_EQ(p.getString("S", "none", long300), std::string(254, 'x'));

    p.setString("s", "name", sjis("能力"));
    EXPECT_EQ(p.getString("S", "NAME", ""), "\x94\x5C\x97\xCD");
}

TEST(Profile, SetStringKeepsTheRestOfTheFile) {
    const std::string original =
        "; written by hand\r\n"
        "[Sorvel]\r\n"
        "Left=1\r\n"
        "; comment\r\n"
        "garbage line\r\n"
        "Top=2\r\n"
        "\r\n"
        "[Other]\r\n"
        "Key=kept\r\n";
    Profile p(original);
    EXPECT_EQ(p.text(), original);
    EXPECT_EQ(Profile("[A]\nx=1\n").text(), "[A]\r\nx=1\r\n");

    p.setString("SORVEL", "left", "10");
    p.setString("Sorvel", "Width", "300");
    p.setString("New", "a", "b\r\nc=d");  // one line, never a second key
    EXPECT_EQ(p.text(),
              "; written by hand\r\n"
              "[Sorvel]\r\n"
              "Left=10\r\n"
              "; comment\r\n"
              "garbage line\r\n"
              "Top=2\r\n"
              "Width=300\r\n"
              "\r\n"
              "[Other]\r\n"
              "Key=kept\r\n"
              "[New]\r\n"
              "a=b  c=d\r\n");
    EXPECT_EQ(p.getString("sorvel", "width", ""), "300");
    EXPECT_EQ(p.getString("sorvel", "top", ""), "2");
    EXPECT_FALSE(p.has("New", "c"));
    Profile again(p.text());
    EXPECT_EQ(again.text(), p.text());
}

TEST(Profile, LoadAndSaveThroughFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Sorvel.ini");
    EXPECT_EQ(Profile::load(path).text(), "");
    Profile p;
    p.setString("Sorvel", "MemoFileName", sjis("予定.dat"));
    ASSERT_TRUE(p.save(path));
    EXPECT_EQ(readWholeFile(path), std::optional<std::string>("[Sorvel]\r\nMemoFileName=\x97\x5C\x92\xE8.dat\r\n"));
    EXPECT_EQ(Profile::load(path).getString("sorvel", "memofilename", ""), sjis("予定.dat"));
}

TEST(Profile, LargeFilesParseWithoutBlowingUp) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "[Section" + std::to_string(i) + "]\r\nkey=" + std::to_string(i) + "\r\n";
    text += "[Big]\r\nline=" + std::string(1 << 20, 'z') + "\r\n" + std::string(1 << 20, '[') + "\r\n";
    Profile p(text);
    EXPECT_EQ(p.getString("section9999", "KEY", ""), "9999");
    EXPECT_EQ(p.getString("Section0", "key", ""), "0");
    EXPECT_EQ(p.getString("big", "line", ""), std::string(254, 'z'));
    p.setString("section5000", "key", "changed");
    EXPECT_EQ(p.getString("Section5000", "key", ""), "changed");
    EXPECT_EQ(p.getString("Section5001", "key", ""), "5001");
}

TEST(ProfileValues, BlanksAndQuotesAtTheEndsSurviveAWriteAndARead) {
    auto key = [](std::size_t i) { return std::string(1, 'k') += static_cast<char>('0' + i); };
    Profile p;
    const std::string values[] = {" lead", "trail ", "\tboth\t", "\"quoted\"", "'single'", "in side", "", "a\r\nb"};
    for (std::size_t i = 0; i < std::size(values); ++i) p.setString("S", key(i), values[i]);
    const Profile back(p.text());
    for (std::size_t i = 0; i < std::size(values); ++i) {
        std::string expected = values[i];
        for (char& c : expected)
            if (c == '\r' || c == '\n') c = ' ';  // a value stays one line
        EXPECT_EQ(back.getString("S", key(i), "?"), expected) << i;
        EXPECT_EQ(p.getString("S", key(i), "?"), expected) << i;
    }
    EXPECT_EQ(Profile(back.text()).text(), back.text());
}
