#include "app/about_form.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace sorvel;

TEST(HelpPage, BesideTheProgramElseInstalledUnderShare) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bin = dir.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/share/sorvel")));
    // Neither: the page beside the program is what a copy would have.
    EXPECT_EQ(TAboutForm::helpPageFor(bin), bin + "/sorvel-help.html");
    // Installed.
    QFile(dir.filePath("usr/share/sorvel/sorvel-help.html")).open(QIODevice::WriteOnly);
    EXPECT_EQ(TAboutForm::helpPageFor(bin), dir.filePath("usr/share/sorvel/sorvel-help.html"));
    // A copy run from its own folder keeps its own page first.
    QFile(bin + "/sorvel-help.html").open(QIODevice::WriteOnly);
    EXPECT_EQ(TAboutForm::helpPageFor(bin), bin + "/sorvel-help.html");
}
