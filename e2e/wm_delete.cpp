// Asks a window to close as a window manager does (Alt+F4, its close button): a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW. `xdotool windowclose` destroys the window instead.
//   sorvel_wm_delete <window id>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const xcb_window_t window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = atom(c, "WM_PROTOCOLS");
    e.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    e.data.data32[1] = XCB_CURRENT_TIME;
    const bool ok = xcb_request_check(c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                                  reinterpret_cast<const char*>(&e))) == nullptr;
    xcb_disconnect(c);
    return ok ? 0 : 1;
}
