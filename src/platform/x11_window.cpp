#include "platform/x11_window.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <QGuiApplication>
#include <QWindow>

namespace sorvel {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    xcb_atom_t a = reply->atom;
    std::free(reply);
    return a;
}

// The display connection; null off X11.
xcb_connection_t* display() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

void setSkipTaskbar(QWindow* window) {
    if (!window) return;
    xcb_connection_t* c = display();
    if (!c) return;
    const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE || skipPager == XCB_ATOM_NONE) return;
    if (!window->isVisible()) {
        const xcb_atom_t atoms[2] = {skipTaskbar, skipPager};
        xcb_change_property(c, XCB_PROP_MODE_APPEND, w, state, XCB_ATOM_ATOM, 32, 2, atoms);
    } else {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_client_message_event_t ev;
        std::memset(&ev, 0, sizeof ev);
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = state;
        ev.data.data32[0] = 1;  // _NET_WM_STATE_ADD
        ev.data.data32[1] = skipTaskbar;
        ev.data.data32[2] = skipPager;
        ev.data.data32[3] = 1;  // a normal application
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
    }
    xcb_flush(c);
}

void requestActivation(QWindow* window) {
    if (!window) return;
    xcb_connection_t* c = display();
    if (!c) return;
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    if (active == XCB_ATOM_NONE) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_client_message_event_t ev;
    std::memset(&ev, 0, sizeof ev);
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = static_cast<xcb_window_t>(window->winId());
    ev.type = active;
    ev.data.data32[0] = 2;  // source: a pager, that is the user
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(c);
}

void flushDisplay() {
    if (xcb_connection_t* c = display()) xcb_flush(c);
}

std::optional<QPoint> serverPosition(QWindow* window) {
    if (!window || !window->isVisible()) return std::nullopt;
    xcb_connection_t* c = display();
    if (!c) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_translate_coordinates_cookie_t cookie =
        xcb_translate_coordinates(c, static_cast<xcb_window_t>(window->winId()), screen->root, 0, 0);
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
    if (!reply) return std::nullopt;
    const QPoint p(reply->dst_x, reply->dst_y);
    std::free(reply);
    return p;
}

}  // namespace sorvel
