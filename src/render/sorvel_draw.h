#pragma once
// The drawing engine: renders the calendar into an off-screen 24-bit canvas and copies it to a
// target.
#include <memory>

#include <QImage>

#include "settings/calender_set.h"

class QPainter;

namespace sorvel {

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
    // Decodes WallPaperName; 1 on success.
    int LoadWallpaper();
    // (Re)creates the canvas at the size the zoom gives, filled with the background colour.
    void CreateCanvas();
    void SetExplicitSize(int width, int height);
    // Draws everything when the redraw flag is 1. A render begun inside another is skipped.
    void Render();
    // Copies the canvas to the target's origin; clears the redraw flag.
    void CopyTo(QPainter& target);

    const QImage& canvas() const { return canvas_; }

    // True while some engine renders (one flag for the whole process).
    static bool renderBusy();

private:
    std::unique_ptr<TCalenderSet> settings_;
    QImage canvas_;
    QImage wallpaper_;
};

}  // namespace sorvel
