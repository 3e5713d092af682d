#include "app/about_form.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace sorvel;

TEST(HelpPage, BesideTheProgramElseInstalledUnderShare) {
    QTemporaryDir dir;
    const QString bin = dir.filePath("usr/bin"), installed = dir.filePath("usr/share/sorvel/sorvel-help.html");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(dir.filePath("usr/share/sorvel")));
    EXPECT_EQ(TAboutForm::helpPageFor(bin), bin + "/sorvel-help.html");  // neither: a copy's own place
    ASSERT_TRUE(QFile(installed).open(QIODevice::WriteOnly));
    EXPECT_EQ(TAboutForm::helpPageFor(bin), installed);
    ASSERT_TRUE(QFile(bin + "/sorvel-help.html").open(QIODevice::WriteOnly));
    EXPECT_EQ(TAboutForm::helpPageFor(bin), bin + "/sorvel-help.html");
}
