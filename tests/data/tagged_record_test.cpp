#include <gtest/gtest.h>

#include "data/tagged_record.h"

using namespace sorvel;
using namespace std::string_literals;

namespace {

std::string valueField(int number, std::string_view text) {
    std::string out;
    WriteField(out, number, text, kTagValue);
    return out;
}

// Reads one value field from its opening marker to its closing marker.
std::optional<std::string> readValueField(std::string_view bytes, int expectedNumber) {
    TagStream in(bytes);
    int number = 0;
    std::string text;
    if (ReadTag(in, number, text, kTagOpen) != 1 || text != "S" || number != expectedNumber) return std::nullopt;
    std::string value;
    if (ReadTag(in, number, value, kTagValue) != 1) return std::nullopt;
    if (ReadTag(in, number, text, kTagClose) != 1 || number != expectedNumber) return std::nullopt;
    return value;
}

}  // namespace

TEST(TaggedRecord, ValueFieldsAreWrittenByteExact) {
    const std::string f1 = valueField(1, "2001");
    EXPECT_EQ(f1, "<+S01>\r\n<+DA>2001<-DA><-S01>\r\n");
    EXPECT_EQ(f1.size(), 30u);
    EXPECT_EQ(valueField(4, ""), "<+S04>\r\n<+DA><-DA><-S04>\r\n");
    EXPECT_EQ(valueField(5, "a<b"), "<+S05>\r\n<+DA>a\x1A" "b<-DA><-S05>\r\n");
    EXPECT_EQ(valueField(99, "x>\r\n<"), "<+S99>\r\n<+DA>x>\r\n\x1A<-DA><-S99>\r\n");
    // Shift-JIS passes unchanged, trail bytes 0x5C included.
    EXPECT_EQ(valueField(8, "\x83\x5C\x95\x5C"), "<+S08>\r\n<+DA>\x83\x5C\x95\x5C<-DA><-S08>\r\n");

    std::string out;
    WriteField(out, 7, "ignored", kTagOpen);
    EXPECT_EQ(out, "<+S07>\r\n");
    WriteField(out, 7, "ignored", kTagClose);
    EXPECT_EQ(out, "<+S07>\r\n<-S07>\r\n");
    out.clear();
    WriteBlockOpen(out, 3);
    WriteBlockClose(out, 3);
    EXPECT_EQ(out, "<+M03>\r\n<-M03>\r\n");
}

TEST(TaggedRecord, ValuesReadBack) {
    for (std::string_view v : {"a<b", "line1\r\nline2\r\n", "", "<<<", "a>b", "-1", "\x83\x5C\x88\xEA"})
        EXPECT_EQ(readValueField(valueField(12, v), 12), std::optional<std::string>(v)) << v;
    // A stored byte 26 can only mean "<".
    EXPECT_EQ(readValueField("<+S01>\r\n<+DA>\x1A\x1A<-DA><-S01>\r\n", 1), std::optional<std::string>("<<"));
    // Anything between markers is skipped: blank lines, spaces, a stray byte 0.
    EXPECT_EQ(readValueField("\r\n\r\n  \0x<+S02>\r\n\r\n<+DA>ok<-DA>junk\r\n\r\n<-S02>"s, 2),
              std::optional<std::string>("ok"));
}

TEST(TaggedRecord, ReadTagReportsWhatItFound) {
    int number = 42;
    std::string text;
    {
        TagStream in("<-M03>\r\n");
        EXPECT_EQ(ReadTag(in, number, text, kTagOpen), 0);
        EXPECT_EQ(text, "-");
        EXPECT_EQ(number, 42);
        EXPECT_EQ(in.pos(), 2u);  // only "<-" consumed
    }
    {
        TagStream in("<+S05>\r\n");
        EXPECT_EQ(ReadTag(in, number, text, kTagClose), 0);
        EXPECT_EQ(text, "+");
    }
    {
        TagStream in("<+M07>\r\n");
        EXPECT_EQ(ReadTag(in, number, text, kTagOpen), 1);
        EXPECT_EQ(text, "M");
        EXPECT_EQ(number, 7);
    }
    {
        // A value whose closing marker is not "<-" loses the value.
        TagStream in("<+DA>abc<+S01>");
        EXPECT_EQ(ReadTag(in, number, text, kTagValue), 0);
        EXPECT_EQ(text, "+");
        TagStream in2("<-DA>");
        EXPECT_EQ(ReadTag(in2, number, text, kTagValue), 0);
        EXPECT_EQ(text, "-");
    }
    {
        // The number bytes must be decimal digits.
        for (std::string_view bad : {"<+S0x>", "<+M 3>", "<+S-1>"}) {
            TagStream in(bad);
            number = 42;
            EXPECT_EQ(ReadTag(in, number, text, kTagOpen), 0) << bad;
            EXPECT_TRUE(in.badNumber) << bad;
            EXPECT_EQ(number, 42);
        }
        TagStream ok("<+S07>");
        EXPECT_EQ(ReadTag(ok, number, text, kTagOpen), 1);
        EXPECT_FALSE(ok.badNumber);
    }
}

