// The start's appearance load: the state file, or the ini keys of files before version 1.2.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include <QDir>
#include <QTemporaryDir>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

namespace sorvel {
namespace {

// "MS Pゴシック", the face the older files fall back to.
const std::string kOlderFace = "MS P\x83\x53\x83\x56\x83\x62\x83\x4e";

const char* const kOlderIni =
    "[SorvelSetting]\r\n"
    "Version=1.01\r\n"
    "IsWallPaper=1\r\nTodayColoring=1\r\nNoDrawButton=1\r\n"
    "AdSorption=1\r\nLengthAdsorp=30\r\nAllwaysOnTop=1\r\n"
    "NoDayDraw=1\r\nMemoColoring=0\r\nHolidayColoring=0\r\n"
    "DispPercent=150\r\nDispYear=2000\r\nDispMonth=12\r\nDispDay=31\r\n"
    "Top=-3\r\nLeft=77\r\nHeight=300\r\nWidth=400\r\n"
    "FontCharSet=1\r\nMonthFontChar=2\r\nYearFontChar=0\r\n"
    "FontName=F1\r\nMonthFontName=F2\r\nYearFontName=F3\r\n"
    "WallPaperName=wall.bmp\r\nMemoFileName=memo.dat\r\n"
    "Cl0=1\r\nCl1=2\r\nCl2=3\r\nCl3=5\r\nCl4=6\r\nCl5=7\r\nCl6=8\r\n"
    "Cl7=9\r\nCl8=1\r\nCl9=2\r\nCl10=3\r\nCl11=4\r\nCl12=5\r\nCl13=6\r\n"
    "NoDrawYear=1\r\nNoDrawMonth=1\r\nNoDrawDay=1\r\nMonthStyle=1\r\nDayStyle=1\r\n"
    "DayShadow=0\r\nMonthShadow=0\r\nYearShadow=0\r\n"
    "[TDateSet]\r\n"
    "X=5\r\nY=6\r\nSX=50\r\nSY=60\r\nNumberOfMonth=260\r\nDrawStyle=2\r\n";

TEST(OlderAppearance, EveryKeyIsRead) {
    TCalenderSet cs;
    TSorvelSet ss;
    ASSERT_EQ(ReadOlderAppearance(Profile(kOlderIni), cs, ss), 1);
    EXPECT_EQ((std::array{cs.IsWallPaper, cs.TodayColoring, cs.NoDrawButton, cs.NoDayDraw, cs.MemoColoring,
                          cs.HolidayColoring}),
              (std::array<std::uint8_t, 6>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(ss.AdSorption, 1);
    EXPECT_EQ(ss.LengthAdsorp, 30);
    EXPECT_EQ(ss.AllwaysOnTop, 1);
    EXPECT_EQ(ss.Top, -3);
    EXPECT_EQ(ss.Left, 77);
    EXPECT_EQ(ss.MemoFileName, "memo.dat");
    EXPECT_EQ(cs.DispPercent, 150.0f);
    EXPECT_EQ((std::array{cs.DispYear, cs.DispMonth, cs.DispDay}), (std::array{2000, 12, 31}));
    EXPECT_EQ(cs.Height, 300);
    EXPECT_EQ(cs.Width, 400);
    EXPECT_EQ((std::array{cs.FontCharSet, cs.MonthFontChar, cs.YearFontChar}), (std::array{1, 2, 0}));
    EXPECT_EQ(cs.FontName, "F1");
    EXPECT_EQ(cs.MonthFontName, "F2");
    EXPECT_EQ(cs.YearFontName, "F3");
    EXPECT_EQ(cs.WallPaperName, "wall.bmp");
    for (int slot = 0; slot < 14; ++slot)
        EXPECT_EQ(cs.Cl[slot], (std::array{1, 2, 3, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6})[slot]) << "Cl" << slot;
    EXPECT_EQ((std::array{cs.NoDrawYear, cs.NoDrawMonth, cs.NoDrawDay, cs.MonthStyle, cs.DayStyle, cs.DayShadow,
                          cs.MonthShadow, cs.YearShadow}),
              (std::array<std::uint8_t, 8>{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ((std::array{cs.dateSet.X, cs.dateSet.Y, cs.dateSet.SX, cs.dateSet.SY, cs.dateSet.DrawStyle}),
              (std::array<std::uint8_t, 5>{5, 6, 50, 60, 2}));
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 4);  // 260: only the low 8 bits were kept
}

TEST(OlderAppearance, EmptyProfileGivesTheOlderDefaults) {
    TCalenderSet cs;
    TSorvelSet ss;
    ASSERT_EQ(ReadOlderAppearance(Profile(kOlderIni), cs, ss), 1);  // every member non-default first
    ASSERT_EQ(ReadOlderAppearance(Profile(), cs, ss), 1);
    EXPECT_EQ((std::array{cs.IsWallPaper, cs.TodayColoring, cs.NoDrawButton, cs.NoDayDraw, cs.MemoColoring,
                          cs.HolidayColoring}),
              (std::array<std::uint8_t, 6>{0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(ss.AdSorption, 0);
    EXPECT_EQ(ss.LengthAdsorp, 15);
    EXPECT_EQ(ss.AllwaysOnTop, 0);
    EXPECT_EQ(ss.Top, 0);
    EXPECT_EQ(ss.Left, 0);
    EXPECT_EQ(ss.MemoFileName, "");  // not the basic reader's "Sorvel.dat"
    EXPECT_EQ(cs.DispPercent, 100.0f);
    EXPECT_EQ((std::array{cs.DispYear, cs.DispMonth, cs.DispDay}), (std::array{-1, -1, -1}));
    EXPECT_EQ(cs.Height, 480);
    EXPECT_EQ(cs.Width, 640);
    EXPECT_EQ((std::array{cs.FontCharSet, cs.MonthFontChar, cs.YearFontChar}), (std::array{128, 128, 128}));
    EXPECT_EQ(cs.FontName, kOlderFace);
    EXPECT_EQ(cs.MonthFontName, kOlderFace);
    EXPECT_EQ(cs.YearFontName, kOlderFace);
    EXPECT_EQ(cs.WallPaperName, "");
    for (int slot = 0; slot < 14; ++slot)
        EXPECT_EQ(cs.Cl[slot], (std::array{2, 8, 6, 4, 2, 3, 0, 0, 0, 0, 0, 0, 0, 7})[slot]) << "Cl" << slot;
    EXPECT_EQ((std::array{cs.NoDrawYear, cs.NoDrawMonth, cs.NoDrawDay, cs.MonthStyle, cs.DayStyle, cs.DayShadow,
                          cs.MonthShadow, cs.YearShadow}),
              (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_EQ((std::array{cs.dateSet.X, cs.dateSet.Y, cs.dateSet.SX, cs.dateSet.SY, cs.dateSet.DrawStyle}),
              (std::array<std::uint8_t, 5>{0, 0, 100, 100, 1}));
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 1);
}

TEST(OlderAppearance, ValueThatIsNotANumberGivesTheKeysDefault) {
    TCalenderSet cs;
    TSorvelSet ss;
    ReadOlderAppearance(Profile("[SorvelSetting]\r\nDispPercent=12.5\r\nCl4=red\r\n[TDateSet]\r\nSX=x\r\n"), cs, ss);
    EXPECT_EQ(cs.DispPercent, 100.0f);
    EXPECT_EQ(cs.Cl[4], 2);
    EXPECT_EQ(cs.dateSet.SX, 100);
}

TEST(IniVersion, BelowOnePointTwoMeansTheOlderFormat) {
    const struct {
        const char* ini;
        bool older;
    } cases[] = {
        {"", false},                                      // missing: "1.2"
        {"[SorvelSetting]\r\nVersion=1.2\r\n", false},
        {"[SorvelSetting]\r\nVersion=abc\r\n", false},    // not a number counts as 1.2
        {"[SorvelSetting]\r\nVersion=2\r\n", false},
        {"[SorvelSetting]\r\nVersion=1.1\r\n", true},
        {"[SorvelSetting]\r\nVersion=1.01\r\n", true},
        {"[SorvelSetting]\r\nVersion=1.19\r\n", true},
    };
    for (const auto& c : cases) EXPECT_EQ(iniVersion(Profile(c.ini)) < 1.2, c.older) << c.ini;
    EXPECT_NEAR(iniVersion(Profile("[SorvelSetting]\r\nVersion=abc\r\n")), 1.2, 1e-6);
}

class LoadStateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void putStateFile(const TCalenderSet& stored) { ASSERT_TRUE(atomicReplace(statePath(dir.path()), buildStateFile(stored))); }

    QTemporaryDir dir;
    ScriptedUi ui;
    TCalenderSet cs;
    TSorvelSet ss;
};

TEST_F(LoadStateTest, MissingStateFileIsAnnounced) {
    EXPECT_EQ(LoadState(dir.path(), Profile(), cs, ss), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("状態保存ファイル\n") + dir.path() + QStringLiteral("/SorvelSt.dat を作成します。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
}

TEST_F(LoadStateTest, UnreadableStateFileIsAnnounced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("SorvelSt.dat")));
    EXPECT_EQ(LoadState(dir.path(), Profile(), cs, ss), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("状態保存ファイル\n") + dir.path() + QStringLiteral("/SorvelSt.dat を作成します。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
}

TEST_F(LoadStateTest, StateFileIsUsedFromVersionOnePointTwo) {
    TCalenderSet stored;
    stored.Cl[4] = 9;
    stored.DispYear = 2005;
    stored.dateSet.NumberOfMonth = 3;
    putStateFile(stored);
    EXPECT_EQ(LoadState(dir.path(), Profile("[SorvelSetting]\r\nVersion=1.2\r\nCl4=3\r\n"), cs, ss), 1);
    EXPECT_EQ(cs.Cl[4], 9);
    EXPECT_EQ(cs.DispYear, 2005);
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoadStateTest, OlderVersionReadsTheIniAndNotTheStateFile) {
    TCalenderSet stored;
    stored.Cl[4] = 9;
    stored.DispYear = 2005;
    stored.FontName = "stored";
    putStateFile(stored);
    EXPECT_EQ(LoadState(dir.path(), Profile("[SorvelSetting]\r\nVersion=1.1\r\nCl4=3\r\n"), cs, ss), 1);
    EXPECT_EQ(cs.Cl[4], 3);  // Sundays in blue, from the ini file
    EXPECT_EQ(cs.DispYear, -1);
    EXPECT_EQ(cs.FontName, kOlderFace);
    EXPECT_TRUE(ui.messages.empty());

    // Same with the older reader's own example version and no state file at all.
    QTemporaryDir empty;
    TCalenderSet fresh;
    EXPECT_EQ(LoadState(empty.path(), Profile("[SorvelSetting]\r\nVersion=1.01\r\nCl4=3\r\n"), fresh, ss), 1);
    EXPECT_EQ(fresh.Cl[4], 3);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sorvel
