// The schedule list over 100,000 notes spread over the years 1 to 9999: opening the window (tree
// and rows built, laid out and painted once) and refilling the rows for the root. The process's
// peak memory is reported as "peak_MB".
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include <QApplication>

#include "platform/text.h"
#include "schedule/yotei_form.h"
#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

using namespace sorvel;

namespace {

constexpr int kNotes = 100000;

void fill(TDateMemoList& memos) {
    const std::string captions[] = {sjis("会議"), sjis("歯医者の予約"), sjis("誕生日"), sjis("表計算ソフトの締切")};
    for (int i = 0; i < kNotes; ++i) {
        auto m = std::make_unique<TDateMemo>();
        m->year = 1 + static_cast<int>((static_cast<long long>(i) * 7919) % 9999);
        m->month = 1 + (i * 31) % 12;
        m->day = 1 + (i * 17) % 28;
        m->caption = captions[i % 4];
        m->text = sjis("午前十時から本社三階の会議室で打ち合わせ。") + "\r\n" + sjis("資料を忘れないこと。");
        memos.push_back(std::move(m));
    }
}

double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_OpenScheduleList(benchmark::State& state) {
    TDateMemoList memos;
    TCalenderSet cs;
    cs.DispYear = 2001;
    fill(memos);
    for (auto _ : state) {
        TYoteiForm form(nullptr);
        form.ApplyGeometry(TYoteiSet{});
        form.Open(cs, memos, nullptr);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.grab());
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenScheduleList)->Unit(benchmark::kMillisecond);

void BM_RefillRowsForRoot(benchmark::State& state) {
    TDateMemoList memos;
    TCalenderSet cs;
    cs.DispYear = 2001;
    fill(memos);
    TYoteiForm form(nullptr);
    form.Open(cs, memos, nullptr);
    QCoreApplication::processEvents();
    for (auto _ : state) form.Refresh();
    state.counters["rows"] = static_cast<double>(memos.size());
}
BENCHMARK(BM_RefillRowsForRoot)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
