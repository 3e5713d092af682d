#include "settings/setting_apply.h"

#include <algorithm>
#include <cmath>

#include "data/data_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "settings/settings_messages.h"
#include "calendar/canvas_size.h"
#include "calendar/month_arrangement.h"

namespace sorvel {

namespace {

std::uint8_t flag(bool on) { return on ? 1 : 0; }

// The zoom typed into PerComboBox. A zoom of 0 or less, or one whose canvas could not be
// built, is refused with a message; the zoom stays.
void applyZoom(std::int32_t percent, TCalenderSet& cs) {
    const CanvasSize size = canvasSizeFor(static_cast<float>(percent), cs.Width, cs.Height);
    if (percent > 0 && canvasSizeAllowed(size.width, size.height)) {
        cs.DispPercent = static_cast<float>(percent);
        return;
    }
    // The largest whole percentage whose canvas can be built from this base size.
    const float largest = clampZoom(2147483647.0f, cs.Width, cs.Height);
    showMessage(zoomRefusedMessage(percent, static_cast<long long>(largest),
                                   QString::fromStdString(formatReal(cs.DispPercent))),
                messageCaption());
}

}  // namespace

QString spinText(std::int32_t value, int low, int high) { return QString::number(std::clamp<std::int32_t>(value, low, high)); }

NotationValues notationOf(const TCalenderSet& cs) {
    NotationValues v;
    v.noDrawYear = cs.NoDrawYear != 0;
    v.noDrawMonth = cs.NoDrawMonth != 0;
    v.noDrawDayName = cs.NoDrawDay != 0;
    v.yearShadow = cs.YearShadow != 0;
    v.monthShadow = cs.MonthShadow != 0;
    v.dayShadow = cs.DayShadow != 0;
    v.yearFont = FontWork{cs.YearFontName, cs.YearFontChar};
    v.monthFont = FontWork{cs.MonthFontName, cs.MonthFontChar};
    v.dayFont = FontWork{cs.FontName, cs.FontCharSet};
    // A style outside the choices shows none chosen.
    v.monthStyle = cs.MonthStyle <= 2 ? cs.MonthStyle : -1;
    v.dayStyle = cs.DayStyle <= 1 ? cs.DayStyle : -1;
    return v;
}

void storeNotation(const NotationValues& v, TCalenderSet& cs) {
    cs.NoDrawYear = flag(v.noDrawYear);
    cs.NoDrawMonth = flag(v.noDrawMonth);
    cs.NoDrawDay = flag(v.noDrawDayName);
    cs.YearFontName = v.yearFont.face;
    cs.YearFontChar = v.yearFont.charSet;
    cs.MonthFontName = v.monthFont.face;
    cs.MonthFontChar = v.monthFont.charSet;
    cs.FontName = v.dayFont.face;
    cs.FontCharSet = v.dayFont.charSet;
    cs.YearShadow = flag(v.yearShadow);
    cs.MonthShadow = flag(v.monthShadow);
    cs.DayShadow = flag(v.dayShadow);
    if (v.monthStyle >= 0 && v.monthStyle <= 2) cs.MonthStyle = static_cast<std::uint8_t>(v.monthStyle);
    if (v.dayStyle >= 0 && v.dayStyle <= 1) cs.DayStyle = static_cast<std::uint8_t>(v.dayStyle);
}

SettingFormValues fillSettingForm(const TCalenderSet& cs, const TSorvelSet& ss) {
    SettingFormValues v;
    v.fileName = ss.MemoFileName;
    v.wallPaper = cs.IsWallPaper != 0;
    v.noButtonDraw = cs.NoDrawButton != 0;
    v.adsorption = ss.AdSorption != 0;
    v.noDayDraw = cs.NoDayDraw != 0;
    v.colorToday = cs.TodayColoring != 0;
    v.memoColoring = cs.MemoColoring != 0;
    v.holidayColoring = cs.HolidayColoring != 0;
    v.nationalHolidays = ss.ShowNationalHolidays != 0;
    v.eraYear = ss.JapaneseEraYear != 0;
    v.rokuyo = ss.ShowRokuyo != 0;
    v.oldCalendar = ss.ShowOldCalendar != 0;
    v.solarTerms = ss.ShowSolarTerms != 0;
    // The spin controls keep their positions in range, and their edits show the position.
    v.yearText = spinText(cs.DispYear, kMinYear, kMaxYear);
    v.monthText = spinText(cs.DispMonth, kMinMonth, kMaxMonth);
    v.lengthText = spinText(ss.LengthAdsorp, kMinSnapLength, kMaxSnapLength);

    static_cast<NotationValues&>(v) = notationOf(cs);
    v.percentText = QString::fromStdString(formatReal(cs.DispPercent));
    v.filledPercentText = v.percentText;
    v.colours = cs.Cl;

    const TDateSet& ds = cs.dateSet;
    v.left = std::min<int>(ds.X, kMaxPosition);
    v.top = std::min<int>(ds.Y, kMaxPosition);
    v.right = std::min(ds.X + ds.SX, kMaxPosition);
    v.bottom = std::min(ds.Y + ds.SY, kMaxPosition);
    v.months = std::clamp<std::int32_t>(ds.NumberOfMonth, kMinMonths, kMaxMonths);
    v.arrangement = arrangementForMonths(ArrangementButtons{}, v.months);
    v.arrangement.checked = ds.DrawStyle >= kStyleVertical && ds.DrawStyle <= kStyleSquare ? ds.DrawStyle : 0;
    return v;
}

bool applySettingForm(const SettingFormValues& v, TCalenderSet& cs, TSorvelSet& ss,
                      const std::function<void()>& dataFileChanged) {
    // 1
    cs.IsWallPaper = flag(v.wallPaper);
    cs.TodayColoring = flag(v.colorToday);
    cs.NoDrawButton = flag(v.noButtonDraw);
    ss.AdSorption = flag(v.adsorption);
    cs.NoDayDraw = flag(v.noDayDraw);
    cs.MemoColoring = flag(v.memoColoring);
    cs.HolidayColoring = flag(v.holidayColoring);
    // Kept in the ini file; the calendar draws with its copies.
    ss.ShowNationalHolidays = flag(v.nationalHolidays);
    ss.JapaneseEraYear = flag(v.eraYear);
    ss.ShowRokuyo = flag(v.rokuyo);
    ss.ShowOldCalendar = flag(v.oldCalendar);
    ss.ShowSolarTerms = flag(v.solarTerms);
    // 2
    if (v.fileName != ss.MemoFileName) {
        ss.MemoFileName = v.fileName;
        if (dataFileChanged) dataFileChanged();
    }
    // 3: values out of range are ignored.
    const auto year = readInteger(v.yearText);
    if (!year) return false;
    if (*year >= kMinYear && *year <= kMaxYear) cs.DispYear = *year;
    const auto month = readInteger(v.monthText);
    if (!month) return false;
    if (*month >= kMinMonth && *month <= kMaxMonth) cs.DispMonth = *month;
    const auto length = readInteger(v.lengthText);
    if (!length) return false;
    if (*length >= kMinSnapLength && *length <= kMaxSnapLength) ss.LengthAdsorp = static_cast<std::uint8_t>(*length);
    // 4 and 5: a style none checked keeps the setting.
    storeNotation(v, cs);
    // 6
    cs.Cl = v.colours;
    // 7: the bars keep right ≥ left and bottom ≥ top; a width below zero never reaches the bytes.
    TDateSet& ds = cs.dateSet;
    const int left = std::clamp(v.left, 0, kMaxPosition), top = std::clamp(v.top, 0, kMaxPosition);
    ds.X = static_cast<std::uint8_t>(left);
    ds.Y = static_cast<std::uint8_t>(top);
    ds.SX = static_cast<std::uint8_t>(std::clamp(v.right - left, 0, kMaxPosition - left));
    ds.SY = static_cast<std::uint8_t>(std::clamp(v.bottom - top, 0, kMaxPosition - top));
    // 8
    ds.NumberOfMonth = std::clamp(v.months, kMinMonths, kMaxMonths);
    // 9
    if (v.arrangement.checked >= kStyleVertical && v.arrangement.checked <= kStyleSquare)
        ds.DrawStyle = static_cast<std::uint8_t>(v.arrangement.checked);
    // 10: an untouched zoom stays exactly as it was (a stored zoom may have decimals).
    if (v.percentText == v.filledPercentText) return true;
    const auto percent = readInteger(v.percentText);
    if (!percent) return false;
    applyZoom(*percent, cs);
    return true;
}

std::optional<std::int32_t> readInteger(const QString& text) {
    if (auto v = parseInt(text.toStdString())) return v;
    showMessage(notAnIntegerMessage(text), programName());
    return std::nullopt;
}

std::int32_t shownColour(const ColourSlots& colours, int item) {
    if (item == kWeekdayItem) return colours[kSlotMonday];
    if (item < 0 || item >= kWeekdayItem) return -1;
    return colours[static_cast<std::size_t>(item)];
}

void chooseColour(ColourSlots& colours, int item, std::int32_t colour) {
    if (item == kWeekdayItem) {
        for (int slot = kSlotMonday; slot <= kSlotFriday; ++slot) colours[static_cast<std::size_t>(slot)] = colour;
        return;
    }
    if (item < 0 || item >= kWeekdayItem) return;
    colours[static_cast<std::size_t>(item)] = colour;
}

ArrangementButtons arrangementForMonths(ArrangementButtons b, int months) {
    b.heightEnabled = b.widthEnabled = months != 1;
    b.squareEnabled = months == 4;
    if (!b.squareEnabled && b.checked == kStyleSquare) b.checked = kStyleHorizontal;
    return b;
}

void keepOrdered(int& low, int& high, bool lowMoved) {
    if (low <= high) return;
    if (lowMoved)
        high = low;
    else
        low = high;
}

bool takeChosenFont(FontWork& font, const QString& face, bool japanese) {
    const auto bytes = fromQString(face);
    if (!bytes) {
        showMessage(unstorableFontMessage(face), messageCaption());
        return false;
    }
    font.face = *bytes;
    font.charSet = japanese ? 128 : 0;
    return true;
}

bool selectDataFile(std::string& workingName, const std::function<int()>& saveDataFile) {
    if (saveDataFile) saveDataFile();
    FileDialogRequest req{QStringLiteral("日付データーファイルを選んでください"),
                          QStringLiteral("日付データーファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*"),
                          workingName.empty() ? QString() : dataFilePath(workingName, programDirectory())};
    req.acceptNewName = true;  // a new name starts a new data file, created at the next save
    const auto chosen = ui().openFile(req);
    if (!chosen) return false;
    const auto stored = storablePath(*chosen);
    if (!stored) {
        showMessage(unstorablePathMessage(*chosen), messageCaption());
        return false;
    }
    // Another program's file would be replaced by calendar data at the next save; one that
    // cannot be read cannot be told apart from such a file.
    switch (inspectDataFile(*chosen)) {
        case ChosenDataFile::Foreign: showMessage(notProgramFileMessage(*chosen), errorCaption()); return false;
        case ChosenDataFile::Unreadable: showMessage(unreadableFileMessage(*chosen), errorCaption()); return false;
        default: break;
    }
    workingName = *stored;
    return true;
}

PreviewGeometry previewGeometry(int canvasWidth, int canvasHeight, int left, int top, int right, int bottom,
                                int months, int checkedStyle) {
    PreviewGeometry g;
    const int longest = std::max(canvasWidth, canvasHeight);
    if (canvasWidth <= 0 || canvasHeight <= 0) return g;
    const double scale = static_cast<double>(canvasHeight < canvasWidth ? kPreviewWidth : kPreviewHeight) / longest;
    const double sw = canvasWidth * scale, sh = canvasHeight * scale;
    const double ox = kPreviewWidth / 2 - sw / 2, oy = kPreviewHeight / 2 - sh / 2;
    auto px = [](double v) { return static_cast<int>(v); };  // toward zero
    g.canvas = PreviewRect{px(ox), px(oy), px(ox + sw), px(oy + sh)};
    const double x = sw * left * 0.01, y = sh * top * 0.01;
    const double w = sw * right * 0.01 - x, h = sh * bottom * 0.01 - y;
    g.area = PreviewRect{px(ox + x), px(oy + y), px(ox + x + w), px(oy + y + h)};
    if (checkedStyle < kStyleVertical || checkedStyle > kStyleSquare) return g;

    // The blocks are those the calendar draws on the real canvas, scaled down.
    const auto percent = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, kMaxPosition)); };
    const MonthArrangement a =
        monthLayout(canvasWidth, canvasHeight, percent(left), percent(top), percent(std::max(right - left, 0)),
                    percent(std::max(bottom - top, 0)), months, static_cast<std::uint8_t>(checkedStyle))
            .arrangement;
    for (int c = 1; c < a.columns; ++c) {
        const int lx = px(ox + (a.left + c * a.blockWidth) * scale);
        g.lines.push_back(PreviewLine{lx, g.area.top, lx, g.area.bottom});
    }
    for (int r = 1; r < a.rows; ++r) {
        const int ly = px(oy + (a.top + r * a.blockHeight) * scale);
        g.lines.push_back(PreviewLine{g.area.left, ly, g.area.right, ly});
    }
    return g;
}

DialogPlace settingFormPlace(int storedLeft, int storedTop, int width, int height, int areaX, int areaY,
                             int areaWidth, int areaHeight) {
    auto keepInside = [](int pos, int size, int start, int extent) {
        const long long end = static_cast<long long>(start) + extent - size;
        if (pos > end) pos = static_cast<int>(std::max<long long>(end, start));
        return std::max(pos, start);
    };
    return DialogPlace{keepInside(storedLeft, width, areaX, areaWidth), keepInside(storedTop, height, areaY, areaHeight)};
}

}  // namespace sorvel
