// Feeds the same bytes to every importer. A user error is the right answer to damaged data;
// anything else (a crash, a sanitizer report, another exception) is a fault.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <QStringList>
#include <QTemporaryDir>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"

namespace {

// The importers fed, by registry index: all of them, or those whose format ids
// MARIVEL_FUZZ_FORMATS lists (comma-separated), for a run that dwells on a few.
std::vector<int> Importers()
{
    const QStringList focus =
        qEnvironmentVariable("MARIVEL_FUZZ_FORMATS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    std::vector<int> importers;
    for (int i = 0; i < ImporterCount(); ++i)
        if (focus.isEmpty() || focus.contains(ImporterFormatId(i)))
            importers.push_back(i);
    return importers;
}

std::vector<int> Fed;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static QTemporaryDir config; // stored options and precision must not vary between runs
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    RegisterBuiltInFormats();
    Fed = Importers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const int i : Fed) {
        TEntries entries;
        TByteViewStream stream(bytes);
        try {
            CreateImporterAt(i)->Execute(entries, stream);
        } catch (const EUserError&) {
        }
    }
    return 0;
}
