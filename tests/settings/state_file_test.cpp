// The state file: block M01 with the display position as nested M05 in field 40.
#include <gtest/gtest.h>

#include <string>

#include "data/tagged_record.h"
#include "platform/text.h"
#include "settings/calender_set.h"

namespace sorvel {
namespace {

// Every stored member of the appearance and the display position.
void expectSameStored(const TCalenderSet& a, const TCalenderSet& b) {
    EXPECT_EQ(a.IsWallPaper, b.IsWallPaper);
    EXPECT_EQ(a.TodayColoring, b.TodayColoring);
    EXPECT_EQ(a.NoDrawButton, b.NoDrawButton);
    EXPECT_EQ(a.NoDayDraw, b.NoDayDraw);
    EXPECT_EQ(a.MemoColoring, b.MemoColoring);
    EXPECT_EQ(a.HolidayColoring, b.HolidayColoring);
    EXPECT_EQ(a.DispPercent, b.DispPercent);
    EXPECT_EQ(a.DispYear, b.DispYear);
    EXPECT_EQ(a.DispMonth, b.DispMonth);
    EXPECT_EQ(a.DispDay, b.DispDay);
    EXPECT_EQ(a.FontCharSet, b.FontCharSet);
    EXPECT_EQ(a.MonthFontChar, b.MonthFontChar);
    EXPECT_EQ(a.YearFontChar, b.YearFontChar);
    EXPECT_EQ(a.DayShadow, b.DayShadow);
    EXPECT_EQ(a.MonthShadow, b.MonthShadow);
    EXPECT_EQ(a.YearShadow, b.YearShadow);
    EXPECT_EQ(a.FontName, b.FontName);
    EXPECT_EQ(a.YearFontName, b.YearFontName);
    EXPECT_EQ(a.MonthFontName, b.MonthFontName);
    EXPECT_EQ(a.WallPaperName, b.WallPaperName);
    EXPECT_EQ(a.NoDrawYear, b.NoDrawYear);
    EXPECT_EQ(a.NoDrawMonth, b.NoDrawMonth);
    EXPECT_EQ(a.NoDrawDay, b.NoDrawDay);
    EXPECT_EQ(a.MonthStyle, b.MonthStyle);
    EXPECT_EQ(a.DayStyle, b.DayStyle);
    for (int slot = 0; slot < 14; ++slot) EXPECT_EQ(a.Cl[slot], b.Cl[slot]) << "slot " << slot;
    EXPECT_EQ(a.dateSet.X, b.dateSet.X);
    EXPECT_EQ(a.dateSet.Y, b.dateSet.Y);
    EXPECT_EQ(a.dateSet.SX, b.dateSet.SX);
    EXPECT_EQ(a.dateSet.SY, b.dateSet.SY);
    EXPECT_EQ(a.dateSet.NumberOfMonth, b.dateSet.NumberOfMonth);
    EXPECT_EQ(a.dateSet.DrawStyle, b.dateSet.DrawStyle);
}

// Every stored member differs from the default set.
TCalenderSet changedSet() {
    TCalenderSet cs;
    cs.IsWallPaper = 1;
    cs.TodayColoring = 1;
    cs.NoDrawButton = 1;
    cs.NoDayDraw = 1;
    cs.MemoColoring = 0;
    cs.HolidayColoring = 0;
    cs.DispPercent = 12.5f;
    cs.DispYear = 2001;
    cs.DispMonth = 2;
    cs.DispDay = 29;
    cs.FontCharSet = 0;
    cs.MonthFontChar = 1;
    cs.YearFontChar = 2;
    cs.DayShadow = 0;
    cs.MonthShadow = 0;
    cs.YearShadow = 0;
    cs.FontName = "A<B";
    cs.YearFontName = "Year";
    cs.MonthFontName = "";
    cs.WallPaperName = "C:\\w.bmp";
    cs.NoDrawYear = 1;
    cs.NoDrawMonth = 1;
    cs.NoDrawDay = 1;
    cs.MonthStyle = 2;
    cs.DayStyle = 1;
    cs.Cl = {1, 2, 3, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 0};
    cs.dateSet.X = 10;
    cs.dateSet.Y = 20;
    cs.dateSet.SX = 30;
    cs.dateSet.SY = 40;
    cs.dateSet.NumberOfMonth = 12;
    cs.dateSet.DrawStyle = 3;
    return cs;
}

std::string field(const char* nn, const std::string& value) {
    return std::string("<+S") + nn + ">\r\n<+DA>" + value + "<-DA><-S" + nn + ">\r\n";
}

// Reads a whole state file into cs; the result of ReadM01.
int parse(const std::string& bytes, TCalenderSet& cs) { return parseStateFile(bytes, cs); }

TEST(StateFile, DefaultSetIsWrittenByteExact) {
    const std::string expected =
        "<+M01>\r\n"
        "<+S01>\r\n<+DA>0<-DA><-S01>\r\n"
        "<+S02>\r\n<+DA>0<-DA><-S02>\r\n"
        "<+S03>\r\n<+DA>0<-DA><-S03>\r\n"
        "<+S04>\r\n<+DA>0<-DA><-S04>\r\n"
        "<+S05>\r\n<+DA>1<-DA><-S05>\r\n"
        "<+S06>\r\n<+DA>1<-DA><-S06>\r\n"
        "<+S07>\r\n<+DA>100<-DA><-S07>\r\n"
        "<+S08>\r\n<+DA>-1<-DA><-S08>\r\n"
        "<+S09>\r\n<+DA>-1<-DA><-S09>\r\n"
        "<+S10>\r\n<+DA>-1<-DA><-S10>\r\n"
        "<+S11>\r\n<+DA>128<-DA><-S11>\r\n"
        "<+S12>\r\n<+DA>128<-DA><-S12>\r\n"
        "<+S13>\r\n<+DA>128<-DA><-S13>\r\n"
        "<+S14>\r\n<+DA>1<-DA><-S14>\r\n"
        "<+S15>\r\n<+DA>1<-DA><-S15>\r\n"
        "<+S16>\r\n<+DA>1<-DA><-S16>\r\n"
        "<+S17>\r\n<+DA>\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e<-DA><-S17>\r\n"
        "<+S18>\r\n<+DA>\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e<-DA><-S18>\r\n"
        "<+S19>\r\n<+DA>\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e<-DA><-S19>\r\n"
        "<+S20>\r\n<+DA><-DA><-S20>\r\n"
        "<+S21>\r\n<+DA>0<-DA><-S21>\r\n"
        "<+S22>\r\n<+DA>0<-DA><-S22>\r\n"
        "<+S23>\r\n<+DA>0<-DA><-S23>\r\n"
        "<+S24>\r\n<+DA>0<-DA><-S24>\r\n"
        "<+S25>\r\n<+DA>0<-DA><-S25>\r\n"
        "<+S26>\r\n<+DA>2<-DA><-S26>\r\n"
        "<+S27>\r\n<+DA>8<-DA><-S27>\r\n"
        "<+S28>\r\n<+DA>6<-DA><-S28>\r\n"
        "<+S29>\r\n<+DA>4<-DA><-S29>\r\n"
        "<+S30>\r\n<+DA>2<-DA><-S30>\r\n"
        "<+S31>\r\n<+DA>3<-DA><-S31>\r\n"
        "<+S32>\r\n<+DA>0<-DA><-S32>\r\n"
        "<+S33>\r\n<+DA>0<-DA><-S33>\r\n"
        "<+S34>\r\n<+DA>0<-DA><-S34>\r\n"
        "<+S35>\r\n<+DA>0<-DA><-S35>\r\n"
        "<+S36>\r\n<+DA>0<-DA><-S36>\r\n"
        "<+S37>\r\n<+DA>0<-DA><-S37>\r\n"
        "<+S38>\r\n<+DA>0<-DA><-S38>\r\n"
        "<+S39>\r\n<+DA>7<-DA><-S39>\r\n"
        "<+S40>\r\n"
        "<+M05>\r\n"
        "<+S01>\r\n<+DA>0<-DA><-S01>\r\n"
        "<+S02>\r\n<+DA>0<-DA><-S02>\r\n"
        "<+S03>\r\n<+DA>100<-DA><-S03>\r\n"
        "<+S04>\r\n<+DA>100<-DA><-S04>\r\n"
        "<+S05>\r\n<+DA>0<-DA><-S05>\r\n"
        "<+S06>\r\n<+DA>0<-DA><-S06>\r\n"
        "<+S07>\r\n<+DA>1<-DA><-S07>\r\n"
        "<+S08>\r\n<+DA>1<-DA><-S08>\r\n"
        "<-M05>\r\n"
        "<-S40>\r\n"
        "<-M01>\r\n";
    TCalenderSet cs;
    EXPECT_EQ(buildStateFile(cs), expected);

    // Reading it into a set that differs everywhere gives back the default set, and writing
    // that again gives the same bytes.
    TCalenderSet back = changedSet();
    ASSERT_EQ(parse(expected, back), 1);
    expectSameStored(back, cs);
    EXPECT_EQ(buildStateFile(back), expected);
}

TEST(StateFile, ChangedSetIsWrittenByteExact) {
    const std::string expected =
        "<+M01>\r\n"
        "<+S01>\r\n<+DA>1<-DA><-S01>\r\n"
        "<+S02>\r\n<+DA>1<-DA><-S02>\r\n"
        "<+S03>\r\n<+DA>1<-DA><-S03>\r\n"
        "<+S04>\r\n<+DA>1<-DA><-S04>\r\n"
        "<+S05>\r\n<+DA>0<-DA><-S05>\r\n"
        "<+S06>\r\n<+DA>0<-DA><-S06>\r\n"
        "<+S07>\r\n<+DA>12.5<-DA><-S07>\r\n"
        "<+S08>\r\n<+DA>2001<-DA><-S08>\r\n"
        "<+S09>\r\n<+DA>2<-DA><-S09>\r\n"
        "<+S10>\r\n<+DA>29<-DA><-S10>\r\n"
        "<+S11>\r\n<+DA>0<-DA><-S11>\r\n"
        "<+S12>\r\n<+DA>1<-DA><-S12>\r\n"
        "<+S13>\r\n<+DA>2<-DA><-S13>\r\n"
        "<+S14>\r\n<+DA>0<-DA><-S14>\r\n"
        "<+S15>\r\n<+DA>0<-DA><-S15>\r\n"
        "<+S16>\r\n<+DA>0<-DA><-S16>\r\n"
        "<+S17>\r\n<+DA>A\x1a" "B<-DA><-S17>\r\n"
        "<+S18>\r\n<+DA>Year<-DA><-S18>\r\n"
        "<+S19>\r\n<+DA><-DA><-S19>\r\n"
        "<+S20>\r\n<+DA>C:\\w.bmp<-DA><-S20>\r\n"
        "<+S21>\r\n<+DA>1<-DA><-S21>\r\n"
        "<+S22>\r\n<+DA>1<-DA><-S22>\r\n"
        "<+S23>\r\n<+DA>1<-DA><-S23>\r\n"
        "<+S24>\r\n<+DA>2<-DA><-S24>\r\n"
        "<+S25>\r\n<+DA>1<-DA><-S25>\r\n"
        "<+S26>\r\n<+DA>1<-DA><-S26>\r\n"
        "<+S27>\r\n<+DA>2<-DA><-S27>\r\n"
        "<+S28>\r\n<+DA>3<-DA><-S28>\r\n"
        "<+S29>\r\n<+DA>5<-DA><-S29>\r\n"
        "<+S30>\r\n<+DA>6<-DA><-S30>\r\n"
        "<+S31>\r\n<+DA>7<-DA><-S31>\r\n"
        "<+S32>\r\n<+DA>8<-DA><-S32>\r\n"
        "<+S33>\r\n<+DA>9<-DA><-S33>\r\n"
        "<+S34>\r\n<+DA>1<-DA><-S34>\r\n"
        "<+S35>\r\n<+DA>2<-DA><-S35>\r\n"
        "<+S36>\r\n<+DA>3<-DA><-S36>\r\n"
        "<+S37>\r\n<+DA>4<-DA><-S37>\r\n"
        "<+S38>\r\n<+DA>5<-DA><-S38>\r\n"
        "<+S39>\r\n<+DA>6<-DA><-S39>\r\n"
        "<+S40>\r\n"
        "<+M05>\r\n"
        "<+S01>\r\n<+DA>10<-DA><-S01>\r\n"
        "<+S02>\r\n<+DA>20<-DA><-S02>\r\n"
        "<+S03>\r\n<+DA>30<-DA><-S03>\r\n"
        "<+S04>\r\n<+DA>40<-DA><-S04>\r\n"
        "<+S05>\r\n<+DA>0<-DA><-S05>\r\n"
        "<+S06>\r\n<+DA>0<-DA><-S06>\r\n"
        "<+S07>\r\n<+DA>12<-DA><-S07>\r\n"
        "<+S08>\r\n<+DA>3<-DA><-S08>\r\n"
        "<-M05>\r\n"
        "<-S40>\r\n"
        "<-M01>\r\n";
    EXPECT_EQ(buildStateFile(changedSet()), expected);
}

TEST(StateFile, EveryFieldRoundTrips) {
    const TCalenderSet written = changedSet();
    TCalenderSet read;
    ASSERT_EQ(parse(buildStateFile(written), read), 1);
    expectSameStored(read, written);
    EXPECT_EQ(read.FontName, "A<B");                // "<" went through byte 26

    // The display position's unused fields 5 and 6 are read over, whatever they hold.
    std::string bytes = buildStateFile(written);
    const std::string unused = field("05", "0") + field("06", "0");
    const std::size_t at = bytes.find(unused, bytes.find("<+M05>"));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, unused.size(), field("05", "7") + field("06", "-3"));
    TCalenderSet again;
    ASSERT_EQ(parse(bytes, again), 1);
    expectSameStored(again, written);
}

TEST(StateFile, ZoomIsWrittenInItsShortestForm) {
    const struct {
        float zoom;
        const char* text;
    } cases[] = {{12.5f, "12.5"}, {-1.0f, "-1"}, {0.25f, "0.25"}, {400.0f, "400"}};
    for (const auto& c : cases) {
        TCalenderSet cs;
        cs.DispPercent = c.zoom;
        const std::string bytes = buildStateFile(cs);
        EXPECT_NE(bytes.find(field("07", c.text)), std::string::npos) << c.text;
        TCalenderSet back;
        ASSERT_EQ(parse(bytes, back), 1);
        EXPECT_EQ(back.DispPercent, c.zoom);
    }
}

TEST(StateFile, FaceNamesKeepTheirBytes) {
    TCalenderSet cs;
    cs.FontName = "<<a<";
    cs.YearFontName = sjis("ＭＳ 明朝") + "<\r\n";  // a line break in a value is kept too
    cs.WallPaperName = sjis("壁紙\\表.bmp");        // 0x5C trail byte
    TCalenderSet back;
    back.FontName = back.YearFontName = back.WallPaperName = "old";
    ASSERT_EQ(parse(buildStateFile(cs), back), 1);
    EXPECT_EQ(back.FontName, cs.FontName);
    EXPECT_EQ(back.YearFontName, cs.YearFontName);
    EXPECT_EQ(back.WallPaperName, cs.WallPaperName);
}

// Fields may come in any order and may be missing; numbers keep their low 8 bits in bytes and
// colour slots; a value that is not a number leaves its member alone.
TEST(StateFile, ReaderTakesWhatIsThereInAnyOrder) {
    const std::string bytes = "<+M01>\r\n" + field("39", "9") + field("17", "X") +
                              "<+S40>\r\n<+M05>\r\n" + field("08", "2") + field("07", "abc") +
                              field("03", "55") + "<-M05>\r\n<-S40>\r\n" + field("06", "0") +
                              field("01", "257") + field("26", "258") + field("08", "abc") +
                              field("07", "x") + field("09", "11") + "\r\n\r\n<-M01>\r\n";
    TCalenderSet cs;
    cs.MemoColoring = 0;  // field 5 is missing: stays as it was
    cs.DispYear = 1999;
    cs.dateSet.NumberOfMonth = 6;
    ASSERT_EQ(parse(bytes, cs), 1);
    EXPECT_EQ(cs.MemoColoring, 0);
    EXPECT_EQ(cs.HolidayColoring, 0);
    EXPECT_EQ(cs.IsWallPaper, 1);
    EXPECT_EQ(cs.Cl[0], 2);
    EXPECT_EQ(cs.Cl[13], 9);
    EXPECT_EQ(cs.Cl[1], 8);  // untouched default
    EXPECT_EQ(cs.FontName, "X");
    EXPECT_EQ(cs.DispYear, 1999);
    EXPECT_EQ(cs.DispMonth, 11);
    EXPECT_EQ(cs.DispPercent, 100.0f);
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 6);
    EXPECT_EQ(cs.dateSet.SX, 55);
    EXPECT_EQ(cs.dateSet.DrawStyle, 2);
}

