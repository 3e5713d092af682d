#include "sync/dav_client.h"

#include <algorithm>

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace sorvel {

QByteArray DavAnswer::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

QString davFailureMessage(DavFailure failure, const QUrl& url, int httpStatus) {
    const QString h = url.host().isEmpty() ? url.toString() : url.host();
    switch (failure) {
        case DavFailure::None:
        case DavFailure::NoPassword: return {};
        case DavFailure::AuthFailed: return QStringLiteral("認証に失敗しました");
        case DavFailure::TlsFailed:
            return QStringLiteral("サーバー %1 の証明書を確認できなかったため、接続しませんでした").arg(h);
        case DavFailure::Timeout: return QStringLiteral("サーバー %1 から30秒間応答がありませんでした").arg(h);
        case DavFailure::Unreachable: return QStringLiteral("サーバー %1 に接続できませんでした").arg(h);
        case DavFailure::ServerError:
            return QStringLiteral("サーバー %1 がエラーを返しました（%2）").arg(h).arg(httpStatus);
        case DavFailure::BadResponse: return QStringLiteral("サーバー %1 の応答を読み取れませんでした").arg(h);
        case DavFailure::TooLarge: return QStringLiteral("サーバー %1 の応答が大きすぎます（64MBまで）").arg(h);
    }
    return {};
}

QByteArray davXmlType() { return QByteArrayLiteral("application/xml; charset=utf-8"); }

DavClient::DavClient(QNetworkAccessManager* network, QObject* parent) : QObject(parent), network_(network) {
    connect(network_, &QNetworkAccessManager::authenticationRequired, this, &DavClient::authenticate);
}

DavClient::~DavClient() { abortAll(); }

void DavClient::setCredentials(const QString& user, const std::optional<QString>& password, const QUrl& server) {
    user_ = user;
    password_ = password;
    server_ = server;
}

void DavClient::setTimeout(int ms) { timeoutMs_ = ms; }

void DavClient::send(const DavRequest& request, std::function<void(DavAnswer&)> done) {
    QNetworkRequest req(request.url);
    req.setTransferTimeout(timeoutMs_);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto& [name, value] : request.headers) req.setRawHeader(name, value);
    if (request.depth >= 0) req.setRawHeader("Depth", QByteArray::number(request.depth));
    QNetworkReply* reply = network_->sendCustomRequest(req, request.verb, request.body);
    pending_[reply].done = std::move(done);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply](qint64 got, qint64 total) { watchSize(reply, std::max(got, total)); });
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this, reply] { watchSize(reply, reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    // Not ignored: the handshake fails and nothing is sent.
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError>&) {
        if (const auto it = pending_.find(reply); it != pending_.end()) it->second.tls = true;
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void DavClient::abortAll() {
    std::map<QNetworkReply*, Pending> ended;
    ended.swap(pending_);
    for (auto& [reply, p] : ended) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void DavClient::authenticate(QNetworkReply* reply, QAuthenticator* auth) {
    const auto it = pending_.find(reply);
    // The challenge is answered once; a second one means the credentials are wrong.
    if (it == pending_.end() || it->second.authTried) return;
    it->second.authTried = true;
    // The password is the user's for the server they named, not for a host an answer names.
    const QUrl asking = reply->url();
    const bool sameServer = asking.host().compare(server_.host(), Qt::CaseInsensitive) == 0 &&
                            !(server_.scheme() == QLatin1String("https") && asking.scheme() != QLatin1String("https"));
    if (!password_ || !sameServer) return;
    auth->setUser(user_);
    auth->setPassword(*password_);
}

void DavClient::watchSize(QNetworkReply* reply, qint64 size) {
    const auto it = pending_.find(reply);
    if (it == pending_.end() || size <= kDavMaxResponseBytes || it->second.tooLarge) return;
    it->second.tooLarge = true;
    reply->abort();  // finished() follows, and says why
}

DavFailure DavClient::classify(QNetworkReply* reply, const Pending& p, int status) const {
    const QNetworkReply::NetworkError error = reply->error();
    if (p.tooLarge) return DavFailure::TooLarge;
    if (error == QNetworkReply::AuthenticationRequiredError || status == 401)
        return password_ ? DavFailure::AuthFailed : DavFailure::NoPassword;
    if (p.tls || error == QNetworkReply::SslHandshakeFailedError) return DavFailure::TlsFailed;
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        return DavFailure::Timeout;
    if (status >= 500) return DavFailure::ServerError;
    // A transport failure: none before an answer, a cut one after. Errors from ContentAccessDenied
    // on are HTTP statuses, given to the caller as they are.
    if (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        return status == 0 && reply->bytesAvailable() == 0 ? DavFailure::Unreachable : DavFailure::BadResponse;
    if (status == 0) return DavFailure::Unreachable;
    return DavFailure::None;
}

void DavClient::finished(QNetworkReply* reply) {
    const auto it = pending_.find(reply);
    if (it == pending_.end()) return;
    Pending p = std::move(it->second);
    pending_.erase(it);
    reply->deleteLater();
    DavAnswer a;
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.url = reply->url();
    a.failure = classify(reply, p, a.status);
    if (a.failure == DavFailure::None || a.failure == DavFailure::ServerError) {
        a.body = reply->read(kDavMaxResponseBytes + 1);
        if (a.body.size() > kDavMaxResponseBytes) {
            a.failure = DavFailure::TooLarge;
            a.body.clear();
        }
        for (const auto& [name, value] : reply->rawHeaderPairs()) a.headers.emplace_back(name, value);
    }
    p.done(a);
}

}  // namespace sorvel
