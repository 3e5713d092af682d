// The layout file (M06 with nested M07, M01/M05, M08 and M09 blocks); a page that reads saves,
// and what it saved reads back and saves to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <QGuiApplication>

#include "layout/layout_paper.h"

namespace {
// Fonts (text objects measure their lines) need a GUI application.
void ensureApp() {
    static int argc = 1;
    static char name[] = "fuzz_layout_file";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// A page fitted to a small view, as the window shows it: objects get small bitmaps.
std::string roundTrip(std::string_view bytes, bool& ok) {
    sorvel::TLayoutPaper page;
    page.LayoutFor(200, 200);
    ok = page.ParseLayout(bytes) == sorvel::LayoutRead::Ok;
    return ok ? page.BuildLayout() : std::string();
}
}  // namespace

// The GUI application and the font caches of Qt and fontconfig live for the whole process;
// the leak checker at exit would report them.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureApp();
    bool ok = false;
    const std::string saved = roundTrip(std::string_view(reinterpret_cast<const char*>(data), size), ok);
    if (!ok) return 0;
    bool again = false;
    if (roundTrip(saved, again) != saved || !again) std::abort();
    return 0;
}
