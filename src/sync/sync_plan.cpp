#include "sync/sync_plan.h"

#include <algorithm>
#include <unordered_map>

namespace sorvel {

namespace {

enum class There { Same, Changed, Gone };

bool goneThere(const SyncServerSide& server, const std::string& href) {
    return server.removed.count(href) || (server.complete && !server.listed.count(href));
}

// One sync's decision, entry by entry; the steps run in the order planSync gives.
struct Planner {
    const SyncState& last;
    const std::vector<SyncItem>& local;
    const SyncServerSide& server;
    SyncPlan plan;

    std::vector<int> entryLocal;   // per entry: the local item of its value, -1 when none is left
    std::vector<bool> localTaken;  // per local item: matched, linked or paired
    std::vector<There> there;
    std::vector<SyncItem> thereValue;
    std::vector<std::string> thereEtag;
    std::vector<bool> handled;     // per entry: decided by an earlier step
    std::vector<int> changedTo;    // per entry: the local item it became here, -1 when none
    std::unordered_map<std::uint64_t, std::vector<int>> freshByHash;

    Planner(const SyncState& l, const std::vector<SyncItem>& i, const SyncServerSide& s)
        : last(l), local(i), server(s) {}

    const SyncItem& item(int i) const { return local[static_cast<std::size_t>(i)]; }
    bool taken(int i) const { return localTaken[static_cast<std::size_t>(i)]; }
    void take(int i) { localTaken[static_cast<std::size_t>(i)] = true; }

    void matchUnchanged() {
        const std::size_t n = last.entries.size();
        entryLocal.assign(n, -1);
        changedTo.assign(n, -1);
        handled.assign(n, false);
        localTaken.assign(local.size(), false);
        std::unordered_map<std::uint64_t, std::vector<int>> byHash;
        for (std::size_t i = 0; i < local.size(); ++i) byHash[local[i].hash].push_back(static_cast<int>(i));
        for (const SyncEntry& e : last.entries) plan.usedHrefs.insert(e.href);
        for (const auto& [href, etag] : server.listed) plan.usedHrefs.insert(href);
        for (std::size_t e = 0; e < n; ++e) {
            const SyncEntry& entry = last.entries[e];
            if (entry.kind == SyncEntryKind::Unsupported) continue;
            const auto it = byHash.find(entry.hash);
            if (it == byHash.end()) continue;
            for (int i : it->second)
                if (!taken(i) && item(i).kind == entry.kind) {
                    take(i);
                    entryLocal[e] = i;
                    break;
                }
        }
        for (std::size_t i = 0; i < local.size(); ++i)
            if (!localTaken[i]) freshByHash[local[i].hash].push_back(static_cast<int>(i));
    }

    void readThere() {
        const std::size_t n = last.entries.size();
        there.assign(n, There::Same);
        thereValue.assign(n, SyncItem{});
        thereEtag.assign(n, std::string());
        std::set<std::string> known;
        for (std::size_t e = 0; e < n; ++e) {
            const SyncEntry& entry = last.entries[e];
            known.insert(entry.href);
            thereEtag[e] = entry.etag;
            if (goneThere(server, entry.href)) {
                there[e] = There::Gone;
                continue;
            }
            const auto l = server.listed.find(entry.href);
            if (l == server.listed.end() || (!l->second.empty() && l->second == entry.etag)) continue;
            const auto f = server.fetched.find(entry.href);
            if (f == server.fetched.end()) {  // listed as changed but not fetched: again next time
                plan.keepOldToken = true;
                continue;
            }
            thereEtag[e] = f->second.first;
            thereValue[e] = f->second.second;
            if (thereValue[e].kind == entry.kind && thereValue[e].hash == entry.hash) continue;  // same value
            there[e] = There::Changed;
        }
        for (const auto& [href, etag] : server.listed)
            if (!known.count(href) && !server.fetched.count(href)) plan.keepOldToken = true;
    }

    // A local item not matched yet whose value equals v, or -1.
    int takeFresh(const SyncItem& v) {
        const auto it = freshByHash.find(v.hash);
        if (it == freshByHash.end()) return -1;
        for (int i : it->second)
            if (!taken(i) && item(i).kind == v.kind) {
                take(i);
                return i;
            }
        return -1;
    }

