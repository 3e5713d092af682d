#pragma once
// Window-manager hints that Qt does not set on X11.
#include <optional>

#include <QPoint>

class QWindow;

namespace sorvel {

// Keeps the window off the task bar and the pager (_NET_WM_STATE_SKIP_TASKBAR/_PAGER), both on
// the unmapped window's property and, once mapped, through the window manager. No-op elsewhere.
void setSkipTaskbar(QWindow* window);

// Asks the window manager to activate the window as a request from the user
// (_NET_ACTIVE_WINDOW sent as a pager sends it), which focus-stealing prevention lets through.
// No-op elsewhere.
void requestActivation(QWindow* window);

// Sends what the program has drawn and asked of the X server so far, without waiting for it
// (the toolkit sends it only when its event loop next waits). Nothing off X11.
void flushDisplay();

// Where the window's top-left corner stands on the screen, asked of the X server itself: a
// window manager that reparents a frameless window leaves Qt's idea of its position behind.
// Empty where there is no X11 or the window is not mapped.
std::optional<QPoint> serverPosition(QWindow* window);

}  // namespace sorvel
