#include "calendar/canvas_size.h"

#include <cmath>

namespace sorvel {

CanvasSize canvasSizeFor(float percent, std::int32_t baseWidth, std::int32_t baseHeight) {
    const float f = percent * 0.01f;
    const float root = std::sqrt(f);
    const double w = static_cast<double>(root) * baseWidth;
    const double h = static_cast<double>(root) * baseHeight;
    auto side = [](double v) -> std::int32_t {
        if (!(v > 0)) return 0;
        if (v > kMaxCanvasSide * 4.0) return kMaxCanvasSide * 4;
        return static_cast<std::int32_t>(v);
    };
    return CanvasSize{side(w), side(h)};
}

bool canvasSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxCanvasSide && height <= kMaxCanvasSide &&
           width * height <= kMaxCanvasPixels;
}

float clampZoom(float percent, std::int32_t baseWidth, std::int32_t baseHeight) {
    if (percent == -1.0f) return percent;
    if (!(percent > 0) || !std::isfinite(percent)) return 100.0f;
    CanvasSize s = canvasSizeFor(percent, baseWidth, baseHeight);
    if (canvasSizeAllowed(s.width, s.height) || baseWidth <= 0 || baseHeight <= 0) return percent;
    // Largest whole percentage whose canvas fits.
    float lo = 1, hi = percent;
    if (!canvasSizeAllowed(canvasSizeFor(lo, baseWidth, baseHeight).width,
                           canvasSizeFor(lo, baseWidth, baseHeight).height))
        return 1.0f;
    while (hi - lo > 1) {
        float mid = std::floor((lo + hi) / 2);
        CanvasSize m = canvasSizeFor(mid, baseWidth, baseHeight);
        if (canvasSizeAllowed(m.width, m.height))
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

float startZoom(float percent, std::int32_t baseWidth, std::int32_t baseHeight) {
    if (percent > 0 && std::isfinite(percent)) {
        const CanvasSize s = canvasSizeFor(percent, baseWidth, baseHeight);
        if (canvasSizeAllowed(s.width, s.height)) return percent;
    }
    return clampZoom(100.0f, baseWidth, baseHeight);
}

}  // namespace sorvel
