// Repaints of the layout page at 1280 × 1024 with a calendar, a picture and a text on it,
// none of them rendered again: a rubber-band drag (the page image is copied and the band drawn)
// and the page composed again from the objects' cached images (after a move or a selection).
// Printing that page on A4 at 600 dpi: every object rendered at the printer's size, the page
// composed and handed to the printer, and the page laid out again for the window; the process's
// peak resident memory is reported beside it.
// Undo on that page: the snapshot taken before every edit (its size in bytes beside it), a move
// taken back (the object keeps its content), and a deleted picture taken back (read again from
// its file), each with the page composed again.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "layout/layout_paper.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "support/recording_printer.h"
#include "render/sorvel_draw.h"

namespace {

using namespace sorvel;

struct Page {
    explicit Page(bool a4At600 = false) {
        if (a4At600) {
            // 210 × 297 mm at 600 dpi, the page and the printer alike.
            printer.printableWidth = 4960;
            printer.printableHeight = 7015;
            page.ResetPage();
        }
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
        page.objects[0]->text()->Overlay = 1;
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

void BM_UndoSnapshot(benchmark::State& state) {
    Page p;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const LayoutSnapshot s = p.page.TakeSnapshot();
        bytes = 0;
        for (const std::string& block : s) bytes += block.size();
        benchmark::DoNotOptimize(s.data());
    }
    state.counters["snapshot_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMicrosecond);

void BM_UndoMove(benchmark::State& state) {
    Page p;
    for (auto _ : state) {
        LayoutSnapshot before = p.page.TakeSnapshot();
        p.page.objects[1]->MoveTo(40, 60, p.page.Scale);
        p.page.RecordEdit(std::move(before));
        if (p.page.Undo() != 1) state.SkipWithError("nothing to undo");
        p.page.ComposeView();
    }
}
BENCHMARK(BM_UndoMove)->Unit(benchmark::kMillisecond);

void BM_UndoDeletedPicture(benchmark::State& state) {
    Page p;
    for (auto _ : state) {
        LayoutSnapshot before = p.page.TakeSnapshot();
        p.page.objects.erase(p.page.objects.begin() + 1);
        p.page.RecordEdit(std::move(before));
        if (p.page.Undo() != 1) state.SkipWithError("nothing to undo");
        p.page.ComposeView();
    }
}
BENCHMARK(BM_UndoDeletedPicture)->Unit(benchmark::kMillisecond);

void BM_PrintA4At600Dpi(benchmark::State& state) {
    Page p(true);
    for (auto _ : state) {
        if (p.page.PrintLayout() != 1) state.SkipWithError("the page was not printed");
        p.printer.pages.clear();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["printer_px"] = 4960.0 * 7015.0;
}
BENCHMARK(BM_PrintA4At600Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
