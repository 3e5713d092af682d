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

bool is(const QXmlStreamReader& r, const QString& ns, const char* name) {
    return r.namespaceUri() == ns && r.name() == QLatin1String(name);
}

std::string elementText(QXmlStreamReader& r) {
    return r.readElementText(QXmlStreamReader::IncludeChildElements).toStdString();
}
std::string trimmedText(QXmlStreamReader& r) {
    return r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString();
}

// The first DAV:href inside the element the reader stands on, as written; the reader ends on
// the element's end.
std::string hrefInside(QXmlStreamReader& r) {
    std::string href;
    while (r.readNextStartElement()) {
        if (!is(r, kDav, "href")) {
            r.skipCurrentElement();
            continue;
        }
        std::string text = trimmedText(r);
        if (href.empty()) href = std::move(text);
    }
    return href;
}

void readResourceType(QXmlStreamReader& r, DavResponse& into) {
    while (r.readNextStartElement()) {
        if (is(r, kDav, "collection")) into.isCollection = true;
        if (is(r, kCalDav, "calendar")) into.isCalendar = true;
        r.skipCurrentElement();
    }
}

// Whether a supported-calendar-component-set names VEVENT.
bool namesEvents(QXmlStreamReader& r) {
    bool events = false;
    while (r.readNextStartElement()) {
        if (is(r, kCalDav, "comp") &&
            r.attributes().value(QLatin1String("name")).compare(QLatin1String("VEVENT"), Qt::CaseInsensitive) == 0)
            events = true;
        r.skipCurrentElement();
    }
    return events;
}

// The properties that are one text each: where they are kept and how they are read.
struct TextProperty {
    const QString& ns;
    const char* name;
    std::string DavResponse::*field;
    std::string (*read)(QXmlStreamReader&);
};
const TextProperty kTextProperties[] = {
    {kCalServer, "getctag", &DavResponse::ctag, trimmedText},
    {kDav, "sync-token", &DavResponse::syncToken, trimmedText},
    {kDav, "displayname", &DavResponse::displayName, trimmedText},
    {kDav, "current-user-principal", &DavResponse::principal, hrefInside},
    {kCalDav, "calendar-home-set", &DavResponse::calendarHome, hrefInside},
};

bool readTextProperty(QXmlStreamReader& r, DavResponse& into) {
    for (const TextProperty& p : kTextProperties) {
        if (!is(r, p.ns, p.name)) continue;
        into.*p.field = p.read(r);
        return true;
    }
    return false;
}

// The properties of one DAV:prop element.
void readProp(QXmlStreamReader& r, DavResponse& into) {
    while (r.readNextStartElement()) {
        if (readTextProperty(r, into)) continue;
        if (is(r, kDav, "getetag")) {
            into.hasEtag = true;
            into.etag = trimmedText(r);
        } else if (is(r, kCalDav, "calendar-data")) {
            into.hasCalendarData = true;
            into.calendarData = elementText(r);
        } else if (is(r, kDav, "resourcetype")) {
            readResourceType(r, into);
        } else if (is(r, kCalDav, "supported-calendar-component-set")) {
            into.holdsEvents = namesEvents(r);
        } else {
            r.skipCurrentElement();
        }
    }
}

// One DAV:propstat: the status follows the properties it speaks for, so they are read aside and
// taken when it is 200 (or not given).
void readPropstat(QXmlStreamReader& r, DavResponse& into) {
    DavResponse props;
    int status = 0;
    while (r.readNextStartElement()) {
        if (is(r, kDav, "prop"))
            readProp(r, props);
        else if (is(r, kDav, "status"))
            status = statusCode(r.readElementText(QXmlStreamReader::IncludeChildElements));
        else
            r.skipCurrentElement();
    }
    if (status != 200 && status != 0) return;
    if (props.hasEtag) {
        into.hasEtag = true;
        into.etag = std::move(props.etag);
    }
    if (props.hasCalendarData) {
        into.hasCalendarData = true;
        into.calendarData = std::move(props.calendarData);
    }
    for (const TextProperty& p : kTextProperties)
        if (!(props.*p.field).empty()) into.*p.field = std::move(props.*p.field);
    into.isCollection = into.isCollection || props.isCollection;
    into.isCalendar = into.isCalendar || props.isCalendar;
    into.holdsEvents = into.holdsEvents && props.holdsEvents;
}

DavResponse readResponse(QXmlStreamReader& r) {
    DavResponse res;
    while (r.readNextStartElement()) {
        if (is(r, kDav, "href")) {
            res.hrefText = trimmedText(r);
            res.href = normalizeHref(QByteArray::fromStdString(res.hrefText));
        } else if (is(r, kDav, "status")) {
            res.status = statusCode(r.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (is(r, kDav, "propstat")) {
            readPropstat(r, res);
        } else {
            r.skipCurrentElement();
        }
    }
    return res;
}

}  // namespace

std::string normalizeHref(const QByteArray& href) {
    const QByteArray t = href.trimmed();
    const QUrl url = QUrl::fromEncoded(t);
    if (url.isValid() && !url.scheme().isEmpty()) return url.path(QUrl::FullyDecoded).toStdString();
    return QUrl::fromPercentEncoding(t).toStdString();
}

std::optional<DavMultistatus> parseMultistatus(const QByteArray& xml) {
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || !is(r, kDav, "multistatus")) return std::nullopt;
    DavMultistatus out;
    while (r.readNextStartElement()) {
        if (is(r, kDav, "response")) {
            DavResponse res = readResponse(r);
            if (!res.href.empty()) out.responses.push_back(std::move(res));
        } else if (is(r, kDav, "sync-token")) {
            out.syncToken = trimmedText(r);
        } else {
            r.skipCurrentElement();
        }
    }
    while (!r.atEnd()) r.readNext();  // nothing but comments may follow the root
    if (r.hasError()) return std::nullopt;
    return out;
}

QByteArray propfindCollectionBody() {
    Writer x(QStringLiteral("propfind"), kDav);
    x.prop({{kDav, QStringLiteral("resourcetype")}, {kDav, QStringLiteral("sync-token")},
            {kCalServer, QStringLiteral("getctag")}, {kCalDav, QStringLiteral("supported-calendar-component-set")}});
    return x.finish();
}

QByteArray discoveryPropfindBody() {
    Writer x(QStringLiteral("propfind"), kDav);
    x.prop({{kDav, QStringLiteral("resourcetype")},
            {kDav, QStringLiteral("displayname")},
            {kDav, QStringLiteral("current-user-principal")},
            {kCalDav, QStringLiteral("calendar-home-set")},
            {kCalDav, QStringLiteral("supported-calendar-component-set")}});
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
