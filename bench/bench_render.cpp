// Render times of the calendar engine: the default window, twelve months over a wallpaper at
// zoom 200, twelve months at zoom 200 with the almanac line, and one month at the quick-print
// size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/files.h"
#include "render/sorvel_draw.h"

namespace {

using sorvel::TSorvelDraw;

void prepare(TSorvelDraw& draw) {
    sorvel::setTodayForTesting(sorvel::LocalDate{2001, 9, 10});
    draw.ResetSettings();
    draw.settings().DispYear = 2001;
    draw.settings().DispMonth = 9;
    draw.settings().TodayColoring = 1;
}

void renderLoop(benchmark::State& state, TSorvelDraw& draw, const sorvel::CalendarSources& sources = {}) {
    for (auto _ : state) {
        draw.setRedraw();
        draw.Render(sources);
        benchmark::DoNotOptimize(draw.canvas().constBits());
    }
    state.counters["pixels"] = static_cast<double>(draw.canvas().width()) * draw.canvas().height();
}

void BM_DefaultWindow(benchmark::State& state) {
    TSorvelDraw draw;
    prepare(draw);
    renderLoop(state, draw);
}
BENCHMARK(BM_DefaultWindow)->Unit(benchmark::kMillisecond);

// A photograph-like wallpaper: gradients and some detail, so the decoder and the stretch see
// ordinary data.
QImage photo(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 255 / w) ^ (y & 31), (y * 255 / h), ((x + y) * 255 / (w + h)) ^ (x & 15));
    }
    return img;
}

// `months` months at zoom 200 over a 1920x1080 photograph kept in `dir`, in the bold style with
// every shadow; false (and the benchmark skipped) when the wallpaper does not load.
bool zoom200OverWallpaper(benchmark::State& state, TSorvelDraw& draw, const QTemporaryDir& dir, std::int32_t months) {
    const QString path = dir.filePath(QStringLiteral("wall.jpg"));
    photo(1920, 1080).save(path, "JPEG", 90);
    prepare(draw);
    sorvel::TCalenderSet& s = draw.settings();
    s.WallPaperName = sorvel::cp932FromPath(path);
    s.IsWallPaper = 1;
    if (draw.LoadWallpaper() != 1) {
        state.SkipWithError("wallpaper not loaded");
        return false;
    }
    s.DispPercent = 200;
    s.dateSet.NumberOfMonth = months;
    s.dateSet.DrawStyle = 2;
    s.DayShadow = s.MonthShadow = s.YearShadow = 1;
    return true;
}

// state.range(0): 1 with Japan's national holidays and the era year shown.
void BM_TwelveMonthsZoom200Wallpaper(benchmark::State& state) {
    QTemporaryDir dir;
    TSorvelDraw draw;
    if (!zoom200OverWallpaper(state, draw, dir, 12)) return;
    const bool shown = state.range(0) != 0;
    renderLoop(state, draw, sorvel::CalendarSources{nullptr, nullptr, shown, shown});
}
BENCHMARK(BM_TwelveMonthsZoom200Wallpaper)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Twelve months (state.range(0) = 12) or one at zoom 200 over the wallpaper above, with 六曜,
// 旧暦 and the solar terms under the day numbers; counter "line" tells whether the cells held
// the line. The almanac of the years shown is computed once and kept, as in the window; that
// first frame is left out.
void BM_TwelveMonthsZoom200Almanac(benchmark::State& state) {
    QTemporaryDir dir;
    TSorvelDraw draw;
    if (!zoom200OverWallpaper(state, draw, dir, static_cast<std::int32_t>(state.range(0)))) return;
    const sorvel::CalendarSources sources{nullptr, nullptr, true, true};
    draw.setRedraw();
    draw.Render(sources);
    const QImage without = draw.canvas().copy();
    draw.setAlmanacShown(sorvel::AlmanacShown{true, true, true});
    draw.setRedraw();
    draw.Render(sources);
    const bool line = draw.canvas() != without;
    renderLoop(state, draw, sources);
    state.counters["line"] = line ? 1 : 0;
}
BENCHMARK(BM_TwelveMonthsZoom200Almanac)->Arg(12)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_QuickPrintSize(benchmark::State& state) {
    TSorvelDraw draw;
    prepare(draw);
    draw.SetExplicitSize(4757, 3568);
    renderLoop(state, draw);
}
BENCHMARK(BM_QuickPrintSize)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
