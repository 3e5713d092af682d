// The schedule list's rules without a window: the tree's years, reading a node, choosing the
// notes of a node, moving notes to a node's date.
#include "schedule/schedule_keys.h"

#include <gtest/gtest.h>

using namespace sorvel;

namespace {

// Notes captioned "0", "1", … in the given order.
TDateMemoList notes(std::initializer_list<std::array<int, 3>> dates) {
    TDateMemoList list;
    for (const auto& d : dates)
        list.push_back(std::make_unique<TDateMemo>(TDateMemo{d[0], d[1], d[2], "", std::to_string(list.size())}));
    return list;
}

std::string captions(const std::vector<TDateMemo*>& rows) {
    std::string out;
    for (const TDateMemo* m : rows) out += m->caption;
    return out;
}

}  // namespace

TEST(ScheduleTree, YearsRunFromTheFirstNoteToThreeAfterTheLastOrFromTheShownYear) {
    EXPECT_EQ(treeYears(TDateMemoList{}, 2001), (YearRange{2001, 2004}));
    TDateMemoList list = notes({{2001, 6, 1}, {1999, 3, 2}});
    list.push_back(nullptr);  // an empty slot counts for nothing
    EXPECT_EQ(treeYears(list, 1800), (YearRange{1999, 2004}));
    // A damaged file's far-off years do not make a tree of billions of years.
    EXPECT_EQ(treeYears(notes({{-2000000000, 1, 1}, {2000000000, 1, 1}}), 2001), (YearRange{1, 10002}));
}

TEST(ScheduleTree, NodeTextsReadIntoADateKey) {
    struct Case {
        QStringList texts;
        DateKey key;
    };
    const Case cases[] = {
        {{QStringLiteral("日付")}, {-1, -1, -1}},
        {{QStringLiteral("2001年"), QStringLiteral("日付")}, {2001, -1, -1}},
        {{QStringLiteral("3月"), QStringLiteral("2002年"), QStringLiteral("日付")}, {2002, 3, -1}},
        {{QStringLiteral("29日"), QStringLiteral("2月"), QStringLiteral("2000年"), QStringLiteral("日付")}, {2000, 2, 29}},
        {{}, {-1, -1, -1}},
    };
    for (const Case& c : cases) EXPECT_EQ(readNodeKey(c.texts), c.key) << c.texts.join('/').toStdString();
}

TEST(ScheduleRows, ANodeSelectsItsNotesInDateOrder) {
    TDateMemoList list = notes({{2002, 1, 1}, {2001, 5, 3}, {2001, 12, 24}, {1999, 7, 7}, {2001, 5, 4}, {2001, 5, 3}});
    EXPECT_EQ(captions(notesForKey(list, {-1, -1, -1})), "315420");
    EXPECT_EQ(captions(notesForKey(list, {2001, -1, -1})), "1542");
    EXPECT_EQ(captions(notesForKey(list, {2001, 5, -1})), "154");
    EXPECT_EQ(captions(notesForKey(list, {2001, 5, 3})), "15");
    EXPECT_TRUE(notesForKey(list, {2003, -1, -1}).empty());
    EXPECT_EQ(rowDateText(2001, 5, 3), QStringLiteral("2001年5月3日"));
}

TEST(ScheduleMove, ADroppedNoteTakesTheNodesDateAndADayItsMonthHas) {
    struct Case {
        std::array<int, 3> from;
        DateKey key;
        std::array<int, 3> to;
    };
    const Case cases[] = {
        {{2001, 5, 3}, {2002, -1, -1}, {2002, 5, 3}},   // a year node keeps month and day
        {{2001, 5, 3}, {2002, 3, -1}, {2002, 3, 3}},    // a month node keeps the day
        {{2001, 5, 3}, {2002, 3, 9}, {2002, 3, 9}},     // a day node sets all three
        {{2001, 1, 31}, {2001, 4, -1}, {2001, 4, 30}},  // April has no 31st
        {{2000, 2, 29}, {2001, -1, -1}, {2001, 2, 28}},  // 2001 is a common year
        {{2000, 2, 29}, {1900, -1, -1}, {1900, 2, 28}},  // 1900 too
        {{2000, 2, 29}, {2004, -1, -1}, {2004, 2, 29}},
        {{2000, 2, 29}, {1700, -1, -1}, {1700, 2, 29}},  // a Julian leap year
        {{1600, 2, 29}, {1800, -1, -1}, {1800, 2, 28}},  // 1800 is Gregorian and common
        {{2001, 9, 5}, {1752, -1, -1}, {1752, 9, 14}},   // the reform left out 3–13 September
        {{2001, 5, 3}, {-1, -1, -1}, {2001, 5, 3}},     // the root moves nothing
    };
    for (const Case& c : cases) {
        TDateMemo m{c.from[0], c.from[1], c.from[2], "t", "c"};
        moveNoteToKey(m, c.key);
        EXPECT_EQ((std::array<int, 3>{m.year, m.month, m.day}), c.to) << c.key.year << "/" << c.key.month;
    }
    EXPECT_EQ(moveQuestion({2002, -1, -1}), QStringLiteral("ドラッグした予定を2002年に変更します。"));
    EXPECT_EQ(moveQuestion({2002, 3, -1}), QStringLiteral("ドラッグした予定を2002年3月に変更します。"));
    EXPECT_EQ(moveQuestion({2002, 3, 9}), QStringLiteral("ドラッグした予定を2002年3月9日に変更します。"));
}
