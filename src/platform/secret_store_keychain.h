#pragma once
// Secrets kept in the desktop's secret service through QtKeychain. Where no secret service
// answers (no session bus, no keyring), a secret is asked once per run through `ask` and held
// only in memory for the rest of the run; it is never written anywhere else.
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "platform/secret_store.h"

namespace sorvel {

class KeychainSecretStore : public SecretStore {
public:
    // Asks the person for the secret of a key; an empty optional when they declined.
    using Ask = std::function<std::optional<QString>(const QString& key)>;

    // `service` names this program's entries in the secret service.
    KeychainSecretStore(QString service, Ask ask);
    ~KeychainSecretStore() override;

    void read(const QString& key, std::function<void(std::optional<QString>)> done) override;
    // Holds the secret for this run at once; `done` answers whether the secret service stored it.
    void write(const QString& key, const QString& secret, std::function<void(bool)> done) override;
    // Forgets what this run holds and asked, and removes the entry from the secret service.
    void forget(const QString& key) override;

    // False once the secret service failed to answer in this run: from then on secrets are
    // asked and held in memory only, and the service is not tried again.
    bool serviceAnswers() const { return serviceAnswers_; }

private:
    void finishRead(const QString& key, std::optional<QString> secret);
    std::optional<QString> askOnce(const QString& key);

    QString service_;
    Ask ask_;
    bool serviceAnswers_ = true;
    std::map<QString, QString> held_;  // this run's secrets
    std::map<QString, bool> asked_;    // keys already asked for in this run
    std::map<QString, std::vector<std::function<void(std::optional<QString>)>>> waiting_;
    QObject jobs_;  // parent of the running jobs: they end with the store
};

}  // namespace sorvel
