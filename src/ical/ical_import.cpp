#include "ical/ical_import.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include <QStringList>

#include "calendar/day_number.h"
#include "ical/ical_text.h"
#include "platform/text.h"

namespace sorvel {

namespace {

constexpr std::size_t kMaxStepsPerEvent = 100000;
constexpr std::size_t kMaxSteps = 3000000;
constexpr std::size_t kMaxTotalBytes = 128u * 1024 * 1024;

struct LineSource {
    const char* p;
    const char* end;
};

char* nextChunk(char* s, std::size_t size, void* d) {
    auto* src = static_cast<LineSource*>(d);
    if (src->p >= src->end || size < 2) return nullptr;
    std::size_t n = 0;
    while (src->p < src->end && n + 1 < size) {
        char c = *src->p++;
        // A line may end in CR alone, as older programs write it.
        if (c == '\r' && (src->p == src->end || *src->p != '\n')) c = '\n';
        s[n++] = c == '\0' ? ' ' : c;
        if (c == '\n') break;
    }
    s[n] = '\0';
    return s;
}

bool startsWithNoCase(const char* line, const char* prefix) {
    return strncasecmp(line, prefix, std::strlen(prefix)) == 0;
}

struct Free {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

class Importer {
public:
    Importer(const IcalImportOptions& o, IcalImport& r) : opt_(o), out_(r) {
        local_ = icalLocalZone(o.localZone);
        container_.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    }

    bool tick() {
        if (!opt_.progress) return true;
        if (!opt_.progress(done_, total_)) cancelled_ = true;
        return !cancelled_;
    }
    bool cancelled() const { return cancelled_; }
    void setPosition(std::size_t done, std::size_t total) {
        done_ = done;
        total_ = total;
    }

    void take(icalcomponent* comp) {
        const icalcomponent_kind kind = icalcomponent_isa(comp);
        if (kind == ICAL_VTIMEZONE_COMPONENT) {
            icalcomponent_add_component(container_.get(), comp);
            return;
        }
        if (kind != ICAL_VEVENT_COMPONENT) {
            ++out_.otherComponents;
            icalcomponent_free(comp);
            return;
        }
        out_.otherComponents += static_cast<std::size_t>(icalcomponent_count_components(comp, ICAL_ANY_COMPONENT));
        icalcomponent_add_component(container_.get(), comp);
        const bool cancelled = icalcomponent_get_status(comp) == ICAL_STATUS_CANCELLED;
        // A day of a series moved or cancelled: the series leaves that day out, and a moved
        // one is a note of its own.
        if (icalproperty* id = icalcomponent_get_first_property(comp, ICAL_RECURRENCEID_PROPERTY)) {
            ++out_.repeating;
            if (const char* uid = icalcomponent_get_uid(comp)) {
                const icaltimetype t =
                    toLocal(withZone(id, icalproperty_get_recurrenceid(id), icalcomponent_get_dtstart(comp).zone));
                replaced_[uid].push_back({keyOf(t), t.is_date != 0});
            }
        }
        if (cancelled) {
            ++out_.cancelled;
        } else if (repeats(comp)) {
            // Read when the whole file is: the days that replace its own may come after it.
            ++out_.repeating;
            icalcomponent_remove_component(container_.get(), comp);
            series_.emplace_back(comp);
            return;
        } else {
            event(comp);
        }
        icalcomponent_remove_component(container_.get(), comp);
        icalcomponent_free(comp);
    }

