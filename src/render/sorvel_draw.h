#pragma once
// The drawing engine: renders the calendar into an off-screen 24-bit canvas (wallpaper, the
// months with their titles, weekday names and day numbers, the today frame and the two month
// buttons) and copies that canvas to a window, a printer page or a layout object.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <QImage>

#include "platform/gdi.h"
#include "calendar/calendar_math.h"
#include "settings/calender_set.h"

class QPainter;

namespace sorvel {

// One month being drawn: its block on the canvas and the month it shows.
struct MonthRect {
    int x = 0, y = 0, width = 0, height = 0;
    int month = 1;
    std::int64_t year = 0;
    int index = 0;  // 0 for the first month shown
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
    void UpdateToday();
    // Decodes WallPaperName (".jpg"/".jpeg" through libjpeg, anything else through Qt's
    // image reader); 1 on success. On failure the message is shown and IsWallPaper := 0.
    // Where the picture is transparent the background colour (slot 13) shows through.
    int LoadWallpaper();
    // (Re)creates the canvas at the size the zoom gives, filled with the background colour.
    void CreateCanvas();
    void SetExplicitSize(int width, int height);
    // Draws everything when the redraw flag is 1. A render begun inside another is skipped.
    void Render();
    // Copies the canvas to the target's origin; clears the redraw flag.
    void CopyTo(QPainter& target);
    // Fills the two month tables for a year.
    void ComputeYearTables(std::int64_t year);

    const QImage& canvas() const { return canvas_.image(); }
    const Bitmap& canvasBitmap() const { return canvas_; }
    const Bitmap& wallpaper() const { return wallpaper_; }

    // What the day hit test reads: the cells of the month drawn last, the button size and
    // the month tables of the year computed last.
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int buttonSize() const { return buttonSize_; }
    const YearTables& yearTables() const { return tables_; }
    // The colour of each day number of the month classified last (index day − 1).
    const std::array<Rgb, 31>& dayColours() const { return dayColours_; }

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

    int fontHeightFor(const MonthRect& r, const QString& yearRun, const QString& separator, const QString& monthRun);
    void drawTitle(const MonthRect& r, const QString& yearRun, const QString& separator, const QString& monthRun);
    // The text in a box of width × height at (px, py), its shadow shadow pixels down-right.
    void drawShadowed(const QString& text, int px, int py, int width, int height, int shadow, Rgb colour);
    Rgb slotColour(int slot) const;

    std::unique_ptr<TCalenderSet> settings_;
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
};

}  // namespace sorvel