    void keepThere(const std::string& href, const std::string& etag, const SyncItem& v) {
        if (v.kind != SyncEntryKind::Unsupported && takeFresh(v) < 0) {
            if (v.kind == SyncEntryKind::Memo)
                plan.memosToAdd.push_back(v.memo);
            else
                plan.rulesToAdd.push_back(v.rule);
            ++plan.downloaded;
        }
        plan.entries.push_back(syncEntryOf(v, href, etag));
    }

    void removeHere(int i) {
        if (item(i).kind == SyncEntryKind::Memo)
            plan.memosToRemove.push_back(item(i).memo);
        else if (item(i).kind == SyncEntryKind::Rule)
            plan.rulesToRemove.push_back(item(i).rule);
    }

    // Changes there that a local item already equals are linked to it; then the new events there.
    void linkThere() {
        for (std::size_t e = 0; e < last.entries.size(); ++e) {
            if (there[e] != There::Changed || thereValue[e].kind == SyncEntryKind::Unsupported) continue;
            if (takeFresh(thereValue[e]) < 0) continue;
            handled[e] = true;
            if (entryLocal[e] >= 0) removeHere(entryLocal[e]);
            plan.entries.push_back(syncEntryOf(thereValue[e], last.entries[e].href, thereEtag[e]));
        }
        std::set<std::string> known;
        for (const SyncEntry& e : last.entries) known.insert(e.href);
        for (const auto& [href, value] : server.fetched)
            if (!known.count(href)) keepThere(href, value.first, value.second);
    }

    bool pairable(std::size_t e) const {
        return !handled[e] && entryLocal[e] < 0 && changedTo[e] < 0 &&
               last.entries[e].kind != SyncEntryKind::Unsupported;
    }
    void pair(std::size_t e, int i) {
        changedTo[e] = i;
        take(i);
    }
    void pairEdits();

