// The settings dialog's values, apart from its widgets: fill, apply in its order with the
// conversion error, colours with "平日", the arrangement buttons, the preview and placement.
#include <gtest/gtest.h>

#include <algorithm>

#include <QTemporaryDir>

#include "data/data_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "render/canvas_size.h"
#include "render/month_arrangement.h"
#include "settings/calender_set.h"
#include "settings/setting_apply.h"
#include "settings/sorvel_set.h"

namespace sorvel {
namespace {

RecordedMessage notInteger(const char* text) {
    return RecordedMessage{QStringLiteral("'%1' は整数ではありません").arg(QString::fromUtf8(text)), QStringLiteral("Sorvel"),
                           MsgButtons::Ok};
}

// Settings that differ from the defaults almost everywhere.
struct Settings {
    TCalenderSet cs;
    TSorvelSet ss;
    Settings() {
        cs.IsWallPaper = 1;
        cs.TodayColoring = 1;
        cs.NoDrawButton = 1;
        cs.MemoColoring = 0;
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        cs.NoDrawMonth = 1;
        cs.MonthShadow = 0;
        cs.MonthStyle = 2;
        cs.DayStyle = 1;
        cs.YearFontName = sjis("ＭＳ 明朝");
        cs.YearFontChar = 128;
        cs.FontName = "Arial";
        cs.FontCharSet = 0;
        cs.Cl = {2, 8, 6, 4, 2, 3, 0, 1, 0, 0, 0, 0, 0, 7, 5};
        cs.dateSet = TDateSet{10, 20, 60, 50, 0, 0, 7, 1};
        ss.AdSorption = 1;
        ss.LengthAdsorp = 20;
        ss.MemoFileName = sjis("/home/u/予定.dat");
        ss.ShowNationalHolidays = 0;
        ss.JapaneseEraYear = 1;
    }
};

// ---- Fill ---------------------------------------------------------------------------------

TEST(SettingFill, EveryControlShowsItsSetting) {
    Settings s;
    const SettingFormValues v = fillSettingForm(s.cs, s.ss);
    EXPECT_EQ(v.fileName, s.ss.MemoFileName);
    EXPECT_TRUE(v.wallPaper && v.colorToday && v.noButtonDraw && v.adsorption && v.holidayColoring);
    EXPECT_FALSE(v.memoColoring || v.noDayDraw);
    EXPECT_FALSE(v.nationalHolidays);
    EXPECT_TRUE(v.eraYear);
    EXPECT_EQ(v.yearText, QStringLiteral("2001"));
    EXPECT_EQ(v.monthText, QStringLiteral("9"));
    EXPECT_EQ(v.lengthText, QStringLiteral("20"));
    EXPECT_TRUE(v.noDrawMonth);
    EXPECT_FALSE(v.noDrawYear || v.noDrawDayName || v.monthShadow);
    EXPECT_TRUE(v.yearShadow && v.dayShadow);
    EXPECT_EQ(v.monthStyle, 2);
    EXPECT_EQ(v.dayStyle, 1);
    EXPECT_EQ(v.yearFont, (FontWork{sjis("ＭＳ 明朝"), 128}));
    EXPECT_EQ(v.dayFont, (FontWork{"Arial", 0}));
    EXPECT_EQ(v.percentText, QStringLiteral("100"));
    EXPECT_EQ(v.colours, s.cs.Cl);  // all fifteen, "平日" included
    EXPECT_EQ((std::array{v.left, v.top, v.right, v.bottom}), (std::array{10, 20, 70, 70}));
    EXPECT_EQ(v.months, 7);
    EXPECT_EQ(v.arrangement, (ArrangementButtons{true, true, false, 1}));
}

TEST(SettingFill, StoredValuesOutsideTheControlsAreShownAsTheControlsCanHoldThem) {
    Settings s;
    s.cs.DispYear = 12000;
    s.cs.DispMonth = 0;
    s.ss.LengthAdsorp = 100;
    s.cs.MonthStyle = 3;  // no such notation: no button checked
    s.cs.DayStyle = 2;
    s.cs.DispPercent = 12.5f;
    s.cs.dateSet = TDateSet{90, 200, 50, 255, 0, 0, 40, 9};
    const SettingFormValues v = fillSettingForm(s.cs, s.ss);
    EXPECT_EQ(v.yearText, QStringLiteral("9999"));
    EXPECT_EQ(v.monthText, QStringLiteral("1"));
    EXPECT_EQ(v.lengthText, QStringLiteral("45"));
    EXPECT_EQ(v.monthStyle, -1);
    EXPECT_EQ(v.dayStyle, -1);
    EXPECT_EQ(v.percentText, QStringLiteral("12.5"));
    // Right and bottom are capped at 100.
    EXPECT_EQ((std::array{v.left, v.top, v.right, v.bottom}), (std::array{90, 100, 100, 100}));
    EXPECT_EQ(v.months, 12);
    EXPECT_EQ(v.arrangement.checked, 0);
}

TEST(SettingFill, ArrangementButtonsFollowTheCount) {
    Settings s;
    s.cs.dateSet.NumberOfMonth = 1;
    EXPECT_EQ(fillSettingForm(s.cs, s.ss).arrangement, (ArrangementButtons{false, false, false, 1}));
    s.cs.dateSet.NumberOfMonth = 4;
    s.cs.dateSet.DrawStyle = 3;
    EXPECT_EQ(fillSettingForm(s.cs, s.ss).arrangement, (ArrangementButtons{true, true, true, 3}));
    // A stored square arrangement of five months stays checked, though the button is disabled.
    s.cs.dateSet.NumberOfMonth = 5;
    EXPECT_EQ(fillSettingForm(s.cs, s.ss).arrangement, (ArrangementButtons{true, true, false, 3}));
}

// ---- Apply --------------------------------------------------------------------------------

TEST(SettingApply, UnchangedValuesLeaveTheSettingsAsTheyWere) {
    ScriptedUi ui;
    Settings s;
    s.cs.DispPercent = 12.5f;  // a zoom with decimals shown and left alone is no error
    const std::string before = buildStateFile(s.cs);
    const TSorvelSet ssBefore = [&] {
        TSorvelSet c;
        c.AdSorption = s.ss.AdSorption;
        c.LengthAdsorp = s.ss.LengthAdsorp;
        c.MemoFileName = s.ss.MemoFileName;
        return c;
    }();
    int loads = 0;
    EXPECT_TRUE(applySettingForm(fillSettingForm(s.cs, s.ss), s.cs, s.ss, [&] { ++loads; }));
    EXPECT_EQ(buildStateFile(s.cs), before);
    EXPECT_EQ(s.ss.AdSorption, ssBefore.AdSorption);
    EXPECT_EQ(s.ss.LengthAdsorp, ssBefore.LengthAdsorp);
    EXPECT_EQ(s.ss.MemoFileName, ssBefore.MemoFileName);
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SettingApply, EveryControlReachesItsSetting) {
    ScriptedUi ui;
    Settings s;
    SettingFormValues v = fillSettingForm(s.cs, s.ss);
    v.wallPaper = false;
    v.noDayDraw = true;
    v.adsorption = false;
    v.nationalHolidays = true;
    v.eraYear = false;
    v.yearText = QStringLiteral("1752");
    v.monthText = QStringLiteral("12");
    v.lengthText = QStringLiteral("45");
    v.noDrawYear = true;
    v.monthShadow = true;
    v.monthFont = FontWork{"DejaVu Sans", 0};
    v.monthStyle = 1;
    v.dayStyle = 0;
    v.colours[13] = 9;
    v.left = 5;
    v.top = 0;
    v.right = 95;
    v.bottom = 100;
    v.months = 4;
    v.arrangement.checked = 3;
    v.percentText = QStringLiteral("30");
    EXPECT_TRUE(applySettingForm(v, s.cs, s.ss, {}));
    EXPECT_EQ(s.cs.IsWallPaper, 0);
    EXPECT_EQ(s.cs.NoDayDraw, 1);
    EXPECT_EQ(s.ss.AdSorption, 0);
    // Stored in the ini file, from which the engine's render takes them.
    EXPECT_EQ((std::array{s.ss.ShowNationalHolidays, s.ss.JapaneseEraYear}), (std::array<std::uint8_t, 2>{1, 0}));
    EXPECT_EQ(s.cs.DispYear, 1752);
    EXPECT_EQ(s.cs.DispMonth, 12);
    EXPECT_EQ(s.ss.LengthAdsorp, 45);
    EXPECT_EQ(s.cs.NoDrawYear, 1);
    EXPECT_EQ(s.cs.MonthShadow, 1);
    EXPECT_EQ(s.cs.MonthFontName, "DejaVu Sans");
    EXPECT_EQ(s.cs.MonthFontChar, 0);
    EXPECT_EQ(s.cs.MonthStyle, 1);
    EXPECT_EQ(s.cs.DayStyle, 0);
    EXPECT_EQ(s.cs.Cl[13], 9);
    const TDateSet& ds = s.cs.dateSet;
    EXPECT_EQ((std::array<int, 6>{ds.X, ds.Y, ds.SX, ds.SY, ds.NumberOfMonth, ds.DrawStyle}),
              (std::array<int, 6>{5, 0, 90, 100, 4, 3}));
    EXPECT_EQ(s.cs.DispPercent, 30.0f);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SettingApply, YearMonthAndDistanceOutOfRangeAreIgnored) {
    ScriptedUi ui;
    Settings s;
    const struct {
        const char *year, *month, *length;
    } cases[] = {{"0", "13", "50"}, {"-3", "0", "4"}, {"10000", "-1", "255"}, {"2147483647", "99", "-15"}};
    for (const auto& c : cases) {
        SettingFormValues v = fillSettingForm(s.cs, s.ss);
        v.yearText = QString::fromLatin1(c.year);
        v.monthText = QString::fromLatin1(c.month);
        v.lengthText = QString::fromLatin1(c.length);
        v.noDrawYear = true;  // a later step still runs
        EXPECT_TRUE(applySettingForm(v, s.cs, s.ss, {})) << c.year;
        EXPECT_EQ(s.cs.DispYear, 2001) << c.year;
        EXPECT_EQ(s.cs.DispMonth, 9) << c.month;
        EXPECT_EQ(s.ss.LengthAdsorp, 20) << c.length;
        EXPECT_EQ(s.cs.NoDrawYear, 1);
        s.cs.NoDrawYear = 0;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SettingApply, ConversionErrorStopsAtItsStepAndKeepsTheEarlierOnes) {
    struct Case {
        const char* name;
        void (*spoil)(SettingFormValues&);
        RecordedMessage message;
        bool yearApplied, distanceApplied, laterApplied;
    };
    const Case cases[] = {
        {"year", [](SettingFormValues& v) { v.yearText = QStringLiteral("2001年"); }, notInteger("2001年"), false, false,
         false},
        {"month empty", [](SettingFormValues& v) { v.monthText.clear(); }, notInteger(""), true, false, false},
        {"distance", [](SettingFormValues& v) { v.lengthText = QStringLiteral("1 5"); }, notInteger("1 5"), true, false,
         false},
        {"zoom", [](SettingFormValues& v) { v.percentText = QStringLiteral("12.5"); }, notInteger("12.5"), true, true,
         true},
        {"zoom too long", [](SettingFormValues& v) { v.percentText = QStringLiteral("99999999999"); },
         notInteger("99999999999"), true, true, true},
    };
    for (const Case& c : cases) {
        ScriptedUi ui;
        Settings s;
        SettingFormValues v = fillSettingForm(s.cs, s.ss);
        v.wallPaper = false;                       // step 1
        v.fileName = "other.dat";                  // step 2
        v.yearText = QStringLiteral("1999");       // step 3
        v.lengthText = QStringLiteral("30");       // step 3, after the month
        v.noDrawYear = true;                       // step 4
        v.colours[0] = 9;                          // step 6
        v.months = 2;                              // step 8
        c.spoil(v);
        int loads = 0;
        EXPECT_FALSE(applySettingForm(v, s.cs, s.ss, [&] { ++loads; })) << c.name;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0], c.message) << c.name;
        EXPECT_EQ(s.cs.IsWallPaper, 0) << c.name;
        EXPECT_EQ(s.ss.MemoFileName, "other.dat") << c.name;
        EXPECT_EQ(loads, 1) << c.name;
        EXPECT_EQ(s.cs.DispYear, c.yearApplied ? 1999 : 2001) << c.name;
        EXPECT_EQ(s.ss.LengthAdsorp, c.distanceApplied ? 30 : 20) << c.name;
        EXPECT_EQ(s.cs.NoDrawYear, c.laterApplied ? 1 : 0) << c.name;
        EXPECT_EQ(s.cs.Cl[0], c.laterApplied ? 9 : 2) << c.name;
        EXPECT_EQ(s.cs.dateSet.NumberOfMonth, c.laterApplied ? 2 : 7) << c.name;
        EXPECT_EQ(s.cs.DispPercent, 100.0f) << c.name;
    }
}

TEST(SettingApply, ZoomOfZeroOrLessOrTooLargeIsRefusedAndTheZoomStays) {
    // 640 × 480 at 21848% is 9459 × 7094, the largest canvas within the limit.
    ASSERT_TRUE(canvasSizeAllowed(canvasSizeFor(21848, 640, 480).width, canvasSizeFor(21848, 640, 480).height));
    ASSERT_FALSE(canvasSizeAllowed(canvasSizeFor(21849, 640, 480).width, canvasSizeFor(21849, 640, 480).height));
    for (const char* typed : {"0", "-25", "21849", "2147483647"}) {
        ScriptedUi ui;
        Settings s;
        s.cs.DispPercent = 50;
        SettingFormValues v = fillSettingForm(s.cs, s.ss);
        v.percentText = QString::fromLatin1(typed);
        EXPECT_TRUE(applySettingForm(v, s.cs, s.ss, {}));
        EXPECT_EQ(s.cs.DispPercent, 50.0f) << typed;
        ASSERT_EQ(ui.messages.size(), 1u) << typed;
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("表示倍率 %1% は使えません。\n1 から 21848 までの整数で指定してください。\n"
                                                      "表示倍率は 50% のままにします。")
                                           .arg(QString::fromLatin1(typed)));
        EXPECT_EQ(ui.messages[0].caption, QStringLiteral("メッセージ"));
    }
    ScriptedUi ui;
    Settings s;
    SettingFormValues v = fillSettingForm(s.cs, s.ss);
    v.percentText = QStringLiteral(" 21848");
    applySettingForm(v, s.cs, s.ss, {});
    EXPECT_EQ(s.cs.DispPercent, 21848.0f);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SettingApply, TheDataFileIsReadAgainOnlyWhenItsNameChanged) {
    Settings s;
    std::vector<std::string> namesAtLoad;
    auto load = [&] { namesAtLoad.push_back(s.ss.MemoFileName); };
    SettingFormValues v = fillSettingForm(s.cs, s.ss);
    applySettingForm(v, s.cs, s.ss, load);
    EXPECT_TRUE(namesAtLoad.empty());
    v.fileName = sjis("/tmp/別の.dat");
    applySettingForm(v, s.cs, s.ss, load);
    // The name is in place before the file is read.
    EXPECT_EQ(namesAtLoad, std::vector<std::string>{sjis("/tmp/別の.dat")});
}

