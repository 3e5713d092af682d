#include "sync/caldav_discovery.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

#include "sync/caldav_sync.h"

namespace sorvel {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

const QByteArray kPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>"
    "<d:resourcetype/><d:displayname/><d:current-user-principal/>"
    "<c:calendar-home-set/><c:supported-calendar-component-set/>"
    "</d:prop></d:propfind>\n";

bool is(const QXmlStreamReader& xml, const QString& ns, const char* name) {
    return xml.namespaceUri() == ns && xml.name() == QLatin1String(name);
}

// The first DAV:href inside the element the reader stands on; the reader ends on its end.
std::optional<QUrl> hrefInside(QXmlStreamReader& xml, const QUrl& base) {
    std::optional<QUrl> href;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, "href")) {
            const QString text = xml.readElementText().trimmed();
            if (!href && !text.isEmpty()) href = base.resolved(QUrl(text));
        } else {
            xml.skipCurrentElement();
        }
    }
    return href;
}

// One DAV:prop element's properties, read into `into`.
void readProp(QXmlStreamReader& xml, const QUrl& base, DavResource& into) {
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, "resourcetype")) {
            while (xml.readNextStartElement()) {
                if (is(xml, kDav, "collection")) into.collection = true;
                if (is(xml, kCalDav, "calendar")) into.calendar = true;
                xml.skipCurrentElement();
            }
        } else if (is(xml, kDav, "displayname")) {
            into.displayName = xml.readElementText().trimmed();
        } else if (is(xml, kDav, "current-user-principal")) {
            into.principal = hrefInside(xml, base);
        } else if (is(xml, kCalDav, "calendar-home-set")) {
            into.calendarHome = hrefInside(xml, base);
        } else if (is(xml, kCalDav, "supported-calendar-component-set")) {
            bool events = false;
            while (xml.readNextStartElement()) {
                if (is(xml, kCalDav, "comp") &&
                    xml.attributes().value(QLatin1String("name")).compare(QLatin1String("VEVENT"), Qt::CaseInsensitive) == 0)
                    events = true;
                xml.skipCurrentElement();
            }
            into.events = events;
        } else {
            xml.skipCurrentElement();
        }
    }
}

QString pathKey(const QUrl& url) {
    QString path = url.adjusted(QUrl::NormalizePathSegments).path();
    if (!path.endsWith('/')) path += '/';
    return path;
}

}  // namespace

