// Starting at login: the XDG autostart entry written, read back and removed.
#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/files.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"

using namespace sorvel;

TEST(Autostart, EntryIsWrittenReadBackAndRemoved) {
    QTemporaryDir dir;
    ScriptedUi ui;
    const QString entry = dir.filePath("autostart/sorvel.desktop");
    EXPECT_FALSE(autostartEnabled(entry));
    // A program path with a space is quoted, a percent sign doubled.
    ASSERT_TRUE(setAutostart(true, entry, "/opt/My Apps 100%/sorvel"));
    EXPECT_EQ(readWholeFile(entry),
              "[Desktop Entry]\nType=Application\nName=Sorvel\nComment=Desktop calendar\n"
              "Comment[ja]=\xE3\x83\x87\xE3\x82\xB9\xE3\x82\xAF\xE3\x83\x88\xE3\x83\x83\xE3\x83\x97\xE3\x82\xAB"
              "\xE3\x83\xAC\xE3\x83\xB3\xE3\x83\x80\xE3\x83\xBC\n"
              "Exec=\"/opt/My Apps 100%%/sorvel\"\nIcon=sorvel\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostartEnabled(entry));
    // Switched off by the desktop's own settings.
    ASSERT_TRUE(atomicReplace(entry, "[Desktop Entry]\nExec=sorvel\nHidden=true\n"));
    EXPECT_FALSE(autostartEnabled(entry));
    ASSERT_TRUE(setAutostart(false, entry, "/usr/bin/sorvel"));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Autostart, FailuresShowTheirMessageAndChangeNothing) {
    QTemporaryDir dir;
    ScriptedUi ui;
    const QString entry = dir.filePath("autostart/sorvel.desktop");
    // The autostart folder cannot be made: a file stands where it belongs.
    ASSERT_TRUE(atomicReplace(dir.filePath("autostart"), "not a folder"));
    EXPECT_FALSE(setAutostart(true, entry, "/usr/bin/sorvel"));
    EXPECT_EQ(readWholeFile(dir.filePath("autostart")), "not a folder");
    // An entry that cannot be removed (a folder with something in it) stays.
    ASSERT_TRUE(QDir(dir.path()).remove("autostart") && QDir(dir.path()).mkpath("autostart/sorvel.desktop/x"));
    EXPECT_FALSE(setAutostart(false, entry, "/usr/bin/sorvel"));
    EXPECT_TRUE(QFileInfo(entry).isDir());

    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, entry + QStringLiteral("\nが作成できませんでした。"));
    EXPECT_EQ(ui.messages[1].text, entry + QStringLiteral("\nが削除できませんでした。"));
    for (const auto& m : ui.messages) EXPECT_EQ(m.caption, QStringLiteral("メッセージ from Sorvel"));
}
