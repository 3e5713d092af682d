#pragma once
// What the settings dialog computes, apart from its widgets: the values its controls take from
// the settings, the colour choice with "平日", the fonts and the data file it picks, the
// enabling of the arrangement buttons, the preview of the months' area, and writing the
// controls' values back in their order.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

namespace sorvel {

// Ranges of the spin controls.
inline constexpr int kMinYear = 1, kMaxYear = 9999;
inline constexpr int kMinMonth = 1, kMaxMonth = 12;
inline constexpr int kMinSnapLength = 5, kMaxSnapLength = 45;
inline constexpr int kMinMonths = 1, kMaxMonths = 12;
// Scroll bars of the months' area, in percent of the canvas.
inline constexpr int kMaxPosition = 100;

// DayComboBox: items 0–13 edit the colour slot of the same number; "平日" edits Monday to Friday.
inline constexpr int kWeekdayItem = 14;
using ColourSlots = std::array<std::int32_t, kColourSlots>;

struct FontWork {
    std::string face;  // CP932
    std::int32_t charSet = 128;
    bool operator==(const FontWork&) const = default;
};

// The three arrangement radio buttons: which are enabled and which one is checked
// (the DrawStyle it stands for, 1 vertical, 2 horizontal, 3 square; 0 when none is).
struct ArrangementButtons {
    bool heightEnabled = true;
    bool widthEnabled = true;
    bool squareEnabled = false;
    int checked = 0;
    bool operator==(const ArrangementButtons&) const = default;
};

// How the year, month and day titles are drawn: which are hidden, their fonts and shadows, and the
// month and weekday styles. The settings dialog and a page calendar's dialog edit it alike.
struct NotationValues {
    bool noDrawYear = false, noDrawMonth = false, noDrawDayName = false;
    bool yearShadow = false, monthShadow = false, dayShadow = false;
    FontWork yearFont, monthFont, dayFont;
    int monthStyle = -1;  // 0, 1, 2: numbers, Japanese, English; −1 none chosen
    int dayStyle = -1;    // 0, 1: Japanese, English; −1 none chosen
};
// The notation as the dialogs show it, and written back in their order (a style of −1 keeps
// the setting).
NotationValues notationOf(const TCalenderSet& cs);
void storeNotation(const NotationValues& v, TCalenderSet& cs);
// What a spin control's edit shows: the value kept within the control's range.
QString spinText(std::int32_t value, int low, int high);

// Everything the dialog shows and edits, with its working copies.
struct SettingFormValues : NotationValues {
    // 基本設定
    QString yearText, monthText, lengthText;
    bool wallPaper = false, noButtonDraw = false, adsorption = false, noDayDraw = false;
    bool colorToday = false, memoColoring = false, holidayColoring = false;
    bool nationalHolidays = false, eraYear = false;
    bool rokuyo = false, oldCalendar = false, solarTerms = false;  // the "暦注" group
    ColourSlots colours{};
    std::string fileName;  // CP932
    // スタイル設定: the notation (MonthCal, MonthJap, MonthEng; DayJap, DayEng) and the zoom
    QString percentText;
    QString filledPercentText;  // what the zoom box showed when the dialog opened
    // 表示設定
    int left = 0, top = 0, right = kMaxPosition, bottom = kMaxPosition;
    int months = 1;  // the spin control's position
    ArrangementButtons arrangement;
};

// The controls' values from the settings, as the dialog opens.
SettingFormValues fillSettingForm(const TCalenderSet& cs, const TSorvelSet& ss);

// Writes the values back in the dialog's order: check boxes of the first page, the data file
// name (dataFileChanged runs when it changed), year, month and snapping distance, the second
// page, the colours, the months' area, count and arrangement, and last the zoom. A text that is
// not an integer shows the conversion error and stops there; what was applied before stays.
// Returns true when every step ran.
bool applySettingForm(const SettingFormValues& v, TCalenderSet& cs, TSorvelSet& ss,
                      const std::function<void()>& dataFileChanged);

// A decimal integer from an edit; otherwise the message "'text' は整数ではありません".
std::optional<std::int32_t> readInteger(const QString& text);

// Colour index shown for a DayComboBox item, and a colour chosen for it.
std::int32_t shownColour(const ColourSlots& colours, int item);
void chooseColour(ColourSlots& colours, int item, std::int32_t colour);

// The rule of NumMonthEditChange: no arrangement for one month, square only for four; a check
// on a square button that is no longer allowed moves to the horizontal one.
ArrangementButtons arrangementForMonths(ArrangementButtons buttons, int months);

// Keeps low ≤ high after one of the two scroll bars moved: the other one is pushed along.
void keepOrdered(int& low, int& high, bool lowMoved);

// A face chosen in the font dialog becomes the working font; its character set is Shift-JIS
// (128) when the face has Japanese characters, else 0. A face name CP932 cannot hold is refused
// with a message and nothing changes. Returns true when the font was taken.
bool takeChosenFont(FontWork& font, const QString& face, bool japanese);

// FileSelectClick: the date data are written to the current data file first, whatever the
// user does next; then the file dialog, preset with the working name, which also takes a new
// name. True when a file was chosen: the working name then holds its path. A path that cannot
// be stored and a file of another program are refused with a message.
bool selectDataFile(std::string& workingName, const std::function<int()>& saveDataFile);

// The preview picture: the canvas scaled into it and centred, the months' area on the canvas,
// and the lines between the month blocks of the arrangement.
inline constexpr int kPreviewWidth = 180, kPreviewHeight = 140;
struct PreviewRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const PreviewRect&) const = default;
};
struct PreviewLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const PreviewLine&) const = default;
};
struct PreviewGeometry {
    PreviewRect canvas, area;
    std::vector<PreviewLine> lines;
};
// checkedStyle is the checked arrangement button (0 none: no lines).
PreviewGeometry previewGeometry(int canvasWidth, int canvasHeight, int left, int top, int right, int bottom,
                                int months, int checkedStyle);

// Where the dialog opens: at the stored position of the calendar window, kept inside the work
// area (x, y, width, height).
struct DialogPlace {
    int x = 0, y = 0;
    bool operator==(const DialogPlace&) const = default;
};
DialogPlace settingFormPlace(int storedLeft, int storedTop, int width, int height, int areaX, int areaY,
                             int areaWidth, int areaHeight);

}  // namespace sorvel
