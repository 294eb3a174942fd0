// Feeds the same bytes to every importer and to the readers of the program's other input from
// outside: a site index from the web, the calibration file beside a map picture and a stored
// AutoUpdate item line. A user error is the right answer to damaged data; anything else (a
// crash, a sanitizer report, another exception) is a fault.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include <QStringList>
#include <QTemporaryDir>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "map/uCalibration.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"
#include "sites/uSite.h"
#include "sites/uUpdateItems.h"

namespace {

using TReader = void (*)(std::string_view bytes);

void ReadSiteIndex(std::string_view bytes)
{
    TSite("http://127.0.0.1/site.xml").LoadFromXml(bytes);
}

void ReadCalibration(std::string_view bytes)
{
    static QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("map.png.inf"));
    SaveFileBytes(file, bytes);
    ReadCalibrationFile(file, QSize(640, 480));
}

bool SameItem(const TUpdateItem& a, const TUpdateItem& b)
{
    return a.Target == b.Target && a.Site == b.Site && a.Poi == b.Poi && a.Country == b.Country
        && a.LastChecked == b.LastChecked && a.LastUpdated == b.LastUpdated && a.Format == b.Format;
}

// Whatever a stored line holds, in either layout, the item read from it is written and read
// back unchanged.
void FeedItemReader(std::string_view bytes)
{
    const QString line = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (const bool escaped : { false, true }) {
        const auto item = ParseItemLine(line, escaped);
        if (!SameItem(*item, *ParseItemLine(ItemLine(*item), true)))
            __builtin_trap();
    }
}

// The other readers by the name MARIVEL_FUZZ_FORMATS knows them by.
const std::pair<const char*, TReader> OtherReaders[] = {
    { "siteindex", ReadSiteIndex },
    { "calibration", ReadCalibration },
    { "subscriptions", FeedItemReader },
};

QStringList Focus()
{
    return qEnvironmentVariable("MARIVEL_FUZZ_FORMATS").split(QLatin1Char(','), Qt::SkipEmptyParts);
}

// The importers fed, by registry index: all of them, or those whose format ids
// MARIVEL_FUZZ_FORMATS lists (comma-separated), for a run that dwells on a few.
std::vector<int> Importers()
{
    const QStringList focus = Focus();
    std::vector<int> importers;
    for (int i = 0; i < ImporterCount(); ++i)
        if (focus.isEmpty() || focus.contains(ImporterFormatId(i)))
            importers.push_back(i);
    return importers;
}

std::vector<TReader> Readers()
{
    const QStringList focus = Focus();
    std::vector<TReader> readers;
    for (const auto& [name, reader] : OtherReaders)
        if (focus.isEmpty() || focus.contains(QLatin1String(name)))
            readers.push_back(reader);
    return readers;
}

std::vector<int> Fed;
std::vector<TReader> FedReaders;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static QTemporaryDir config; // stored options and precision must not vary between runs
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    RegisterBuiltInFormats();
    Fed = Importers();
    FedReaders = Readers();
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
    for (const TReader read : FedReaders) {
        try {
            read(bytes);
        } catch (const EUserError&) {
        }
    }
    return 0;
}
