// Import and export speed of every format at a million entries.

#include <map>

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "platform/uStreams.h"
#include "uBenchData.h"

namespace {

constexpr int MillionEntries = 1'000'000;

const std::string& Ov2Bytes()
{
    static const std::string bytes = MakeOv2(MillionEntries);
    return bytes;
}

TEntries& MillionPoints()
{
    static TEntries entries;
    if (entries.Count() == 0) {
        TByteViewStream stream(Ov2Bytes());
        entries.LoadFromStream(stream, QStringLiteral("ov2"), QString(), false);
    }
    return entries;
}

// A million points in the format of importer `index`: written by the format's own exporter,
// or made for the formats that are only read.
const std::string& InputFor(int index)
{
    static std::map<int, std::string> inputs;
    auto [found, added] = inputs.try_emplace(index);
    if (added) {
        const QString id = ImporterFormatId(index);
        if (id == QLatin1String("gdb"))
            found->second = MakeGdb(MillionEntries);
        else if (id == QLatin1String("ttcfg"))
            found->second = MakeCfg(MillionEntries);
        else if (id == QLatin1String("excelxml"))
            found->second = MakeExcelXml(MillionEntries);
        else if (int exporter = IndexOfExporterFormat(id); exporter >= 0) {
            TMemoryStream stream;
            CreateExporterAt(exporter)->Execute(MillionPoints(), stream);
            found->second = stream.Bytes();
        }
    }
    return found->second;
}

void Import(benchmark::State& state, int index)
{
    const std::string& input = InputFor(index);
    for (auto _ : state) {
        TEntries entries;
        TByteViewStream stream(input);
        CreateImporterAt(index)->Execute(entries, stream);
        state.PauseTiming(); // freeing a million entries is not part of reading them
        entries.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * MillionEntries);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

void Export(benchmark::State& state, int index)
{
    TEntries& entries = MillionPoints();
    for (auto _ : state) {
        TMemoryStream stream;
        CreateExporterAt(index)->Execute(entries, stream);
        benchmark::DoNotOptimize(stream.Size());
    }
    state.SetItemsProcessed(state.iterations() * MillionEntries);
}

void RegisterCases()
{
    for (int i = 0; i < ImporterCount(); ++i)
        benchmark::RegisterBenchmark(
            ("Import/" + ImporterFormatId(i)).toStdString().c_str(), Import, i)
            ->Unit(benchmark::kMillisecond);
    for (int i = 0; i < ExporterCount(); ++i)
        benchmark::RegisterBenchmark(
            ("Export/" + ExporterFormatId(i)).toStdString().c_str(), Export, i)
            ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    // The user's own precision and options must not change what is measured.
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    TBuiltInFormats formats;
    RegisterCases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
