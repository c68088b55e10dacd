// The notes index at 100,000 records (about 20 MB): load (parse and build every record), save,
// and 1,024 lookups. bench/index_vs_python.sh compares load and save with Python's
// xml.etree.ElementTree.parse of the same file.
//
//   bench_storage --write-index=PATH    writes the index and exits
//   VORN_BENCH_INDEX=PATH bench_storage  benchmarks that index (otherwise a fresh one)

#include "URandom.h"
#include "UTConfigurationManager.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

constexpr int kRecords = 100000;

TNoteDefaults Defaults() {
    TNoteDefaults defaults;
    defaults.RandomColor = true;
    return defaults;
}

void WriteIndex(const std::string& path) {
    static const char* const kFonts[] = {"MS Sans Serif", "DejaVu Sans", "Noto Serif CJK SC",
                                         "Liberation Mono", "Ubuntu Condensed"};
    RandomSeed(1);
    std::remove(path.c_str());
    TConfigurationManager store(path, Defaults);
    for (int id = 1; id <= kRecords; ++id) {
        TNoteConfig config = TNoteConfig::CreateWithId(Defaults(), id);
        config.Left = RandomInt(3840) - 100;
        config.Top = RandomInt(2160);
        config.Width = 64 + RandomInt(400);
        config.Height = 36 + RandomInt(300);
        config.Minimized = RandomInt(4) == 0;
        config.ReadOnly = RandomInt(3) == 0;
        config.FontSize = 8 + RandomInt(10);
        config.FontColor = RandomInt(0xFFFFFF);
        config.FontName = kFonts[id % 5];
        store.Add(id, config);
    }
    store.Save();
}

const std::string& IndexPath() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        if (const char* given = std::getenv("VORN_BENCH_INDEX"))
            return std::string(given);
        const std::string fresh = folder.path().toStdString() + "/vornnotes.xml";
        WriteIndex(fresh);
        return fresh;
    }();
    return path;
}

void BM_IndexLoad(benchmark::State& state) {
    for (auto _ : state) {
        auto store = std::make_unique<TConfigurationManager>(IndexPath(), Defaults);
        benchmark::DoNotOptimize(store->Records().data());
        state.PauseTiming(); // freeing the store is no part of loading it
        store.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_IndexLoad)->Unit(benchmark::kMillisecond)->MinTime(1);

void BM_IndexSave(benchmark::State& state) {
    TConfigurationManager store(IndexPath(), Defaults);
    QTemporaryDir folder;
    TConfigurationManager target(folder.path().toStdString() + "/vornnotes.xml", Defaults);
    for (const auto& [key, record] : store.Records())
        target.Add(record->Id, *record);
    for (auto _ : state)
        target.Save();
}
BENCHMARK(BM_IndexSave)->Unit(benchmark::kMillisecond)->MinTime(1);

// 1,024 lookups spread over the whole store, as opening 1,024 notes does.
void BM_Get1024(benchmark::State& state) {
    TConfigurationManager store(IndexPath(), Defaults);
    for (auto _ : state) {
        for (int i = 0; i < 1024; ++i)
            benchmark::DoNotOptimize(store.Get(1 + (i * 97) % kRecords));
    }
}
BENCHMARK(BM_Get1024)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-index=", 14) == 0) {
            WriteIndex(argv[i] + 14);
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
