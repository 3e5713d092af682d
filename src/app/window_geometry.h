#pragma once
// Placement of the calendar window as pure functions: keeping it on screen and sizing it by the
// zoom. A screen extent is one screen's work area, which need not start at (0, 0).
#include <cstdint>
#include <vector>

namespace sorvel {

struct ScreenExtent {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Start-up step: a window wholly above or left of the screen goes to the screen's corner.
WindowRect placeAtStoredPosition(WindowRect w, const ScreenExtent& s);
// The position check: a window left or above the screen comes back to its edge; one at or
// beyond the right or bottom edge is moved so that its far edge touches that edge.
WindowRect keepOnScreen(WindowRect w, const ScreenExtent& s);
// Every screen's work area, the primary screen first.
using ScreenList = std::vector<ScreenExtent>;

// True when the window shares at least one pixel with the screen's work area.
bool overlapsScreen(const WindowRect& w, const ScreenExtent& s);
// The screen holding the largest part of the window; the primary one when the window is on
// none (or the list is empty, a 640 × 480 screen at the origin).
ScreenExtent screenOf(const WindowRect& w, const ScreenList& screens);
// With several screens: a window on any screen stays where it is; one on no screen is brought
// back onto the primary screen by the rules above.
WindowRect placeAtStoredPosition(WindowRect w, const ScreenList& screens);
WindowRect keepOnScreen(WindowRect w, const ScreenList& screens);

// Resize to the zoom: the client size is the base size × √(percent / 100), truncated (a base
// side of 10 or less counts as 640 × 400); a window docked at the right or bottom edge stays
// docked.
WindowRect resizeToZoom(WindowRect w, float percent, std::int32_t baseWidth, std::int32_t baseHeight,
                        const ScreenExtent& s);

}  // namespace sorvel
