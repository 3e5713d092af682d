#pragma once
// The one way the sync and the calendar discovery speak to a DAV server: requests (several may
// be under way) sent with the person's credentials (Basic or Digest, answered once: asked again
// means refused), a time limit for silence, a size limit for answers, certificates that are not
// trusted refused before anything is sent, and every failure sorted into a few kinds with one
// message each.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;

namespace sorvel {

inline constexpr std::int64_t kDavMaxResponseBytes = 64ll * 1024 * 1024;
inline constexpr int kDavTimeoutMs = 30000;

enum class DavFailure {
    None,
    AuthFailed,   // the credentials were refused
    NoPassword,   // the server asked for a password and there was none to give
    TlsFailed,    // the server's certificate was not accepted
    Timeout,      // nothing came for the time limit
    Unreachable,  // no connection, or no answer at all
    ServerError,  // a 5xx answer (status and body are still given)
    BadResponse,  // an answer cut short
    TooLarge,     // an answer beyond kDavMaxResponseBytes
};

using DavHeaders = std::vector<std::pair<QByteArray, QByteArray>>;

struct DavRequest {
    QByteArray verb;
    QUrl url;
    QByteArray body;
    DavHeaders headers;
    int depth = -1;  // the Depth header; none when negative
};

struct DavAnswer {
    DavFailure failure = DavFailure::None;
    int status = 0;  // the HTTP status; 0 when none came
    QByteArray body;
    DavHeaders headers;
    QUrl url;  // the address that answered, after redirects
    QByteArray header(const QByteArray& name) const;
};

// What a failure says, naming the server of url (its host); empty for None and NoPassword.
QString davFailureMessage(DavFailure failure, const QUrl& url, int httpStatus = 0);

QByteArray davXmlType();  // the Content-Type of the XML bodies we send

class DavClient : public QObject {
  public:
    explicit DavClient(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~DavClient() override;

    // For the requests sent from now on, answered only to the host of `server` (and never in the
    // clear when `server` is https): an answer that points elsewhere gets no password. No
    // password: a server that asks fails with NoPassword.
    void setCredentials(const QString& user, const std::optional<QString>& password, const QUrl& server);
    void setTimeout(int ms);

    // Sends a request; `done` follows once, from the event loop, unless abortAll() comes first.
    void send(const DavRequest& request, std::function<void(DavAnswer&)> done);
    // Ends every request under way; their `done` never comes.
    void abortAll();
    bool busy() const { return !pending_.empty(); }

  private:
    struct Pending {
        std::function<void(DavAnswer&)> done;
        bool authTried = false, tls = false, tooLarge = false;
    };
    void authenticate(QNetworkReply* reply, QAuthenticator* auth);
    void watchSize(QNetworkReply* reply, qint64 size);
    void finished(QNetworkReply* reply);
    DavFailure classify(QNetworkReply* reply, const Pending& p, int status) const;

    QNetworkAccessManager* network_;
    QString user_;
    std::optional<QString> password_;
    QUrl server_;
    int timeoutMs_ = kDavTimeoutMs;
    std::map<QNetworkReply*, Pending> pending_;
};

}  // namespace sorvel