TEST(TaggedRecord, EndOfDataStopsEveryMode) {
    const std::string full = "<+S01>\r\n<+DA>2001<-DA><-S01>\r\n";
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        for (int mode : {kTagValue, kTagOpen, kTagClose}) {
            TagStream in(std::string_view(full).substr(cut));
            int number = 0;
            std::string text = "stale";
            int reads = 0;
            // Every stream of a few bytes ends with a 0 and an empty text, never a loop.
            while (ReadTag(in, number, text, mode) == 1 || !text.empty()) ASSERT_LT(++reads, 40);
            EXPECT_TRUE(in.atEnd());
        }
    }
    TagStream empty("");
    int number = 0;
    std::string text = "stale";
    EXPECT_EQ(ReadTag(empty, number, text, kTagOpen), 0);
    EXPECT_EQ(text, "");
    TagStream cutValue("<+DA>abc");
    EXPECT_EQ(ReadTag(cutValue, number, text, kTagValue), 0);
    EXPECT_EQ(text, "");
}

TEST(TaggedRecord, NestedBlockInsideAField) {
    // Field 40 holding a display-arrangement-like block M05 with two fields.
    std::string out;
    WriteField(out, 40, "", kTagOpen);
    WriteBlockOpen(out, 5);
    WriteField(out, 1, "3", kTagValue);
    WriteField(out, 2, "12.5", kTagValue);
    WriteBlockClose(out, 5);
    WriteField(out, 40, "", kTagClose);
    WriteField(out, 41, "after", kTagValue);
    EXPECT_EQ(out,
              "<+S40>\r\n<+M05>\r\n<+S01>\r\n<+DA>3<-DA><-S01>\r\n<+S02>\r\n<+DA>12.5<-DA><-S02>\r\n"
              "<-M05>\r\n<-S40>\r\n<+S41>\r\n<+DA>after<-DA><-S41>\r\n");

    TagStream in(out);
    int number = 0;
    std::string text;
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    EXPECT_EQ(number, 40);
    ASSERT_EQ(ReadTag(in, number, text, kTagOpen), 1);
    EXPECT_EQ(text, "M");
    EXPECT_EQ(number, 5);
    std::int32_t first = 0;
    double second = 0;
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    ASSERT_EQ(number, 1);
    ASSERT_TRUE(ReadIntValue(in, first) && EndField(in));
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    ASSERT_EQ(number, 2);
    ASSERT_TRUE(ReadRealValue(in, second) && EndField(in));
    EXPECT_EQ(NextField(in, number), FieldStep::End);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 12.5);
    ASSERT_EQ(ReadTag(in, number, text, kTagClose), 1);  // the rest of "<-M05>" is skipped
    EXPECT_EQ(number, 40);
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    EXPECT_EQ(number, 41);
    ASSERT_TRUE(ReadValue(in, text));
    EXPECT_EQ(text, "after");
}

TEST(TaggedRecord, UnknownContentIsSkippedWhole) {
    // A field holding a block that nests another block; values hold bytes that look like markers.
    const std::string unknown =
        "<+S09>\r\n<+M07>\r\n<+S01>\r\n<+DA>-M07>\x1A-M07><-DA><-S01>\r\n<+S02>\r\n<+M08>\r\n"
        "<+S01>\r\n<+DA>x<-DA><-S01>\r\n<-M08>\r\n<-S02>\r\n<-M07>\r\n<-S09>\r\n";
    const std::string bytes = unknown + "<+S10>\r\n<+DA>v<-DA><-S10>\r\n";
    TagStream in(bytes);
    int number = 0;
    std::string text;
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    ASSERT_TRUE(SkipFieldContent(in));
    ASSERT_TRUE(EndField(in));
    ASSERT_EQ(NextField(in, number), FieldStep::Field);
    EXPECT_EQ(number, 10);
    ASSERT_TRUE(SkipFieldContent(in));
    ASSERT_TRUE(EndField(in));
    EXPECT_EQ(NextField(in, number), FieldStep::Broken);  // end of the data

    // A block cut before its end cannot be skipped.
    TagStream cut(std::string_view(unknown).substr(8, 60));
    ASSERT_EQ(ReadTag(cut, number, text, kTagOpen), 1);
    EXPECT_FALSE(SkipBlock(cut));

    // A value that is not a number fails its conversion.
    std::int32_t i = 5;
    double r = 5;
    TagStream notInt("<+DA>12x<-DA>");
    EXPECT_FALSE(ReadIntValue(notInt, i));
    TagStream notReal("<+DA>1,5<-DA>");
    EXPECT_FALSE(ReadRealValue(notReal, r));
    EXPECT_EQ(i, 5);
    EXPECT_EQ(r, 5);
}