TEST(SettingApply, NotationsAndArrangementWithNoButtonCheckedKeepTheirValues) {
    Settings s;
    SettingFormValues v = fillSettingForm(s.cs, s.ss);
    v.monthStyle = -1;
    v.dayStyle = -1;
    v.arrangement.checked = 0;
    applySettingForm(v, s.cs, s.ss, {});
    EXPECT_EQ(s.cs.MonthStyle, 2);
    EXPECT_EQ(s.cs.DayStyle, 1);
    EXPECT_EQ(s.cs.dateSet.DrawStyle, 1);
}

TEST(SettingApply, AreaWidthAndHeightNeverWrap) {
    Settings s;
    SettingFormValues v = fillSettingForm(s.cs, s.ss);
    v.left = 80;
    v.right = 30;  // the dialog keeps the bars ordered; a reversed pair still gives no 206
    v.top = 100;
    v.bottom = 100;
    v.months = 40;
    applySettingForm(v, s.cs, s.ss, {});
    EXPECT_EQ(s.cs.dateSet.X, 80);
    EXPECT_EQ(s.cs.dateSet.SX, 0);
    EXPECT_EQ(s.cs.dateSet.Y, 100);
    EXPECT_EQ(s.cs.dateSet.SY, 0);
    EXPECT_EQ(s.cs.dateSet.NumberOfMonth, 12);
}