std::optional<std::vector<DavResource>> parsePropfind(const QByteArray& body, const QUrl& base) {
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !is(xml, kDav, "multistatus")) return std::nullopt;
    std::vector<DavResource> out;
    while (xml.readNextStartElement()) {
        if (!is(xml, kDav, "response")) {
            xml.skipCurrentElement();
            continue;
        }
        DavResource res;
        bool hasHref = false;
        while (xml.readNextStartElement()) {
            if (is(xml, kDav, "href")) {
                res.href = base.resolved(QUrl(xml.readElementText().trimmed()));
                hasHref = true;
            } else if (is(xml, kDav, "propstat")) {
                // The status follows the properties it speaks for: read them aside first.
                DavResource props;
                bool ok = false;
                while (xml.readNextStartElement()) {
                    if (is(xml, kDav, "prop")) {
                        readProp(xml, base, props);
                    } else if (is(xml, kDav, "status")) {
                        const QStringList parts = xml.readElementText().simplified().split(' ');
                        ok = parts.size() >= 2 && parts[1] == QLatin1String("200");
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                if (!ok) continue;
                res.collection = res.collection || props.collection;
                res.calendar = res.calendar || props.calendar;
                res.events = res.events && props.events;
                if (!props.displayName.isEmpty()) res.displayName = props.displayName;
                if (props.principal) res.principal = props.principal;
                if (props.calendarHome) res.calendarHome = props.calendarHome;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (hasHref) out.push_back(std::move(res));
    }
    if (xml.hasError()) return std::nullopt;
    return out;
}

QString discoveryNoCalendar() { return QStringLiteral("このアドレスにカレンダーが見つかりません"); }
QString discoveryAuthFailed() { return QStringLiteral("認証に失敗しました"); }

CalDavDiscovery::CalDavDiscovery(QNetworkAccessManager* network, QObject* parent) : QObject(parent), network_(network) {
    connect(network_, &QNetworkAccessManager::authenticationRequired, this, &CalDavDiscovery::authenticate);
}

CalDavDiscovery::~CalDavDiscovery() { cancel(); }

void CalDavDiscovery::start(const QUrl& address, const QString& user, const QString& password,
                            std::function<void(DiscoveryResult)> done) {
    cancel();
    user_ = user;
    password_ = password;
    done_ = std::move(done);
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        // Answered from the event loop like every other result.
        QMetaObject::invokeMethod(this, [this] { finish(DiscoveryResult{{}, discoveryNoCalendar()}); }, Qt::QueuedConnection);
        return;
    }
    propfind(address, 0, Step::Address);
}

void CalDavDiscovery::cancel() {
    done_ = nullptr;
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void CalDavDiscovery::propfind(const QUrl& url, int depth, Step step) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml; charset=utf-8"));
    request.setRawHeader("Depth", QByteArray::number(depth));
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    triedCredentials_ = false;
    QNetworkReply* reply = network_->sendCustomRequest(request, QByteArrayLiteral("PROPFIND"), kPropfindBody);
    reply_ = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > kMaxBody) {
            reply->setProperty("sorvelTooLarge", true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, step] { replyFinished(reply, step); });
}

void CalDavDiscovery::authenticate(QNetworkReply* reply, QAuthenticator* auth) {
    // Credentials go out once per request: asked again means they were refused.
    if (reply != reply_ || triedCredentials_) return;
    triedCredentials_ = true;
    auth->setUser(user_);
    auth->setPassword(password_);
}

void CalDavDiscovery::replyFinished(QNetworkReply* reply, Step step) {
    reply->deleteLater();
    if (reply != reply_) return;
    reply_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 401 || reply->error() == QNetworkReply::AuthenticationRequiredError) {
        finish(DiscoveryResult{{}, discoveryAuthFailed()});
        return;
    }
    if (reply->error() == QNetworkReply::SslHandshakeFailedError) {
        // The certificate was not accepted: said as the sync says it, naming the server.
        finish(DiscoveryResult{{}, syncFailureMessage(SyncStatus::TlsFailed, reply->url())});
        return;
    }
    // Failures are said as the sync says them, naming the server.
    const bool tooLarge = reply->property("sorvelTooLarge").toBool();
    if (!tooLarge && (reply->error() != QNetworkReply::NoError || status != 207)) {
        const QNetworkReply::NetworkError error = reply->error();
        const SyncStatus why = error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError
                                   ? SyncStatus::Timeout
                               : status == 0 ? SyncStatus::Unreachable
                                             : SyncStatus::ServerError;
        finish(DiscoveryResult{{}, syncFailureMessage(why, reply->url(), status)});
        return;
    }
    const QUrl base = reply->url();
    const QByteArray body = tooLarge ? QByteArray() : reply->read(kMaxBody + 1);
    if (tooLarge || body.size() > kMaxBody) {
        finish(DiscoveryResult{{}, syncFailureMessage(SyncStatus::TooLarge, base)});
        return;
    }
    const auto resources = parsePropfind(body, base);
    if (!resources) {
        finish(DiscoveryResult{{}, syncFailureMessage(SyncStatus::BadResponse, base)});
        return;
    }
    switch (step) {
        case Step::Address:
        case Step::Principal: {
            // The resource asked about is the one whose address is the request's.
            const DavResource* self = nullptr;
            for (const DavResource& r : *resources)
                if (pathKey(r.href) == pathKey(base)) self = &r;
            if (!self && resources->size() == 1) self = &resources->front();
            if (!self) break;
            // A collection for tasks or journal entries only cannot hold the notes.
            if (self->calendar && self->events && step == Step::Address) {
                finish(DiscoveryResult{{CalendarChoice{base, self->displayName.isEmpty() ? base.fileName() : self->displayName}}, {}});
                return;
            }
            if (self->calendarHome) {
                propfind(*self->calendarHome, 1, Step::Home);
                return;
            }
            if (self->principal && step == Step::Address) {
                propfind(*self->principal, 0, Step::Principal);
                return;
            }
            break;
        }
        case Step::Home: {
            DiscoveryResult result;
            for (const DavResource& r : *resources) {
                if (!r.calendar || !r.events || pathKey(r.href) == pathKey(base)) continue;
                QString name = r.displayName;
                if (name.isEmpty()) name = pathKey(r.href).section('/', -2, -2);
                result.calendars.push_back(CalendarChoice{r.href, name});
            }
            if (result.calendars.empty()) break;
            finish(std::move(result));
            return;
        }
    }
    finish(DiscoveryResult{{}, discoveryNoCalendar()});
}

void CalDavDiscovery::finish(DiscoveryResult result) {
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::move(result));
}

}  // namespace sorvel
