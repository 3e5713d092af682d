#include <gtest/gtest.h>

#include <climits>

#include "data/data_file.h"
#include "platform/text.h"

using namespace sorvel;
using namespace std::string_literals;

namespace {

std::unique_ptr<TDateMemo> memo(int y, int m, int d, std::string text, std::string caption) {
    return std::make_unique<TDateMemo>(TDateMemo{y, m, d, std::move(text), std::move(caption)});
}

std::unique_ptr<THolidaySet> rule(int off, int kind, int month, int day, int row, int wd, int ord, std::string name) {
    return std::make_unique<THolidaySet>(THolidaySet{static_cast<std::uint8_t>(off), static_cast<std::uint8_t>(kind),
                                                     month, day, row, wd, ord, std::move(name)});
}

// One line per record, so failures show which member differs.
std::vector<std::string> describe(const TDateMemoList& memos) {
    std::vector<std::string> out;
    for (const auto& m : memos)
        out.push_back(std::to_string(m->year) + "-" + std::to_string(m->month) + "-" + std::to_string(m->day) + "|" +
                      m->text + "|" + m->caption);
    return out;
}
std::vector<std::string> describe(const THolidayList& rules) {
    std::vector<std::string> out;
    for (const auto& r : rules)
        out.push_back(std::to_string(r->dayOffKind) + "," + std::to_string(r->ruleKind) + "," +
                      std::to_string(r->month) + "," + std::to_string(r->day) + "," + std::to_string(r->weekRow) +
                      "," + std::to_string(r->weekday) + "," + std::to_string(r->ordinal) + "|" + r->name);
    return out;
}

struct Lists {
    THolidayList rules;
    TDateMemoList memos;
    DataFileParse parse(std::string_view bytes) { return parseDataFile(bytes, rules, memos); }
};

// The older binary form, written field by field.
struct Binary {
    std::string bytes = "Sorvel\x01"s;
    Binary& i32(std::int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    Binary& chunk(std::int32_t tag, std::string_view data) {
        i32(tag).i32(static_cast<std::int32_t>(data.size()));
        bytes += data;
        return *this;
    }
    Binary& intChunk(std::int32_t tag, std::int32_t v) {
        i32(tag).i32(4);
        return i32(v);
    }
    Binary& end(std::int32_t length = 0) { return i32(0).i32(length); }
};

const std::string kOneNoteOneRule =
    "<+Sorvel>\0"
    "<+M03>\r\n"
    "<+S01>\r\n<+DA>2001<-DA><-S01>\r\n"
    "<+S02>\r\n<+DA>12<-DA><-S02>\r\n"
    "<+S03>\r\n<+DA>5<-DA><-S03>\r\n"
    "<+S04>\r\n<+DA>a\r\nb<-DA><-S04>\r\n"
    "<+S05>\r\n<+DA>\x97\x5C\x92\xE8\x1A" "1><-DA><-S05>\r\n"
    "<-M03>\r\n"
    "<+M04>\r\n"
    "<+S01>\r\n<+DA>1<-DA><-S01>\r\n"
    "<+S02>\r\n<+DA>1<-DA><-S02>\r\n"
    "<+S03>\r\n<+DA>1<-DA><-S03>\r\n"
    "<+S04>\r\n<+DA>8<-DA><-S04>\r\n"
    "<+S05>\r\n<+DA>2<-DA><-S05>\r\n"
    "<+S06>\r\n<+DA>1<-DA><-S06>\r\n"
    "<+S07>\r\n<+DA>2<-DA><-S07>\r\n"
    "<+S08>\r\n<+DA>\x90\xAC\x90\x6C\x82\xCC\x93\xFA<-DA><-S08>\r\n"
    "<-M04>\r\n"
    "<-Sorvel>\0"s;

}  // namespace

TEST(DataFile, WritesTheTaggedFormByteExact) {
    TDateMemoList memos;
    THolidayList rules;
    memos.push_back(memo(2001, 12, 5, "a\r\nb", sjis("予定<1>")));
    rules.push_back(rule(1, 1, 1, 8, 2, 1, 2, sjis("成人の日")));
    EXPECT_EQ(buildDataFile(memos, rules), kOneNoteOneRule);

    Lists in;
    DataFileParse p = in.parse(kOneNoteOneRule);
    EXPECT_EQ(p.form, DataFileForm::Tagged);
    EXPECT_TRUE(p.complete);
    EXPECT_EQ(describe(in.memos), describe(memos));
    EXPECT_EQ(describe(in.rules), describe(rules));

    TDateMemoList noMemos;
    THolidayList noRules;
    EXPECT_EQ(buildDataFile(noMemos, noRules), "<+Sorvel>\0<-Sorvel>\0"s);
}

TEST(DataFile, NotesAreWrittenInDateOrder) {
    TDateMemoList memos;
    THolidayList rules;
    memos.push_back(memo(2001, 12, 5, "", "a"));
    memos.push_back(memo(2001, 1, 20, "", "b"));
    memos.push_back(nullptr);  // an empty slot left by a removal
    memos.push_back(memo(2000, 6, 1, "", "c"));
    memos.push_back(memo(2001, 1, 20, "", "d"));
    memos.push_back(memo(2000, 6, 1, "", "e"));
    memos.push_back(memo(2000, 12, 1, "", "f"));  // month before day: 2000-12-01 after 2000-06-01
    rules.push_back(rule(0, 0, 5, 5, 0, 0, 0, "r2"));
    rules.push_back(nullptr);
    rules.push_back(rule(0, 0, 1, 1, 0, 0, 0, "r1"));  // rules keep their order
    const std::string bytes = buildDataFile(memos, rules);
    const std::vector<std::string> sorted = {"2000-6-1||c", "2000-6-1||e", "2000-12-1||f",
                                             "2001-1-20||b", "2001-1-20||d", "2001-12-5||a"};
    EXPECT_EQ(describe(memos), sorted);  // the sorted order stays in memory
    Lists in;
    in.parse(bytes);
    EXPECT_EQ(describe(in.memos), sorted);
    EXPECT_EQ(describe(in.rules), (std::vector<std::string>{"0,0,5,5,0,0,0|r2", "0,0,1,1,0,0,0|r1"}));
}

TEST(DataFile, EveryFieldRoundTrips) {
    TDateMemoList memos;
    THolidayList rules;
    memos.push_back(memo(INT_MIN, -1, INT_MAX, "<+DA>x<-DA>\r\n<-M03>\r\n"s + "\0nul"s + sjis("ソ表\\~"),
                         "<-Sorvel>\0"s));
    memos.push_back(memo(0, 0, 0, "", ""));
    // Rule kind 1 keeps month, day and week row besides weekday and ordinal.
    rules.push_back(rule(2, 1, 11, 23, 4, 4, 3, sjis("勤労感謝の日<")));
    rules.push_back(rule(255, 0, -7, 31, 6, 6, 5, ""));
    const std::string bytes = buildDataFile(memos, rules);
    Lists in;
    DataFileParse p = in.parse(bytes);
    EXPECT_TRUE(p.complete);
    EXPECT_EQ(describe(in.memos), describe(memos));
    EXPECT_EQ(describe(in.rules), describe(rules));
    EXPECT_EQ(buildDataFile(in.memos, in.rules), bytes);

    // Byte members keep the low 8 bits of what is stored.
    Lists bytesIn;
    bytesIn.parse("<+Sorvel>\0<+M04>\r\n<+S01>\r\n<+DA>258<-DA><-S01>\r\n<+S02>\r\n<+DA>-1<-DA><-S02>\r\n"
                  "<-M04>\r\n<-Sorvel>\0"s);
    EXPECT_EQ(describe(bytesIn.rules), (std::vector<std::string>{"2,255,0,0,0,0,0|"}));
}

TEST(DataFile, UnknownFieldsAndBlocksArePassedOver) {
    const std::string bytes =
        "<+Sorvel>\0"
        "<+M04>\r\n"
        "<+S03>\r\n<+DA>5<-DA><-S03>\r\n"
        "<+S09>\r\n<+DA>value from a later version<-DA><-S09>\r\n"
        "<+S10>\r\n<+M05>\r\n<+S01>\r\n<+DA>1<-DA><-S01>\r\n<-M05>\r\n<-S10>\r\n"
        "<+S08>\r\n<+DA>name<-DA><-S08>\r\n"
        "<-M04>\r\n"
        // A whole block of another kind, whose fields and nested blocks look like notes and rules.
        "<+M07>\r\n"
        "<+S03>\r\n<+M03>\r\n<+S01>\r\n<+DA>1999<-DA><-S01>\r\n<-M03>\r\n<-S03>\r\n"
        "<+S04>\r\n<+DA>4<-DA><-S04>\r\n"
        "<-M07>\r\n"
        "<+M03>\r\n<+S06>\r\n<+DA>x<-DA><-S06>\r\n<+S01>\r\n<+DA>2002<-DA><-S01>\r\n<-M03>\r\n"
        "<-Sorvel>\0"s;
    Lists in;
    DataFileParse p = in.parse(bytes);
    EXPECT_TRUE(p.complete);
    EXPECT_EQ(describe(in.rules), (std::vector<std::string>{"0,0,5,0,0,0,0|name"}));
    EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"2002-0-0||"}));
}