// ---- Colours, arrangement buttons, scroll bars ----------------------------------------------

TEST(SettingColours, WeekdayItemSetsMondayToFridayAndShowsMonday) {
    ColourSlots c = TCalenderSet().Cl;
    const ColourSlots before = c;
    chooseColour(c, kWeekdayItem, 5);
    for (int slot = 0; slot < kColourSlots; ++slot)
        EXPECT_EQ(c[slot], slot >= 6 && slot <= 10 ? 5 : before[slot]) << slot;
    chooseColour(c, 6, 9);  // Monday alone
    EXPECT_EQ(shownColour(c, kWeekdayItem), 9);
    EXPECT_EQ(c[7], 5);
    chooseColour(c, 13, 1);
    EXPECT_EQ(shownColour(c, 13), 1);
    EXPECT_EQ(c[14], before[14]);
}

TEST(SettingArrangement, NumberOfMonthsRule) {
    const struct {
        int months, checkedBefore;
        ArrangementButtons expected;
    } cases[] = {
        {4, 0, {true, true, true, 0}},   // four enables the square
        {4, 3, {true, true, true, 3}},
        {5, 3, {true, true, false, 2}},  // the check moves to the horizontal button
        {5, 1, {true, true, false, 1}},
        {1, 1, {false, false, false, 1}},  // one month: nothing to arrange, the check stays
        {1, 3, {false, false, false, 2}},
        {12, 2, {true, true, false, 2}},
    };
    for (const auto& c : cases) {
        ArrangementButtons before{false, false, true, c.checkedBefore};
        EXPECT_EQ(arrangementForMonths(before, c.months), c.expected) << c.months << " " << c.checkedBefore;
    }
}

