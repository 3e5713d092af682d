#pragma once
// Finding the calendars behind an address the person typed: the address itself when it is a
// calendar collection, otherwise the user's principal (current-user-principal), its calendar
// home (calendar-home-set) and the calendar collections in it, each through PROPFIND.
#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include "sync/dav_client.h"
#include "sync/discovery_result.h"

class QNetworkAccessManager;

namespace sorvel {

// The properties of one resource of a PROPFIND answer (those with a 200 status only).
struct DavResource {
    QUrl href;  // resolved against the request's address
    bool collection = false;
    bool calendar = false;
    bool events = true;  // holds events: VEVENT among its components, or none stated
    QString displayName;
    std::optional<QUrl> principal;  // current-user-principal
    std::optional<QUrl> calendarHome;
    bool operator==(const DavResource&) const = default;
};

// Reads a multistatus body; an empty optional when it is not one (not XML, another root,
// cut off).
std::optional<std::vector<DavResource>> parsePropfind(const QByteArray& body, const QUrl& base);

// The messages of a failed discovery.
QString discoveryNoCalendar();
QString discoveryAuthFailed();

class CalDavDiscovery : public QObject {
  public:
    explicit CalDavDiscovery(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~CalDavDiscovery() override;

    // Starts finding the calendars of `address`; `done` is called once, later, from the event
    // loop (not when cancelled). A discovery under way is cancelled first.
    void start(const QUrl& address, const QString& user, const QString& password,
               std::function<void(DiscoveryResult)> done);
    void cancel();
    bool running() const { return client_->busy(); }

  private:
    enum class Step { Address, Principal, Home };
    void propfind(const QUrl& url, int depth, Step step);
    void answered(const DavAnswer& answer, Step step);
    bool follow(const std::vector<DavResource>& resources, const QUrl& base, Step step);
    bool offer(const std::vector<DavResource>& resources, const QUrl& base);
    void finish(DiscoveryResult result);

    DavClient* client_;
    std::function<void(DiscoveryResult)> done_;
};

}  // namespace sorvel
