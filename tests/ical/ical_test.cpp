#include <gtest/gtest.h>

#include <string>

#include "ical/ical_almanac.h"
#include "ical/ical_export.h"
#include "ical/ical_import.h"
#include "platform/text.h"

namespace sorvel {
namespace {

std::string crlf(std::string s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

IcalImport importText(const std::string& text, int from = 2026, int to = 2027) {
    IcalImportOptions o;
    o.fromYear = from;
    o.toYear = to;
    o.localZone = "Asia/Tokyo";
    return importIcal(crlf(text), o);
}

std::string noteLine(const TDateMemo& m) {
    return std::to_string(m.year) + "-" + std::to_string(m.month) + "-" + std::to_string(m.day) + " " +
           cp932ToUtf8(m.caption) + "|" + cp932ToUtf8(m.text);
}

std::vector<std::string> noteLines(const TDateMemoList& memos) {
    std::vector<std::string> out;
    for (const auto& m : memos) out.push_back(noteLine(*m));
    return out;
}

// --- export ---------------------------------------------------------------------------------

TEST(IcalExport, NoteAndBothRuleKindsAreWrittenByteExact) {
    TDateMemo note{2026, 3, 15, sjis("C:\\dir\r\n" + std::string(30 * 3, ' ')), sjis("会議, 打合せ; 準備")};
    note.text = sjis("C:\\dir\r\n");
    for (int i = 0; i < 30; ++i) note.text += sjis("あ");
    THolidaySet fixed{1, 0, 5, 5, 2, 5, 1, sjis("こどもの日")};
    THolidaySet nth{0, 1, 9, 18, 4, 1, 3, sjis("敬老")};
    IcalExportOptions o;
    o.stamp = "20261208T000000Z";
    const std::string got = exportIcal({&note}, {&fixed, &nth}, o);
    const std::string expected = crlf(
        "BEGIN:VCALENDAR\n"
        "VERSION:2.0\n"
        "PRODID:-//Sorvel//Sorvel 1.25a//JA\n"
        "CALSCALE:GREGORIAN\n"
        "BEGIN:VEVENT\n"
        "UID:20260315-0a5d6abac9d3f0c0-0@sorvel\n"
        "DTSTAMP:20261208T000000Z\n"
        "DTSTART;VALUE=DATE:20260315\n"
        "DTEND;VALUE=DATE:20260316\n"
        "SUMMARY:会議\\, 打合せ\\; 準備\n"
        "DESCRIPTION:C:\\\\dir\\nああああああああああああああああああ\n"
        " ああああああああああああ\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:rule-3a31e463ec8a3d02-0@sorvel\n"
        "DTSTAMP:20261208T000000Z\n"
        "DTSTART;VALUE=DATE:20000505\n"
        "DTEND;VALUE=DATE:20000506\n"
        "RRULE:FREQ=YEARLY;BYMONTH=5;BYMONTHDAY=5\n"
        "SUMMARY:こどもの日\n"
        "CATEGORIES:祝日\n"
        "X-SORVEL-DAY-OFF:TRUE\n"
        "X-SORVEL-SUBSTITUTE:TRUE\n"
        "TRANSP:TRANSPARENT\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:rule-82232b6a27bd7404-0@sorvel\n"
        "DTSTAMP:20261208T000000Z\n"
        "DTSTART;VALUE=DATE:20000918\n"
        "DTEND;VALUE=DATE:20000919\n"
        "RRULE:FREQ=YEARLY;BYMONTH=9;BYDAY=3MO\n"
        "SUMMARY:敬老\n"
        "TRANSP:TRANSPARENT\n"
        "END:VEVENT\n"
        "END:VCALENDAR\n");
    EXPECT_EQ(got, expected);
}

TEST(IcalExport, NationalHolidaysOnlyWhenAskedAndIdenticalNotesGetTheirPlace) {
    TDateMemo a{2026, 1, 2, "", "x"}, b{2026, 1, 2, "", "x"};
    IcalExportOptions o;
    std::string without = exportIcal({&a, &b}, {}, o);
    EXPECT_EQ(without.find("X-SORVEL-NATIONAL"), std::string::npos);
    EXPECT_NE(without.find("-0@sorvel"), std::string::npos);
    EXPECT_NE(without.find("-1@sorvel"), std::string::npos);
    o.nationalFrom = o.nationalTo = 2026;
    const std::string with = exportIcal({}, {}, o);
    EXPECT_NE(with.find(crlf("UID:national-20260101@sorvel\nDTSTAMP:\nDTSTART;VALUE=DATE:20260101\n"
                             "DTEND;VALUE=DATE:20260102\nSUMMARY:元日\nCATEGORIES:祝日\n")),
              std::string::npos);
    // 2026: 16 holidays, 1 substitute holiday (6 May, for 3 May on a Sunday), 1 citizens'
    // holiday (22 September).
    std::size_t events = 0;
    for (std::size_t at = with.find("BEGIN:VEVENT"); at != std::string::npos; at = with.find("BEGIN:VEVENT", at + 1))
        ++events;
    EXPECT_EQ(events, 18u);
}

// Expected values from the published almanac (国立天文台 暦要項 2025, 2026): 朔 2025-06-25 19:31,
// 2025-07-25 04:11 and 2025-08-23 15:06 JST with 大暑 on 7月22日 and 処暑 on 8月23日, so the
// month from 25 July has no 中気 and is 閏6月; 朔 2026-01-19 04:52 (旧12月1日), 立春
// 2026-02-04 5:02. 六曜 counted by hand: (month + day) mod 6 from 大安, 旧6月30日 → 大安,
// 閏6月1日 → 赤口, 旧12月16日 → 先負, 旧12月17日 → 仏滅; 節分 the day before 立春.
TEST(IcalAlmanac, EventsOfEachKindWithStableUids) {
    auto ev = [](const char* uid, const char* start, const char* end, const char* summary, const char* category,
                 const char* description = nullptr) {
        return std::string("BEGIN:VEVENT\nUID:") + uid + "@sorvel\nDTSTAMP:20261208T000000Z\nDTSTART;VALUE=DATE:" + start +
               "\nDTEND;VALUE=DATE:" + end + "\nSUMMARY:" + summary + "\n" +
               (description ? std::string("DESCRIPTION:") + description + "\n" : std::string()) + "CATEGORIES:" +
               category + "\nX-SORVEL-ALMANAC:TRUE\nTRANSP:TRANSPARENT\nEND:VEVENT\n";
    };
    const std::string expected = crlf(ev("rokuyo-20250724", "20250724", "20250725", "大安", "六曜") +
                                      ev("rokuyo-20250725", "20250725", "20250726", "赤口", "六曜") +
                                      ev("kyureki-20250725", "20250725", "20250726", "旧暦 閏6月1日", "旧暦") +
                                      ev("rokuyo-20260203", "20260203", "20260204", "先負", "六曜") +
                                      ev("zassetsu-20260203-setsubun", "20260203", "20260204", "節分", "雑節") +
                                      ev("rokuyo-20260204", "20260204", "20260205", "仏滅", "六曜") +
                                      ev("sekki-20260204", "20260204", "20260205", "立春", "二十四節気",
                                         "立春 2月4日 5:02"));
    std::string got;
    appendAlmanacEvents(got, Date{2025, 7, 24}, Date{2025, 7, 25}, "20261208T000000Z");
    appendAlmanacEvents(got, Date{2026, 2, 3}, Date{2026, 2, 4}, "20261208T000000Z");
    EXPECT_EQ(got, expected);
    std::string before;
    appendAlmanacEvents(before, Date{1872, 12, 1}, Date{1872, 12, 31}, "x");
    EXPECT_EQ(before, "");
    // Our own almanac read back is not made into notes: the calendar shows it itself.
    const IcalImport back = importIcal(crlf("BEGIN:VCALENDAR\nVERSION:2.0\n") + expected + "END:VCALENDAR\r\n", {});
    EXPECT_TRUE(back.memos.empty());
    EXPECT_EQ(back.national, 7u);
}

// --- round trips ------------------------------------------------------------------------------

TEST(IcalRoundTrip, Cp932TextsComeBackByteExactAndASecondImportAddsNothing) {
    TDateMemoList memos;
    const char* texts[] = {"C:\\temp~1", "①②, 会議; 資料\r\n2行目\r\n", "a\\,b\\;c\\n"};
    for (const char* t : texts) memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 7, 1, sjis(t), sjis(t)}));
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 7, 1, sjis(texts[0]), sjis(texts[0])}));
    // ¬ as its IBM code (comes back from UTF-8 as 0x81CA) and a byte that is no CP932.
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2026, 7, 2, "\xEE\xF9\xA0", "\xEE\xF9"}));
    THolidayList rules;
    rules.push_back(std::make_unique<THolidaySet>(THolidaySet{2, 0, 6, 1, 1, 1, 1, sjis("創立記念日")}));
    rules.push_back(std::make_unique<THolidaySet>(THolidaySet{0, 1, 11, 8, 2, 1, 2, sjis("第2月曜")}));
    std::vector<const TDateMemo*> mp;
    for (auto& m : memos) mp.push_back(m.get());
    const std::string file = exportIcal(mp, {rules[0].get(), rules[1].get()}, IcalExportOptions{"20260101T000000Z"});

    IcalImportOptions o;
    o.localZone = "Asia/Tokyo";
    IcalImport im = importIcal(file, o);
    ASSERT_EQ(im.memos.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(im.memos[i]->text, memos[i]->text) << i;
        EXPECT_EQ(im.memos[i]->caption, memos[i]->caption) << i;
    }
    ASSERT_EQ(im.rules.size(), 2u);
    EXPECT_EQ(im.rules[0]->dayOffKind, 2);
    EXPECT_EQ(im.rules[1]->ruleKind, 1);
    EXPECT_EQ(im.rules[1]->weekday, 1);
    EXPECT_EQ(im.rules[1]->ordinal, 2);
    EXPECT_EQ(im.replacedCharacters, 0u);

    TDateMemoList empty;
    THolidayList noRules;
    IcalMerge first = mergeIcalImport(im, empty, noRules);
    EXPECT_EQ(first.memosAdded, 5u);
    EXPECT_EQ(first.rulesAdded, 2u);
    IcalImport again = importIcal(file, o);
    IcalMerge second = mergeIcalImport(again, empty, noRules);
    EXPECT_EQ(second.memosAdded, 0u);
    EXPECT_EQ(second.rulesAdded, 0u);
    EXPECT_EQ(second.alreadyThere, 7u);
    EXPECT_EQ(empty.size(), 5u);
}

