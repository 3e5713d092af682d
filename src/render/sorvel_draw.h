#pragma once
// The drawing engine: renders the calendar into an off-screen 24-bit canvas (wallpaper, the
// months with their titles, weekday names and day numbers, the today frame and the two month
// buttons) and copies that canvas to a window, a printer page or a layout object.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>

#include "almanac/almanac.h"
#include "calendar/calendar_math.h"
#include "calendar/day_classification.h"
#include "calendar/month_arrangement.h"
#include "platform/clock.h"
#include "platform/gdi.h"
#include "settings/calender_set.h"

class QPainter;

namespace sorvel {

// One month being drawn: its block and cells on the canvas and the month it shows.
struct MonthRect {
    MonthBlockLayout layout;
    int month = 1;
    std::int64_t year = 0;
    int index = 0;  // 0 for the first month shown
};

// Which almanac items the day cells show on a small line under their numbers. With all off,
// nothing of the almanac is computed.
struct AlmanacShown {
    bool rokuyo = false;
    bool oldCalendar = false;
    bool terms = false;  // 二十四節気 and 雑節
    bool any() const { return rokuyo || oldCalendar || terms; }
};

// The smallest font height, in pixels, at which the almanac line is still legible; a cell that
// cannot hold it goes without.
inline constexpr int kMinAlmanacLineHeight = 10;

// What a render takes beside the appearance settings: the lists whose days it colours and two
// switches of the basic settings. A layout calendar object renders with none of them.
struct CalendarSources {
    const THolidayList* holidays = nullptr;
    const TDateMemoList* memos = nullptr;
    bool nationalHolidays = false;  // Japan's national holidays as days off
    bool eraYear = false;           // the year title in the Japanese era
};

class TSorvelDraw {
public:
    TSorvelDraw();
    ~TSorvelDraw();
    TSorvelDraw(const TSorvelDraw&) = delete;
    TSorvelDraw& operator=(const TSorvelDraw&) = delete;

    TCalenderSet& settings() { return *settings_; }
    const TCalenderSet& settings() const { return *settings_; }

    // Every setting to its default, the display month today's; then CreateCanvas. Returns 1.
    int ResetSettings();
    // Reads the local date into todaysDate, which the today frame and the "today" commands use.
    void UpdateToday();
    const LocalDate& todaysDate() const { return today_; }
    // Decodes WallPaperName (".jpg"/".jpeg" through libjpeg, anything else through Qt's
    // image reader); 1 on success. On failure the message is shown and IsWallPaper := 0.
    // Where the picture is transparent the background colour (slot 13) shows through.
    int LoadWallpaper();
    // The wallpaper another engine has read, as it was read: an engine for the same settings
    // at another size (a print) does not decode the file again.
    void ShareWallpaper(const TSorvelDraw& other);
    // (Re)creates the canvas at the size the zoom gives, filled with the background colour.
    void CreateCanvas();
    void SetExplicitSize(int width, int height);
    // The size of the canvas: what the zoom gives from the base size, or the explicit size.
    int CanvasWidth() const { return canvasWidth_; }
    int CanvasHeight() const { return canvasHeight_; }
    // The canvas is out of date: the next Render draws it anew. Set at construction, by a new
    // explicit size, and by every owner that changed the settings or the lists.
    void setRedraw() { redraw_ = true; }
    bool redraw() const { return redraw_; }
    // Draws everything when the redraw flag is set, and clears it. A render begun inside another
    // is skipped.
    void Render(const CalendarSources& sources = {});
    // Copies the canvas to the target's origin; clears the redraw flag.
    void CopyTo(QPainter& target);
    // Fills the two month tables for a year.
    void ComputeYearTables(std::int64_t year);
    // The kind of every day of a month as this engine's settings and lists classify it, whether
    // or not the month was drawn.
    DayClasses ClassifyMonth(std::int64_t year, int month, const CalendarSources& sources) const;