TEST(SettingScrollBars, MovingOneBarPastTheOtherPushesItAlong) {
    int left = 30, right = 60;
    keepOrdered(left, right, true);
    EXPECT_EQ((std::pair{left, right}), (std::pair{30, 60}));
    left = 75;
    keepOrdered(left, right, true);
    EXPECT_EQ((std::pair{left, right}), (std::pair{75, 75}));
    right = 10;
    keepOrdered(left, right, false);
    EXPECT_EQ((std::pair{left, right}), (std::pair{10, 10}));
}

// ---- Fonts and data file ------------------------------------------------------------------

TEST(SettingFonts, CharacterSetFollowsTheFacesJapaneseSupport) {
    ScriptedUi ui;
    FontWork f{"Arial", 0};
    EXPECT_TRUE(takeChosenFont(f, QStringLiteral("IPAゴシック"), true));
    EXPECT_EQ(f, (FontWork{sjis("IPAゴシック"), 128}));
    EXPECT_TRUE(takeChosenFont(f, QStringLiteral("DejaVu Sans"), false));
    EXPECT_EQ(f, (FontWork{"DejaVu Sans", 0}));
    EXPECT_FALSE(takeChosenFont(f, QStringLiteral("Noto Color Emoji 😀"), false));
    EXPECT_EQ(f, (FontWork{"DejaVu Sans", 0}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("フォント名 Noto Color Emoji 😀 には保存できない文字があります。\n"
                                                              "このフォントは使えません。"),
                                               QStringLiteral("メッセージ"), MsgButtons::Ok}));
}

