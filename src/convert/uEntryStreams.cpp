// A list of entries written and read through the converter registry. They are members of
// `TEntries`, but defined here, above the entries' floor, as only the converters know the
// formats.
#include <string>

#include "convert/uConvertBase.h"
#include "core/uModel.h"
#include "platform/uCodePage.h"
#include "platform/uStreams.h"

void TEntries::SaveToStream(
    TStream& stream, const QString& ext, const QString& formatId, const QString& target)
{
    auto exporter = CreateExporter(ext, formatId);
    exporter->SetTarget(target);
    exporter->OnProgress = OnProgress;
    exporter->Execute(*this, stream);
}

QStringList TEntries::LoadFromStream(
    TStream& stream, const QString& ext, const QString& formatId, bool append, std::string* icon)
{
    auto importer = CreateImporter(ext, formatId);
    if (!append)
        FreeAll();
    importer->OnProgress = OnProgress;
    const size_t invalidBefore = InvalidSequences();
    try {
        importer->Execute(*this, stream);
    } catch (...) {
        stream.CheckUnchanged(); // a file cut short while read fails to parse: the cause is told
        throw;
    }
    stream.CheckUnchanged();
    if (icon)
        *icon = importer->Icon();
    QStringList warnings = importer->Warnings();
    if (const size_t invalid = InvalidSequences() - invalidBefore)
        warnings.prepend(InvalidSequenceWarning(invalid));
    return warnings;
}

QString TEntries::GpxText()
{
    TMemoryStream stream;
    SaveToStream(stream, QStringLiteral(".gpx"), QString());
    const std::string& bytes = stream.Bytes();
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); // as declared
}

void TEntries::AppendGpxText(const QString& text)
{
    // Marked as UTF-8, whatever its declaration says: the clipboard's text is Unicode already.
    const QByteArray utf8 = text.toUtf8();
    TMemoryStream stream(
        "\xEF\xBB\xBF" + std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
    LoadFromStream(stream, QStringLiteral(".gpx"), QString(), true);
}
