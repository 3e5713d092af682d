#pragma once
// Window-manager hints that Qt does not set on X11.
class QWindow;

namespace sorvel {

// Keeps the window off the task bar and the pager (_NET_WM_STATE_SKIP_TASKBAR/_PAGER), both on
// the unmapped window's property and, once mapped, through the window manager. No-op elsewhere.
void setSkipTaskbar(QWindow* window);

}  // namespace sorvel
