// The decision of a sync over every cell of (unchanged, changed, added, deleted) here and there,
// conflicts, edits beside neighbours of the same day, and a calendar emptied or made again.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "sync/caldav_sync.h"
#include "sync/sync_plan.h"

using namespace sorvel;

namespace {

using List = std::vector<std::string>;

// Both sides after the last sync: p and q on one day (q with a text), r the next day; each event
// at /cal/<caption>.ics with ETag "1".
struct World {
    std::vector<TDateMemo> here{{2026, 12, 5, "", "p"}, {2026, 12, 5, "old", "q"}, {2026, 12, 6, "", "r"}};
    std::map<std::string, std::optional<TDateMemo>> there;  // href -> its event now; nullopt: deleted
};

SyncItem itemOf(const TDateMemo& memo) {
    SyncSnapshot one;
    one.memos = {memo};
    return syncItems(one).front();
}

// The plan as lines: ops, then notes taken in (+) and removed (-) here, then conflicts.
List planned(const World& w) {
    const World base;
    SyncState last;
    for (const TDateMemo& m : base.here) last.entries.push_back(syncEntryOf(itemOf(m), "/cal/" + m.caption + ".ics", "\"1\""));
    SyncServerSide server;
    server.collectionPath = "/cal/";
    server.complete = true;
    for (const SyncEntry& e : last.entries) server.listed[e.href] = e.etag;
    for (const auto& [href, memo] : w.there) {
        server.listed.erase(href);
        if (!memo) continue;
        server.listed[href] = "\"2\"";
        server.fetched[href] = {"\"2\"", itemOf(*memo)};
    }
    SyncSnapshot snapshot;
    snapshot.memos = w.here;
    const SyncPlan plan = planSync(last, syncItems(snapshot), server);
    List out;
    for (const SyncOp& op : plan.ops)
        out.push_back(op.kind == SyncOp::Delete ? "DELETE " + op.href + " " + op.etag
                                                : "PUT " + (op.edit ? op.href + " " + op.etag : std::string("new")) + " " +
                                                      op.item.memo.caption + "/" + op.item.memo.text);
    for (const TDateMemo& m : plan.memosToAdd) out.push_back("+ " + std::to_string(m.day) + " " + m.caption);
    for (const TDateMemo& m : plan.memosToRemove) out.push_back("- " + std::to_string(m.day) + " " + m.caption);
    for (const SyncConflictDate& d : plan.conflicts) out.push_back("conflict " + std::to_string(d.day));
    return out;
}

TDateMemo* find(World& w, const std::string& caption) {
    for (TDateMemo& m : w.here)
        if (m.caption == caption) return &m;
    return nullptr;
}
void drop(World& w, const std::string& caption) {
    std::erase_if(w.here, [&](const TDateMemo& m) { return m.caption == caption; });
}

}  // namespace

TEST(SyncPlan, EveryCellOfHereAndThereIsDecided) {
    struct Case {
        const char* name;
        std::function<void(World&)> change;
        List plan;
    };
    const TDateMemo rThere{2026, 12, 6, "", "r2"};
    const Case cases[] = {
        {"unchanged on both sides", [](World&) {}, {}},
        {"changed here: its own event is edited", [](World& w) { find(w, "r")->caption = "r1"; },
         {"PUT /cal/r.ics \"1\" r1/"}},
        {"moved here (same caption and text)", [](World& w) { find(w, "r")->day = 9; }, {"PUT /cal/r.ics \"1\" r/"}},
        {"added here", [](World& w) { w.here.push_back({2026, 12, 7, "", "s"}); }, {"PUT new s/"}},
        {"deleted here", [](World& w) { drop(w, "r"); }, {"DELETE /cal/r.ics \"1\""}},
        {"changed there", [&](World& w) { w.there["/cal/r.ics"] = rThere; }, {"+ 6 r2", "- 6 r"}},
        {"added there", [](World& w) { w.there["/cal/s.ics"] = TDateMemo{2026, 12, 7, "", "s"}; }, {"+ 7 s"}},
        {"deleted there", [](World& w) { w.there["/cal/r.ics"] = std::nullopt; }, {"- 6 r"}},
        {"changed on both sides: both kept",
         [&](World& w) { find(w, "r")->caption = "r1"; w.there["/cal/r.ics"] = rThere; },
         {"PUT new r1/", "+ 6 r2", "conflict 6", "conflict 6"}},
        {"changed on both sides alike",
         [&](World& w) { find(w, "r")->caption = "r2"; w.there["/cal/r.ics"] = rThere; },
         {}},
        {"changed here, deleted there: the change stays",
         [](World& w) { find(w, "r")->caption = "r1"; w.there["/cal/r.ics"] = std::nullopt; },
         {"PUT new r1/"}},
        {"deleted here, changed there: the change stays",
         [&](World& w) { drop(w, "r"); w.there["/cal/r.ics"] = rThere; },
         {"+ 6 r2"}},
        {"deleted on both sides", [](World& w) { drop(w, "r"); w.there["/cal/r.ics"] = std::nullopt; }, {}},
        {"added alike on both sides",
         [](World& w) { w.here.push_back({2026, 12, 7, "", "s"}); w.there["/cal/s.ics"] = TDateMemo{2026, 12, 7, "", "s"}; },
         {}},
        {"text of q edited, p deleted (same day)",
         [](World& w) { find(w, "q")->text = "new"; drop(w, "p"); },
         {"DELETE /cal/p.ics \"1\"", "PUT /cal/q.ics \"1\" q/new"}},
        {"caption of q edited, p deleted (same day)",
         [](World& w) { find(w, "q")->caption = "q2"; drop(w, "p"); },
         {"DELETE /cal/p.ics \"1\"", "PUT /cal/q.ics \"1\" q2/old"}},
        {"caption of p edited, q deleted: no neighbour taken for it",
         [](World& w) { find(w, "p")->caption = "p2"; drop(w, "q"); },
         {"DELETE /cal/p.ics \"1\"", "DELETE /cal/q.ics \"1\"", "PUT new p2/"}},
        {"both of one day rewritten: neither event taken for the other",
         [](World& w) { find(w, "p")->caption = "x"; *find(w, "q") = {2026, 12, 5, "y", "y"}; },
         {"DELETE /cal/p.ics \"1\"", "DELETE /cal/q.ics \"1\"", "PUT new x/", "PUT new y/y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        c.change(w);
        EXPECT_EQ(planned(w), c.plan);
    }
}

TEST(SyncPlan, ACalendarEmptiedOrMadeAgainIsTold) {
    // (events the state holds, of them still there) -> made again
    const struct {
        int had, holds;
        bool again;
    } cases[] = {{3, 0, true}, {0, 0, false}, {3, 1, false}, {30, 14, true}, {30, 15, false}, {20, 9, true}, {19, 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.had) + " " + std::to_string(c.holds));
        SyncState last;
        SyncServerSide server;
        server.complete = true;
        for (int i = 0; i < c.had; ++i) {
            last.entries.push_back({SyncEntryKind::Memo, "/cal/" + std::to_string(i) + ".ics", "\"1\"", "", 1, 1});
            if (i < c.holds) server.listed[last.entries.back().href] = "\"1\"";
        }
        EXPECT_EQ(calendarMadeAgain(last, server), c.again);
    }
}
