#pragma once
// "壁紙の選択(&G)": a picture chosen with its preview becomes the calendar window's wallpaper.
#include <functional>

namespace sorvel {

class TSorvelDraw;

// Asks for the picture (afterDialog runs once the dialog has closed); a name that cannot be
// stored is refused with its message. The chosen picture is read into the engine and the zoom
// kept within what its size allows. True when the wallpaper changed (the window then shows it).
bool ChooseWallpaper(TSorvelDraw& draw, const std::function<void()>& afterDialog);

}  // namespace sorvel