    // The repeating events; then the notes in the order of their days and times, an all-day
    // one first.
    void finish() {
        for (auto& comp : series_) {
            if (cancelled_) return;
            icalcomponent_add_component(container_.get(), comp.get());
            event(comp.get());
            icalcomponent_remove_component(container_.get(), comp.get());
        }
        series_.clear();
        std::vector<std::size_t> order(out_.memos.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        auto key = [&](std::size_t i) { return std::pair(dayKey(*out_.memos[i]), minutes_[i]); };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
        TDateMemoList sorted;
        sorted.reserve(order.size());
        for (std::size_t i : order) sorted.push_back(std::move(out_.memos[i]));
        out_.memos = std::move(sorted);
    }

private:
    static std::int64_t dayKey(const TDateMemo& m) { return (static_cast<std::int64_t>(m.year) * 100 + m.month) * 100 + m.day; }

    static bool repeats(icalcomponent* comp) {
        return icalcomponent_get_first_property(comp, ICAL_RRULE_PROPERTY) ||
               icalcomponent_get_first_property(comp, ICAL_RDATE_PROPERTY);
    }

    // The start as a date or a local time.
    icaltimetype toLocal(icaltimetype t) const {
        if (!t.is_date && t.zone) t = icaltime_convert_to_zone(t, local_);
        return t;
    }

    // A date-time of a property (EXDATE, RDATE) in its own time zone.
    icaltimetype withZone(icalproperty* prop, icaltimetype t, const icaltimezone* fallback) {
        if (t.is_date || icaltime_is_utc(t)) return t;
        if (icalparameter* p = icalproperty_get_first_parameter(prop, ICAL_TZID_PARAMETER)) {
            const char* tzid = icalparameter_get_tzid(p);
            icaltimezone* z = tzid ? icalcomponent_get_timezone(container_.get(), tzid) : nullptr;
            if (!z && tzid) z = icaltimezone_get_builtin_timezone(tzid);
            t.zone = z;
        } else {
            t.zone = fallback;
        }
        return t;
    }

    // A text as CP932: the bytes our own export kept beside it when they still give the same
    // text (libical drops the blanks at its ends), otherwise converted. With whole, the kept
    // bytes are a timed note's whole caption, its time first; *whole gets them.
    std::string text(icalcomponent* comp, const char* utf8, const char* rawName, std::string* whole = nullptr) {
        if (!utf8) utf8 = "";
        std::string s;
        s.reserve(std::strlen(utf8));
        for (const char* p = utf8; *p; ++p) {
            if (*p == '\n' && (p == utf8 || p[-1] != '\r')) s += '\r';
            s += *p;
        }
        std::string cp = rawBytes(xValue(comp, rawName));
        int hour = 0, minute = 0;
        const std::size_t time = whole ? captionTime(cp, &hour, &minute) : 0;
        if (whole && time == 0) cp.clear();
        if (!cp.empty() && trimBlanks(cp932ToUtf8(std::string_view(cp).substr(time))) == s) {
            if (whole && cp.size() <= kIcalMaxTextBytes) *whole = cp;
            cp.erase(0, time);
        } else {
            cp = utf8ToCp932Replacing(s, &out_.replacedCharacters);
        }
        if (cp.size() > kIcalMaxTextBytes) {
            std::size_t i = 0;
            while (i < cp.size()) {
                const std::size_t len = isLeadByte(static_cast<unsigned char>(cp[i])) ? 2 : 1;
                if (i + len > kIcalMaxTextBytes) break;
                i += len;
            }
            cp.resize(i);
            ++out_.shortened;
        }
        return cp;
    }

    static std::string rawBytes(const std::string& hex) {
        std::string out;
        if (hex.size() % 2) return out;
        auto digit = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        };
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
            if (hi < 0 || lo < 0) return {};
            out.push_back(static_cast<char>(hi * 16 + lo));
        }
        return out;
    }

    std::string xValue(icalcomponent* comp, const char* name) {
        for (icalproperty* p = icalcomponent_get_first_property(comp, ICAL_X_PROPERTY); p;
             p = icalcomponent_get_next_property(comp, ICAL_X_PROPERTY)) {
            const char* n = icalproperty_get_x_name(p);
            if (n && strcasecmp(n, name) == 0) return icalproperty_get_x(p) ? icalproperty_get_x(p) : "";
        }
        return {};
    }

    // A start libical could not read: a year of more than four digits, or damage.
    void badStart(icalcomponent* comp) {
        for (icalproperty* p = icalcomponent_get_first_property(comp, ICAL_XLICERROR_PROPERTY); p;
             p = icalcomponent_get_next_property(comp, ICAL_XLICERROR_PROPERTY)) {
            const char* v = icalproperty_get_xlicerror(p);
            if (!v || !std::strstr(v, "DTSTART")) continue;
            const char* value = std::strrchr(v, ':');
            if (!value) break;
            ++value;
            while (*value == ' ') ++value;
            std::size_t digits = 0;
            while (value[digits] >= '0' && value[digits] <= '9') ++digits;
            if (digits > 8 && (value[digits] == '\0' || value[digits] == 'T')) {
                ++out_.yearOutside;
                return;
            }
            break;
        }
        ++out_.damaged;
    }

