#include "platform/secret_store.h"

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

}  // namespace sorvel