    const QImage& canvas() const { return canvas_.image(); }
    const Bitmap& canvasBitmap() const { return canvas_; }
    const Bitmap& wallpaper() const { return wallpaper_; }

    // What the day hit test reads: the cells of the month drawn last, the button size and
    // the month tables of the year computed last.
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int buttonSize() const { return buttonSize_; }
    const YearTables& yearTables() const { return tables_; }
    // The colour and the DayFlag bits of each day number of the month classified last (index
    // day − 1).
    const std::array<Rgb, 31>& dayColours() const { return dayColours_; }
    const std::array<std::uint8_t, 31>& dayFlags() const { return dayFlags_; }
    // The substitute holidays of every month the last render drew, in drawing order.
    const std::vector<TSubstituteHoliday>& substitutes() const { return substitutes_; }
    // The geometry of the last render, and the cell of every day number it drew.
    const MonthLayout& layout() const { return layout_; }
    struct DrawnDay {
        std::int64_t year = 0;
        int month = 0, day = 0;
        BlockRect cell;
    };
    const std::vector<DrawnDay>& drawnDays() const { return drawnDays_; }

    // The main window's calendar shows what the basic settings ask for; a layout calendar
    // object keeps them off.
    void setAlmanacShown(const AlmanacShown& shown) { almanacShown_ = shown; }
    const AlmanacShown& almanacShown() const { return almanacShown_; }
    // Tests: where the day's almanac comes from (almanacDay otherwise).
    void setAlmanacSourceForTesting(std::function<AlmanacDay(int, int, int)> source);

    // True while some engine renders (one flag for the whole process).
    static bool renderBusy();
    // Tests: called in the middle of every render, where a repaint could ask for another.
    static void setRenderHookForTesting(std::function<void()> hook);

private:
    void createCanvas(bool fillBackground);
    // A transparent wallpaper laid again over a background colour that has changed.
    void composeWallpaper();
    void DrawWallpaper();
    void DrawMonths();
    void DrawMonth(const MonthRect& r);
    void DrawButtons();
    void ClassifyDays(const MonthRect& r);

    // The title's year and month as the settings show them; empty where they are not shown.
    void titleRuns(const MonthRect& r, QString& yearRun, QString& monthRun) const;
    void drawWeekdayNames(const MonthRect& r, int shadow);
    int fontHeightFor(const MonthRect& r, const QString& yearRun, const QString& separator, const QString& monthRun);
    void drawTitle(const MonthRect& r, const QString& yearRun, const QString& separator, const QString& monthRun);
    // The text in a box of width × height at (px, py), its shadow shadow pixels down-right.
    void drawShadowed(const QString& text, int px, int py, int width, int height, int shadow, Rgb colour);
    // The almanac line in its box, in the largest font up to the box's height that fits its width
    // and is legible; left out when none is.
    void drawAlmanacLine(const QString& text, const BlockRect& box, int shadow, Rgb colour);
    Rgb slotColour(int slot) const;

    std::unique_ptr<TCalenderSet> settings_;
    bool redraw_ = true;
    Bitmap canvas_;
    Bitmap wallpaper_;
    // A wallpaper with transparency as it was read, and the colour it is laid over in wallpaper_.
    QImage wallpaperAlpha_;
    Rgb composedOver_ = 0;
    // The wallpaper stretched to the canvas size of the last render: month steps repaint
    // without stretching again.
    Bitmap stretched_;
    Font font_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int buttonSize_ = 0;
    YearTables tables_;
    std::array<Rgb, 31> dayColours_{};
    std::array<std::uint8_t, 31> dayFlags_{};
    std::vector<TSubstituteHoliday> substitutes_;
    LocalDate today_;
    int canvasWidth_ = kBaseWidth;
    int canvasHeight_ = kBaseHeight;
    CalendarSources sources_;  // those of the render under way
    MonthLayout layout_;
    std::vector<DrawnDay> drawnDays_;
    AlmanacShown almanacShown_;
    std::function<AlmanacDay(int, int, int)> almanacSource_;
    Font lineFont_;
};

}  // namespace sorvel
