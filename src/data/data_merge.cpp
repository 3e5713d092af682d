#include "data/data_merge.h"

#include <string>
#include <unordered_map>

#include "data/data_file.h"

namespace sorvel {

namespace {

// A record's identity: its stored block, which holds every field it keeps.
std::string keyOf(const TDateMemo& m) {
    std::string key;
    WriteM03(key, m);
    return key;
}
std::string keyOf(const THolidaySet& r) {
    std::string key;
    WriteM04(key, r);
    return key;
}

using Counts = std::unordered_map<std::string, std::size_t>;

template <typename T>
Counts countsOf(const std::vector<std::unique_ptr<T>>& list) {
    Counts counts;
    for (const auto& r : list)
        if (r) ++counts[keyOf(*r)];
    return counts;
}

template <typename T>
std::size_t mergeList(const std::vector<std::unique_ptr<T>>& base, const std::vector<std::unique_ptr<T>>& theirs,
                      std::vector<std::unique_ptr<T>>& ours) {
    const Counts inBase = countsOf(base);
    const Counts inOurs = countsOf(ours);
    auto count = [](const Counts& c, const std::string& key) {
        const auto it = c.find(key);
        return it == c.end() ? std::size_t{0} : it->second;
    };
    Counts seen;
    std::size_t added = 0;
    for (const auto& r : theirs) {
        if (!r) continue;
        const std::string key = keyOf(*r);
        const std::size_t b = count(inBase, key);
        const std::size_t nth = ++seen[key];
        if (nth <= b) continue;  // one base already had
        const std::size_t oursBeyondBase = count(inOurs, key) > b ? count(inOurs, key) - b : 0;
        if (nth - b <= oursBeyondBase) continue;  // added here as well
        ours.push_back(std::make_unique<T>(*r));
        ++added;
    }
    return added;
}

}  // namespace

MergeCount mergeOtherVersion(const THolidayList& baseRules, const TDateMemoList& baseMemos,
                             const THolidayList& theirRules, const TDateMemoList& theirMemos, THolidayList& rules,
                             TDateMemoList& memos) {
    MergeCount n;
    n.memos = mergeList(baseMemos, theirMemos, memos);
    n.rules = mergeList(baseRules, theirRules, rules);
    return n;
}

}  // namespace sorvel
