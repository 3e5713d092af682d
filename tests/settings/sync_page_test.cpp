// The page 同期: what goes into the sync settings and what is refused with a message.
#include "settings/sync_page.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "support/scripted_ui.h"

namespace sorvel {
namespace {

TEST(SyncPage, ValuesTakenOrRefused) {
    struct Case {
        SyncPageValues in;
        bool taken;
        std::int32_t interval;
        QString message;
    };
    const QString badUrl = QStringLiteral("サーバーのアドレス「%1」は使えません。\nhttp:// か https:// で始まるアドレスを入力してください。");
    const Case cases[] = {
        {{true, QStringLiteral(" https://dav.example/cal/ "), QStringLiteral("山田"), 2}, true, 15, {}},
        {{true, QStringLiteral("http://127.0.0.1:5232/"), QStringLiteral("a"), 3}, true, 60, {}},
        {{false, QString(), QString(), 1}, true, 5, {}},  // off: an empty address is fine
        {{true, QString(), QStringLiteral("a"), 0}, false, 0, badUrl.arg(QString())},
        {{true, QStringLiteral("ftp://dav.example/"), QStringLiteral("a"), 0}, false, 0, badUrl.arg(QStringLiteral("ftp://dav.example/"))},
        {{true, QStringLiteral("https://dav.example/"), QStringLiteral("a😀"), 0}, false, 0,
         QStringLiteral("ユーザー名には保存できない文字 「😀」(U+1F600) があります。")},
    };
    for (const Case& c : cases) {
        ScriptedUi scripted;
        TSyncSet set;
        set.Url = "old";
        EXPECT_EQ(applySyncPage(c.in, set), c.taken) << c.in.url.toStdString();
        if (c.taken) {
            EXPECT_EQ(set.Enabled, c.in.enabled ? 1 : 0);
            EXPECT_EQ(toQString(set.Url), c.in.url.trimmed());
            EXPECT_EQ(toQString(set.User), c.in.user);
            EXPECT_EQ(set.Interval, c.interval);
            EXPECT_TRUE(scripted.messages.empty());
            EXPECT_EQ(fillSyncPage(set).interval, c.in.interval);
        } else {
            EXPECT_EQ(set.Url, "old");
            ASSERT_EQ(scripted.messages.size(), 1u);
            EXPECT_EQ(scripted.messages[0].text, c.message);
            EXPECT_EQ(scripted.messages[0].caption, QStringLiteral("メッセージ"));
        }
    }
}

TEST(SyncPage, PasswordAskedWithItsTextAndCaption) {
    ScriptedUi scripted;
    scripted.passwordAnswers.push_back(QStringLiteral("secret"));
    EXPECT_EQ(askSyncPassword(QStringLiteral("alice@http://h/")), QStringLiteral("secret"));
    ASSERT_EQ(scripted.passwordRequests.size(), 1u);
    EXPECT_EQ(scripted.passwordRequests[0].text, QStringLiteral("同期に使う alice@http://h/ のパスワードを入力してください。"));
    EXPECT_EQ(scripted.passwordRequests[0].caption, QStringLiteral("同期のパスワード"));
}

}  // namespace
}  // namespace sorvel
