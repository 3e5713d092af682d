#include "ical/ical_export.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_map>

#include <QDateTime>

#include "ical/ical_almanac.h"
#include "ical/ical_text.h"
#include "platform/text.h"
#include "calendar/day_number.h"
#include "platform/version.h"
#include "calendar/national_holidays.h"

namespace sorvel {

namespace {


std::string dateText(int y, int m, int d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

// DTSTART and DTEND of an all-day event of one day, as proleptic Gregorian dates; the last day
// of 9999 has no next day to end on in four digits, and one-day events may go without DTEND.
void appendDay(std::string& out, int y, int m, int d) {
    const Date start = toProlepticGregorian(Date{y, m, d});
    appendContentLine(out, "DTSTART;VALUE=DATE:" + dateText(start.year, start.month, start.day));
    const Date next = toProlepticGregorian(addDays(Date{y, m, d}, 1));
    if (next.year <= kLastYear) appendContentLine(out, "DTEND;VALUE=DATE:" + dateText(next.year, next.month, next.day));
}

// Whether a text's UTF-8 form leads back to the same CP932 bytes (not so for bytes that are not
// CP932, the NEC and IBM duplicates, and blanks at the ends, which libical drops).
bool readsBack(std::string_view cp932) {
    const std::string utf8 = cp932ToUtf8(cp932);
    return trimBlanks(utf8).size() == utf8.size() &&
           utf8ToCp932(utf8) == std::optional<std::string>(std::string(cp932));
}

// Bytes in hexadecimal beside a text that does not read back, for our import.
void appendKept(std::string& out, std::string_view name, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = "X-SORVEL-CP932-" + std::string(name) + ":";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        line.push_back(kHex[c >> 4]);
        line.push_back(kHex[c & 15]);
    }
    appendContentLine(out, line);
}

void appendText(std::string& out, std::string_view name, std::string_view cp932) {
    appendContentLine(out, std::string(name) + ":" + escapeIcalText(cp932ToUtf8(cp932)));
    if (!readsBack(cp932)) appendKept(out, name, cp932);
}

// The zone's VTIMEZONE from the first day of a year on, under its plain name.
void appendZone(std::string& out, icaltimezone* zone, const std::string& name, int year) {
    icalcomponent* c = icalcomponent_new_clone(icaltimezone_get_component(zone));
    icaltimetype from = icaltime_null_time();
    from.year = year;
    from.month = from.day = 1;
    from.zone = icaltimezone_get_utc_timezone();
    icaltimezone_truncate_vtimezone(c, from, icaltime_null_time(), 0);
    while (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
    icalproperty_set_tzid(icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY), name.c_str());
    char* text = icalcomponent_as_ical_string_r(c);
    out += text;
    std::free(text);
    icalcomponent_free(c);
}

// DTSTART and DTEND of a timed note: from its time for an hour, or to the end its text holds
// (the next day's when that is not later).
struct TimedNote {
    std::string zoneName;  // empty: times in UTC
    void append(std::string& out, const TDateMemo& memo, int hour, int minute) const {
        // The day goes out as its proleptic Gregorian date, as an all-day note's does.
        auto when = [&](const char* name, const Date& held, int h, int m) {
            const Date d = toProlepticGregorian(held);
            char buf[24];
            std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d00", d.year, d.month, d.day, h, m);
            appendContentLine(out, zoneName.empty() ? std::string(name) + ":" + buf + "Z"
                                                    : std::string(name) + ";TZID=" + zoneName + ":" + buf);
        };
        const Date day{memo.year, memo.month, memo.day};
        when("DTSTART", day, hour, minute);
        int endHour = (hour + 1) % 24, endMinute = minute;
        Date endDay = hour == 23 ? addDays(day, 1) : day;
        if (textEndTime(memo.text, &endHour, &endMinute))
            endDay = endHour * 60 + endMinute > hour * 60 + minute ? day : addDays(day, 1);
        if (toProlepticGregorian(endDay).year <= kLastYear) when("DTEND", endDay, endHour, endMinute);
    }
};

constexpr const char* kWeekdayCodes[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// The rule's first day from 2000 on (2000 is a leap year, so 29 February has one).
bool ruleStart(const THolidaySet& rule, int& year, int& day) {
    if (rule.month < 1 || rule.month > 12) return false;
    for (year = 2000; year < 2400; ++year) {
        if (rule.ruleKind == 1) {
            if (rule.weekday < 0 || rule.weekday > 6 || rule.ordinal < 1 || rule.ordinal > 5) return false;
            day = nthWeekday(year, rule.month, rule.weekday, rule.ordinal);
        } else {
            day = dateExists(year, rule.month, rule.day) ? rule.day : 0;
        }
        if (day != 0) return true;
    }
    return false;
}

std::string ruleUid(const THolidaySet& rule, int place) {
    std::uint64_t h = fnv1a(kFnvBasis, rule.name);
    const std::string fields = std::to_string(rule.ruleKind) + "/" + std::to_string(rule.month) + "/" +
                               (rule.ruleKind == 1 ? std::to_string(rule.ordinal) + kWeekdayCodes[rule.weekday]
                                                   : std::to_string(rule.day));
    char buf[80];
    std::snprintf(buf, sizeof buf, "rule-%016llx-%d@sorvel", static_cast<unsigned long long>(fnv1a(h, fields)), place);
    return buf;
}

}  // namespace

bool icalDateGoesOut(const TDateMemo& memo) {
    return isHeldDate(memo.year, memo.month, memo.day) &&
           toProlepticGregorian(Date{memo.year, memo.month, memo.day}).year >= kFirstYear;
}

QString icalLeftOutMessage(const std::vector<const TDateMemo*>& memos) {
    const auto count = std::count_if(memos.begin(), memos.end(), [](const TDateMemo* m) { return m && !icalDateGoesOut(*m); });
    if (count == 0) return {};
    return QStringLiteral("%1件の予定は書き出しませんでした。\n日付が暦にないか、iCalendarの日付"
                          "（グレゴリオ暦の1年1月1日から9999年12月31日）で表せません。")
        .arg(count);
}

std::string memoUid(const TDateMemo& memo, int place) {
    std::uint64_t h = fnv1a(kFnvBasis, memo.caption);
    h = fnv1a(h, std::string_view("\0", 1));
    h = fnv1a(h, memo.text);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s-%016llx-%d@sorvel", dateText(memo.year, memo.month, memo.day).c_str(),
                  static_cast<unsigned long long>(h), place);
    return buf;
}

std::string icalStampNow() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
}

