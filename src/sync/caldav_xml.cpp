#include "sync/caldav_xml.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace sorvel {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
const QString kCalServer = QStringLiteral("http://calendarserver.org/ns/");

// "HTTP/1.1 404 Not Found" -> 404
int statusCode(const QString& line) {
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    if (parts.size() < 2) return 0;
    bool ok = false;
    const int code = parts[1].toInt(&ok);
    return ok ? code : 0;
}

struct Writer {
    QByteArray out;
    QXmlStreamWriter w{&out};
    Writer(const QString& root, const QString& ns) {
        w.writeStartDocument();
        w.writeNamespace(kDav, QStringLiteral("d"));
        w.writeNamespace(kCalDav, QStringLiteral("c"));
        w.writeNamespace(kCalServer, QStringLiteral("cs"));
        w.writeStartElement(ns, root);
    }
    void prop(std::initializer_list<std::pair<QString, QString>> props) {
        w.writeStartElement(kDav, QStringLiteral("prop"));
        for (const auto& [ns, name] : props) w.writeEmptyElement(ns, name);
        w.writeEndElement();
    }
    QByteArray finish() {
        w.writeEndDocument();
        return out;
    }
};

}  // namespace

std::string normalizeHref(const QByteArray& href) {
    const QByteArray t = href.trimmed();
    const QUrl url = QUrl::fromEncoded(t);
    if (url.isValid() && !url.scheme().isEmpty()) return url.path(QUrl::FullyDecoded).toStdString();
    return QUrl::fromPercentEncoding(t).toStdString();
}

std::optional<DavMultistatus> parseMultistatus(const QByteArray& xml) {
    QXmlStreamReader r(xml);
    DavMultistatus out;
    bool sawRoot = false;
    // Inside <response>: the propstat being read and whether its status is 200.
    DavResponse current;
    DavResponse propstat;
    int propstatStatus = 0;
    enum { None, InResponse, InPropstat } where = None;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QStringView ns = r.namespaceUri(), name = r.name();
            if (!sawRoot) {
                if (ns != kDav || name != u"multistatus") return std::nullopt;
                sawRoot = true;
                continue;
            }
            if (ns == kDav && name == u"response" && where == None) {
                where = InResponse;
                current = DavResponse{};
            } else if (ns == kDav && name == u"propstat" && where == InResponse) {
                where = InPropstat;
                propstat = DavResponse{};
                propstatStatus = 0;
            } else if (ns == kDav && name == u"href" && where == InResponse) {
                current.href = normalizeHref(r.readElementText(QXmlStreamReader::IncludeChildElements).toUtf8());
            } else if (ns == kDav && name == u"status") {
                const int code = statusCode(r.readElementText(QXmlStreamReader::IncludeChildElements));
                if (where == InPropstat)
                    propstatStatus = code;
                else if (where == InResponse)
                    current.status = code;
            } else if (ns == kDav && name == u"sync-token") {
                const std::string token = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString();
                if (where == None)
                    out.syncToken = token;
                else if (where == InPropstat)
                    propstat.syncToken = token;
            } else if (where == InPropstat && ns == kDav && name == u"getetag") {
                propstat.hasEtag = true;
                propstat.etag = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString();
            } else if (where == InPropstat && ns == kCalDav && name == u"calendar-data") {
                propstat.hasCalendarData = true;
                propstat.calendarData = r.readElementText(QXmlStreamReader::IncludeChildElements).toStdString();
            } else if (where == InPropstat && ns == kCalServer && name == u"getctag") {
                propstat.ctag = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString();
            } else if (where == InPropstat && ns == kDav && name == u"collection") {
                propstat.isCollection = true;
            }
        } else if (r.isEndElement()) {
            const QStringView ns = r.namespaceUri(), name = r.name();
            if (ns == kDav && name == u"propstat" && where == InPropstat) {
                where = InResponse;
                if (propstatStatus == 200 || propstatStatus == 0) {
                    if (propstat.hasEtag) {
                        current.hasEtag = true;
                        current.etag = std::move(propstat.etag);
                    }
                    if (propstat.hasCalendarData) {
                        current.hasCalendarData = true;
                        current.calendarData = std::move(propstat.calendarData);
                    }
                    if (!propstat.ctag.empty()) current.ctag = std::move(propstat.ctag);
                    if (!propstat.syncToken.empty()) current.syncToken = std::move(propstat.syncToken);
                    current.isCollection = current.isCollection || propstat.isCollection;
                }
            } else if (ns == kDav && name == u"response" && where == InResponse) {
                where = None;
                if (!current.href.empty()) out.responses.push_back(std::move(current));
            }
        }
    }
    if (r.hasError() || !sawRoot) return std::nullopt;
    return out;
}

QByteArray propfindCollectionBody() {
    Writer x(QStringLiteral("propfind"), kDav);
    x.prop({{kDav, QStringLiteral("resourcetype")}, {kDav, QStringLiteral("sync-token")},
            {kCalServer, QStringLiteral("getctag")}, {kCalDav, QStringLiteral("supported-calendar-component-set")}});
    return x.finish();
}

QByteArray syncCollectionBody(const std::string& token) {
    Writer x(QStringLiteral("sync-collection"), kDav);
    x.w.writeTextElement(kDav, QStringLiteral("sync-token"), QString::fromStdString(token));
    x.w.writeTextElement(kDav, QStringLiteral("sync-level"), QStringLiteral("1"));
    x.prop({{kDav, QStringLiteral("getetag")}});
    return x.finish();
}

QByteArray calendarQueryBody() {
    Writer x(QStringLiteral("calendar-query"), kCalDav);
    x.prop({{kDav, QStringLiteral("getetag")}});
    x.w.writeStartElement(kCalDav, QStringLiteral("filter"));
    x.w.writeStartElement(kCalDav, QStringLiteral("comp-filter"));
    x.w.writeAttribute(QStringLiteral("name"), QStringLiteral("VCALENDAR"));
    x.w.writeEndElement();
    x.w.writeEndElement();
    return x.finish();
}

QByteArray multigetBody(const std::vector<std::string>& hrefs) {
    Writer x(QStringLiteral("calendar-multiget"), kCalDav);
    x.prop({{kDav, QStringLiteral("getetag")}, {kCalDav, QStringLiteral("calendar-data")}});
    for (const std::string& h : hrefs)
        x.w.writeTextElement(kDav, QStringLiteral("href"),
                             QString::fromUtf8(QUrl::toPercentEncoding(QString::fromStdString(h), "/")));
    return x.finish();
}

}  // namespace sorvel
