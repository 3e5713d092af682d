// Starting at login: the XDG autostart entry written, read back and removed.
#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/files.h"
#include "platform/ui.h"

using namespace sorvel;

namespace {

std::string entryFor(const std::string& exec) {
    return "[Desktop Entry]\nType=Application\nName=Sorvel\nComment=Desktop calendar\n"
           "Comment[ja]=\xE3\x83\x87\xE3\x82\xB9\xE3\x82\xAF\xE3\x83\x88\xE3\x83\x83\xE3\x83\x97"
           "\xE3\x82\xAB\xE3\x83\xAC\xE3\x83\xB3\xE3\x83\x80\xE3\x83\xBC\n"
           "Exec=" + exec + "\nIcon=sorvel\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        entry = dir.filePath("autostart/sorvel.desktop");
    }
    QTemporaryDir dir;
    QString entry;
    ScriptedUi ui;
};

}  // namespace

TEST_F(Autostart, EntryIsWrittenReadBackAndRemoved) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(autostartPath(), dir.path() + "/autostart/sorvel.desktop");
    qputenv("XDG_CONFIG_HOME", config);

    EXPECT_FALSE(autostartEnabled(entry));
    ASSERT_TRUE(setAutostart(true, entry, "/usr/bin/sorvel"));
    EXPECT_EQ(readWholeFile(entry), entryFor("/usr/bin/sorvel"));
    EXPECT_TRUE(autostartEnabled(entry));

    // An entry the desktop's own settings switched off counts as off.
    ASSERT_TRUE(atomicReplace(entry, "[Desktop Entry]\nExec=sorvel\nHidden=true\n"));
    EXPECT_FALSE(autostartEnabled(entry));

    ASSERT_TRUE(setAutostart(false, entry, "/usr/bin/sorvel"));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(autostartEnabled(entry));
    EXPECT_TRUE(setAutostart(false, entry, "/usr/bin/sorvel"));  // nothing to remove
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Autostart, ProgramPathsAreQuotedForTheExecLine) {
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/opt/My Apps/sorvel", "\"/opt/My Apps/sorvel\""},
        {"/home/a$b\\c/sorvel", "\"/home/a\\\\$b\\\\\\\\c/sorvel\""},
        {"/opt/100%/sorvel", "/opt/100%%/sorvel"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(setAutostart(true, entry, QString::fromUtf8(c.program)));
        EXPECT_EQ(readWholeFile(entry), entryFor(c.exec)) << c.program;
    }
}

TEST_F(Autostart, FailuresShowTheirMessageAndChangeNothing) {
    // The autostart folder cannot be made: a file stands where it belongs.
    ASSERT_TRUE(atomicReplace(dir.filePath("autostart"), "not a folder"));
    EXPECT_FALSE(setAutostart(true, entry, "/usr/bin/sorvel"));
    EXPECT_EQ(readWholeFile(dir.filePath("autostart")), std::optional<std::string>("not a folder"));
    // A program path no desktop entry can hold.
    QDir(dir.path()).remove("autostart");
    EXPECT_FALSE(setAutostart(true, entry, "/opt/two\nlines/sorvel"));
    EXPECT_FALSE(QFile::exists(entry));
    // An entry that cannot be removed (a folder with something in it) stays.
    ASSERT_TRUE(QDir(dir.path()).mkpath("autostart/sorvel.desktop/x"));
    EXPECT_FALSE(setAutostart(false, entry, "/usr/bin/sorvel"));
    EXPECT_TRUE(QFileInfo(entry).isDir());

    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, entry + QStringLiteral("\nが作成できませんでした。"));
    EXPECT_EQ(ui.messages[1].text, entry + QStringLiteral("\nが作成できませんでした。"));
    EXPECT_EQ(ui.messages[2].text, entry + QStringLiteral("\nが削除できませんでした。"));
    for (const auto& m : ui.messages) EXPECT_EQ(m.caption, QStringLiteral("メッセージ from Sorvel"));
}