TEST(TaggedRecord, IntAndBufferWritersWriteTheSameBytes) {
    // Each field by WriteIntField / WriteField and by the buffer writers.
    const struct {
        int number;
        std::int32_t value;
        const char* bytes;
    } ints[] = {
        {1, 0, "<+S01>\r\n<+DA>0<-DA><-S01>\r\n"},
        {7, -1, "<+S07>\r\n<+DA>-1<-DA><-S07>\r\n"},
        {10, 2147483647, "<+S10>\r\n<+DA>2147483647<-DA><-S10>\r\n"},
        {39, INT32_MIN, "<+S39>\r\n<+DA>-2147483648<-DA><-S39>\r\n"},
    };
    for (const auto& c : ints) {
        std::string out;
        WriteIntField(out, c.number, c.value);
        EXPECT_EQ(out, c.bytes) << c.value;
        std::string buffer(kValueFieldBytes + kIntValueBytes, '?');
        buffer.resize(static_cast<std::size_t>(PutIntField(buffer.data(), c.number, c.value) - buffer.data()));
        EXPECT_EQ(buffer, c.bytes) << c.value;
    }
    std::string record(2 * kMarkerBytes + kValueFieldBytes + 4, '?');
    char* p = PutBlockOpen(record.data(), 3);
    p = PutTextField(p, 4, "a<\x83\x5C");
    record.resize(static_cast<std::size_t>(PutBlockClose(p, 3) - record.data()));
    EXPECT_EQ(record, "<+M03>\r\n<+S04>\r\n<+DA>a\x1A\x83\x5C<-DA><-S04>\r\n<-M03>\r\n");
}

TEST(TaggedRecord, NumberReadersKeepOrTruncateAsTheyPromise) {
    const struct {
        const char* value;
        bool read;            // the markers were intact
        std::int32_t asInt;   // ReadIntOrKeep into 1000
        std::int32_t asByte;  // ReadLowByteOrKeep into an int of 1000
        int asSmallByte;      // ReadLowByteOrKeep into a byte of 7
    } cases[] = {
        {"<+DA>300<-DA>", true, 300, 44, 44},
        {"<+DA>-1<-DA>", true, -1, 255, 255},
        {"<+DA>12x<-DA>", true, 1000, 1000, 7},  // not a number: the member stays
        {"<+DA>12", false, 1000, 1000, 7},       // cut inside the value
    };
    for (const auto& c : cases) {
        std::int32_t i = 1000, b = 1000;
        std::uint8_t small = 7;
        TagStream a(c.value), d(c.value), e(c.value);
        EXPECT_EQ(ReadIntOrKeep(a, i), c.read) << c.value;
        EXPECT_EQ(ReadLowByteOrKeep(d, b), c.read) << c.value;
        EXPECT_EQ(ReadLowByteOrKeep(e, small), c.read) << c.value;
        EXPECT_EQ(i, c.asInt) << c.value;
        EXPECT_EQ(b, c.asByte) << c.value;
        EXPECT_EQ(small, c.asSmallByte) << c.value;
    }
    // The strict byte reader fails on a value that is not a number.
    std::uint8_t strict = 7;
    TagStream ok("<+DA>258<-DA>"), bad("<+DA>x<-DA>");
    EXPECT_TRUE(ReadByteValue(ok, strict));
    EXPECT_EQ(strict, 2);
    EXPECT_FALSE(ReadByteValue(bad, strict));
}

TEST(TaggedRecord, UnknownFieldFollowsTheRuleTheRecordStates) {
    // Field 9 is unknown: either rule reads field 2 after it and leaves the stream after the record.
    const std::string bytes = "<+S09>\r\n<+DA>x<-DA><-S09>\r\n<+S02>\r\n<+DA>4<-DA><-S02>\r\n<-M03>\r\n<+M04>\r\n";
    for (const auto& [rule, result] : {std::pair{UnknownField::Skip, true}, std::pair{UnknownField::Reject, false}}) {
        TagStream in(bytes);
        std::int32_t value = 0;
        const auto readField = [&](int n) {
            return n == 2 ? FieldReadOf(ReadIntValue(in, value)) : FieldRead::Unknown;
        };
        EXPECT_EQ(ReadFields(in, rule, readField), result);
        EXPECT_EQ(value, 4);
        int number = 0;
        std::string text;
        ASSERT_EQ(ReadTag(in, number, text, kTagOpen), 1);
        EXPECT_EQ(number, 4);
    }
}
