// The DAV answers a server sends (network input): any bytes give a multistatus or none, and
// every response read has a path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QUrl>

#include "sync/caldav_discovery.h"
#include "sync/caldav_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto ms = sorvel::parseMultistatus(body))
        for (const sorvel::DavResponse& r : ms->responses)
            if (r.href.empty() || (!r.hasEtag && !r.etag.empty())) std::abort();
    const QUrl base(QStringLiteral("https://dav.example/cal/"));
    if (const auto resources = sorvel::parsePropfind(body, base))
        for (const sorvel::DavResource& r : *resources)
            if (r.calendarHome && !r.calendarHome->isValid()) std::abort();
    sorvel::normalizeHref(body.left(512));
    return 0;
}