std::string exportIcal(const std::vector<const TDateMemo*>& memos, const std::vector<const THolidaySet*>& rules,
                       const IcalExportOptions& options) {
    std::string out;
    out.reserve(memos.size() * 200 + 256);
    appendContentLine(out, "BEGIN:VCALENDAR");
    appendContentLine(out, "VERSION:2.0");
    appendContentLine(out, std::string("PRODID:-//Sorvel//Sorvel ") + kVersion + "//JA");
    appendContentLine(out, "CALSCALE:GREGORIAN");
    const std::string stamp = "DTSTAMP:" + options.stamp;

    std::string zoneName;
    icaltimezone* zone = icalLocalZone(options.localZone, &zoneName);
    const bool utc = zone == icaltimezone_get_utc_timezone() || !icaltimezone_get_component(zone);
    int firstYear = 10000, hour = 0, minute = 0;
    for (const TDateMemo* memo : memos)
        if (memo && icalDateGoesOut(*memo) && captionTime(memo->caption, &hour, &minute))
            firstYear = std::min(firstYear, toProlepticGregorian(Date{memo->year, memo->month, memo->day}).year);
    if (firstYear <= 9999 && !utc) appendZone(out, zone, zoneName, firstYear);
    const TimedNote timed{utc ? std::string() : zoneName};

    // The place of a note among identical ones: keyed by date, caption and text.
    std::unordered_map<std::string, int> seen;
    for (const TDateMemo* memo : memos) {
        if (!memo || !icalDateGoesOut(*memo)) continue;
        std::string key = dateText(memo->year, memo->month, memo->day);
        key += memo->caption;
        key.push_back('\0');
        key += memo->text;
        const int place = seen[key]++;
        appendContentLine(out, "BEGIN:VEVENT");
        appendContentLine(out, "UID:" + memoUid(*memo, place));
        appendContentLine(out, stamp);
        if (const std::size_t time = captionTime(memo->caption, &hour, &minute)) {
            timed.append(out, *memo, hour, minute);
            // The time is the event's; our import writes it back as "HH:MM ", and keeps the
            // caption's own bytes where they differ.
            const std::string_view rest = std::string_view(memo->caption).substr(time);
            appendContentLine(out, "SUMMARY:" + escapeIcalText(cp932ToUtf8(rest)));
            char canonical[8];
            std::snprintf(canonical, sizeof canonical, "%02d:%02d ", hour, minute);
            if (!readsBack(rest) || memo->caption.compare(0, time, canonical) != 0)
                appendKept(out, "SUMMARY", memo->caption);
        } else {
            appendDay(out, memo->year, memo->month, memo->day);
            appendText(out, "SUMMARY", memo->caption);
        }
        if (!memo->text.empty()) appendText(out, "DESCRIPTION", memo->text);
        if (const std::optional<std::string> where = textLocation(memo->text); where && !where->empty())
            appendText(out, "LOCATION", *where);
        appendContentLine(out, "END:VEVENT");
    }

    std::unordered_map<std::string, int> seenRules;
    for (const THolidaySet* rule : rules) {
        int year = 0, day = 0;
        if (!rule || !ruleStart(*rule, year, day)) continue;
        std::string uid = ruleUid(*rule, 0);
        const int place = seenRules[uid]++;
        if (place != 0) uid = ruleUid(*rule, place);
        appendContentLine(out, "BEGIN:VEVENT");
        appendContentLine(out, "UID:" + uid);
        appendContentLine(out, stamp);
        appendDay(out, year, rule->month, day);
        std::string rrule = "RRULE:FREQ=YEARLY;BYMONTH=" + std::to_string(rule->month);
        if (rule->ruleKind == 1)
            rrule += ";BYDAY=" + std::to_string(rule->ordinal) + kWeekdayCodes[rule->weekday];
        else
            rrule += ";BYMONTHDAY=" + std::to_string(rule->day);
        appendContentLine(out, rrule);
        appendText(out, "SUMMARY", rule->name);
        if (rule->dayOffKind == 1) {
            appendContentLine(out, "CATEGORIES:祝日");
            appendContentLine(out, "X-SORVEL-DAY-OFF:TRUE");
            appendContentLine(out, "X-SORVEL-SUBSTITUTE:TRUE");
        } else if (rule->dayOffKind != 0) {
            appendContentLine(out, "CATEGORIES:休日");
            appendContentLine(out, "X-SORVEL-DAY-OFF:TRUE");
        }
        appendContentLine(out, "TRANSP:TRANSPARENT");
        appendContentLine(out, "END:VEVENT");
    }

    const int from = std::max(1, options.nationalFrom), to = std::min(9999, options.nationalTo);
    for (int y = from; y <= to; ++y) {
        for (Date d{y, 1, 1}; d.year == y; d = addDays(d, 1)) {
            const NationalDay nd = nationalHoliday(y, d.month, d.day);
            if (nd.kind == NationalDayKind::None) continue;
            appendContentLine(out, "BEGIN:VEVENT");
            appendContentLine(out, "UID:national-" + dateText(y, d.month, d.day) + "@sorvel");
            appendContentLine(out, stamp);
            appendDay(out, y, d.month, d.day);
            appendContentLine(out, "SUMMARY:" + escapeIcalText(nd.name));
            appendContentLine(out, "CATEGORIES:祝日");
            appendContentLine(out, "X-SORVEL-NATIONAL:TRUE");
            appendContentLine(out, "TRANSP:TRANSPARENT");
            appendContentLine(out, "END:VEVENT");
        }
    }
    if (options.almanacFrom <= options.almanacTo)
        appendAlmanacEvents(out, Date{std::max(kFirstYear, options.almanacFrom), 1, 1},
                            Date{std::min(kLastYear, options.almanacTo), 12, 31}, options.stamp);
    appendContentLine(out, "END:VCALENDAR");
    return out;
}

}  // namespace sorvel
