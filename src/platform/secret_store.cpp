#include "platform/secret_store.h"

#include "platform/feature_library.h"
#include "platform/messages.h"

namespace sorvel {

SecretStore::~SecretStore() = default;

void MemorySecretStore::read(const QString& key, std::function<void(std::optional<QString>)> done) {
    const auto it = secrets_.find(key);
    if (done) done(it == secrets_.end() ? std::nullopt : std::optional<QString>(it->second));
}

void MemorySecretStore::write(const QString& key, const QString& secret, std::function<void(bool ok)> done) {
    secrets_[key] = secret;
    if (done) done(true);
}

void MemorySecretStore::forget(const QString& key) { secrets_.erase(key); }

LoadedSecretStore::LoadedSecretStore(QString service, Ask ask) : service_(std::move(service)), ask_(std::move(ask)) {}

LoadedSecretStore::~LoadedSecretStore() = default;

SecretStore* LoadedSecretStore::store() {
    if (!tried_) {
        tried_ = true;
        const auto entry =
            featureEntry<SorvelSecretStore>(kSecretsLibrary, kSecretsLibraryEntry, secretsFeatureMissingMessage);
        if (entry) loaded_.reset(entry(service_, ask_));
    }
    return loaded_.get();
}

void LoadedSecretStore::read(const QString& key, std::function<void(std::optional<QString>)> done) {
    if (SecretStore* s = store()) return s->read(key, std::move(done));
    held_.read(key, [this, key, done = std::move(done)](std::optional<QString> secret) {
        if (!secret && ask_ && (secret = ask_(key))) held_.write(key, *secret, [](bool) {});
        done(secret);
    });
}

void LoadedSecretStore::write(const QString& key, const QString& secret, std::function<void(bool ok)> done) {
    if (SecretStore* s = store()) return s->write(key, secret, std::move(done));
    held_.write(key, secret, [](bool) {});
    done(false);
}

void LoadedSecretStore::forget(const QString& key) {
    if (SecretStore* s = store()) return s->forget(key);
    held_.forget(key);
}

}  // namespace sorvel
