// Import and export speed of the formats at a million entries.

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "convert/uConvertOv2.h"
#include "platform/uStreams.h"
#include "uBenchData.h"

namespace {

constexpr int MillionEntries = 1'000'000;

const std::string& Ov2Bytes()
{
    static const std::string bytes = MakeOv2(MillionEntries);
    return bytes;
}

void ReportRate(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * MillionEntries);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Ov2Bytes().size()));
}

void Ov2Import(benchmark::State& state)
{
    for (auto _ : state) {
        TEntries entries;
        TByteViewStream stream(Ov2Bytes());
        TConvertFromOv2().Execute(entries, stream);
        benchmark::DoNotOptimize(entries.Count());
        state.PauseTiming(); // freeing a million entries is not part of reading them
        entries.Clear();
        state.ResumeTiming();
    }
    ReportRate(state);
}

void Ov2Export(benchmark::State& state)
{
    TEntries entries;
    TByteViewStream input(Ov2Bytes());
    TConvertFromOv2().Execute(entries, input);
    for (auto _ : state) {
        TMemoryStream stream;
        TConvertToOv2().Execute(entries, stream);
        benchmark::DoNotOptimize(stream.Size());
    }
    ReportRate(state);
}

} // namespace

BENCHMARK(Ov2Import)->Unit(benchmark::kMillisecond);
BENCHMARK(Ov2Export)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The user's own precision must not change what is measured.
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
