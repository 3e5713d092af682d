// Day classification with Japan's national holidays: every month of the years 1 to 9999.
#include <benchmark/benchmark.h>

#include "calendar/day_classification.h"

namespace {

void classifyAllYears(benchmark::State& state, bool national) {
    const sorvel::THolidayList rules;  // the user's rules: none, so the built-in set alone
    const sorvel::TDateMemoList notes;
    for (auto _ : state) {
        int daysOff = 0;
        for (std::int64_t year = 1; year <= 9999; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const sorvel::DayClasses c =
                    sorvel::ClassifyDays(sorvel::DayClassInput{year, month, true, true, &rules, &notes, national});
                for (std::uint8_t slot : c.slot) daysOff += slot == sorvel::kSlotDayOff;
            }
        }
        benchmark::DoNotOptimize(daysOff);
    }
}

void BM_ClassifyYears1To9999National(benchmark::State& state) { classifyAllYears(state, true); }
BENCHMARK(BM_ClassifyYears1To9999National)->Unit(benchmark::kMillisecond);

// The same walk without the built-in set, for comparison.
void BM_ClassifyYears1To9999RulesOnly(benchmark::State& state) { classifyAllYears(state, false); }
BENCHMARK(BM_ClassifyYears1To9999RulesOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
