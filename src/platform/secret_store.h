#pragma once
// Secrets (passwords) kept outside the program's files. read and write answer through their
// callback, which may come later on the event loop (a desktop secret service) or at once.
#include <functional>
#include <map>
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

}  // namespace sorvel