TEST(DataFile, DamagedTaggedFileKeepsEveryIntactRecord) {
    const std::string good = "<+M03>\r\n<+S01>\r\n<+DA>2001<-DA><-S01>\r\n<-M03>\r\n";
    const std::string head = "<+Sorvel>\0"s + good;
    for (const std::string& damage : {"<+Mx3>\r\n"s, "<+M03>\r\n<+S0?>\r\n"s,
                                      "<+M03>\r\n<+S01>\r\n<+DA>20O1<-DA><-S01>\r\n<-M03>\r\n"s,
                                      "<+M04>\r\n<+S07>\r\n<+DA>2<-DA><+S08>\r\n"s, "<+DA>x<-DA>"s}) {
        Lists in;
        DataFileParse p = in.parse(head + damage + good + "<-Sorvel>\0"s);
        EXPECT_EQ(p.form, DataFileForm::Tagged) << damage;
        EXPECT_FALSE(p.complete) << damage;
        EXPECT_EQ(p.damageAt, head.size()) << damage;
        // The reader goes on after the damaged block: the good note behind it is kept too.
        EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"2001-0-0||", "2001-0-0||"})) << damage;
        EXPECT_TRUE(in.rules.empty()) << damage;
        EXPECT_EQ(p.damagedBlocks, 1u) << damage;
    }
}

