// Benchmarks of the engine's loading, flag and entry-access exports, and of
// the exports whose passes run on workers (1 to 8 of them), on generated
// lists of 10^5 and 10^7 entries (data kept in ORMID_BENCH_DATA,
// default /tmp/ormid-bench-data, and reused between runs).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "OrmidYRB100.h"
#include "listgen.h"

namespace {

int32_t Quiet(int32_t) { return 0; }
int32_t QuietText(const char*) { return 0; }
int32_t QuietPair(int32_t, int32_t) { return 0; }

// The program's table does little per call; an empty one would hide the
// cost of calling back.
const YRB_CallbackTable kTable = {QuietText, Quiet, Quiet, QuietText, nullptr, Quiet, QuietPair};

const benchgen::Files& FilesFor(int64_t n) {
    static std::map<int64_t, benchgen::Files> cache;
    auto it = cache.find(n);
    if (it == cache.end()) it = cache.emplace(n, benchgen::Generate(benchgen::DataDir(), static_cast<uint64_t>(n))).first;
    return it->second;
}

int64_t FileSize(const std::string& p) { return static_cast<int64_t>(std::filesystem::file_size(p)); }

void LoadLF(int64_t n) {
    YRB07(&kTable);
    if (YRB13(1, FilesFor(n).lf.c_str(), 0, "", "\n") < 0) std::abort();
}

// Into an empty slot: every array is fresh memory.
void BM_LoadOneAddressPerLine(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    YRB07(&kTable);
    int32_t entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        YRB20(1);
        state.ResumeTiming();
        entries = YRB13(1, f.lf.c_str(), 0, "", "\n");
    }
    if (entries != state.range(0)) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * FileSize(f.lf));
    state.counters["entries"] = entries;
    YRB20(1);
}

// Into a slot that holds a list of the same size, as when a list is loaded again.
void BM_ReloadOneAddressPerLine(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    YRB07(&kTable);
    YRB13(1, f.lf.c_str(), 0, "", "\n");
    int32_t entries = 0;
    for (auto _ : state) entries = YRB13(1, f.lf.c_str(), 0, "", "\n");
    if (entries != state.range(0)) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * FileSize(f.lf));
    YRB20(1);
}

void BM_LoadSemicolonColumn2(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    YRB07(&kTable);
    int32_t entries = 0;
    for (auto _ : state) entries = YRB13(2, f.crlf.c_str(), 2, ";", "\r\n");
    if (entries != state.range(0)) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * FileSize(f.crlf));
    YRB20(2);
}

void BM_ReadWholeFile(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    YRB07(&kTable);
    const int64_t size = FileSize(f.lf);
    std::string buf(static_cast<size_t>(size) + 1, '\0');
    for (auto _ : state) benchmark::DoNotOptimize(YRB28(f.lf.c_str(), 100000, buf.data(), static_cast<uint32_t>(size)));
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_CountRecords(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    YRB07(&kTable);
    for (auto _ : state) benchmark::DoNotOptimize(YRB22(f.lf.c_str(), "\n", nullptr));
    state.SetBytesProcessed(state.iterations() * FileSize(f.lf));
}

void BM_ToggleAllFlags(benchmark::State& state) {
    LoadLF(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, &kTable));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    YRB20(1);
}

