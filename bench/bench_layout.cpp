// Repaints of the layout page at 1280 × 1024 with a calendar, a picture and a text on it,
// none of them rendered again: a rubber-band drag (the page image is copied and the band drawn)
// and the page composed again from the objects' cached images (after a move or a selection).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "layout/layout_paper.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "render/sorvel_draw.h"

namespace {

using namespace sorvel;

struct Page {
    Page() {
        QImage photo(1920, 1080, QImage::Format_RGB888);
        photo.fill(QColor(40, 120, 200));
        photo.save(dir.filePath("photo.jpg"), "JPEG");
        page.LayoutFor(1280, 1024);
        page.objects.push_back(std::make_unique<TSorvelObj>(kObjText, ObjRect{60, 500, 600, 700}, page.Scale));
        page.objects[0]->text()->Text = "Sorvel\r\n2001";
        page.objects.push_back(std::make_unique<TSorvelObj>(kObjPicture, ObjRect{20, 20, 700, 400}, page.Scale));
        page.objects[1]->picture()->FileName = cp932FromPath(dir.filePath("photo.jpg"));
        page.objects[1]->picture()->LoadPicture();
        auto calendar = std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{20, 420, 700, 1000}, page.Scale);
        calendar->calendar()->settings().dateSet.NumberOfMonth = 12;
        calendar->calendar()->settings().dateSet.DrawStyle = 3;
        page.objects.push_back(std::move(calendar));
        page.ComposeView();  // every object renders once here
    }
    RecordingPrinter printer;  // 4760 × 6779 printable
    QTemporaryDir dir;
    TLayoutPaper page;
};

void BM_RubberBandRepaint(benchmark::State& state) {
    Page p;
    p.page.BandVisible = 1;
    int step = 0;
    for (auto _ : state) {
        p.page.band = RubberBand{100, 100, 200 + step % 300, 150 + step % 200};
        ++step;
        p.page.ComposeView();
        benchmark::DoNotOptimize(p.page.viewBuffer().image().constBits());
    }
    state.counters["view_px"] = 1280.0 * 1024.0;
}
BENCHMARK(BM_RubberBandRepaint)->Unit(benchmark::kMillisecond);

void BM_ComposeFromCachedObjects(benchmark::State& state) {
    Page p;
    int step = 0;
    for (auto _ : state) {
        p.page.objects[0]->MoveTo(60 + step % 50, 500, p.page.Scale);
        ++step;
        p.page.NeedsRender = 1;
        p.page.ComposeView();
        benchmark::DoNotOptimize(p.page.viewBuffer().image().constBits());
    }
}
BENCHMARK(BM_ComposeFromCachedObjects)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
