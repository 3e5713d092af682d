#pragma once
// Secrets (passwords) kept outside the program's files. read and write answer through their
// callback, which may come later on the event loop (a desktop secret service) or at once.
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <QString>

namespace sorvel {

class SecretStore {
public:
    virtual ~SecretStore();
    // The secret of key, or an empty optional when there is none (or the store cannot answer).
    virtual void read(const QString& key, std::function<void(std::optional<QString>)> done) = 0;
    virtual void write(const QString& key, const QString& secret, std::function<void(bool ok)> done) = 0;
    // Forgets the secret of key (a password the server refused): the next read asks again.
    virtual void forget(const QString& key) = 0;
};

// Held in memory for the run only; answers at once.
class MemorySecretStore : public SecretStore {
public:
    void read(const QString& key, std::function<void(std::optional<QString>)> done) override;
    void write(const QString& key, const QString& secret, std::function<void(bool ok)> done) override;
    void forget(const QString& key) override;

private:
    std::map<QString, QString> secrets_;
};

// The desktop's secret service (KeychainSecretStore of libsorvel-secrets.so: QtKeychain and Qt
// DBus), loaded by the first read, write or forget. Where the library cannot be loaded, the
// message "パスワードの機能を読み込めませんでした。" with the reason, once; then secrets are asked
// through `ask` and held in memory for the run.
class LoadedSecretStore : public SecretStore {
  public:
    // Asks the person for the secret of a key; an empty optional when they declined.
    using Ask = std::function<std::optional<QString>(const QString& key)>;
    LoadedSecretStore(QString service, Ask ask);
    ~LoadedSecretStore() override;

    void read(const QString& key, std::function<void(std::optional<QString>)> done) override;
    void write(const QString& key, const QString& secret, std::function<void(bool ok)> done) override;
    void forget(const QString& key) override;

  private:
    SecretStore* store();

    QString service_;
    Ask ask_;
    std::unique_ptr<SecretStore> loaded_;
    bool tried_ = false;
    MemorySecretStore held_;  // without the library
};

inline constexpr char kSecretsLibrary[] = "libsorvel-secrets.so";
inline constexpr char kSecretsLibraryEntry[] = "sorvel_secret_store";
// The library's one entry point: a new KeychainSecretStore(service, ask), the caller's to delete.
using SorvelSecretStore = SecretStore* (*)(const QString& service, const LoadedSecretStore::Ask& ask);

}  // namespace sorvel
