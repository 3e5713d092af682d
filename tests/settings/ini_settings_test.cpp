// Basic settings in sorvel.ini: sections SorvelSetting, YoteiSet and LayoutSet.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>

#include <QTemporaryDir>

#include "platform/profile.h"
#include "platform/text.h"
#include "settings/sorvel_set.h"

namespace sorvel {
namespace {

TEST(BasicSettings, EmptyProfileGivesTheMissingKeyDefaults) {
    TSorvelSet ss;
    ss.AdSorption = 1;
    ss.LengthAdsorp = 40;
    ss.AllwaysOnTop = 1;
    ss.Top = ss.Left = 9;
    ss.MemoFileName = "x";
    ss.yotei = TYoteiSet{1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
    ss.layout = TLayoutSet{1, 2, 3, 4, 0};
    EXPECT_EQ(ss.read(Profile()), 1);
    EXPECT_EQ(ss.AdSorption, 0);
    EXPECT_EQ(ss.LengthAdsorp, 15);
    EXPECT_EQ(ss.AllwaysOnTop, 0);
    EXPECT_EQ(ss.Top, 0);
    EXPECT_EQ(ss.Left, 0);
    EXPECT_EQ(ss.MemoFileName, "Sorvel.dat");
    const TYoteiSet& y = ss.yotei;
    EXPECT_EQ((std::array{y.YoteiWidth, y.YoteiHeight, y.YoteiDispType, y.YoteiX, y.YoteiY, y.YoWDate,
                          y.YoWCaption, y.YoWMemo, y.YoWTree, y.YoDisp}),
              (std::array{350, 300, 0, 0, 0, 105, 105, 105, 150, 1}));
    const TLayoutSet& l = ss.layout;
    // Height: a missing key gives 500, though a new window is built 450 high.
    EXPECT_EQ((std::array{l.Top, l.Left, l.Width, l.Height, l.Disp}), (std::array{0, 0, 700, 500, 1}));
    EXPECT_EQ(TLayoutSet{}.Height, 450);
}

TEST(BasicSettings, DefaultsAreWrittenInKeyOrder) {
    Profile ini;
    TSorvelSet().write(ini);
    EXPECT_EQ(ini.text(),
              "[SorvelSetting]\r\n"
              "Version=1.2\r\n"
              "Adsorption=0\r\n"
              "LengthAdsorp=15\r\n"
              "AllwaysOnTop=0\r\n"
              "Top=0\r\n"
              "Left=0\r\n"
              "MemoFileName=Sorvel.dat\r\n"
              "ShowNationalHolidays=1\r\n"
              "JapaneseEraYear=0\r\n"
              "ShowRokuyo=0\r\n"
              "ShowOldCalendar=0\r\n"
              "ShowSolarTerms=0\r\n"
              "[YoteiSet]\r\n"
              "YoteiWidth=350\r\n"
              "YoteiHeight=300\r\n"
              "YoteiDispType=0\r\n"
              "YoteiX=0\r\n"
              "YoteiY=0\r\n"
              "YoWDate=105\r\n"
              "YoWCaption=105\r\n"
              "YoWMemo=105\r\n"
              "YoWTree=150\r\n"
              "YoDisp=1\r\n"
              "[LayoutSet]\r\n"
              "Top=0\r\n"
              "Left=0\r\n"
              "Width=700\r\n"
              "Height=450\r\n"
              "Disp=1\r\n");
}

TSorvelSet changedBasic() {
    TSorvelSet ss;
    ss.AdSorption = 1;
    ss.LengthAdsorp = 45;
    ss.AllwaysOnTop = 1;
    ss.Top = -20;
    ss.Left = 1910;
    ss.MemoFileName = sjis("予定\\表.dat");
    ss.ShowNationalHolidays = 0;
    ss.JapaneseEraYear = 1;
    ss.ShowRokuyo = 1;
    ss.ShowSolarTerms = 1;
    ss.yotei = TYoteiSet{400, 320, 2, -5, 60, 90, 80, 70, 200, 0};
    ss.layout = TLayoutSet{11, -12, 800, 600, 0};
    return ss;
}

TEST(BasicSettings, ChangedSetIsWrittenAndReadBackThroughTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = iniPath(dir.path());
    EXPECT_EQ(path, dir.path() + "/sorvel.ini");

    Profile out;
    changedBasic().write(out);
    ASSERT_TRUE(out.save(path));
    EXPECT_EQ(out.text(),
              "[SorvelSetting]\r\n"
              "Version=1.2\r\n"
              "Adsorption=1\r\n"
              "LengthAdsorp=45\r\n"
              "AllwaysOnTop=1\r\n"
              "Top=-20\r\n"
              "Left=1910\r\n"
              "MemoFileName=\x97\x5c\x92\xe8\\\x95\x5c.dat\r\n"
              "ShowNationalHolidays=0\r\n"
              "JapaneseEraYear=1\r\n"
              "ShowRokuyo=1\r\n"
              "ShowOldCalendar=0\r\n"
              "ShowSolarTerms=1\r\n"
              "[YoteiSet]\r\n"
              "YoteiWidth=400\r\n"
              "YoteiHeight=320\r\n"
              "YoteiDispType=2\r\n"
              "YoteiX=-5\r\n"
              "YoteiY=60\r\n"
              "YoWDate=90\r\n"
              "YoWCaption=80\r\n"
              "YoWMemo=70\r\n"
              "YoWTree=200\r\n"
              "YoDisp=0\r\n"
              "[LayoutSet]\r\n"
              "Top=11\r\n"
              "Left=-12\r\n"
              "Width=800\r\n"
              "Height=600\r\n"
              "Disp=0\r\n");

    TSorvelSet back;
    ASSERT_EQ(back.read(Profile::load(path)), 1);
    const TSorvelSet want = changedBasic();
    EXPECT_EQ(back.AdSorption, want.AdSorption);
    EXPECT_EQ(back.LengthAdsorp, want.LengthAdsorp);
    EXPECT_EQ(back.AllwaysOnTop, want.AllwaysOnTop);
    EXPECT_EQ(back.Top, want.Top);
    EXPECT_EQ(back.Left, want.Left);
    EXPECT_EQ(back.MemoFileName, want.MemoFileName);
    EXPECT_EQ(back.ShowNationalHolidays, 0);
    EXPECT_EQ(back.JapaneseEraYear, 1);
    EXPECT_EQ((std::array{back.ShowRokuyo, back.ShowOldCalendar, back.ShowSolarTerms}),
              (std::array<std::uint8_t, 3>{1, 0, 1}));
    const TYoteiSet& y = back.yotei;
    EXPECT_EQ((std::array{y.YoteiWidth, y.YoteiHeight, y.YoteiDispType, y.YoteiX, y.YoteiY, y.YoWDate,
                          y.YoWCaption, y.YoWMemo, y.YoWTree, y.YoDisp}),
              (std::array{400, 320, 2, -5, 60, 90, 80, 70, 200, 0}));
    const TLayoutSet& l = back.layout;
    EXPECT_EQ((std::array{l.Top, l.Left, l.Width, l.Height, l.Disp}), (std::array{11, -12, 800, 600, 0}));
}

// The reader asks for "AdSorption", the writer writes "Adsorption": one key. An older file
// that spells it the reader's way is updated in place, not given a second key.
TEST(BasicSettings, EdgeSnappingKeyIsOneKeyWhateverItsCase) {
    TSorvelSet ss;
    ss.read(Profile("[SorvelSetting]\r\nAdsorption=1\r\n"));
    EXPECT_EQ(ss.AdSorption, 1);

    Profile older("[sorvelsetting]\r\nADSORPTION=1\r\nVersion=1.01\r\n");
    ss.read(older);
    EXPECT_EQ(ss.AdSorption, 1);
    ss.AdSorption = 0;
    ss.write(older);
    const std::string text = older.text();
    EXPECT_EQ(text.find("ADSORPTION=0\r\nVersion=1.2\r\nLengthAdsorp=15\r\n"), text.find("\r\n") + 2) << text;
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    ASSERT_NE(lower.find("adsorption="), std::string::npos);
    EXPECT_EQ(lower.find("adsorption="), lower.rfind("adsorption=")) << text;
}

TEST(BasicSettings, ValueThatIsNotANumberKeepsTheDefault) {
    TSorvelSet ss;
    ss.read(Profile("[SorvelSetting]\r\nLengthAdsorp=abc\r\nTop=12px\r\nLeft=\r\n"
                    "[YoteiSet]\r\nYoWTree=wide\r\nYoteiWidth=99999999999\r\n"
                    "[LayoutSet]\r\nHeight=abc\r\nWidth= 640 \r\n"));
    EXPECT_EQ(ss.LengthAdsorp, 15);
    EXPECT_EQ(ss.Top, 0);
    EXPECT_EQ(ss.Left, 0);
    EXPECT_EQ(ss.yotei.YoWTree, 150);
    EXPECT_EQ(ss.yotei.YoteiWidth, 350);
    EXPECT_EQ(ss.layout.Height, 500);
    EXPECT_EQ(ss.layout.Width, 640);
    // A position no screen has is kept within a million pixels, so edges add up without overflow.
    ss.read(Profile("[SorvelSetting]\r\nTop=-2147483648\r\nLeft=2147483000\r\n"));
    EXPECT_EQ(ss.Top, -1000000);
    EXPECT_EQ(ss.Left, 1000000);
}

// An ini file of an older version has neither key: national holidays on, years as numbers.
TEST(BasicSettings, CalendarKeysMissingOrNotANumberTakeTheirDefaults) {
    TSorvelSet ss;
    ss.ShowNationalHolidays = 0;
    ss.JapaneseEraYear = 1;
    ss.read(Profile("[SorvelSetting]\r\nVersion=1.2\r\nMemoFileName=Sorvel.dat\r\n"));
    EXPECT_EQ(ss.ShowNationalHolidays, 1);
    EXPECT_EQ(ss.JapaneseEraYear, 0);
    ss.read(Profile("[SorvelSetting]\r\nShowNationalHolidays=no\r\nJapaneseEraYear=\r\n"));
    EXPECT_EQ(ss.ShowNationalHolidays, 1);
    EXPECT_EQ(ss.JapaneseEraYear, 0);
}

TEST(BasicSettings, ShownFlagsToggle) {
    TLayoutSet l;
    l.Disp = 5;
    EXPECT_FALSE(l.isShown());
    l.toggleShown();
    EXPECT_EQ(l.Disp, 0);
    l.toggleShown();
    EXPECT_EQ(l.Disp, 1);
    EXPECT_TRUE(l.isShown());
    TYoteiSet y;
    y.YoDisp = -1;
    y.toggleShown();
    EXPECT_EQ(y.YoDisp, 0);
}

}  // namespace
}  // namespace sorvel
