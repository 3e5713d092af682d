// A year's almanac from a cold cache: the first lookup of a year computes its new moons, its
// solar terms and their neighbours; the rest of the year's days are read from what was kept.
#include <benchmark/benchmark.h>

#include "almanac/almanac.h"

namespace {

constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// state.range(0): the year.
void BM_YearFromColdCache(benchmark::State& state) {
    const int year = static_cast<int>(state.range(0));
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (auto _ : state) {
        sorvel::clearAlmanacCache();
        int rokuyo = 0;
        for (int m = 1; m <= 12; ++m) {
            const int days = kDaysInMonth[m - 1] + (m == 2 && leap ? 1 : 0);
            for (int d = 1; d <= days; ++d) rokuyo += sorvel::almanacDay(year, m, d).rokuyo;
        }
        benchmark::DoNotOptimize(rokuyo);
    }
}
BENCHMARK(BM_YearFromColdCache)->Arg(1873)->Arg(2025)->Arg(2033)->Arg(2200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
