// Passwords where no secret service answers: asked once per run (again once forgotten), held in
// memory only.
#include "platform/secret_store_keychain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace sorvel {
namespace {

std::optional<QString> readNow(KeychainSecretStore& store, const QString& key) {
    std::optional<QString> got;
    bool done = false;
    store.read(key, [&](std::optional<QString> s) {
        got = std::move(s);
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(done);
    return got;
}

TEST(KeychainSecretStore, WithoutASecretServiceAsksOncePerRunAndHoldsTheAnswer) {
    // No session bus: no secret service can answer.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    int asked = 0;
    KeychainSecretStore store(QStringLiteral("SorvelTest"), [&](const QString& key) -> std::optional<QString> {
        ++asked;
        if (key == QLatin1String("bob@http://h/")) return std::nullopt;  // declined
        return QStringLiteral("pw-") + key;
    });
    EXPECT_EQ(readNow(store, QStringLiteral("alice@http://h/")), QStringLiteral("pw-alice@http://h/"));
    EXPECT_FALSE(store.serviceAnswers());
    EXPECT_EQ(readNow(store, QStringLiteral("alice@http://h/")), QStringLiteral("pw-alice@http://h/"));
    EXPECT_EQ(asked, 1);
    // Declined: not asked again in this run.
    EXPECT_EQ(readNow(store, QStringLiteral("bob@http://h/")), std::nullopt);
    EXPECT_EQ(readNow(store, QStringLiteral("bob@http://h/")), std::nullopt);
    EXPECT_EQ(asked, 2);
    // A password written is held for the run (and reported as not stored by a service).
    bool stored = true;
    store.write(QStringLiteral("carol@http://h/"), QStringLiteral("typed"), [&](bool ok) { stored = ok; });
    EXPECT_FALSE(stored);
    EXPECT_EQ(readNow(store, QStringLiteral("carol@http://h/")), QStringLiteral("typed"));
    EXPECT_EQ(asked, 2);
    // A password the server refused is forgotten: the next read asks again.
    store.forget(QStringLiteral("carol@http://h/"));
    EXPECT_EQ(readNow(store, QStringLiteral("carol@http://h/")), QStringLiteral("pw-carol@http://h/"));
    EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace sorvel
