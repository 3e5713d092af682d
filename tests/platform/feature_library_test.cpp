#include <gtest/gtest.h>

#include "platform/feature_library.h"
#include "platform/messages.h"
#include "support/scripted_ui.h"

using namespace sorvel;

namespace {
int answer() { return 42; }
}  // namespace

// A feature whose library is not there says which feature cannot be used, when it is used.
TEST(FeatureLibrary, AMissingLibraryNamesItsFeatureOnceUsed) {
    struct Case {
        QString (*message)(const QString&);
        QString firstLine;
    };
    const Case cases[] = {
        {printFeatureMissingMessage, QStringLiteral("印刷の機能を読み込めませんでした。")},
        {icalFeatureMissingMessage, QStringLiteral("iCalendar の機能を読み込めませんでした。")},
        {syncFeatureMissingMessage, QStringLiteral("同期の機能を読み込めませんでした。")},
        {secretsFeatureMissingMessage, QStringLiteral("パスワードの機能を読み込めませんでした。")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine.toStdString());
        ScriptedUi ui;
        EXPECT_EQ(featureEntry<int (*)()>("libsorvel-none.so", "entry", c.message), nullptr);
        ASSERT_EQ(ui.messages.size(), 1u);
        const QStringList lines = ui.messages[0].text.split(QChar(u'\n'));
        EXPECT_EQ(lines[0], c.firstLine);
        EXPECT_TRUE(lines.size() > 1 && lines[1].contains(QStringLiteral("libsorvel-none.so")));
        EXPECT_EQ(ui.messages[0].caption, QStringLiteral("エラー"));
    }
    ScriptedUi ui;
    provideFeatureFunction(QStringLiteral("libsorvel-given.so"), "entry", reinterpret_cast<void*>(&answer));
    const auto given = featureEntry<int (*)()>("libsorvel-given.so", "entry", printFeatureMissingMessage);
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(given(), 42);
    EXPECT_TRUE(ui.messages.empty());
}