    void decide(std::size_t e);
    void put(const SyncEntry& entry, int to) {
        SyncOp op;
        op.href = entry.href;
        op.etag = entry.etag;
        op.uid = entry.uid;
        op.item = item(to);
        op.edit = true;
        plan.ops.push_back(std::move(op));
    }
    void upload(const SyncItem& it, int place) {
        SyncOp op;
        op.item = it;
        op.href = newSyncHref(plan.usedHrefs, server.collectionPath, it, place, &op.uid);
        plan.ops.push_back(std::move(op));
    }
    void conflictAt(const SyncItem& ours, const SyncItem& theirs) {
        for (const SyncItem* it : {&theirs, &ours})
            if (it->kind == SyncEntryKind::Memo) plan.conflicts.push_back({it->memo.year, it->memo.month, it->memo.day});
        if (ours.kind == SyncEntryKind::Rule && plan.conflicts.empty())
            plan.conflicts.push_back({0, ours.rule.month, ours.rule.day});
    }
};

// A note or rule gone here and a new one here are the same one changed when they share what an
// edit keeps: on the same day (a rule: month) the caption, else the text; on another day both
// (a move); or they are the only ones of their day on both sides. A neighbour of the same day is
// never taken for it.
void Planner::pairEdits() {
    using Key = std::pair<char, std::int32_t>;
    const auto keyOf = [](SyncEntryKind kind, std::int32_t key) { return Key{static_cast<char>(kind), key}; };
    std::map<Key, std::vector<int>> freshByKey;
    for (std::size_t i = 0; i < local.size(); ++i)
        if (!localTaken[i]) freshByKey[keyOf(local[i].kind, local[i].key)].push_back(static_cast<int>(i));
    const auto byKey = [&](std::size_t e, auto&& same) {
        const SyncEntry& entry = last.entries[e];
        for (int i : freshByKey[keyOf(entry.kind, entry.key)])
            if (!taken(i) && same(entry, item(i))) return pair(e, i);
    };
    const auto caption = [](const SyncEntry& x, const SyncItem& y) { return x.captionHash && x.captionHash == y.captionHash; };
    const auto text = [](const SyncEntry& x, const SyncItem& y) {
        return x.textHash && x.textHash == y.textHash && x.textHash != syncEmptyTextHash();
    };
    const auto moved = [](const SyncEntry& x, const SyncItem& y) {
        return x.captionHash && x.captionHash == y.captionHash && x.textHash == y.textHash;
    };
    for (std::size_t e = 0; e < last.entries.size(); ++e)
        if (pairable(e)) byKey(e, caption);
    for (std::size_t e = 0; e < last.entries.size(); ++e)
        if (pairable(e)) byKey(e, text);
    for (std::size_t e = 0; e < last.entries.size(); ++e) {
        if (!pairable(e)) continue;
        for (int i = 0; i < static_cast<int>(local.size()); ++i)
            if (!taken(i) && item(i).kind == last.entries[e].kind && moved(last.entries[e], item(i))) {
                pair(e, i);
                break;
            }
    }
    std::map<Key, std::vector<std::size_t>> goneByKey;
    for (std::size_t e = 0; e < last.entries.size(); ++e)
        if (pairable(e)) goneByKey[keyOf(last.entries[e].kind, last.entries[e].key)].push_back(e);
    for (const auto& [key, gone] : goneByKey) {
        std::vector<int> fresh;
        for (int i : freshByKey[key])
            if (!taken(i)) fresh.push_back(i);
        if (gone.size() == 1 && fresh.size() == 1) pair(gone.front(), fresh.front());
    }
}

void Planner::decide(std::size_t e) {
    const SyncEntry& entry = last.entries[e];
    const SyncItem& v = thereValue[e];
    if (entry.kind == SyncEntryKind::Unsupported) {
        if (there[e] == There::Same) plan.entries.push_back(entry);
        else if (there[e] == There::Changed) keepThere(entry.href, thereEtag[e], v);
        return;
    }
    const bool here = entryLocal[e] >= 0;
    const int to = changedTo[e];
    switch (there[e]) {
    case There::Same:
        if (here) {
            SyncEntry kept = entry;
            kept.etag = thereEtag[e];
            plan.entries.push_back(kept);
        } else if (to >= 0) {
            put(entry, to);
        } else {
            SyncOp op;
            op.kind = SyncOp::Delete;
            op.href = entry.href;
            op.etag = entry.etag;
            plan.ops.push_back(std::move(op));
        }
        break;
    case There::Changed:
        if (here) removeHere(entryLocal[e]);
        keepThere(entry.href, thereEtag[e], v);
        if (to >= 0) {  // changed on both sides: both kept
            conflictAt(item(to), v);
            upload(item(to), 0);
        }
        break;
    case There::Gone:
        if (here) removeHere(entryLocal[e]);
        if (to >= 0) upload(item(to), 0);  // changed here, deleted there: the change is kept
        break;
    }
}

}  // namespace

bool calendarMadeAgain(const SyncState& last, const SyncServerSide& server) {
    const std::size_t had = last.entries.size();
    if (had == 0) return false;
    std::size_t holds = 0;
    for (const SyncEntry& e : last.entries)
        if (!goneThere(server, e.href)) ++holds;
    return holds == 0 || (holds * 2 < had && had - holds > 10);
}

std::vector<std::string> hrefsToFetch(const SyncState& last, const SyncServerSide& server) {
    std::unordered_map<std::string, const SyncEntry*> byHref;
    for (const SyncEntry& e : last.entries) byHref[e.href] = &e;
    std::vector<std::string> want;
    for (const auto& [href, etag] : server.listed) {
        const auto it = byHref.find(href);
        if (it == byHref.end() || etag.empty() || it->second->etag != etag) want.push_back(href);
    }
    return want;
}

SyncPlan planSync(const SyncState& last, const std::vector<SyncItem>& local, const SyncServerSide& server) {
    Planner p(last, local, server);
    p.matchUnchanged();
    p.readThere();
    p.linkThere();
    p.pairEdits();
    for (std::size_t e = 0; e < last.entries.size(); ++e)
        if (!p.handled[e]) p.decide(e);
    // New here.
    std::unordered_map<std::uint64_t, int> places;
    for (std::size_t i = 0; i < local.size(); ++i) {
        const int place = places[local[i].hash]++;
        if (!p.localTaken[i]) p.upload(local[i], place);
    }
    return std::move(p.plan);
}

std::string newSyncHref(std::set<std::string>& used, const std::string& collectionPath, const SyncItem& item,
                        int place, std::string* uid) {
    for (;; ++place) {
        *uid = syncUid(item, place);
        const std::string href = collectionPath + *uid + ".ics";
        if (used.insert(href).second) return href;
    }
}

}  // namespace sorvel
