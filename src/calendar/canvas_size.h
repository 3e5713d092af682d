#pragma once
// The canvas size from the zoom: DispPercent is a percentage of area, so each side is the base
// side × √(percent / 100), truncated.
#include <cstdint>

namespace sorvel {

// The largest canvas any engine builds (a quick print renders about 5000 × 7000).
inline constexpr std::int64_t kMaxCanvasPixels = 64ll * 1024 * 1024;
inline constexpr std::int32_t kMaxCanvasSide = 16384;

struct CanvasSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Side lengths for a zoom and a base size, computed in single precision as the window does.
CanvasSize canvasSizeFor(float percent, std::int32_t baseWidth, std::int32_t baseHeight);

// True when a canvas of this size may be built.
bool canvasSizeAllowed(std::int64_t width, std::int64_t height);

// A stored zoom made safe: −1 (explicit size) stays; NaN, 0 or another negative value becomes
// 100; a zoom whose canvas would pass the limits becomes the largest whole percentage within
// them. Returns the zoom to use.
float clampZoom(float percent, std::int32_t baseWidth, std::int32_t baseHeight);

// The zoom a window starts with: a stored zoom the settings dialog would refuse (NaN, 0 or
// less, or one whose canvas could not be built) gives way to 100. Only a base size too large
// for even 100 takes the largest zoom it can show.
float startZoom(float percent, std::int32_t baseWidth, std::int32_t baseHeight);

}  // namespace sorvel
