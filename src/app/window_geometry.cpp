#include "app/window_geometry.h"

#include <algorithm>

#include "render/canvas_size.h"
#include "settings/calender_set.h"

namespace sorvel {

WindowRect placeAtStoredPosition(WindowRect w, const ScreenExtent& s) {
    if (w.top + w.height <= s.top || w.left + w.width <= s.left) {
        w.left = s.left;
        w.top = s.top;
    }
    return w;
}

WindowRect keepOnScreen(WindowRect w, const ScreenExtent& s) {
    if (w.left + w.width <= s.left) w.left = s.left;
    if (w.left >= s.right()) w.left = s.right() - w.width;
    if (w.top + w.height <= s.top) w.top = s.top;
    if (w.top >= s.bottom()) w.top = s.bottom() - w.height;
    return w;
}

bool overlapsScreen(const WindowRect& w, const ScreenExtent& s) {
    return w.left + w.width > s.left && w.left < s.right() && w.top + w.height > s.top && w.top < s.bottom();
}

ScreenExtent screenOf(const WindowRect& w, const ScreenList& screens) {
    if (screens.empty()) return ScreenExtent{0, 0, 640, 480};
    const ScreenExtent* best = &screens.front();
    long long bestArea = 0;
    for (const ScreenExtent& s : screens) {
        const long long width = std::min(w.left + w.width, s.right()) - std::max(w.left, s.left);
        const long long height = std::min(w.top + w.height, s.bottom()) - std::max(w.top, s.top);
        if (width <= 0 || height <= 0) continue;
        if (width * height > bestArea) {
            bestArea = width * height;
            best = &s;
        }
    }
    return *best;
}

namespace {

bool onSomeScreen(const WindowRect& w, const ScreenList& screens) {
    return std::any_of(screens.begin(), screens.end(), [&](const ScreenExtent& s) { return overlapsScreen(w, s); });
}

}  // namespace

WindowRect placeAtStoredPosition(WindowRect w, const ScreenList& screens) {
    if (screens.empty() || onSomeScreen(w, screens)) return w;
    return placeAtStoredPosition(w, screens.front());
}

WindowRect keepOnScreen(WindowRect w, const ScreenList& screens) {
    if (screens.empty() || onSomeScreen(w, screens)) return w;
    return keepOnScreen(w, screens.front());
}

WindowRect resizeToZoom(WindowRect w, float percent, std::int32_t baseWidth, std::int32_t baseHeight,
                        const ScreenExtent& s) {
    if (baseWidth <= 10 || baseHeight <= 10) {
        baseWidth = kFallbackBaseWidth;
        baseHeight = kFallbackBaseHeight;
    }
    CanvasSize size = canvasSizeFor(percent, baseWidth, baseHeight);
    if (w.left + w.width == s.right()) w.left = s.right() - size.width;
    if (w.top + w.height == s.bottom()) w.top = s.bottom() - size.height;
    w.width = size.width;
    w.height = size.height;
    if (w.top + w.height <= s.top) w.top = s.top;
    if (w.left + w.width <= s.left) w.left = s.left;
    return w;
}

}  // namespace sorvel
