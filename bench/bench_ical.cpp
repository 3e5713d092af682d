// iCalendar export of 100,000 notes and import of 100,000 all-day events, each with a
// Japanese caption and a two-line text; the peak memory of the process is reported. The
// almanac of ten years exported, computed from cold (arg 1) and from years already computed (arg 0).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QCoreApplication>

#include "almanac/almanac.h"
#include "ical/ical_export.h"
#include "ical/ical_import.h"
#include "platform/text.h"

using namespace sorvel;

namespace {

constexpr int kNotes = 100000;

const TDateMemoList& notes() {
    static TDateMemoList memos = [] {
        TDateMemoList out;
        const std::string captions[] = {sjis("会議"), sjis("歯医者の予約"), sjis("誕生日, 家族"), "Report"};
        for (int i = 0; i < kNotes; ++i) {
            auto m = std::make_unique<TDateMemo>();
            m->year = 1990 + (i * 7919) % 40;
            m->month = 1 + (i * 31) % 12;
            m->day = 1 + (i * 17) % 28;
            m->caption = captions[i % 4];
            m->text = sjis("午前十時から本社三階の会議室で打ち合わせ。\r\n資料を忘れないこと; ") + std::to_string(i);
            out.push_back(std::move(m));
        }
        return out;
    }();
    return memos;
}

std::vector<const TDateMemo*> notePointers() {
    std::vector<const TDateMemo*> out;
    for (const auto& m : notes()) out.push_back(m.get());
    return out;
}

double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_ExportIcal100k(benchmark::State& state) {
    const std::vector<const TDateMemo*> memos = notePointers();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out = exportIcal(memos, {}, IcalExportOptions{"20260101T000000Z"});
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_ImportIcal100k(benchmark::State& state) {
    const std::string file = exportIcal(notePointers(), {}, IcalExportOptions{"20260101T000000Z"});
    IcalImportOptions options;
    options.localZone = "Asia/Tokyo";
    std::size_t count = 0;
    for (auto _ : state) {
        IcalImport im = importIcal(file, options);
        count = im.memos.size();
        benchmark::DoNotOptimize(im.memos.data());
    }
    if (count != kNotes) state.SkipWithError("not every event became a note");
    state.counters["bytes"] = static_cast<double>(file.size());
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_ExportAlmanac10Years(benchmark::State& state) {
    IcalExportOptions options{"20260101T000000Z"};
    options.almanacFrom = 2021;
    options.almanacTo = 2030;
    const bool cold = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (cold) clearAlmanacCache();
        std::string out = exportIcal({}, {}, options);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

}  // namespace

BENCHMARK(BM_ExportAlmanac10Years)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportIcal100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportIcal100k)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
