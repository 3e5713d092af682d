#include "data/day_rows.h"

#include <gtest/gtest.h>

#include "platform/text.h"

using namespace sorvel;

namespace {

// 5 May 2001 is the first Saturday of the month, in the first week row.
constexpr ClickedDate kMay5{2001, 5, 5, 1, 6, 1};

std::unique_ptr<THolidaySet> byDate(int month, int day, int dayOff, const char* name) {
    auto r = std::make_unique<THolidaySet>();
    r->dayOffKind = static_cast<std::uint8_t>(dayOff);
    r->ruleKind = 0;
    r->month = month;
    r->day = day;
    r->name = sjis(name);
    return r;
}

std::unique_ptr<THolidaySet> byWeekday(int month, int weekday, int ordinal, int dayOff, const char* name) {
    auto r = byDate(month, 0, dayOff, name);
    r->ruleKind = 1;
    r->weekday = weekday;
    r->ordinal = ordinal;
    return r;
}

std::unique_ptr<TDateMemo> note(int y, int m, int d, const char* caption, const char* text = "") {
    return std::make_unique<TDateMemo>(TDateMemo{y, m, d, sjis(text), sjis(caption)});
}

// "kind:index:caption|text" per row, in UTF-8 for readable failures.
std::vector<std::string> describe(const DayRows& built) {
    std::vector<std::string> out;
    for (const TDataList& r : built.rows)
        out.push_back(std::to_string(static_cast<int>(r.kind)) + ":" + std::to_string(r.index) + ":" +
                      cp932ToUtf8(r.caption) + "|" + cp932ToUtf8(r.text));
    return out;
}

struct Lists {
    THolidayList rules;
    TDateMemoList memos;
    std::vector<TSubstituteHoliday> substitutes;
    DayRows build(const ClickedDate& d = kMay5) { return buildDayRows(d, rules, memos, substitutes); }
};

}  // namespace

TEST(DayRowsListing, EmptyDayWhenNothingFallsOnTheDate) {
    Lists l;
    l.rules.push_back(byDate(6, 5, 1, "別の月"));                  // same day, other month
    l.rules.push_back(byWeekday(5, 6, 2, 1, "第2土曜"));           // same weekday, other ordinal
    l.memos.push_back(note(2001, 5, 6, "翌日"));
    l.substitutes.push_back(TSubstituteHoliday{2001, 5, 7});
    EXPECT_TRUE(l.build().rows.empty());
}

TEST(DayRowsListing, RulesThenNotesThenSubstitutesEachInListOrderAfterDroppingEmptySlots) {
    Lists l;
    l.memos.push_back(nullptr);
    l.memos.push_back(note(2001, 5, 5, "二番目", "本文\r\n二行目"));
    l.memos.push_back(note(2001, 5, 5, "三番目"));
    l.rules.push_back(nullptr);
    l.rules.push_back(byDate(5, 5, 0, "日付"));
    l.rules.push_back(byDate(1, 1, 1, "元日"));
    l.rules.push_back(byWeekday(5, 6, 1, 1, "曜日"));
    l.substitutes.push_back(TSubstituteHoliday{2001, 5, 4});
    l.substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    EXPECT_EQ(describe(l.build()), (std::vector<std::string>{"1:0:日付|祝日", "1:2:曜日|休みの日！", "0:0:二番目|本文\r\n二行目",
                                                             "0:1:三番目|", "2:1:振替休日|休みの日！"}));
    EXPECT_EQ(l.rules.size(), 3u);
    EXPECT_EQ(l.memos.size(), 2u);
}

TEST(DayRowsListing, SecondColumnReadsDayOffForEveryDayOffKindWhicheverWayTheRuleIsFixed) {
    Lists l;
    for (int kind = 0; kind <= 2; ++kind) l.rules.push_back(byDate(5, 5, kind, "日付"));
    for (int kind = 0; kind <= 2; ++kind) l.rules.push_back(byWeekday(5, 6, 1, kind, "曜日"));
    EXPECT_EQ(describe(l.build()),
              (std::vector<std::string>{"1:0:日付|祝日", "1:1:日付|休みの日！", "1:2:日付|休みの日！", "1:3:曜日|祝日",
                                        "1:4:曜日|休みの日！", "1:5:曜日|休みの日！"}));
}

