#include "platform/secret_store_keychain.h"

#include <qt6keychain/keychain.h>

namespace sorvel {

KeychainSecretStore::KeychainSecretStore(QString service, Ask ask) : service_(std::move(service)), ask_(std::move(ask)) {}

KeychainSecretStore::~KeychainSecretStore() = default;

void KeychainSecretStore::read(const QString& key, std::function<void(std::optional<QString>)> done) {
    if (auto it = held_.find(key); it != held_.end()) {
        done(it->second);
        return;
    }
    auto& waiters = waiting_[key];
    waiters.push_back(std::move(done));
    if (waiters.size() > 1) return;  // a read of this key is under way: its answer serves all
    if (!serviceAnswers_) {
        finishRead(key, askOnce(key));
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(service_, &jobs_);
    job->setKey(key);
    job->setAutoDelete(true);
    QObject::connect(job, &QKeychain::Job::finished, &jobs_, [this, key, job] {
        if (job->error() == QKeychain::NoError) {
            finishRead(key, job->textData());
            return;
        }
        if (job->error() != QKeychain::EntryNotFound) serviceAnswers_ = false;
        const std::optional<QString> secret = askOnce(key);
        // A secret service that answers keeps what was asked for the next run.
        if (secret && serviceAnswers_) write(key, *secret, [](bool) {});
        finishRead(key, secret);
    });
    job->start();
}

void KeychainSecretStore::write(const QString& key, const QString& secret, std::function<void(bool)> done) {
    held_[key] = secret;
    if (!serviceAnswers_) {
        done(false);
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(service_, &jobs_);
    job->setKey(key);
    job->setTextData(secret);
    job->setAutoDelete(true);
    QObject::connect(job, &QKeychain::Job::finished, &jobs_, [this, job, done = std::move(done)] {
        const bool stored = job->error() == QKeychain::NoError;
        if (!stored) serviceAnswers_ = false;
        done(stored);
    });
    job->start();
}

void KeychainSecretStore::forget(const QString& key) {
    held_.erase(key);
    asked_.erase(key);
    if (!serviceAnswers_) return;
    auto* job = new QKeychain::DeletePasswordJob(service_, &jobs_);
    job->setKey(key);
    job->setAutoDelete(true);
    job->start();
}

std::optional<QString> KeychainSecretStore::askOnce(const QString& key) {
    if (asked_[key]) return std::nullopt;
    asked_[key] = true;
    std::optional<QString> secret = ask_ ? ask_(key) : std::nullopt;
    if (secret) held_[key] = *secret;
    return secret;
}

void KeychainSecretStore::finishRead(const QString& key, std::optional<QString> secret) {
    auto waiters = std::move(waiting_[key]);
    waiting_.erase(key);
    for (auto& done : waiters) done(secret);
}

}  // namespace sorvel

extern "C" __attribute__((visibility("default"))) sorvel::SecretStore* sorvel_secret_store(
    const QString& service, const sorvel::LoadedSecretStore::Ask& ask) {
    return new sorvel::KeychainSecretStore(service, ask);
}
