// Measures the calendar's start-up from outside: exec to the window mapped and painted with its
// background colour, and the resident memory a second later. On the X display in $DISPLAY it
// starts the calendar N times, in turn with a bare Qt window of the same size when one is given,
// and prints the medians, the spread and the calendar's ratios to the bare window. A reference
// calendar (an older build, with a program directory of its own) takes its turn too, and the
// calendar's ratios to it are printed.
//
//   startup_probe <sorvel binary> <program dir with the three files> [runs [bare_window binary
//                 [reference sorvel binary <its program dir>]]]
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
#include <optional>
#include <string>
#include <thread>
#include <utility>
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

// The size of a window, or 0 x 0.
std::pair<int, int> windowSize(xcb_connection_t* c, xcb_window_t w) {
    xcb_get_geometry_reply_t* r = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!r) return {0, 0};
    const std::pair<int, int> size{r->width, r->height};
    std::free(r);
    return size;
}

long rssKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct Program {
    const char* label;
    const char* dir;  // the directory it starts in
    std::vector<std::string> argv;
    std::string windowName;
    std::vector<double> startMs;
    std::vector<double> mapMs;  // exec to the window mapped, before it is painted
    std::vector<long> rssKiB;
    std::pair<int, int> size{0, 0};
};

// One start: exec to the window mapped and its bottom-left corner painted silver, then the
// resident memory a second later. False when the window never came.
bool startOnce(xcb_connection_t* c, Program& program) {
    const auto t0 = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(program.dir) != 0) _exit(127);
        if (FILE* devnull = std::freopen("/dev/null", "w", stderr)) (void)devnull;
        std::vector<char*> args;
        for (std::string& arg : program.argv) args.push_back(arg.data());
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    xcb_window_t win = 0;
    while (!win) {
        xcb_generic_event_t* e = xcb_wait_for_event(c);
        if (!e) return false;
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
            if (windowName(c, m->window) == program.windowName) win = m->window;
        }
        std::free(e);
    }
    program.mapMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    // Painted: the bottom-left corner, outside the month grid, shows the background colour
    // (silver by default).
    program.size = windowSize(c, win);
    const int bottom = program.size.second - 2;
    bool painted = false;
    while (!(painted = pixelAt(c, win, 2, bottom) == 0xC0C0C0) && Clock::now() - t0 < std::chrono::seconds(10)) {
    }
    if (!painted) std::fprintf(stderr, "%s: window never painted\n", program.label);
    program.startMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    program.rssKiB.push_back(rssKiB(pid));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // Drain the unmap and destroy events of this run.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);
    return true;
}

template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const Program& p) {
    const auto [minMs, maxMs] = std::minmax_element(p.startMs.begin(), p.startMs.end());
    std::printf(
        "%-12s start-up to painted window: median %.1f ms (min %.1f, max %.1f; mapped at %.1f) over %zu "
        "runs; resident 1 s later: median %.1f MB\n",
        p.label, median(p.startMs), *minMs, *maxMs, median(p.mapMs), p.startMs.size(),
        static_cast<double>(median(p.rssKiB)) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <sorvel> <program dir> [runs [bare_window [reference <its dir>]]]\n", argv[0]);
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

    Program sorvel{"calendar", argv[2], {argv[1]}, "Sorvel", {}, {}, {}, {}};
    // The first start tells the calendar's size, which the bare window takes.
    if (!startOnce(c, sorvel)) return 1;
    sorvel.startMs.clear();
    sorvel.rssKiB.clear();
    sorvel.mapMs.clear();
    std::optional<Program> bare;
    if (argc > 4) {
        bare = Program{"bare window",
                       argv[2],
                       {argv[4], std::to_string(sorvel.size.first), std::to_string(sorvel.size.second)},
                       "bare window",
                       {},
                       {},
                       {},
                       {}};
    }
    std::optional<Program> reference;
    if (argc > 6) reference = Program{"reference", argv[6], {argv[5]}, "Sorvel", {}, {}, {}, {}};
    for (int i = 0; i < runs; ++i) {
        if (!startOnce(c, sorvel)) return 1;
        if (bare && !startOnce(c, *bare)) return 1;
        if (reference && !startOnce(c, *reference)) return 1;
    }
    report(sorvel);
    if (bare) {
        report(*bare);
        std::printf("calendar / bare window: time %.2fx, resident memory %+.1f MB\n",
                    median(sorvel.startMs) / median(bare->startMs),
                    static_cast<double>(median(sorvel.rssKiB) - median(bare->rssKiB)) / 1024.0);
    }
    if (reference) {
        report(*reference);
        std::printf("calendar / reference: time %.2fx, resident memory %.3fx (%+.0f KiB)\n",
                    median(sorvel.startMs) / median(reference->startMs),
                    static_cast<double>(median(sorvel.rssKiB)) / static_cast<double>(median(reference->rssKiB)),
                    static_cast<double>(median(sorvel.rssKiB) - median(reference->rssKiB)));
    }
    xcb_disconnect(c);
    return 0;
}
