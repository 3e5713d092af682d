#pragma once
// Two versions of the data file's lists brought together: what another program added to the
// file since this one last read or wrote it joins this program's lists.
#include <cstddef>

#include "data/date_data.h"

namespace sorvel {

struct MergeCount {
    std::size_t memos = 0;
    std::size_t rules = 0;
    std::size_t total() const { return memos + rules; }
};

// A three-way merge. Records are known by all their stored fields and the lists are taken as
// multisets: base is what this program last read or wrote, theirs the file as the other
// program left it, and ours is changed in place. A record theirs holds more often than base
// was added over there and is added to ours, unless ours holds it as much more often than base
// already (the same note added on both sides comes once). Nothing of ours is removed: a record
// the other side deleted stays, one deleted here and untouched there stays deleted. Added
// records go to the end in theirs' order; empty slots are passed over. Returns what was added.
MergeCount mergeOtherVersion(const THolidayList& baseRules, const TDateMemoList& baseMemos,
                             const THolidayList& theirRules, const TDateMemoList& theirMemos, THolidayList& rules,
                             TDateMemoList& memos);

}  // namespace sorvel
