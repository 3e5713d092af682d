#pragma once
// Appearance settings of a drawing engine and the display position, stored as block M01 with
// the nested M05 in the state file (and inside layout files).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "calendar/colour_slot.h"
#include "data/date_data.h"
#include "data/tagged_record.h"
#include "platform/profile.h"

namespace sorvel {

class TSorvelSet;

// The display position: the months' area in percent of the canvas, their count and arrangement.
struct TDateSet {
    std::uint8_t X = 0;
    std::uint8_t Y = 0;
    std::uint8_t SX = 100;
    std::uint8_t SY = 100;
    std::int32_t NumberOfMonth = 1;
    std::uint8_t DrawStyle = 1;  // 1 vertical, 2 horizontal, 3 square

    void applyDefaults() { *this = TDateSet{}; }
};

// The base size of a calendar drawn without a wallpaper, in pixels: the zoom scales it to the
// canvas.
inline constexpr std::int32_t kBaseWidth = 640;
inline constexpr std::int32_t kBaseHeight = 480;
// The base size that replaces one too small to draw from (a tiny wallpaper, a damaged record).
inline constexpr std::int32_t kFallbackBaseWidth = 640;
inline constexpr std::int32_t kFallbackBaseHeight = 400;

// The colour index of each slot in the default set (slot 14 is never stored).
inline constexpr std::array<std::int32_t, kColourSlots> kDefaultColours{2, 8, 6, 4, 2, 3, 0, 0, 0, 0, 0, 0, 0, 7, 0};

// The face of the three fonts in the default set (CP932).
std::string defaultFontFace();

// The stored appearance; its member initializers are the default set.
class TCalenderSet {
public:
    std::uint8_t IsWallPaper = 0;
    std::uint8_t TodayColoring = 0;
    std::uint8_t NoDrawButton = 0;
    std::uint8_t NoDayDraw = 0;
    std::uint8_t MemoColoring = 1;
    std::uint8_t HolidayColoring = 1;
    float DispPercent = 100;
    std::int32_t DispYear = -1;
    std::int32_t DispMonth = -1;
    std::int32_t DispDay = -1;
    std::int32_t Height = kBaseHeight;
    std::int32_t Width = kBaseWidth;
    std::int32_t FontCharSet = 128;
    std::int32_t MonthFontChar = 128;
    std::int32_t YearFontChar = 128;
    std::uint8_t DayShadow = 1;
    std::uint8_t MonthShadow = 1;
    std::uint8_t YearShadow = 1;
    std::array<std::int32_t, kColourSlots> Cl = kDefaultColours;  // colour index 0–9 per slot
    std::string FontName = defaultFontFace();       // CP932
    std::string YearFontName = defaultFontFace();   // CP932
    std::string MonthFontName = defaultFontFace();  // CP932
    std::string WallPaperName;  // CP932
    std::uint8_t NoDrawYear = 0;
    std::uint8_t NoDrawMonth = 0;
    std::uint8_t NoDrawDay = 0;
    std::uint8_t MonthStyle = 0;  // 0 digits, 1 Japanese names, 2 English names
    std::uint8_t DayStyle = 0;    // 0 Japanese, 1 English
    TDateSet dateSet;

    // Every stored setting back to the default set; slot 14 stays as it is.
    void applyDefaults();
};

// Block M01 with the nested M05 (field 40).
void WriteM01(std::string& out, const TCalenderSet& cs);
void WriteM05(std::string& out, const TDateSet& ds);
// Called after the block's opening marker was read. ReadM01 returns 0 for a field number other
// than 1–40 (after reading the block to its end) and when the block is damaged or cut off; the
// fields read keep their values. ReadM05 skips field numbers it does not know.
int ReadM01(TagStream& in, TCalenderSet& cs);
int ReadM05(TagStream& in, TDateSet& ds);

// The state file: exactly one M01 block.
std::string buildStateFile(const TCalenderSet& cs);
// Reads the first block's opening marker (its number unchecked) and the M01 block.
int parseStateFile(std::string_view bytes, TCalenderSet& cs);

// The appearance keys of ini files before version 1.2 (sections SorvelSetting and TDateSet).
int ReadOlderAppearance(const Profile& ini, TCalenderSet& cs, TSorvelSet& ss);

QString statePath(const QString& programDir);

// The start's state load: Version below 1.2 reads the older appearance from the ini file;
// otherwise the state file, with its message when it cannot be opened. 1 on success; 0 means
// the caller applies the default set.
int LoadState(const QString& programDir, const Profile& ini, TCalenderSet& cs, TSorvelSet& ss);
// Version as the start reads it: a value that is not a number counts as the default 1.2.
double iniVersion(const Profile& ini);

}  // namespace sorvel