// The calendar is Julian to 2 September 1752; iCalendar's dates are proleptic Gregorian.
TEST(IcalRoundTrip, NotesBeforeTheReformGoOutAsTheirGregorianDaysAndComeBack) {
    TDateMemo leap{1700, 2, 29, "", "a"}, march{1600, 3, 1, "", "b"}, reform{1752, 9, 2, "", "c"};
    TDateMemo yearZero{1, 1, 2, "", "d"}, gap{1752, 9, 5, "", "e"};  // 31 December 0 and no day at all
    const std::vector<const TDateMemo*> notes{&leap, &march, &reform, &yearZero, &gap};
    const std::string file = exportIcal(notes, {}, IcalExportOptions{"20260101T000000Z"});
    for (const char* line : {"DTSTART;VALUE=DATE:17000311\r\nDTEND;VALUE=DATE:17000312",
                             "DTSTART;VALUE=DATE:16000311\r\n", "DTSTART;VALUE=DATE:17520913\r\nDTEND;VALUE=DATE:17520914"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    IcalImportOptions o;
    o.localZone = "Asia/Tokyo";
    const IcalImport back = importIcal(file, o);
    EXPECT_EQ(noteLines(back.memos), (std::vector<std::string>{"1600-3-1 b|", "1700-2-29 a|", "1752-9-2 c|"}));
}

// --- files as calendar programs write them ----------------------------------------------------

TEST(IcalImport, EventsOfCommonCalendarProgramsBecomeNotesAndRules) {
    IcalImport im = importText(
        "BEGIN:VCALENDAR\n"
        "PRODID:-//Example Corp//Calendar 1.0//EN\n"
        "VERSION:2.0\n"
        "X-WR-TIMEZONE:Asia/Tokyo\n"
        "BEGIN:VTIMEZONE\n"
        "TZID:Eastern Standard Time\n"
        "BEGIN:DAYLIGHT\n"
        "TZOFFSETFROM:-0500\n"
        "TZOFFSETTO:-0400\n"
        "DTSTART:19700308T020000\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
        "END:DAYLIGHT\n"
        "BEGIN:STANDARD\n"
        "TZOFFSETFROM:-0400\n"
        "TZOFFSETTO:-0500\n"
        "DTSTART:19701101T020000\n"
        "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\n"
        "END:STANDARD\n"
        "END:VTIMEZONE\n"
        "BEGIN:VEVENT\n"
        "UID:a1\n"
        "DTSTART;VALUE=DATE:20260401\n"
        "DTEND;VALUE=DATE:20260404\n"
        "SUMMARY:出張\n"
        "DESCRIPTION:大阪\\n支社\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:a2\n"
        "DTSTART;TZID=Eastern Standard Time:20260310T200000\n"
        "DTEND;TZID=Eastern Standard Time:20260310T210000\n"
        "SUMMARY:Call\n"
        "BEGIN:VALARM\n"
        "ACTION:DISPLAY\n"
        "TRIGGER:-PT10M\n"
        "END:VALARM\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:a3\n"
        "DTSTART:20260331T150000Z\n"
        "SUMMARY:深夜の\n"
        " 作業\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:a4\n"
        "DTSTART;TZID=Asia/Tokyo:20260105T100000\n"
        "RRULE:FREQ=WEEKLY;COUNT=4\n"
        "EXDATE;TZID=Asia/Tokyo:20260112T100000\n"
        "SUMMARY:定例\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\n"
        "UID:a5\n"
        "DTSTART;VALUE=DATE:19900515\n"
        "RRULE:FREQ=YEARLY\n"
        "SUMMARY:誕生日\n"
        "END:VEVENT\n"
        "BEGIN:VTODO\n"
        "SUMMARY:買い物\n"
        "END:VTODO\n"
        "END:VCALENDAR\n");
    ASSERT_EQ(im.status, IcalImportStatus::Ok);
    EXPECT_EQ(noteLines(im.memos), (std::vector<std::string>{
                                       "2026-1-5 10:00 定例|",
                                       "2026-1-19 10:00 定例|",
                                       "2026-1-26 10:00 定例|",
                                       "2026-3-11 09:00 Call|",
                                       "2026-4-1 出張|大阪\r\n支社\r\n（2026年4月3日まで）",
                                       "2026-4-1 00:00 深夜の作業|",
                                   }));
    ASSERT_EQ(im.rules.size(), 1u);
    EXPECT_EQ(im.rules[0]->ruleKind, 0);
    EXPECT_EQ(im.rules[0]->month, 5);
    EXPECT_EQ(im.rules[0]->day, 15);
    EXPECT_EQ(im.rules[0]->dayOffKind, 0);
    EXPECT_EQ(cp932ToUtf8(im.rules[0]->name), "誕生日");
    EXPECT_EQ(im.otherComponents, 2u);  // the alarm and the to-do
    EXPECT_EQ(im.beyondRange, 0u);
}

// --- refusals and limits ----------------------------------------------------------------------

std::string event(const std::string& lines) { return "BEGIN:VEVENT\n" + lines + "END:VEVENT\n"; }
std::string calendar(const std::string& events) { return "BEGIN:VCALENDAR\nVERSION:2.0\n" + events + "END:VCALENDAR\n"; }

TEST(IcalImport, HostileInputIsBoundedAndCounted) {
    EXPECT_EQ(importText("hello\nBEGIN:VCALENDAR\n").status, IcalImportStatus::NotICalendar);
    EXPECT_EQ(importText("").status, IcalImportStatus::NotICalendar);

    // Every minute, two thousand million times: 100,000 steps, 10,000 notes, the rest counted.
    IcalImport minutely = importText(calendar(event("DTSTART:20260101T000000\nRRULE:FREQ=MINUTELY;COUNT=2000000000\nSUMMARY:m\n")));
    EXPECT_EQ(minutely.memos.size(), 10000u);
    EXPECT_EQ(minutely.overLimit, 90000u);
    EXPECT_EQ(minutely.beyondRange, 1u);
    EXPECT_EQ(noteLine(*minutely.memos.back()), "2026-1-7 22:39 m|");

    // Every second without end, from years before the range: expansion starts near the range.
    IcalImport secondly = importText(calendar(event("DTSTART:20200101T000000\nRRULE:FREQ=SECONDLY\nSUMMARY:s\n")), 2026, 2026);
    // 100,000 steps from 31 December 10:00: 50,400 seconds before the range, then minutes 0 to 826.
    ASSERT_EQ(secondly.memos.size(), 827u);
    EXPECT_EQ(noteLine(*secondly.memos.front()), "2026-1-1 00:00 s|");
    EXPECT_EQ(secondly.beyondRange, 1u);

    IcalImport years = importText(calendar(event("DTSTART;VALUE=DATE:00000101\nSUMMARY:0\n") +
                                           event("DTSTART;VALUE=DATE:200000101\nSUMMARY:20000\n") +
                                           event("SUMMARY:no start\n") +
                                           event("DTSTART:20260155T200000\nSUMMARY:55th\n")));
    EXPECT_TRUE(years.memos.empty());
    EXPECT_EQ(years.yearOutside, 2u);
    EXPECT_EQ(years.damaged, 2u);

    IcalImport big = importText(calendar(event("DTSTART;VALUE=DATE:20260101\nSUMMARY:😀〜\nDESCRIPTION:" +
                                               std::string(1 << 20, 'a') + "\n")));
    ASSERT_EQ(big.memos.size(), 1u);
    EXPECT_EQ(big.memos[0]->text.size(), 65536u);
    EXPECT_EQ(big.shortened, 1u);
    EXPECT_EQ(big.memos[0]->caption, "\x81\x48\x81\x60");  // "？～"
    EXPECT_EQ(big.replacedCharacters, 1u);

    IcalImport cut = importText("BEGIN:VCALENDAR\n" + event("DTSTART;VALUE=DATE:20260101\nSUMMARY:a\n") +
                                "BEGIN:VEVENT\nDTSTART;VALUE=DATE:2026");
    EXPECT_EQ(cut.memos.size(), 1u);
    EXPECT_EQ(cut.damaged, 1u);
}

TEST(IcalImport, CancelLeavesNothing) {
    std::string events;
    for (int i = 0; i < 2000; ++i) events += event("DTSTART;VALUE=DATE:20260101\nSUMMARY:x\n");
    IcalImportOptions o;
    o.localZone = "Asia/Tokyo";
    int calls = 0;
    o.progress = [&](std::size_t done, std::size_t total) {
        EXPECT_LE(done, total);
        return ++calls < 2;
    };
    IcalImport im = importIcal(crlf(calendar(events)), o);
    EXPECT_EQ(im.status, IcalImportStatus::Cancelled);
    EXPECT_TRUE(im.memos.empty());
    EXPECT_EQ(calls, 2);
}

TEST(IcalImport, MessageNamesEveryCount) {
    IcalImport im;
    im.beyondRange = 1;
    im.overLimit = 2;
    im.yearOutside = 3;
    im.otherComponents = 4;
    im.damaged = 5;
    im.shortened = 6;
    im.replacedCharacters = 7;
    EXPECT_EQ(icalImportMessage(im, IcalMerge{10, 2, 8}),
              QStringLiteral("予定 10件、休日 2件を追加しました。\n8件は登録済みでした。\n"
                             "繰り返す予定 1件の、1〜9999年の外にある日は読み込みませんでした。\n"
                             "上限を超えた予定 2件、年が1〜9999の外にある予定 3件、"
                             "ToDo・日誌・アラームなど 4件、壊れた予定 5件は読み込みませんでした。\n"
                             "長い見だしと内容 6件を64KBまでにしました。\n"
                             "Shift-JISにない文字 7文字を「？」にしました。"));
    EXPECT_EQ(icalImportMessage(IcalImport{}, IcalMerge{1, 0, 0}), QStringLiteral("予定 1件、休日 0件を追加しました。"));
}

// --- the mapping, one row per way it went wrong --------------------------------------------

TEST(IcalImport, FilesOfOtherProgramsComeInAsTheirEventsMean) {
    // The file's LF is written as CR LF; the message follows "予定 n件、休日 0件を追加しました。".
    struct Row { const char* what; std::string file; std::vector<std::string> notes; std::string message; };
    const Row rows[] = {
        {"a moved day of a weekly series is on its new day only",
         calendar(event("UID:w1\nDTSTART;TZID=Asia/Tokyo:20260105T100000\nRRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:定例\n") +
                  event("UID:w1\nRECURRENCE-ID;TZID=Asia/Tokyo:20260112T100000\nDTSTART;TZID=Asia/Tokyo:20260114T150000\n"
                        "DTEND;TZID=Asia/Tokyo:20260114T160000\nSUMMARY:定例\n")),
         {"2026-1-5 10:00 定例|", "2026-1-14 15:00 定例|", "2026-1-19 10:00 定例|"}, ""},
        {"cancelled events and cancelled days are left out",
         calendar(event("UID:c0\nDTSTART;VALUE=DATE:20260301\nSTATUS:CANCELLED\nSUMMARY:中止\n") +
                  event("UID:w2\nRECURRENCE-ID;VALUE=DATE:20260112\nDTSTART;VALUE=DATE:20260112\nSTATUS:CANCELLED\nSUMMARY:休み\n") +
                  event("UID:w2\nDTSTART;VALUE=DATE:20260105\nRRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:休み\n")),
         {"2026-1-5 休み|", "2026-1-19 休み|"}, "\n取り消された予定 2件は読み込みませんでした。"},
        {"a yearly 20:00 in New York is 10:00 the next day in Japan, as notes",
         calendar("BEGIN:VTIMEZONE\nTZID:America/New_York\nBEGIN:STANDARD\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0500\n"
                  "DTSTART:19701101T020000\nEND:STANDARD\nEND:VTIMEZONE\n" +
                  event("DTSTART;TZID=America/New_York:20251224T200000\nRRULE:FREQ=YEARLY\nSUMMARY:Call\n")),
         {"2026-12-25 10:00 Call|", "2027-12-25 10:00 Call|"},
         "\n繰り返す予定 1件の、2026〜2027年の外にある日は読み込みませんでした。"},
        {"our own bytes keep a caption's trailing space",
         calendar(event("DTSTART;VALUE=DATE:20260201\nSUMMARY:abc \nX-SORVEL-CP932-SUMMARY:61626320\n")), {"2026-2-1 abc |"}, ""},
        {"lines ended by CR alone", "BEGIN:VCALENDAR\rBEGIN:VEVENT\rDTSTART;VALUE=DATE:20260202\r"
                                    "SUMMARY:改行\r CR\rEND:VEVENT\rEND:VCALENDAR\r", {"2026-2-2 改行CR|"}, ""},
        {"days outside the range are what is left out of a series",
         calendar(event("DTSTART;VALUE=DATE:20251231\nRRULE:FREQ=DAILY;COUNT=2\nSUMMARY:a\n") +
                  event("DTSTART;VALUE=DATE:20271231\nRRULE:FREQ=DAILY;COUNT=2\nSUMMARY:b\n")),
         {"2026-1-1 a|", "2027-12-31 b|"}, "\n繰り返す予定 2件の、2026〜2027年の外にある日は読み込みませんでした。"},
        {"a Shift-JIS file", calendar(event("DTSTART;VALUE=DATE:20260203\nSUMMARY:\x8E\x95\x88\xE3\x8E\xD2\n")),
         {"2026-2-3 歯医者|"}, "\nUTF-8ではないので、Shift-JISのファイルとして読み込みました。"},
        {"LOCATION is a line of the text",
         calendar(event("DTSTART;TZID=Asia/Tokyo:20260204T100000\nSUMMARY:歯医者\nDESCRIPTION:検診\nLOCATION:駅前\\, 2階\n")),
         {"2026-2-4 10:00 歯医者|検診\r\n場所：駅前, 2階"}, ""},
        {"the notes of a day in the order of their times, the all-day one first",
         calendar(event("DTSTART;TZID=Asia/Tokyo:20260205T233000\nSUMMARY:夜\n") +
                  event("DTSTART;TZID=Asia/Tokyo:20260205T090000\nSUMMARY:朝\n") +
                  event("DTSTART;VALUE=DATE:20260205\nSUMMARY:終日\n")),
         {"2026-2-5 終日|", "2026-2-5 09:00 朝|", "2026-2-5 23:30 夜|"}, ""},
        {"a timed event over days ends as an all-day one does; one of 90 minutes tells its end",
         calendar(event("DTSTART;TZID=Asia/Tokyo:20261231T200000\nDTEND;TZID=Asia/Tokyo:20270103T110000\nSUMMARY:帰省\n") +
                  event("DTSTART:20260206T010000Z\nDTEND:20260206T023000Z\nSUMMARY:会議\n")),
         {"2026-2-6 10:00 会議|～11:30", "2026-12-31 20:00 帰省|（2027年1月3日まで）"}, ""},
        {"each day of a series of two-day events ends on its own next day",
         calendar(event("DTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260107\nRRULE:FREQ=WEEKLY;COUNT=2\nSUMMARY:研修\n")),
         {"2026-1-5 研修|（2026年1月6日まで）", "2026-1-12 研修|（2026年1月13日まで）"}, ""},
    };
    for (const Row& row : rows) {
        IcalImport im = importText(row.file);
        EXPECT_EQ(noteLines(im.memos), row.notes) << row.what;
        TDateMemoList memos;
        THolidayList rules;
        const IcalMerge merge = mergeIcalImport(im, memos, rules);
        EXPECT_EQ(icalImportMessage(im, merge).toStdString(),
                  "予定 " + std::to_string(row.notes.size()) + "件、休日 0件を追加しました。" + row.message)
            << row.what;
    }
}

TEST(IcalExport, TimedNotesAreTimedEventsInTheLocalZoneAndComeBackTheSame) {
    struct Row { TDateMemo memo; std::string event; };  // a note in UTF-8; the event's lines from DTSTART on
    const Row rows[] = {
        {{2026, 3, 10, "", "10:00 歯医者"},
         "DTSTART;TZID=Asia/Tokyo:20260310T100000\nDTEND;TZID=Asia/Tokyo:20260310T110000\nSUMMARY:歯医者\n"},
        {{2026, 3, 11, "～11:30\r\n場所：本社, 3F", "9:05 会議"},
         "DTSTART;TZID=Asia/Tokyo:20260311T090500\nDTEND;TZID=Asia/Tokyo:20260311T113000\nSUMMARY:会議\n"
         "X-SORVEL-CP932-SUMMARY:393A30352089EF8B63\nDESCRIPTION:～11:30\\n場所：本社\\, 3F\nLOCATION:本社\\, 3F\n"},
        {{2026, 12, 31, "", "23:30 年越し"},
         "DTSTART;TZID=Asia/Tokyo:20261231T233000\nDTEND;TZID=Asia/Tokyo:20270101T003000\nSUMMARY:年越し\n"},
        {{2026, 3, 12, "", "abc "},
         "DTSTART;VALUE=DATE:20260312\nDTEND;VALUE=DATE:20260313\nSUMMARY:abc \nX-SORVEL-CP932-SUMMARY:61626320\n"},
        {{2026, 3, 13, "", "24:00 z"}, "DTSTART;VALUE=DATE:20260313\nDTEND;VALUE=DATE:20260314\nSUMMARY:24:00 z\n"},
    };
    const IcalExportOptions o{"20261208T000000Z", 0, -1, 0, -1, "Asia/Tokyo"};
    const IcalImportOptions back{1, 9999, "Asia/Tokyo", {}};
    for (const Row& row : rows) {
        const TDateMemo memo{row.memo.year, row.memo.month, row.memo.day, sjis(row.memo.text), sjis(row.memo.caption)};
        const std::string file = exportIcal({&memo}, {}, o);
        const std::size_t from = file.find("DTSTART", file.find("BEGIN:VEVENT")), to = file.rfind("END:VEVENT");
        EXPECT_EQ(file.substr(from, to - from), crlf(row.event)) << row.memo.caption;
        const IcalImport im = importIcal(file, back);
        ASSERT_EQ(im.memos.size(), 1u) << row.memo.caption;
        EXPECT_EQ(std::pair(im.memos[0]->caption, im.memos[0]->text), std::pair(memo.caption, memo.text));
    }
    // The zone from the first year of a timed note on, under its plain name.
    const TDateMemo timed{2026, 3, 10, "", sjis("10:00 歯医者")};
    const std::string head = crlf(
        "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Sorvel//Sorvel 1.25a//JA\nCALSCALE:GREGORIAN\n"
        "BEGIN:VTIMEZONE\nTZID:Asia/Tokyo\nBEGIN:STANDARD\nTZNAME:JST\nTZOFFSETFROM:+0900\n"
        "TZOFFSETTO:+0900\nDTSTART:20260101T090000\nEND:STANDARD\nEND:VTIMEZONE\nBEGIN:VEVENT\n");
    EXPECT_EQ(exportIcal({&timed}, {}, o).substr(0, head.size()), head);
}

}  // namespace
}  // namespace sorvel
