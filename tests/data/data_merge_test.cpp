#include "data/data_merge.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace sorvel;

namespace {

// Lists written as words: "a" a note with caption a, "r:x" a holiday rule named x, "-" an
// empty slot.
struct Lists {
    THolidayList rules;
    TDateMemoList memos;
};

Lists lists(const std::string& words) {
    Lists l;
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        if (w == "-")
            l.memos.push_back(nullptr);
        else if (w.rfind("r:", 0) == 0)
            l.rules.push_back(std::make_unique<THolidaySet>(THolidaySet{0, 0, 5, 5, 0, 0, 0, w.substr(2)}));
        else
            l.memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 5, 1, "", w}));
    }
    return l;
}

std::string words(const Lists& l) {
    std::string out;
    auto add = [&out](const std::string& word) { out.append(out.empty() ? "" : " ").append(word); };
    for (const auto& m : l.memos) add(m ? m->caption : "-");
    for (const auto& r : l.rules) add("r:" + r->name);
    return out;
}

}  // namespace

TEST(DataMerge, WhatTheOtherVersionAddedJoinsOursAndNothingOfEitherSideIsLost) {
    struct Case {
        const char *what, *base, *ours, *theirs, *merged;
        std::size_t memos, rules;
    } cases[] = {
        {"added there", "a", "a", "a b", "a b", 1, 0},
        {"added on both sides", "a", "a c", "a b", "a c b", 1, 0},
        {"the same note added on both sides comes once", "a", "a b", "a b", "a b", 0, 0},
        {"deleted here, untouched there: stays deleted", "a b", "a", "a b", "a", 0, 0},
        {"deleted there: ours kept", "a b", "a b", "a", "a b", 0, 0},
        {"edited there: the old and the new text", "a", "a", "a2", "a a2", 1, 0},
        {"a second copy added there", "a", "a", "a a", "a a", 1, 0},
        {"copies added on both sides: the larger count", "a", "a a", "a a a", "a a a", 1, 0},
        {"deleted here, a copy added there: the copy", "a", "", "a a", "a", 1, 0},
        {"holiday rules as notes", "r:x", "r:x", "r:x r:y", "r:x r:y", 0, 1},
        {"empty slots count for nothing", "a", "a -", "- a - b", "a - b", 1, 0},
    };
    for (const Case& c : cases) {
        const Lists base = lists(c.base), theirs = lists(c.theirs);
        Lists ours = lists(c.ours);
        const MergeCount n = mergeOtherVersion(base.rules, base.memos, theirs.rules, theirs.memos, ours.rules, ours.memos);
        EXPECT_EQ(words(ours), c.merged) << c.what;
        EXPECT_EQ(n.memos, c.memos) << c.what;
        EXPECT_EQ(n.rules, c.rules) << c.what;
    }
}

TEST(DataMerge, ARecordIsKnownByEveryStoredField) {
    // Each record there differs from the shared one in one field: each counts as added.
    const TDateMemo m{2001, 5, 1, "t", "c"};
    const THolidaySet r{1, 1, 2, 3, 4, 5, 6, "n"};
    TDateMemoList base, ours, theirs;
    THolidayList baseRules, ourRules, theirRules;
    for (auto* list : {&base, &ours, &theirs}) list->push_back(std::make_unique<TDateMemo>(m));
    for (auto* list : {&baseRules, &ourRules, &theirRules}) list->push_back(std::make_unique<THolidaySet>(r));
    for (const TDateMemo& d : {TDateMemo{2, 5, 1, "t", "c"}, TDateMemo{2001, 6, 1, "t", "c"}, TDateMemo{2001, 5, 2, "t", "c"},
                               TDateMemo{2001, 5, 1, "u", "c"}, TDateMemo{2001, 5, 1, "t", "d"}})
        theirs.push_back(std::make_unique<TDateMemo>(d));
    for (const THolidaySet& d : {THolidaySet{2, 1, 2, 3, 4, 5, 6, "n"}, THolidaySet{1, 0, 2, 3, 4, 5, 6, "n"},
                                 THolidaySet{1, 1, 9, 3, 4, 5, 6, "n"}, THolidaySet{1, 1, 2, 9, 4, 5, 6, "n"},
                                 THolidaySet{1, 1, 2, 3, 9, 5, 6, "n"}, THolidaySet{1, 1, 2, 3, 4, 9, 6, "n"},
                                 THolidaySet{1, 1, 2, 3, 4, 5, 9, "n"}, THolidaySet{1, 1, 2, 3, 4, 5, 6, "x"}})
        theirRules.push_back(std::make_unique<THolidaySet>(d));
    const MergeCount n = mergeOtherVersion(baseRules, base, theirRules, theirs, ourRules, ours);
    EXPECT_EQ(n.memos, 5u);
    EXPECT_EQ(n.rules, 8u);
}