TEST(StateFile, MissingFieldFiveKeepsMemoColouring) {
    std::string bytes = buildStateFile(changedSet());
    const std::string five = field("05", "0");
    ASSERT_NE(bytes.find(five), std::string::npos);
    bytes.erase(bytes.find(five), five.size());
    TCalenderSet cs;  // MemoColoring 1; the file would say 0
    ASSERT_EQ(parse(bytes, cs), 1);
    EXPECT_EQ(cs.MemoColoring, 1);
    EXPECT_EQ(cs.HolidayColoring, 0);
    EXPECT_EQ(cs.DispYear, 2001);
    EXPECT_EQ(cs.dateSet.DrawStyle, 3);
}

// Damaged state files: each makes the read fail, so the start applies the default set.
struct Damaged {
    const char* name;
    std::string bytes;
};

TEST(StateFile, DamagedFilesFail) {
    const std::string good = buildStateFile(TCalenderSet{});
    const std::string beforeClose = good.substr(0, good.rfind("<-M01>"));
    const Damaged table[] = {
        {"empty", ""},
        {"field 41", "<+M01>\r\n" + field("41", "1") + "<-M01>\r\n"},
        {"field 00", "<+M01>\r\n" + field("00", "1") + "<-M01>\r\n"},
        {"field 41 between good fields", "<+M01>\r\n" + field("01", "1") + field("41", "1") + field("02", "1") + "<-M01>\r\n"},
        {"ends before the closing marker", beforeClose},
        {"ends inside M05", good.substr(0, good.find("<-M05>"))},
        {"ends inside a value", good.substr(0, good.find("<-DA><-S07>"))},
        {"ends after a field opening marker", good.substr(0, good.find("<+DA>100"))},
        {"field number not decimal", "<+M01>\r\n" + field("x1", "1") + "<-M01>\r\n"},
        {"value without its closing", "<+M01>\r\n<+S01>\r\n<+DA>1<+S02>\r\n<-M01>\r\n"},
    };
    for (const auto& d : table) {
        TCalenderSet cs;
        EXPECT_EQ(parse(d.bytes, cs), 0) << d.name;
    }
}

