#include "ical/ical_almanac.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "almanac/almanac.h"
#include "ical/ical_text.h"

namespace sorvel {

namespace {

// The date as iCalendar writes it: the same day in the proleptic Gregorian calendar.
std::string dateText(const Date& d) {
    const Date g = toProlepticGregorian(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", g.year, g.month, g.day);
    return buf;
}

// The UID word of each 雑節; a name not listed (none today) gets its place among the day's.
struct ZassetsuKey {
    std::string_view name;
    std::string_view key;
};
constexpr std::array<ZassetsuKey, 11> kZassetsuKeys{{
    {"節分", "setsubun"},
    {"彼岸入り", "higan-iri"},
    {"社日", "shanichi"},
    {"彼岸明け", "higan-ake"},
    {"八十八夜", "hachijuhachiya"},
    {"入梅", "nyubai"},
    {"半夏生", "hangesho"},
    {"土用入り", "doyo-iri"},
    {"土用の丑の日", "doyo-ushi"},
    {"二百十日", "nihyakutoka"},
    {"二百二十日", "nihyakuhatsuka"},
}};

// "-higan-iri": the part of the UID after the date.
std::string zassetsuKey(const std::string& name, qsizetype place) {
    std::string key(1, '-');
    for (const ZassetsuKey& k : kZassetsuKeys)
        if (k.name == name) return key.append(k.key);
    return key.append(std::to_string(place));
}

struct EventWriter {
    std::string& out;
    const std::string& stamp;
    std::string start, end;

    void event(const char* kind, const std::string& uidTail, const QString& summary, const QString& description,
               const char* category) {
        appendContentLine(out, "BEGIN:VEVENT");
        std::string uid = "UID:";
        uid.append(kind).append("-").append(start).append(uidTail).append("@sorvel");
        appendContentLine(out, uid);
        appendContentLine(out, "DTSTAMP:" + stamp);
        appendContentLine(out, "DTSTART;VALUE=DATE:" + start);
        appendContentLine(out, "DTEND;VALUE=DATE:" + end);
        appendContentLine(out, "SUMMARY:" + escapeIcalText(summary.toStdString()));
        if (!description.isEmpty()) appendContentLine(out, "DESCRIPTION:" + escapeIcalText(description.toStdString()));
        appendContentLine(out, std::string("CATEGORIES:").append(category));
        appendContentLine(out, "X-SORVEL-ALMANAC:TRUE");
        appendContentLine(out, "TRANSP:TRANSPARENT");
        appendContentLine(out, "END:VEVENT");
    }
};

}  // namespace

void appendAlmanacEvents(std::string& out, const Date& first, const Date& last, const std::string& stamp) {
    const Date from = std::max(first, Date{kAlmanacFirstYear, 1, 1});
    const Date to = std::min(last, Date{kAlmanacLastYear, 12, 31});
    if (!dateExists(from.year, from.month, from.day) || !dateExists(to.year, to.month, to.day) || from > to) return;
    out.reserve(out.size() + static_cast<std::size_t>(dayNumber(to) - dayNumber(from) + 1) * 260);
    EventWriter w{out, stamp, {}, {}};
    for (Date d = from; d <= to; d = addDays(d, 1)) {
        const AlmanacDay a = almanacDay(d.year, d.month, d.day);
        if (!a.valid) continue;
        w.start = dateText(d);
        w.end = dateText(addDays(d, 1));
        w.event("rokuyo", {}, rokuyoName(a.rokuyo), {}, "六曜");
        if (a.oldDay == 1)
            w.event("kyureki", {},
                    QStringLiteral("旧暦 %1%2月1日").arg(a.oldLeap ? QStringLiteral("閏") : QString()).arg(a.oldMonth),
                    {}, "旧暦");
        if (a.term)
            w.event("sekki", {}, a.term->name,
                    QStringLiteral("%1 %2月%3日 %4:%5")
                        .arg(a.term->name)
                        .arg(d.month)
                        .arg(d.day)
                        .arg(a.term->hour)
                        .arg(a.term->minute, 2, 10, QLatin1Char('0')),
                    "二十四節気");
        for (qsizetype i = 0; i < a.zassetsu.size(); ++i)
            w.event("zassetsu", zassetsuKey(a.zassetsu[i].toStdString(), i), a.zassetsu[i], {}, "雑節");
    }
}

}  // namespace sorvel