TEST(SettingDataFile, DataIsWrittenBeforeTheChoiceWhateverTheUserDoes) {
    ScriptedUi ui;
    std::string working = sjis("/home/u/予定.dat");
    std::size_t requestsAtSave = 99;
    auto save = [&] {
        requestsAtSave = ui.fileRequests.size();
        return 1;
    };
    ui.fileAnswers.push_back(std::nullopt);  // cancelled
    EXPECT_FALSE(selectDataFile(working, save));
    EXPECT_EQ(requestsAtSave, 0u);
    EXPECT_EQ(working, sjis("/home/u/予定.dat"));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].initialPath, QStringLiteral("/home/u/予定.dat"));
    EXPECT_EQ(ui.fileRequests[0].title, QStringLiteral("日付データーファイルを選んでください"));

    ui.fileAnswers.push_back(QStringLiteral("/data/二〇〇一.dat"));
    EXPECT_TRUE(selectDataFile(working, save));
    EXPECT_EQ(requestsAtSave, 1u);
    EXPECT_EQ(working, sjis("/data/二〇〇一.dat"));

    working.clear();
    ui.fileAnswers.push_back(std::nullopt);
    selectDataFile(working, save);
    EXPECT_TRUE(ui.fileRequests.back().initialPath.isEmpty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SettingDataFile, UnstorablePathsAndOtherProgramsFilesAreRefusedNewNamesTaken) {
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.txt"), fresh = dir.filePath(QStringLiteral("二冊目.dat"));
    ASSERT_TRUE(atomicReplace(text, "shopping list\n"));
    std::string working = "old.dat";
    ScriptedUi ui;
    ui.fileAnswers = {dir.filePath(QString::fromUtf8("😀.dat")), text, dir.path(), fresh};
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(selectDataFile(working, {}));
    EXPECT_EQ(working, "old.dat");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, dir.path() + QStringLiteral("\nは読み込めませんでした。"));
    EXPECT_TRUE(ui.messages[0].text.endsWith(QString::fromUtf8("「😀」(U+1F600)があります。\nこのファイルは選べません。")));
    EXPECT_EQ(ui.messages[1], (RecordedMessage{text + QStringLiteral("は、Sorvel用ファイルではありません。"),
                                               QStringLiteral("エラー"), MsgButtons::Ok}));
    // A name not yet on disk: the dialog is asked to take one, and the next save creates it.
    ASSERT_TRUE(selectDataFile(working, {}));
    EXPECT_TRUE(ui.fileRequests.back().acceptNewName);
    EXPECT_EQ(working, sjis(fresh.toStdString()));
    THolidayList rules;
    TDateMemoList memos;
    EXPECT_EQ(SaveDataFile(working, dir.path(), rules, memos), 1);
    EXPECT_EQ(inspectDataFile(fresh), ChosenDataFile::DataFile);
}

