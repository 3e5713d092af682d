#include "sync/caldav_discovery.h"

#include "sync/caldav_xml.h"

namespace sorvel {

namespace {

std::vector<DavResource> resourcesOf(const DavMultistatus& ms, const QUrl& base) {
    const auto resolved = [&](const std::string& href) -> std::optional<QUrl> {
        if (href.empty()) return std::nullopt;
        // An href that resolves to no address at all ("//-") leads nowhere.
        const QUrl url = base.resolved(QUrl(QString::fromStdString(href)));
        if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
        return url;
    };
    std::vector<DavResource> out;
    for (const DavResponse& r : ms.responses)
        out.push_back({base.resolved(QUrl(QString::fromStdString(r.hrefText))), r.isCollection, r.isCalendar,
                       r.holdsEvents, QString::fromStdString(r.displayName), resolved(r.principal),
                       resolved(r.calendarHome)});
    return out;
}

QString pathKey(const QUrl& url) {
    QString path = url.adjusted(QUrl::NormalizePathSegments).path();
    if (!path.endsWith('/')) path += '/';
    return path;
}

}  // namespace

std::optional<std::vector<DavResource>> parsePropfind(const QByteArray& body, const QUrl& base) {
    const auto ms = parseMultistatus(body);
    if (!ms) return std::nullopt;
    return resourcesOf(*ms, base);
}

QString discoveryNoCalendar() { return QStringLiteral("このアドレスにカレンダーが見つかりません"); }
QString discoveryAuthFailed() { return davFailureMessage(DavFailure::AuthFailed, {}); }

CalDavDiscovery::CalDavDiscovery(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), client_(new DavClient(network, this)) {}

CalDavDiscovery::~CalDavDiscovery() { cancel(); }

void CalDavDiscovery::start(const QUrl& address, const QString& user, const QString& password,
                            std::function<void(DiscoveryResult)> done) {
    cancel();
    client_->setCredentials(user, password, address);
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
    client_->abortAll();
}

void CalDavDiscovery::propfind(const QUrl& url, int depth, Step step) {
    client_->send({"PROPFIND", url, discoveryPropfindBody(), {{"Content-Type", davXmlType()}}, depth},
                  [this, step](DavAnswer& a) { answered(a, step); });
}

void CalDavDiscovery::answered(const DavAnswer& a, Step step) {
    // Failures are said as the sync says them, naming the server.
    if (a.failure != DavFailure::None || a.status != 207) {
        const DavFailure why = a.failure != DavFailure::None ? a.failure : DavFailure::ServerError;
        return finish(DiscoveryResult{{}, davFailureMessage(why, a.url, a.status)});
    }
    const auto ms = parseMultistatus(a.body);
    if (!ms) return finish(DiscoveryResult{{}, davFailureMessage(DavFailure::BadResponse, a.url)});
    const std::vector<DavResource> resources = resourcesOf(*ms, a.url);
    if (step == Step::Home ? offer(resources, a.url) : follow(resources, a.url, step)) return;
    finish(DiscoveryResult{{}, discoveryNoCalendar()});
}

// From the address or the principal: the calendar itself, else the next step; false when the
// answer leads nowhere.
bool CalDavDiscovery::follow(const std::vector<DavResource>& resources, const QUrl& base, Step step) {
    // The resource asked about is the one whose address is the request's.
    const DavResource* self = nullptr;
    for (const DavResource& r : resources)
        if (pathKey(r.href) == pathKey(base)) self = &r;
    if (!self && resources.size() == 1) self = &resources.front();
    if (!self) return false;
    // A collection for tasks or journal entries only cannot hold the notes.
    if (self->calendar && self->events && step == Step::Address) {
        finish(DiscoveryResult{
            {CalendarChoice{base, self->displayName.isEmpty() ? base.fileName() : self->displayName}}, {}});
        return true;
    }
    if (self->calendarHome) {
        propfind(*self->calendarHome, 1, Step::Home);
        return true;
    }
    if (self->principal && step == Step::Address) {
        propfind(*self->principal, 0, Step::Principal);
        return true;
    }
    return false;
}

// The event calendars in the calendar home; false when it holds none.
bool CalDavDiscovery::offer(const std::vector<DavResource>& resources, const QUrl& base) {
    DiscoveryResult result;
    for (const DavResource& r : resources) {
        if (!r.calendar || !r.events || pathKey(r.href) == pathKey(base)) continue;
        QString name = r.displayName;
        if (name.isEmpty()) name = pathKey(r.href).section('/', -2, -2);
        result.calendars.push_back(CalendarChoice{r.href, name});
    }
    if (result.calendars.empty()) return false;
    finish(std::move(result));
    return true;
}

void CalDavDiscovery::finish(DiscoveryResult result) {
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::move(result));
}

}  // namespace sorvel
