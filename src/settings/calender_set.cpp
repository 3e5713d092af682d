#include "settings/calender_set.h"

#include <cmath>
#include <limits>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "settings/settings_messages.h"
#include "settings/sorvel_set.h"

namespace sorvel {

namespace {

// The appearance block and its fields; the colour slots are fields kSetColour0 on, and the
// display position is a block of its own in the last field.
constexpr int kCalenderSetBlock = 1;
enum CalenderSetField : int {
    kSetIsWallPaper = 1, kSetTodayColoring = 2, kSetNoDrawButton = 3, kSetNoDayDraw = 4, kSetMemoColoring = 5,
    kSetHolidayColoring = 6, kSetDispPercent = 7, kSetDispYear = 8, kSetDispMonth = 9, kSetDispDay = 10,
    kSetFontCharSet = 11, kSetMonthFontChar = 12, kSetYearFontChar = 13, kSetDayShadow = 14, kSetMonthShadow = 15,
    kSetYearShadow = 16, kSetFontName = 17, kSetYearFontName = 18, kSetMonthFontName = 19, kSetWallPaperName = 20,
    kSetNoDrawYear = 21, kSetNoDrawMonth = 22, kSetNoDrawDay = 23, kSetMonthStyle = 24, kSetDayStyle = 25,
    kSetColour0 = 26, kSetColourLast = 39, kSetDateSet = 40
};
// The display position's block; its fields 5 and 6 are written as 0 and never read.
constexpr int kDateSetBlock = 5;
enum DateSetField : int {
    kDateX = 1, kDateY = 2, kDateSX = 3, kDateSY = 4, kDateUnused1 = 5, kDateUnused2 = 6, kDateNumberOfMonth = 7,
    kDateDrawStyle = 8
};

bool readRealField(TagStream& in, float& member) {
    std::string text;
    if (!ReadValue(in, text)) return false;
    // Only what a single-precision real can hold: 1e39 would become infinity.
    if (auto v = parseReal(text); v && std::fabs(*v) <= std::numeric_limits<float>::max())
        member = static_cast<float>(*v);
    return true;
}

template <typename CS>
auto byteMember(CS& cs, int field) -> decltype(&cs.IsWallPaper) {
    switch (field) {
        case kSetIsWallPaper: return &cs.IsWallPaper;
        case kSetTodayColoring: return &cs.TodayColoring;
        case kSetNoDrawButton: return &cs.NoDrawButton;
        case kSetNoDayDraw: return &cs.NoDayDraw;
        case kSetMemoColoring: return &cs.MemoColoring;
        case kSetHolidayColoring: return &cs.HolidayColoring;
        case kSetDayShadow: return &cs.DayShadow;
        case kSetMonthShadow: return &cs.MonthShadow;
        case kSetYearShadow: return &cs.YearShadow;
        case kSetNoDrawYear: return &cs.NoDrawYear;
        case kSetNoDrawMonth: return &cs.NoDrawMonth;
        case kSetNoDrawDay: return &cs.NoDrawDay;
        case kSetMonthStyle: return &cs.MonthStyle;
        case kSetDayStyle: return &cs.DayStyle;
        default: return nullptr;
    }
}

template <typename CS>
auto intMember(CS& cs, int field) -> decltype(&cs.DispYear) {
    switch (field) {
        case kSetDispYear: return &cs.DispYear;
        case kSetDispMonth: return &cs.DispMonth;
        case kSetDispDay: return &cs.DispDay;
        case kSetFontCharSet: return &cs.FontCharSet;
        case kSetMonthFontChar: return &cs.MonthFontChar;
        case kSetYearFontChar: return &cs.YearFontChar;
        default: return nullptr;
    }
}

template <typename CS>
auto textMember(CS& cs, int field) -> decltype(&cs.FontName) {
    switch (field) {
        case kSetFontName: return &cs.FontName;
        case kSetYearFontName: return &cs.YearFontName;
        case kSetMonthFontName: return &cs.MonthFontName;
        case kSetWallPaperName: return &cs.WallPaperName;
        default: return nullptr;
    }
}

}  // namespace

std::string defaultFontFace() { return sjis("ＭＳ ゴシック"); }

void TCalenderSet::applyDefaults() {
    const TCalenderSet kept = *this;
    *this = TCalenderSet{};
    Cl[kSlotWeekday] = kept.Cl[kSlotWeekday];
}

void WriteM05(std::string& out, const TDateSet& ds) {
    WriteBlockOpen(out, kDateSetBlock);
    WriteIntField(out, kDateX, ds.X);
    WriteIntField(out, kDateY, ds.Y);
    WriteIntField(out, kDateSX, ds.SX);
    WriteIntField(out, kDateSY, ds.SY);
    WriteIntField(out, kDateUnused1, 0);
    WriteIntField(out, kDateUnused2, 0);
    WriteIntField(out, kDateNumberOfMonth, ds.NumberOfMonth);
    WriteIntField(out, kDateDrawStyle, ds.DrawStyle);
    WriteBlockClose(out, kDateSetBlock);
}

void WriteM01(std::string& out, const TCalenderSet& cs) {
    WriteBlockOpen(out, kCalenderSetBlock);
    for (int field = kSetIsWallPaper; field <= kSetColourLast; ++field) {
        if (auto* b = byteMember(cs, field)) {
            WriteIntField(out, field, *b);
        } else if (auto* i = intMember(cs, field)) {
            WriteIntField(out, field, *i);
        } else if (auto* t = textMember(cs, field)) {
            WriteField(out, field, *t, kTagValue);
        } else if (field == kSetDispPercent) {
            WriteField(out, field, formatReal(static_cast<double>(cs.DispPercent)), kTagValue);
        } else if (field >= kSetColour0) {
            WriteIntField(out, field, cs.Cl[static_cast<std::size_t>(field - kSetColour0)]);
        }
    }
    WriteField(out, kSetDateSet, {}, kTagOpen);
    WriteM05(out, cs.dateSet);
    WriteField(out, kSetDateSet, {}, kTagClose);
    WriteBlockClose(out, kCalenderSetBlock);
}

int ReadM05(TagStream& in, TDateSet& ds) {
    return ReadFields(in, UnknownField::Skip,
                      [&](int number) {
                          switch (number) {
                              case kDateX: return FieldReadOf(ReadLowByteOrKeep(in, ds.X));
                              case kDateY: return FieldReadOf(ReadLowByteOrKeep(in, ds.Y));
                              case kDateSX: return FieldReadOf(ReadLowByteOrKeep(in, ds.SX));
                              case kDateSY: return FieldReadOf(ReadLowByteOrKeep(in, ds.SY));
                              case kDateNumberOfMonth: return FieldReadOf(ReadIntOrKeep(in, ds.NumberOfMonth));
                              case kDateDrawStyle: return FieldReadOf(ReadLowByteOrKeep(in, ds.DrawStyle));
                              default: return FieldRead::Unknown;  // the unused fields and unknown ones
                          }
                      })
               ? 1
               : 0;
}

int ReadM01(TagStream& in, TCalenderSet& cs) {
    // A field this version does not know refuses the whole block; it is still read to its end so
    // that a reader around it (a layout object) stays in step.
    return ReadFields(in, UnknownField::Reject,
                      [&](int number) {
                          if (auto* b = byteMember(cs, number)) return FieldReadOf(ReadLowByteOrKeep(in, *b));
                          if (auto* i = intMember(cs, number)) return FieldReadOf(ReadIntOrKeep(in, *i));
                          if (auto* t = textMember(cs, number)) return FieldReadOf(ReadValue(in, *t));
                          if (number == kSetDispPercent) return FieldReadOf(readRealField(in, cs.DispPercent));
                          if (number >= kSetColour0 && number <= kSetColourLast) {
                              std::int32_t& slot = cs.Cl[static_cast<std::size_t>(number - kSetColour0)];
                              std::uint8_t colour = static_cast<std::uint8_t>(slot & 0xFF);
                              const bool ok = ReadLowByteOrKeep(in, colour);
                              slot = colour;
                              return FieldReadOf(ok);
                          }
                          if (number == kSetDateSet) {
                              int n = 0;
                              std::string text;
                              return FieldReadOf(ReadTag(in, n, text, kTagOpen) == 1 && ReadM05(in, cs.dateSet) == 1);
                          }
                          return FieldRead::Unknown;
                      })
               ? 1
               : 0;
}

std::string buildStateFile(const TCalenderSet& cs) {
    std::string out;
    WriteM01(out, cs);
    return out;
}

int parseStateFile(std::string_view bytes, TCalenderSet& cs) {
    TagStream in(bytes);
    int number = 0;
    std::string text;
    if (ReadTag(in, number, text, kTagOpen) != 1) return 0;
    return ReadM01(in, cs);
}

QString statePath(const QString& programDir) { return joinPath(programDir, QStringLiteral("SorvelSt.dat")); }

double iniVersion(const Profile& ini) {
    auto v = parseReal(ini.getString("SorvelSetting", "Version", "1.2"));
    // Read as a single-precision real, compared in double precision: "1.2" itself is not below 1.2.
    return static_cast<double>(static_cast<float>(v.value_or(1.2)));
}

int LoadState(const QString& programDir, const Profile& ini, TCalenderSet& cs, TSorvelSet& ss) {
    if (iniVersion(ini) < 1.2) return ReadOlderAppearance(ini, cs, ss);
    const QString path = statePath(programDir);
    auto bytes = readWholeFile(path);
    if (!bytes) {
        showMessage(stateFileCreatedMessage(path), messageCaption());
        return 0;
    }
    return parseStateFile(*bytes, cs);
}

int ReadOlderAppearance(const Profile& ini, TCalenderSet& cs, TSorvelSet& ss) {
    const char* s = "SorvelSetting";
    auto i32 = [&](const char* section, const char* key, std::int32_t def) {
        return parseInt(ini.getString(section, key, formatInt(def))).value_or(def);
    };
    auto u8 = [&](const char* key, std::int32_t def) { return static_cast<std::uint8_t>(i32(s, key, def) & 0xFF); };
    auto text = [&](const char* key, std::string_view def) { return ini.getString(s, key, def); };

    cs.IsWallPaper = u8("IsWallPaper", 0);
    cs.TodayColoring = u8("TodayColoring", 0);
    cs.NoDrawButton = u8("NoDrawButton", 0);
    ss.AdSorption = u8("AdSorption", 0);
    ss.LengthAdsorp = u8("LengthAdsorp", 15);
    ss.AllwaysOnTop = u8("AllwaysOnTop", 0);
    cs.NoDayDraw = u8("NoDayDraw", 0);
    cs.MemoColoring = u8("MemoColoring", 1);
    cs.HolidayColoring = u8("HolidayColoring", 1);
    cs.DispPercent = static_cast<float>(i32(s, "DispPercent", 100));
    cs.DispYear = i32(s, "DispYear", -1);
    cs.DispMonth = i32(s, "DispMonth", -1);
    cs.DispDay = i32(s, "DispDay", -1);
    ss.Top = i32(s, "Top", 0);
    ss.Left = i32(s, "Left", 0);
    cs.Height = i32(s, "Height", kBaseHeight);
    cs.Width = i32(s, "Width", kBaseWidth);
    cs.FontCharSet = i32(s, "FontCharSet", 128);
    cs.MonthFontChar = i32(s, "MonthFontChar", 128);
    cs.YearFontChar = i32(s, "YearFontChar", 128);
    const std::string oldFace = sjis("MS Pゴシック");
    cs.FontName = text("FontName", oldFace);
    cs.MonthFontName = text("MonthFontName", oldFace);
    cs.YearFontName = text("YearFontName", oldFace);
    cs.WallPaperName = text("WallPaperName", "");
    ss.MemoFileName = text("MemoFileName", "");
    for (int slot = 0; slot < kSlotWeekday; ++slot) {
        std::string key = "Cl" + std::to_string(slot);
        cs.Cl[static_cast<std::size_t>(slot)] = i32(s, key.c_str(), kDefaultColours[static_cast<std::size_t>(slot)]);
    }
    cs.NoDrawYear = u8("NoDrawYear", 0);
    cs.NoDrawMonth = u8("NoDrawMonth", 0);
    cs.NoDrawDay = u8("NoDrawDay", 0);
    cs.MonthStyle = u8("MonthStyle", 0);
    cs.DayStyle = u8("DayStyle", 0);
    cs.DayShadow = u8("DayShadow", 1);
    cs.MonthShadow = u8("MonthShadow", 1);
    cs.YearShadow = u8("YearShadow", 1);
    const char* d = "TDateSet";
    cs.dateSet.X = static_cast<std::uint8_t>(i32(d, "X", 0) & 0xFF);
    cs.dateSet.Y = static_cast<std::uint8_t>(i32(d, "Y", 0) & 0xFF);
    cs.dateSet.SX = static_cast<std::uint8_t>(i32(d, "SX", 100) & 0xFF);
    cs.dateSet.SY = static_cast<std::uint8_t>(i32(d, "SY", 100) & 0xFF);
    cs.dateSet.NumberOfMonth = i32(d, "NumberOfMonth", 1) & 0xFF;
    cs.dateSet.DrawStyle = static_cast<std::uint8_t>(i32(d, "DrawStyle", 1) & 0xFF);
    return 1;
}

}  // namespace sorvel
