#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/translations.h"

using namespace sorvel;

// The standard dialogs speak Japanese: Qt's own translations are installed with the program.
TEST(QtTranslations, StandardDialogTextsAreJapanese) {
    ASSERT_TRUE(installQtTranslations()) << "qtbase_ja is missing (qt6-translations-l10n)";
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("印刷"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}