// ---- Preview ------------------------------------------------------------------------------

TEST(SettingPreview, CanvasIsScaledIntoThePictureAndCentred) {
    // 640 × 480: scale 180 / 640, 180 × 135, 2.5 pixels above and below.
    PreviewGeometry g = previewGeometry(640, 480, 0, 0, 100, 100, 1, 1);
    EXPECT_EQ(g.canvas, (PreviewRect{0, 2, 180, 137}));
    EXPECT_EQ(g.area, g.canvas);
    EXPECT_TRUE(g.lines.empty());
    // Upright 480 × 640: 105 × 140, 37.5 pixels left and right.
    g = previewGeometry(480, 640, 0, 0, 100, 100, 1, 1);
    EXPECT_EQ(g.canvas, (PreviewRect{37, 0, 142, 140}));
    // Square 500 × 500 takes the picture's height.
    g = previewGeometry(500, 500, 20, 10, 70, 60, 1, 1);
    EXPECT_EQ(g.canvas, (PreviewRect{20, 0, 160, 140}));
    EXPECT_EQ(g.area, (PreviewRect{48, 14, 118, 84}));
    EXPECT_TRUE(previewGeometry(0, 480, 0, 0, 100, 100, 2, 1).lines.empty());
}

TEST(SettingPreview, SevenMonthsVerticallyDivideThirdsOfTheHeightAndThreeColumns) {
    const PreviewGeometry g = previewGeometry(640, 480, 0, 0, 100, 100, 7, kStyleVertical);
    // Blocks of 213 × 160 canvas pixels, scaled by 180 / 640.
    const std::vector<PreviewLine> expected{
        {59, 2, 59, 137}, {119, 2, 119, 137},  // between the columns, across the full height
        {0, 47, 180, 47}, {0, 92, 180, 92},    // at one and two thirds
    };
    EXPECT_EQ(g.lines, expected);
}

