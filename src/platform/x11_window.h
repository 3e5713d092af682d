#pragma once
// Window-manager hints that Qt does not set on X11.
class QWindow;

namespace sorvel {

// Keeps the window off the task bar and the pager (_NET_WM_STATE_SKIP_TASKBAR/_PAGER), both on
// the unmapped window's property and, once mapped, through the window manager. No-op elsewhere.
void setSkipTaskbar(QWindow* window);

// Asks the window manager to activate the window as a request from the user
// (_NET_ACTIVE_WINDOW sent as a pager sends it), which focus-stealing prevention lets through.
// No-op elsewhere.
void requestActivation(QWindow* window);

}  // namespace sorvel