void BM_CountFiltered(benchmark::State& state) {
    LoadLF(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    YRB20(1);
}

void BM_ReverseOrder(benchmark::State& state) {
    LoadLF(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(YRB15(1));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    YRB20(1);
}

// What a repaint does per visible row: flags and the address text.
void BM_ReadRows(benchmark::State& state) {
    LoadLF(state.range(0));
    const int32_t n = static_cast<int32_t>(state.range(0));
    char buf[1025];
    int32_t e = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(YRB17(1, e, -1));
        benchmark::DoNotOptimize(YRB18(1, e, YRB_PART_ADDRESS, buf, 1024));
        e = (e + 7919) % n;
    }
    state.SetItemsProcessed(state.iterations());
    YRB20(1);
}

// ---- Exports whose heavy passes run on workers -----------------------------
// range(1) workers, pinned through the variable for the benchmark's run.

class PinnedWorkers {
public:
    explicit PinnedWorkers(int64_t n) { setenv("ORMID_ENGINE_THREADS", std::to_string(n).c_str(), 1); }
    ~PinnedWorkers() { unsetenv("ORMID_ENGINE_THREADS"); }
    PinnedWorkers(const PinnedWorkers&) = delete;
    PinnedWorkers& operator=(const PinnedWorkers&) = delete;
};

void BM_LoadWorkers(benchmark::State& state) {
    const auto& f = FilesFor(state.range(0));
    PinnedWorkers pin(state.range(1));
    YRB07(&kTable);
    int32_t entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        YRB20(1);
        state.ResumeTiming();
        entries = YRB13(1, f.lf.c_str(), 0, "", "\n");
    }
    if (entries != state.range(0)) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * FileSize(f.lf));
    YRB20(1);
}

void BM_SortWorkers(benchmark::State& state) {
    LoadLF(state.range(0));
    PinnedWorkers pin(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        YRB15(1);  // from another order each time
        state.ResumeTiming();
        benchmark::DoNotOptimize(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    YRB20(1);
}

void BM_DuplicatesWorkers(benchmark::State& state) {
    LoadLF(state.range(0));
    PinnedWorkers pin(state.range(1));
    const std::string report = benchgen::DataDir() + "/bench.dup";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(report.c_str());
        YRB15(1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(YRB11(1, YRB_PART_ADDRESS, YRB_FLAG_DUPLICATE, 0, YRB_MASK_REMOVED, report.c_str()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::remove(report.c_str());
    YRB20(1);
}

void BM_CompareWorkers(benchmark::State& state) {
    LoadLF(state.range(0));
    if (YRB13(2, FilesFor(state.range(0)).lf.c_str(), 0, "", "\n") < 0) std::abort();
    YRB15(2);
    PinnedWorkers pin(state.range(1));
    for (auto _ : state) benchmark::DoNotOptimize(YRB24(0, YRB_FLAG_IN_BOTH, 0, YRB_MASK_REMOVED, 0));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
    YRB20(1);
    YRB20(2);
}

void BM_SaveWorkers(benchmark::State& state) {
    LoadLF(state.range(0));
    YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0);  // written in an order unrelated to memory
    PinnedWorkers pin(state.range(1));
    const std::string out = benchgen::DataDir() + "/bench.out";
    for (auto _ : state) benchmark::DoNotOptimize(YRB01(1, 0, YRB_MASK_REMOVED, 0, 0, "", "\n", out.c_str(), 0, "wb"));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::remove(out.c_str());
    YRB20(1);
}

constexpr int64_t kSmall = 100000;
constexpr int64_t kLarge = 10000000;

#define SIZES ->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_LoadOneAddressPerLine) SIZES->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReloadOneAddressPerLine) SIZES->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadSemicolonColumn2) SIZES->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWholeFile) SIZES;
BENCHMARK(BM_CountRecords) SIZES;
BENCHMARK(BM_ToggleAllFlags) SIZES;
BENCHMARK(BM_CountFiltered) SIZES;
BENCHMARK(BM_ReverseOrder) SIZES;
#define WORKERS                                                                                  \
    ->Args({kSmall, 1})->Args({kSmall, 8})->Args({kLarge, 1})->Args({kLarge, 2})->Args({kLarge, 4}) \
        ->Args({kLarge, 8})->Unit(benchmark::kMillisecond)->UseRealTime()

BENCHMARK(BM_LoadWorkers) WORKERS;
BENCHMARK(BM_SortWorkers) WORKERS;
BENCHMARK(BM_DuplicatesWorkers) WORKERS;
BENCHMARK(BM_CompareWorkers) WORKERS;
BENCHMARK(BM_SaveWorkers) WORKERS;
BENCHMARK(BM_ReadRows)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