TEST(SettingPreview, LinesFollowTheArrangement) {
    auto count = [](const PreviewGeometry& g, bool vertical) {
        return std::count_if(g.lines.begin(), g.lines.end(),
                             [vertical](const PreviewLine& l) { return (l.x1 == l.x2) == vertical; });
    };
    const struct {
        int months, style;
        long vertical, horizontal;
    } cases[] = {
        {1, kStyleVertical, 0, 0},   {1, kStyleSquare, 0, 0},     {2, kStyleVertical, 0, 1},
        {2, kStyleHorizontal, 1, 0}, {3, kStyleVertical, 0, 2},   {6, kStyleHorizontal, 2, 1},
        {12, kStyleVertical, 3, 2},  {4, kStyleSquare, 1, 1},     {5, kStyleSquare, 2, 1},  // as the calendar draws it
        {7, 0, 0, 0},                                                                     // no button checked
    };
    for (const auto& c : cases) {
        const PreviewGeometry g = previewGeometry(640, 480, 10, 10, 90, 90, c.months, c.style);
        EXPECT_EQ(count(g, true), c.vertical) << c.months << "/" << c.style;
        EXPECT_EQ(count(g, false), c.horizontal) << c.months << "/" << c.style;
        for (const PreviewLine& l : g.lines) {  // inside the months' area
            EXPECT_GE(std::min(l.x1, l.x2), g.area.left);
            EXPECT_LE(std::max(l.x1, l.x2), g.area.right);
            EXPECT_GE(std::min(l.y1, l.y2), g.area.top);
            EXPECT_LE(std::max(l.y1, l.y2), g.area.bottom);
        }
    }
    // Two months vertically: one line halfway down the area (canvas rows 48 … 432).
    const PreviewGeometry two = previewGeometry(640, 480, 10, 10, 90, 90, 2, kStyleVertical);
    ASSERT_EQ(two.lines.size(), 1u);
    EXPECT_EQ(two.lines[0].y1, 70);
}

// ---- Placement ----------------------------------------------------------------------------

TEST(SettingPlace, DialogStandsAtTheStoredPositionInsideTheWorkArea) {
    const struct {
        int left, top;
        DialogPlace expected;
    } cases[] = {
        {100, 50, {100, 50}},
        {1000, 700, {820, 505}},  // pulled back over the right and bottom edges
        {-40, 10, {0, 24}},       // a panel at the top: the area starts at y 24
        {0, -5, {0, 24}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingFormPlace(c.left, c.top, 460, 271, 0, 24, 1280, 752), c.expected) << c.left << "," << c.top;
    // An area smaller than the dialog: its top-left corner.
    EXPECT_EQ(settingFormPlace(300, 300, 460, 271, 10, 20, 400, 200), (DialogPlace{10, 20}));
}

}  // namespace
}  // namespace sorvel