TEST(DataFile, TruncationAtEveryByteKeepsOnlyCompleteRecords) {
    TDateMemoList memos;
    THolidayList rules;
    memos.push_back(memo(2001, 1, 20, sjis("朝\r\n会議"), "a<b"));
    memos.push_back(memo(2001, 2, 3, "", sjis("節分")));
    rules.push_back(rule(1, 0, 2, 11, 2, 0, 0, sjis("建国記念の日")));
    const std::string full = buildDataFile(memos, rules);
    const std::vector<std::string> allMemos = describe(memos), allRules = describe(rules);
    // A record counts once the "<-" of its closing marker has been read.
    std::vector<std::size_t> memoEnds, ruleEnds;
    for (std::size_t at = full.find("<-M03>"); at != std::string::npos; at = full.find("<-M03>", at + 1))
        memoEnds.push_back(at + 2);
    for (std::size_t at = full.find("<-M04>"); at != std::string::npos; at = full.find("<-M04>", at + 1))
        ruleEnds.push_back(at + 2);
    const std::size_t fileEnd = full.rfind("<-Sorvel>") + 2;

    for (std::size_t n = 0; n < full.size(); ++n) {
        SCOPED_TRACE(n);
        Lists in;
        in.memos.push_back(memo(1, 1, 1, "", "before"));
        DataFileParse p = in.parse(std::string_view(full).substr(0, n));
        if (n < 9) {
            EXPECT_EQ(p.form, DataFileForm::None);
            EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"1-1-1||before"}));
            continue;
        }
        EXPECT_EQ(p.form, DataFileForm::Tagged);
        EXPECT_EQ(p.complete, n >= fileEnd);
        std::size_t m = 0, r = 0;
        while (m < memoEnds.size() && memoEnds[m] <= n) ++m;
        while (r < ruleEnds.size() && ruleEnds[r] <= n) ++r;
        EXPECT_EQ(describe(in.memos), std::vector<std::string>(allMemos.begin(), allMemos.begin() + m));
        EXPECT_EQ(describe(in.rules), std::vector<std::string>(allRules.begin(), allRules.begin() + r));
    }
}

TEST(DataFile, NeitherFormLeavesTheListsAlone) {
    for (const std::string& bytes : {""s, "hello world\r\n"s, "Sorve"s, "sorvel\x01"s, "<+Sorve"s, "<+sorvel>\0"s,
                                     "\0Sorvel\x01"s, "[Sorvel]\r\nLeft=1\r\n"s}) {
        Lists in;
        in.memos.push_back(memo(2001, 1, 1, "t", "c"));
        in.rules.push_back(rule(1, 0, 1, 1, 0, 0, 0, "n"));
        DataFileParse p = in.parse(bytes);
        EXPECT_EQ(p.form, DataFileForm::None);
        EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"2001-1-1|t|c"}));
        EXPECT_EQ(describe(in.rules), (std::vector<std::string>{"1,0,1,1,0,0,0|n"}));
    }
}

