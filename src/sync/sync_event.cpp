#include "sync/sync_event.h"

#include <algorithm>
#include <cstdio>

#include "calendar/day_number.h"
#include "ical/ical_event.h"
#include "ical/ical_export.h"
#include "ical/ical_import.h"
#include "ical/ical_text.h"
#include "platform/text.h"
#include "sync/caldav_sync.h"

namespace sorvel {

namespace {

std::uint64_t partHash(std::string_view bytes) { return fnv1a(kFnvBasis, bytes) | 1; }

SyncItem memoItem(const TDateMemo& memo) {
    SyncItem it;
    it.kind = SyncEntryKind::Memo;
    it.memo = memo;
    it.hash = syncValueHash(memo);
    it.key = (memo.year * 100 + memo.month) * 100 + memo.day;
    it.captionHash = partHash(memo.caption);
    it.textHash = partHash(memo.text);
    return it;
}

SyncItem ruleItem(const THolidaySet& rule) {
    SyncItem it;
    it.kind = SyncEntryKind::Rule;
    it.rule = rule;
    it.hash = syncValueHash(rule);
    it.key = rule.month;
    it.captionHash = partHash(rule.name);
    const std::string days = std::to_string(rule.ruleKind) + "/" + std::to_string(rule.day) + "/" +
                             std::to_string(rule.ordinal) + "/" + std::to_string(rule.weekday) + "/" +
                             std::to_string(rule.dayOffKind);
    it.textHash = partHash(days);
    return it;
}

// Every note the export writes: its date travels as its proleptic Gregorian day.
bool carried(const TDateMemo& m) { return icalDateGoesOut(m); }

bool carried(const THolidaySet& r) {
    if (r.month < 1 || r.month > 12) return false;
    if (r.ruleKind == 1) return r.weekday >= 0 && r.weekday <= 6 && r.ordinal >= 1 && r.ordinal <= 5;
    return dateExists(2000, r.month, r.day);
}

}  // namespace

SyncEntry syncEntryOf(const SyncItem& item, const std::string& href, const std::string& etag) {
    if (item.kind == SyncEntryKind::Unsupported) return {SyncEntryKind::Unsupported, href, etag, item.uid, 0, 0};
    return {item.kind, href, etag, item.uid, item.hash, item.key, item.captionHash, item.textHash};
}

std::uint64_t syncEmptyTextHash() { return partHash({}); }

std::vector<SyncItem> syncItems(const SyncSnapshot& snapshot) {
    std::vector<SyncItem> out;
    out.reserve(snapshot.memos.size() + snapshot.rules.size());
    for (const TDateMemo& m : snapshot.memos)
        if (carried(m)) out.push_back(memoItem(m));
    for (const THolidaySet& r : snapshot.rules)
        if (carried(r)) out.push_back(ruleItem(r));
    return out;
}

std::size_t memosNotCarried(const SyncSnapshot& snapshot) {
    return static_cast<std::size_t>(
        std::count_if(snapshot.memos.begin(), snapshot.memos.end(), [](const TDateMemo& m) { return !carried(m); }));
}

SyncItem classifyEvent(std::string_view ics) {
    IcalImportOptions options;
    // Repetitions are not expanded: only the yearly ones of a rule are carried.
    options.fromYear = 1;
    options.toYear = 1;
    IcalImport im = importIcal(ics, options);
    SyncItem unsupported;
    unsupported.uid = icalEventUid(ics);
    if (im.status != IcalImportStatus::Ok || im.damaged || im.yearOutside || im.overLimit || im.national)
        return unsupported;
    // The import's own count: a VTIMEZONE's RRULE is no repetition of the event.
    const bool repeats = im.repeating != 0;
    SyncItem it;
    if (im.memos.size() == 1 && im.rules.empty() && !repeats && im.beyondRange == 0)
        it = memoItem(*im.memos.front());
    else if (im.rules.size() == 1 && im.memos.empty())
        it = ruleItem(*im.rules.front());
    else
        return unsupported;
    it.uid = unsupported.uid;
    return it;
}

std::string encodeItem(const SyncItem& item, const std::string& uid) {
    IcalExportOptions options;
    options.stamp = icalStampNow();
    std::string ics = item.kind == SyncEntryKind::Rule ? exportIcal({}, {&item.rule}, options)
                                                        : exportIcal({&item.memo}, {}, options);
    const std::size_t at = ics.find("\r\nUID:");
    if (at == std::string::npos) return ics;
    const std::size_t end = ics.find("\r\n", at + 2);
    std::string line;
    appendContentLine(line, "UID:" + uid);
    ics.replace(at + 2, end + 2 - (at + 2), line);
    return ics;
}

std::string encodeEdit(std::string_view ics, const SyncItem& item, const std::string& uid) {
    if (item.kind == SyncEntryKind::Memo) {
        const SyncItem before = classifyEvent(ics);
        if (before.kind == SyncEntryKind::Memo && before.uid == uid) {
            std::string edited = icalEditEvent(ics, before.memo, item.memo);
            if (!edited.empty()) return edited;
        }
    }
    return encodeItem(item, uid);
}

std::string syncUid(const SyncItem& item, int place) {
    if (item.kind == SyncEntryKind::Memo) return memoUid(item.memo, place);
    char buf[80];
    std::snprintf(buf, sizeof buf, "rule-%016llx-%d@sorvel", static_cast<unsigned long long>(item.hash), place);
    return buf;
}

}  // namespace sorvel
