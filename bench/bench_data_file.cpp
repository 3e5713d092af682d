// Load and save of a large data file: 100,000 schedule notes with Japanese captions and
// multi-line texts, and 1,000 holiday rules.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "data/data_file.h"
#include "data/data_merge.h"
#include "platform/files.h"
#include "platform/text.h"

using namespace sorvel;

namespace {

constexpr int kNotes = 100000;
constexpr int kRules = 1000;

void makeLists(TDateMemoList& memos, THolidayList& rules) {
    const std::string captions[] = {sjis("会議"), sjis("歯医者の予約"), sjis("誕生日<家族>"), sjis("表計算ソフトの締切")};
    const std::string lines[] = {sjis("午前十時から本社三階の会議室で打ち合わせ。"), sjis("資料を忘れないこと。"),
                                 "Room 5-B, bring the laptop.", sjis("能力評価の面談（予定）")};
    for (int i = 0; i < kNotes; ++i) {
        auto m = std::make_unique<TDateMemo>();
        m->year = 1990 + (i * 7919) % 40;
        m->month = 1 + (i * 31) % 12;
        m->day = 1 + (i * 17) % 28;
        m->caption = captions[i % 4];
        m->text = lines[i % 4] + "\r\n" + lines[(i + 1) % 4] + "\r\n" + lines[(i + 2) % 4];
        memos.push_back(std::move(m));
    }
    for (int i = 0; i < kRules; ++i) {
        auto r = std::make_unique<THolidaySet>();
        r->dayOffKind = static_cast<std::uint8_t>(i % 3);
        r->ruleKind = static_cast<std::uint8_t>(i % 2);
        r->month = 1 + i % 12;
        r->day = 1 + i % 28;
        r->weekRow = i % 6;
        r->weekday = i % 7;
        r->ordinal = 1 + i % 5;
        r->name = sjis("振替休日") + std::to_string(i);
        rules.push_back(std::move(r));
    }
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    TDateMemoList memos;
    THolidayList rules;
    Fixture() {
        path = dir.filePath("Sorvel.dat");
        makeLists(memos, rules);
        atomicReplace(path, buildDataFile(memos, rules));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_LoadDataFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        auto bytes = readWholeFile(f.path);
        THolidayList rules;
        TDateMemoList memos;
        DataFileParse p = parseDataFile(*bytes, rules, memos);
        if (!p.complete || memos.size() != kNotes || rules.size() != kRules) state.SkipWithError("incomplete load");
        benchmark::DoNotOptimize(memos.data());
    }
    state.counters["bytes"] = static_cast<double>(readWholeFile(f.path)->size());
}

void BM_SaveDataFile(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath("Saved.dat");
    for (auto _ : state) {
        std::string bytes = buildDataFile(f.memos, f.rules);
        if (!atomicReplace(target, bytes)) state.SkipWithError("save failed");
    }
}

// A save as the calendar window makes it: the file read again and compared with what was last
// written (here unchanged), then written.
void BM_SaveDataFileCheckingTheFile(benchmark::State& state) {
    Fixture& f = fixture();
    std::string name = cp932FromPath(f.dir.filePath("Checked.dat"));
    DataFileBase base;
    SaveDataFile(name, f.dir.path(), f.rules, f.memos, &base);
    for (auto _ : state)
        if (SaveDataFile(name, f.dir.path(), f.rules, f.memos, &base) != 1) state.SkipWithError("save failed");
}

// The merge alone when the other version added one note to the whole file.
void BM_MergeOtherVersion(benchmark::State& state) {
    Fixture& f = fixture();
    TDateMemoList theirs;
    for (const auto& m : f.memos) theirs.push_back(std::make_unique<TDateMemo>(*m));
    theirs.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 1, 1, "", "new"}));
    for (auto _ : state) {
        state.PauseTiming();
        TDateMemoList ours;
        for (const auto& m : f.memos) ours.push_back(std::make_unique<TDateMemo>(*m));
        state.ResumeTiming();
        if (mergeOtherVersion(f.rules, f.memos, f.rules, theirs, f.rules, ours).total() != 1)
            state.SkipWithError("wrong merge");
    }
}

// The two halves without the disk, to tell parsing and building from file-system time.
void BM_ParseDataFileInMemory(benchmark::State& state) {
    const std::string bytes = *readWholeFile(fixture().path);
    THolidayList rules;
    TDateMemoList memos;
    for (auto _ : state) benchmark::DoNotOptimize(parseDataFile(bytes, rules, memos));
}

void BM_BuildDataFileInMemory(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(buildDataFile(f.memos, f.rules));
}

}  // namespace

BENCHMARK(BM_ParseDataFileInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDataFileInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDataFileCheckingTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeOtherVersion)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
