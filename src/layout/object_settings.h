#pragma once
// What the settings dialogs of the layout objects compute apart from their widgets: the values
// their controls take from a calendar, picture or text content, writing those values back in
// the dialogs' order, and the picture and font choices. The colour choice with "平日", the
// conversion of typed numbers and the taking of a chosen font are the settings dialog's own
// (settings/setting_apply.h).
#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "settings/setting_apply.h"

namespace sorvel {

class TCalenderSet;
class TSoPic;
class TSoTex;

// YearUD and MonthUD of the calendar dialog.
inline constexpr int kCalMinYear = 0, kCalMaxYear = 9999;

// Everything the calendar dialog shows and edits, with its working copies (colour slots and
// the three fonts).
struct CalFormValues : NotationValues {
    // 全般
    bool wallPaper = false, colorToday = false, memoColoring = false, holidayColoring = false;
    // 表示年月: the texts of YearEdit and MonthEdit
    QString yearText, monthText;
    // 色設定
    ColourSlots colours{};
    // 年表示, 月表示, 日の表示: the notation (MonthStyleCoB, DayStyleCoB)
};

// The controls' values as the dialog opens.
CalFormValues fillCalForm(const TCalenderSet& cs);

// "確定": the general flags; the year when it is 1 to 9999; the month when it is 1 to 12; the
// colour slots; the hide flags; the fonts; the shadow flags; the style indices (none shown
// keeps the setting). A text that is not an integer shows the conversion error and stops
// there; what was stored before stays. Returns true when every step ran.
bool applyCalForm(const CalFormValues& v, TCalenderSet& cs);

// The picture-file dialog, preset with a stored name; the chosen file as a stored name.
std::optional<std::string> choosePictureFile(const std::string& preset);

// WallPaperButtonClick: a chosen picture becomes the wallpaper file name at once, whatever
// closes the dialog afterwards. True when a picture was chosen (the dialog then ticks
// "壁紙を表示する").
bool chooseCalWallpaper(TCalenderSet& cs);

// The picture dialog's field: `shown` is what FileNameEdit held after the dialog's working
// name was last put into it, `now` what it holds at "確定". An untouched field keeps the
// working name's bytes; a typed one is converted.
struct PicFormValues {
    std::string fileName;  // the working name, CP932
    QString shown, now;
};
// Writes the field into the picture; false (after the message) when a typed character cannot
// be stored, and nothing changes.
bool applyPicForm(const PicFormValues& v, TSoPic& picture);

struct TexFormValues {
    QString shownText, text;  // TextMemo as filled, and at "確定"
    bool overlay = false;
    FontWork font;
    std::int32_t pointSize = 0;
};
TexFormValues fillTexForm(const TSoTex& tex);
// Text (CR LF between lines), overlay flag, font and size. False (after the message) when a
// typed character cannot be stored, and nothing changes.
bool applyTexForm(const TexFormValues& v, TSoTex& tex);

}  // namespace sorvel