    bool room(std::size_t bytes) {
        if (out_.memos.size() + out_.rules.size() >= kIcalMaxEntries || totalBytes_ + bytes > kMaxTotalBytes) {
            ++out_.overLimit;
            return false;
        }
        totalBytes_ += bytes;
        return true;
    }

    // The end of an event: its length, and the text it adds to each of its notes.
    struct Span {
        bool timed = false;
        int days = 1;                // an all-day event's
        std::int64_t seconds = 0;    // a timed event's
    };

    // "（2027年1月3日まで）" for an event that ends on a later day, "～11:30" for a timed one that
    // ends on its own day after other than an hour; nothing where the text says so already.
    static std::string endHint(const icaltimetype& start, const Span& span, const std::string& body) {
        icaltimetype last = start;
        icaltimetype end = start;
        if (span.timed) {
            icaltime_adjust(&end, 0, 0, 0, static_cast<int>(span.seconds));
            last = end;
            if (span.seconds > 0 && end.hour == 0 && end.minute == 0 && end.second == 0) icaltime_adjust(&last, -1, 0, 0, 0);
            int hour = 0, minute = 0;
            if (textEndTime(body, &hour, &minute) && hour == end.hour && minute == end.minute && span.seconds <= 86400)
                return {};
        } else {
            icaltime_adjust(&last, span.days - 1, 0, 0, 0);
        }
        std::string hint;
        if (icaltime_compare_date_only(last, start) > 0) {
            hint = sjis(QStringLiteral("（%1年%2月%3日まで）").arg(last.year).arg(last.month).arg(last.day).toStdString());
        } else if (span.timed && span.seconds > 0 && span.seconds != 3600) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d:%02d", end.hour, end.minute);
            hint = kEndMark + std::string(buf);
        }
        if (hint.empty() || body.find(hint) != std::string::npos) return {};
        return body.empty() ? hint : "\r\n" + hint;
    }

    void addNote(const icaltimetype& t, bool timed, const std::string& caption, const std::string& body,
                 const Span& span, const std::string& whole) {
        if (t.year < 1 || t.year > 9999) {
            ++out_.yearOutside;
            return;
        }
        // A proleptic Gregorian date: 11 March 1600 is the calendar's 1 March.
        const std::optional<Date> held = fromProlepticGregorian(t.year, t.month, t.day);
        if (!held) {  // libical takes "20260155"
            ++out_.damaged;
            return;
        }
        const std::string hint = endHint(t, span, body);
        if (!room(caption.size() + body.size() + hint.size() + 6)) return;
        auto memo = std::make_unique<TDateMemo>();
        memo->year = held->year;
        memo->month = held->month;
        memo->day = held->day;
        int hour = -1, minute = -1;
        if (timed && !(captionTime(whole, &hour, &minute) && hour == t.hour && minute == t.minute)) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d:%02d ", t.hour, t.minute);
            memo->caption = buf + caption;
        } else {
            memo->caption = timed ? whole : caption;
        }
        memo->text = body + hint;
        out_.memos.push_back(std::move(memo));
        minutes_.push_back(timed ? t.hour * 60 + t.minute : -1);
    }

