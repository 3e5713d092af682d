// Measures the calendar's start-up from outside: exec to the window mapped and painted with its
// background colour, and the resident memory a second later. Runs the program N times on the
// X display in $DISPLAY and prints the median and the spread.
//
//   startup_probe <sorvel binary> <program dir with the three files> [runs]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string windowName(xcb_connection_t* c, xcb_window_t w) {
    auto cookie = xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 64);
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr);
    if (!r) return {};
    std::string name(static_cast<const char*>(xcb_get_property_value(r)),
                     static_cast<size_t>(xcb_get_property_value_length(r)));
    std::free(r);
    return name;
}

// The pixel at (x, y) of a window as 0xRRGGBB, or -1.
long pixelAt(xcb_connection_t* c, xcb_window_t w, int x, int y) {
    auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, static_cast<int16_t>(x), static_cast<int16_t>(y), 1, 1, ~0u);
    xcb_get_image_reply_t* r = xcb_get_image_reply(c, cookie, nullptr);
    if (!r) return -1;
    const uint8_t* d = xcb_get_image_data(r);
    long v = (static_cast<long>(d[2]) << 16) | (d[1] << 8) | d[0];
    std::free(r);
    return v;
}

long rssKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <sorvel> <program dir> [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> startMs;
    std::vector<long> rss;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(argv[2]) != 0) _exit(127);
            if (FILE* devnull = std::freopen("/dev/null", "w", stderr)) (void)devnull;
            execl(argv[1], argv[1], static_cast<char*>(nullptr));
            _exit(127);
        }
        xcb_window_t win = 0;
        while (!win) {
            xcb_generic_event_t* e = xcb_wait_for_event(c);
            if (!e) return 1;
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
                if (windowName(c, m->window) == "Sorvel") win = m->window;
            }
            std::free(e);
        }
        // Painted: the bottom-left corner, outside the month grid, shows the background colour (silver by default).
        for (;;) {
            if (pixelAt(c, win, 2, 478) == 0xC0C0C0) break;
            if (Clock::now() - t0 > std::chrono::seconds(10)) {
                std::fprintf(stderr, "window never painted\n");
                break;
            }
        }
        startMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        rss.push_back(rssKiB(pid));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        // Drain the unmap and destroy events of this run.
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);
    }
    std::sort(startMs.begin(), startMs.end());
    std::sort(rss.begin(), rss.end());
    std::printf("start-up to painted window: median %.1f ms (min %.1f, max %.1f) over %d runs\n",
                startMs[startMs.size() / 2], startMs.front(), startMs.back(), runs);
    std::printf("resident memory 1 s after start-up: median %.1f MB (max %.1f MB)\n",
                static_cast<double>(rss[rss.size() / 2]) / 1024.0, static_cast<double>(rss.back()) / 1024.0);
    xcb_disconnect(c);
    return 0;
}