TEST(StateFile, UnknownM01FieldIsReadToTheEndOfTheBlock) {
    // The reader refuses the block but leaves the stream after it, so what follows is still found.
    const std::string bytes = "<+M01>\r\n" + field("41", "1") + field("02", "1") + "<-M01>\r\n<+M07>\r\n";
    TagStream in(bytes);
    int number = 0;
    std::string text;
    ASSERT_EQ(ReadTag(in, number, text, kTagOpen), 1);
    TCalenderSet cs;
    EXPECT_EQ(ReadM01(in, cs), 0);
    ASSERT_EQ(ReadTag(in, number, text, kTagOpen), 1);
    EXPECT_EQ(text, "M");
    EXPECT_EQ(number, 7);
}

TEST(StateFile, UnknownM05FieldIsSkipped) {
    const std::string m05 = "<+M05>\r\n" + field("09", "77") + field("07", "4") + field("99", "") + "<-M05>\r\n";
    const std::string bytes = "<+M01>\r\n<+S40>\r\n" + m05 + "<-S40>\r\n" + field("24", "1") + "<-M01>\r\n";
    TCalenderSet cs;
    ASSERT_EQ(parse(bytes, cs), 1);
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 4);
    EXPECT_EQ(cs.MonthStyle, 1);

    TagStream in(m05);
    int number = 0;
    std::string text;
    ASSERT_EQ(ReadTag(in, number, text, kTagOpen), 1);
    TDateSet ds;
    EXPECT_EQ(ReadM05(in, ds), 1);
    EXPECT_EQ(ds.NumberOfMonth, 4);
}

}  // namespace
}  // namespace sorvel