    // A yearly repetition on a fixed date or an n-th weekday, with no end: a holiday rule.
    // A timed event stays notes: a rule has no time, and its day is the local one.
    bool asRule(icalcomponent* comp, const icaltimetype& start, const std::string& name) {
        const char* uid = icalcomponent_get_uid(comp);
        if (!start.is_date || (uid && replaced_.count(uid)) ||
            icalcomponent_count_properties(comp, ICAL_RRULE_PROPERTY) != 1 ||
            icalcomponent_get_first_property(comp, ICAL_RDATE_PROPERTY) ||
            icalcomponent_get_first_property(comp, ICAL_EXDATE_PROPERTY))
            return false;
        const icalrecurrencetype r = icalproperty_get_rrule(icalcomponent_get_first_property(comp, ICAL_RRULE_PROPERTY));
        constexpr short kEnd = ICAL_RECURRENCE_ARRAY_MAX;
        if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval != 1 || r.count != 0 || !icaltime_is_null_time(r.until) ||
            r.by_second[0] != kEnd || r.by_minute[0] != kEnd || r.by_hour[0] != kEnd || r.by_year_day[0] != kEnd ||
            r.by_week_no[0] != kEnd || r.by_set_pos[0] != kEnd)
            return false;
        if (r.by_month[0] != kEnd && r.by_month[1] != kEnd) return false;
        const int month = r.by_month[0] != kEnd ? icalrecurrencetype_month_month(r.by_month[0]) : start.month;
        auto rule = std::make_unique<THolidaySet>();
        rule->month = month;
        const int year = std::clamp(start.year, 1, 9999);
        if (r.by_day[0] == kEnd) {
            if (r.by_month_day[0] != kEnd && r.by_month_day[1] != kEnd) return false;
            const int day = r.by_month_day[0] != kEnd ? r.by_month_day[0] : start.day;
            if (month < 1 || month > 12 || day < 1 || day > 31) return false;
            rule->ruleKind = 0;
            rule->day = day;
            const int y = dateExists(year, month, day) ? year : 2000;
            rule->weekday = dateExists(y, month, day) ? weekdayOf(Date{y, month, day}) : 0;
            rule->ordinal = weekdayOrdinal(y, month, day);
        } else {
            if (r.by_day[1] != kEnd || r.by_month_day[0] != kEnd || r.by_month[0] == kEnd) return false;
            const int pos = icalrecurrencetype_day_position(r.by_day[0]);
            const int weekday = static_cast<int>(icalrecurrencetype_day_day_of_week(r.by_day[0])) - 1;
            if (pos < 1 || pos > 5 || weekday < 0 || weekday > 6 || month < 1 || month > 12) return false;
            rule->ruleKind = 1;
            rule->weekday = weekday;
            rule->ordinal = pos;
            // A fifth weekday the start's month lacks: a week after the fourth, as the rule reads.
            rule->day = nthWeekday(year, month, weekday, pos);
            if (rule->day == 0) rule->day = nthWeekday(year, month, weekday, pos - 1) + 7;
        }
        rule->weekRow = weekRowOf(year, month, rule->day);
        const bool dayOff = strcasecmp(xValue(comp, "X-SORVEL-DAY-OFF").c_str(), "TRUE") == 0;
        const bool substitute = strcasecmp(xValue(comp, "X-SORVEL-SUBSTITUTE").c_str(), "TRUE") == 0;
        rule->dayOffKind = substitute ? 1 : dayOff ? 2 : 0;
        rule->name = name;
        if (!room(name.size() + 32)) return true;
        out_.rules.push_back(std::move(rule));
        return true;
    }

    static std::int64_t keyOf(const icaltimetype& t) {
        return ((static_cast<std::int64_t>(t.year) * 100 + t.month) * 100 + t.day) * 10000 +
               (t.is_date ? 0 : t.hour * 100 + t.minute);
    }

    void repeating(icalcomponent* comp, const icaltimetype& start, const std::string& caption,
                   const std::string& body, const Span& span, const std::string& whole) {
        const std::int64_t from = static_cast<std::int64_t>(opt_.fromYear) * 100000000 + 1010000;
        const std::int64_t to = static_cast<std::int64_t>(opt_.toYear) * 100000000 + 12312359;
        bool outside = false;
        std::set<std::int64_t> days;
        auto consider = [&](icaltimetype t) {
            const std::int64_t k = keyOf(toLocal(t));
            if (k < from || k > to) {
                outside = true;
                return false;
            }
            days.insert(k);
            return true;
        };
        consider(start);
        for (icalproperty* p = icalcomponent_get_first_property(comp, ICAL_RRULE_PROPERTY); p && !cancelled_;
             p = icalcomponent_get_next_property(comp, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype r = icalproperty_get_rrule(p);
            icalrecur_iterator* it = icalrecur_iterator_new(r, start);
            if (!it) continue;
            if (r.count == 0 && opt_.fromYear > start.year + 1) {
                icaltimetype s = start;
                s.year = opt_.fromYear - 1;
                // 14 hours before the range: no time zone is further ahead.
                s.month = 12;
                s.day = 31;
                if (!s.is_date) {
                    s.hour = 10;
                    s.minute = s.second = 0;
                }
                icalrecur_iterator_set_start(it, s);
                outside = true;
            }
            std::size_t steps = 0;
            for (;;) {
                if (++steps > kMaxStepsPerEvent || ++steps_ > kMaxSteps) {
                    outside = true;
                    break;
                }
                if (steps % 4096 == 0 && !tick()) break;
                icaltimetype t = icalrecur_iterator_next(it);
                if (icaltime_is_null_time(t)) break;
                t.zone = start.zone;
                const std::int64_t k = keyOf(toLocal(t));
                if (k > to) {
                    outside = true;
                    break;
                }
                consider(t);
            }
            icalrecur_iterator_free(it);
        }
        for (icalproperty* p = icalcomponent_get_first_property(comp, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(comp, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype v = icalproperty_get_rdate(p);
            const icaltimetype t = icaltime_is_null_time(v.time) ? v.period.start : v.time;
            if (!icaltime_is_null_time(t)) consider(withZone(p, t, start.zone));
        }
        auto leaveOut = [&](std::int64_t k, bool wholeDay) {
            if (wholeDay && !start.is_date)
                days.erase(days.lower_bound(k), days.lower_bound(k + 10000));
            else
                days.erase(k);
        };
        for (icalproperty* p = icalcomponent_get_first_property(comp, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(comp, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype t = toLocal(withZone(p, icalproperty_get_exdate(p), start.zone));
            leaveOut(keyOf(t), t.is_date);
        }
        if (const char* uid = icalcomponent_get_uid(comp)) {
            const auto it = replaced_.find(uid);
            if (it != replaced_.end())
                for (const auto& [k, wholeDay] : it->second) leaveOut(k, wholeDay);
        }
        if (outside) ++out_.beyondRange;
        for (std::int64_t k : days) {
            if (occurrences_ >= kIcalMaxOccurrences) {
                ++out_.overLimit;
                continue;
            }
            ++occurrences_;
            icaltimetype t = icaltime_null_time();
            t.year = static_cast<int>(k / 100000000);
            t.month = static_cast<int>(k / 1000000 % 100);
            t.day = static_cast<int>(k / 10000 % 100);
            t.hour = static_cast<int>(k / 100 % 100);
            t.minute = static_cast<int>(k % 100);
            addNote(t, !start.is_date, caption, body, span, whole);
        }
    }

    void event(icalcomponent* comp) {
        const icaltimetype start = icalcomponent_get_dtstart(comp);
        if (icaltime_is_null_time(start)) {
            badStart(comp);
            return;
        }
        if (strcasecmp(xValue(comp, "X-SORVEL-NATIONAL").c_str(), "TRUE") == 0 ||
            strcasecmp(xValue(comp, "X-SORVEL-ALMANAC").c_str(), "TRUE") == 0) {
            ++out_.national;
            return;
        }
        std::string whole;
        const std::string caption =
            text(comp, icalcomponent_get_summary(comp), "X-SORVEL-CP932-SUMMARY", start.is_date ? nullptr : &whole);
        std::string body = text(comp, icalcomponent_get_description(comp), "X-SORVEL-CP932-DESCRIPTION");
        if (const char* place = icalcomponent_get_location(comp); place && *place) {
            const std::string line = kLocationLabel + text(comp, place, "X-SORVEL-CP932-LOCATION");
            if (textLocation(body) != std::optional<std::string>(line.substr(std::strlen(kLocationLabel))))
                body += (body.empty() ? "" : "\r\n") + line;
        }
        Span span;
        span.timed = !start.is_date;
        const icaltimetype end = icalcomponent_get_dtend(comp);
        if (!icaltime_is_null_time(end) && end.is_date == start.is_date) {
            if (start.is_date)
                span.days = std::max(1, icaldurationtype_as_int(icaltime_subtract(end, start)) / 86400);
            else
                span.seconds = std::clamp<std::int64_t>(
                    icaltime_as_timet_with_zone(end, end.zone) - icaltime_as_timet_with_zone(start, start.zone), 0,
                    366ll * 86400);
        }
        if (repeats(comp)) {
            if (!asRule(comp, start, caption)) repeating(comp, start, caption, body, span, whole);
            return;
        }
        addNote(toLocal(start), !start.is_date, caption, body, span, whole);
    }

    const IcalImportOptions& opt_;
    IcalImport& out_;
    icaltimezone* local_ = nullptr;
    std::unique_ptr<icalcomponent, Free> container_;
    std::vector<std::unique_ptr<icalcomponent, Free>> series_;
    // UID → the local days (a whole day for a date) a moved or cancelled instance takes from its series.
    std::unordered_map<std::string, std::vector<std::pair<std::int64_t, bool>>> replaced_;
    std::vector<int> minutes_;  // of each note: its time, -1 for an all-day one
    std::size_t done_ = 0, total_ = 0, steps_ = 0, occurrences_ = 0, totalBytes_ = 0;
    bool cancelled_ = false;
};

std::string noteKey(const TDateMemo& m) {
    std::string k = std::to_string(m.year) + "/" + std::to_string(m.month) + "/" + std::to_string(m.day) + "/";
    k += m.caption;
    k.push_back('\0');
    k += m.text;
    return k;
}

std::string ruleKey(const THolidaySet& r) {
    std::string k = std::to_string(r.ruleKind) + "/" + std::to_string(r.dayOffKind) + "/" + std::to_string(r.month) +
                    "/" + (r.ruleKind == 1 ? std::to_string(r.ordinal) + "w" + std::to_string(r.weekday)
                                           : std::to_string(r.day)) + "/";
    return k + r.name;
}

}  // namespace

IcalImport importIcal(std::string_view bytes, const IcalImportOptions& options) {
    IcalImport result;
    result.fromYear = options.fromYear;
    result.toYear = options.toYear;
    icalerror_set_errors_are_fatal(0);
    std::string_view rest = bytes;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    while (!rest.empty() && (rest.front() == '\r' || rest.front() == '\n' || rest.front() == ' ')) rest.remove_prefix(1);
    if (rest.size() < 15 || strncasecmp(rest.data(), "BEGIN:VCALENDAR", 15) != 0) {
        result.status = IcalImportStatus::NotICalendar;
        return result;
    }
    // Older Japanese programs write Shift-JIS: a file that is no UTF-8 but reads as CP932 is
    // read as that.
    std::string converted;
    if (!isUtf8(rest)) {
        converted = cp932ToUtf8(rest);
        if (converted.find("\xEF\xBF\xBD") == std::string::npos) {
            rest = converted;
            result.readAsCp932 = true;
        }
    }
    Importer importer(options, result);
    LineSource src{rest.data(), rest.data() + rest.size()};
    // One parser only reads and unfolds lines (it looks one line ahead); the other builds the
    // components, and is replaced when a component was cut off. A parser frees what its
    // clean-up returns.
    icalparser* reader = icalparser_new();
    icalparser_set_gen_data(reader, &src);
    icalparser* builder = icalparser_new();
    auto dropCut = [&] {
        if (icalparser_clean(builder)) ++result.damaged;
        icalparser_free(builder);
        builder = icalparser_new();
    };
    int depth = 0;
    std::size_t lines = 0;
    while (char* line = icalparser_get_line(reader, nextChunk)) {
        if (++lines % 1024 == 0) {
            importer.setPosition(static_cast<std::size_t>(src.p - rest.data()), rest.size());
            if (!importer.tick()) {
                icalmemory_free_buffer(line);
                break;
            }
        }
        const bool begin = startsWithNoCase(line, "BEGIN:");
        const bool end = startsWithNoCase(line, "END:");
        if (begin && startsWithNoCase(line, "BEGIN:VCALENDAR") && depth <= 1) {
            depth = 1;
        } else if (end && startsWithNoCase(line, "END:VCALENDAR")) {
            if (depth >= 2) dropCut();
            depth = 0;
        } else if (depth >= 1 && (depth >= 2 || begin)) {
            depth += begin ? 1 : end ? -1 : 0;
            if (icalcomponent* c = icalparser_add_line(builder, line)) {
                depth = 1;
                importer.take(c);
            } else if (depth == 1) {
                dropCut();
            }
        }
        icalmemory_free_buffer(line);
        if (importer.cancelled()) break;
    }
    if (icalparser_clean(builder)) ++result.damaged;
    icalparser_free(builder);
    icalparser_free(reader);
    if (!importer.cancelled()) importer.finish();
    if (importer.cancelled()) {
        IcalImport cancelled;
        cancelled.status = IcalImportStatus::Cancelled;
        return cancelled;
    }
    return result;
}

IcalMerge mergeIcalImport(IcalImport& import, TDateMemoList& memos, THolidayList& rules) {
    IcalMerge merge;
    merge.alreadyThere = import.national;
    std::unordered_set<std::string> notes, known;
    notes.reserve(memos.size());
    for (const auto& m : memos)
        if (m) notes.insert(noteKey(*m));
    for (const auto& r : rules)
        if (r) known.insert(ruleKey(*r));
    TDateMemoList newMemos;
    THolidayList newRules;
    for (auto& m : import.memos) {
        if (notes.count(noteKey(*m))) {
            ++merge.alreadyThere;
            continue;
        }
        newMemos.push_back(std::move(m));
    }
    for (auto& r : import.rules) {
        if (!known.insert(ruleKey(*r)).second) {
            ++merge.alreadyThere;
            continue;
        }
        newRules.push_back(std::move(r));
    }
    import.memos.clear();
    import.rules.clear();
    memos.reserve(memos.size() + newMemos.size());
    rules.reserve(rules.size() + newRules.size());
    merge.memosAdded = newMemos.size();
    merge.rulesAdded = newRules.size();
    for (auto& m : newMemos) memos.push_back(std::move(m));
    for (auto& r : newRules) rules.push_back(std::move(r));
    return merge;
}

QString icalImportMessage(const IcalImport& im, const IcalMerge& merge) {
    QStringList lines;
    lines << QStringLiteral("予定 %1件、休日 %2件を追加しました。").arg(merge.memosAdded).arg(merge.rulesAdded);
    if (merge.alreadyThere) lines << QStringLiteral("%1件は登録済みでした。").arg(merge.alreadyThere);
    if (im.readAsCp932) lines << QStringLiteral("UTF-8ではないので、Shift-JISのファイルとして読み込みました。");
    if (im.beyondRange)
        lines << QStringLiteral("繰り返す予定 %1件の、%2〜%3年の外にある日は読み込みませんでした。")
                     .arg(im.beyondRange)
                     .arg(im.fromYear)
                     .arg(im.toYear);
    QStringList left;
    if (im.cancelled) left << QStringLiteral("取り消された予定 %1件").arg(im.cancelled);
    if (im.overLimit) left << QStringLiteral("上限を超えた予定 %1件").arg(im.overLimit);
    if (im.yearOutside) left << QStringLiteral("年が1〜9999の外にある予定 %1件").arg(im.yearOutside);
    if (im.otherComponents) left << QStringLiteral("ToDo・日誌・アラームなど %1件").arg(im.otherComponents);
    if (im.damaged) left << QStringLiteral("壊れた予定 %1件").arg(im.damaged);
    if (!left.isEmpty()) lines << left.join(QStringLiteral("、")) + QStringLiteral("は読み込みませんでした。");
    if (im.shortened) lines << QStringLiteral("長い見だしと内容 %1件を64KBまでにしました。").arg(im.shortened);
    if (im.replacedCharacters)
        lines << QStringLiteral("Shift-JISにない文字 %1文字を「？」にしました。").arg(im.replacedCharacters);
    return lines.join(QChar(u'\n'));
}

QString icalNotICalendarMessage() { return QStringLiteral("iCalendarファイルではありません。"); }

QString icalTooLargeMessage() {
    return QStringLiteral("ファイルが大きすぎます。読み込めるのは64MBまでのファイルです。");
}

}  // namespace sorvel