TEST(DayRowsListing, SubstituteOfTheSameDayInAnotherYearIsNotListed) {
    // Thirteen months drawn from May 2001 hold May 2001 and May 2002.
    Lists l;
    l.substitutes.push_back(TSubstituteHoliday{2002, 5, 5});
    EXPECT_TRUE(l.build().rows.empty());
    l.substitutes.push_back(TSubstituteHoliday{2001, 5, 5});
    EXPECT_EQ(describe(l.build()), (std::vector<std::string>{"2:1:振替休日|休みの日！"}));
}

TEST(DayRowsListing, TextsKeepTheirBytes) {
    // 0x95 0x5C is "表": its trail byte is a backslash.
    Lists l;
    l.memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 5, 5, "\x95\x5C", "\x87\x90"}));
    const DayRows built = l.build();
    ASSERT_EQ(built.rows.size(), 1u);
    EXPECT_EQ(built.rows[0].caption, "\x87\x90");
    EXPECT_EQ(built.rows[0].text, "\x95\x5C");
    EXPECT_EQ(built.rows[0].memo, l.memos[0].get());
}

TEST(DayRowsRuleFields, DateRuleTakesTheDatesWeekdayAndOrdinalWeekdayRuleItsDay) {
    Lists l;
    l.rules.push_back(byDate(5, 5, 1, "日付"));
    l.rules.push_back(byWeekday(5, 6, 1, 1, "曜日"));
    l.rules.push_back(byDate(5, 6, 1, "翌日"));
    const DayRows first = l.build();
    EXPECT_TRUE(first.rulesUpdated);
    EXPECT_EQ(l.rules[0]->weekday, 6);
    EXPECT_EQ(l.rules[0]->ordinal, 1);
    EXPECT_EQ(l.rules[0]->day, 5);
    EXPECT_EQ(l.rules[1]->day, 5);
    EXPECT_EQ(l.rules[1]->weekday, 6);
    EXPECT_EQ(l.rules[2]->weekday, 0) << "a rule that does not fall on the date is left alone";
    EXPECT_FALSE(l.build().rulesUpdated) << "building again changes nothing";
}

TEST(DayRowsDelete, RemovesTheRowsOwnRecordEvenWhenTheListMovedOn) {
    Lists l;
    l.memos.push_back(note(2001, 5, 5, "残す"));
    l.memos.push_back(note(2001, 5, 5, "消す"));
    const DayRows built = l.build();
    ASSERT_EQ(built.rows.size(), 2u);
    const TDataList row = built.rows[1];
    EXPECT_EQ(row.index, 1);
    l.memos.insert(l.memos.begin(), note(2000, 1, 1, "前に入った"));  // the index now names "残す"
    EXPECT_TRUE(removeRowEntry(row, l.rules, l.memos));
    ASSERT_EQ(l.memos.size(), 2u);
    EXPECT_EQ(cp932ToUtf8(l.memos[0]->caption), "前に入った");
    EXPECT_EQ(cp932ToUtf8(l.memos[1]->caption), "残す");
    EXPECT_FALSE(removeRowEntry(row, l.rules, l.memos)) << "a record already gone is not removed twice";
}

// The national holiday named by the caller comes first, beside the user's rule of the same day,
// and no button edits or deletes it.
TEST(DayRowsNational, ListedFirstAndReadOnly) {
    Lists l;
    l.rules.push_back(byDate(5, 5, 1, "こどもの日"));
    const DayRows built = buildDayRows(kMay5, l.rules, l.memos, l.substitutes, sjis("こどもの日"));
    EXPECT_EQ(describe(built), (std::vector<std::string>{"3:0:こどもの日|休みの日！", "1:0:こどもの日|休みの日！"}));
    EXPECT_FALSE(deleteQuestion(built.rows[0]).has_value());
    EXPECT_FALSE(removeRowEntry(built.rows[0], l.rules, l.memos));
    EXPECT_EQ(l.rules.size(), 1u);
}
