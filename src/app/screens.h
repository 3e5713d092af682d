#pragma once
// The screens' work areas, read anew at every use, and a watch on their changes.
#include <functional>

#include "app/window_geometry.h"

class QObject;

namespace sorvel {

// The primary screen's work area.
ScreenExtent primaryScreenExtent();
// Every screen's work area, the primary one first.
ScreenList currentScreens();
// Calls changed, queued, whenever a screen is added or removed, changes its geometry or becomes
// the primary one, for as long as owner lives.
void watchScreens(QObject* owner, const std::function<void()>& changed);

}  // namespace sorvel