TEST(DataFile, OlderBinaryFormLoadsAndIsRewrittenTagged) {
    Binary b;
    b.i32(1).intChunk(0x1001, 2001).intChunk(0x1002, 12).intChunk(0x1003, 5);
    b.chunk(0x1004, "a\r\nb").chunk(0x1005, sjis("予定<1>") + "\0old bytes"s).end();
    // A rule whose first chunk has tag 0 (ignored), an unknown chunk, and an end header with a length.
    b.i32(2).chunk(0, "xy").chunk(0x1001, "\x01").chunk(0x1002, "\x01");
    b.intChunk(0x1003, 1).intChunk(0x1004, 8).intChunk(0x1005, 2).intChunk(0x1006, 1).intChunk(0x1007, 2);
    b.chunk(0x2222, "skipped").chunk(0x1008, sjis("成人の日")).end(5);
    // An unknown record type is passed over chunk by chunk.
    b.i32(7).intChunk(0x1001, 1999).chunk(0x1004, "not a note").end();
    b.i32(1).intChunk(0x1001, 2000).chunk(0x1004, "").end();
    b.bytes += "\x01\x02\x03";  // fewer than 4 bytes: no further record
    Lists in;
    DataFileParse p = in.parse(b.bytes);
    EXPECT_EQ(p.form, DataFileForm::Binary);
    EXPECT_TRUE(p.complete);
    EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"2001-12-5|a\r\nb|" + sjis("予定<1>"), "2000-0-0||"}));
    EXPECT_EQ(describe(in.rules), (std::vector<std::string>{"1,1,1,8,2,1,2|" + sjis("成人の日")}));

    in.memos.pop_back();
    EXPECT_EQ(buildDataFile(in.memos, in.rules), kOneNoteOneRule);
}

TEST(DataFile, DamagedBinaryChunks) {
    // Chunks whose length is not the member's width are skipped, and reading stays in step.
    Binary widths;
    widths.i32(1).chunk(0x1001, "\xD1\x07").intChunk(0x1002, 3).chunk(0x1003, "\x05\0\0\0\0\0\0\0"s).end();
    widths.i32(2).chunk(0x1001, "\x02\0\0\0"s).chunk(0x1002, ""s).intChunk(0x1003, 9).end();
    Lists in;
    EXPECT_TRUE(in.parse(widths.bytes).complete);
    EXPECT_EQ(describe(in.memos), (std::vector<std::string>{"0-3-0||"}));
    EXPECT_EQ(describe(in.rules), (std::vector<std::string>{"0,0,9,0,0,0,0|"}));

    // Lengths that no file can hold end the load; the records before stay.
    for (std::int32_t length : {INT_MAX, -1, INT_MIN}) {
        Binary b;
        b.i32(1).intChunk(0x1001, 2001).end();
        b.i32(2).intChunk(0x1003, 4).i32(0x1008).i32(length).bytes += "name";
        Lists damaged;
        DataFileParse p = damaged.parse(b.bytes);
        EXPECT_EQ(p.form, DataFileForm::Binary);
        EXPECT_FALSE(p.complete);
        EXPECT_EQ(describe(damaged.memos), (std::vector<std::string>{"2001-0-0||"}));
        EXPECT_TRUE(damaged.rules.empty());
    }

    // Cut anywhere: a record counts once its end marker is whole, and the records before a cut
    // stay. By hand: 7 bytes "Sorvel\x01", the note's type 4, year chunk 12, caption chunk 8 + 3,
    // end marker 8: the note is whole at 42; the rule's type 4, name chunk 8 + 1, end marker 8: 63.
    Binary whole;
    whole.i32(1).intChunk(0x1001, 2001).chunk(0x1005, "cap").end().i32(2).chunk(0x1008, "n").end();
    ASSERT_EQ(whole.bytes.size(), 63u);
    for (std::size_t n = 0; n <= whole.bytes.size(); ++n) {
        SCOPED_TRACE(n);
        Lists cut;
        cut.parse(std::string_view(whole.bytes).substr(0, n));
        EXPECT_EQ(describe(cut.memos), n >= 42 ? std::vector<std::string>{"2001-0-0||cap"} : std::vector<std::string>{});
        EXPECT_EQ(describe(cut.rules), n >= 63 ? std::vector<std::string>{"0,0,0,0,0,0,0|n"} : std::vector<std::string>{});
    }
}
