#include "app/window_geometry.h"

#include "render/canvas_size.h"

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

WindowRect resizeToZoom(WindowRect w, float percent, std::int32_t baseWidth, std::int32_t baseHeight,
                        const ScreenExtent& s) {
    if (baseWidth <= 10 || baseHeight <= 10) {
        baseWidth = 640;
        baseHeight = 400;
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
