#include "convert/uConvertKmz.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include <QFile>
#include <QTemporaryDir>

#include <zip.h>
#include <zlib.h>

#include "convert/uConvertKml.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"
#include "platform/uXmlScanner.h"

namespace {

// The name Google Earth gives the main KML file of an archive.
constexpr char MainKml[] = "doc.kml";

struct TArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct TFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using TArchive = std::unique_ptr<zip_t, TArchiveCloser>;
using TArchiveFile = std::unique_ptr<zip_file_t, TFileCloser>;

// A libzip error, released with its owner.
class TZipError {
public:
    TZipError() { zip_error_init(&Error); }
    ~TZipError() { zip_error_fini(&Error); }
    TZipError(const TZipError&) = delete;
    TZipError& operator=(const TZipError&) = delete;

    zip_error_t* Get() { return &Error; }
    QString Text() { return QString::fromUtf8(zip_error_strerror(&Error)); }

private:
    zip_error_t Error;
};

[[noreturn]] void FailPacking(const QString& reason)
{
    throw EUserError(Tr(Msg::KmzCannotPack).arg(reason));
}

[[noreturn]] void FailPacking(zip_t* archive)
{
    FailPacking(QString::fromUtf8(zip_strerror(archive)));
}

// Under the developer switch the archive dates its file on a fixed day, midnight local time
// as zip stores it, so that its bytes are the same in every run and time zone; else the file
// bears the time it was written.
time_t FixedDay()
{
    std::tm day {};
    day.tm_year = 100;
    day.tm_mday = 1;
    day.tm_isdst = -1;
    return std::mktime(&day);
}

// Deflates what is written to it into the file at `path`, as one raw deflate stream, the way
// a zip archive holds a file. Pieces of the text are deflated each on its own, on every core
// at once, and joined: one core would take seconds over the text of a million placemarks.
class TParallelDeflater : public TAppendStream {
public:
    explicit TParallelDeflater(const QString& path)
        : Packed(path)
    {
    }

    void Write(const void* buffer, int64_t count) override
    {
        Filling.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
        Written += count;
        if (Filling.size() >= PieceSize)
            StartPiece();
    }
    using TStream::Write;

    struct TSummary {
        uint64_t Size;
        uint64_t PackedSize;
        uint32_t Crc;
    };

    // Ends the stream and commits the file.
    TSummary Finish()
    {
        StartPiece();
        while (!Pending.empty())
            CollectPiece();
        // An empty last block, fixed codes, that marks the end of the stream.
        Packed.Write(std::string_view("\x03\x00", 2));
        Packed.Commit();
        return { static_cast<uint64_t>(Written), PackedSize + 2, static_cast<uint32_t>(Crc) };
    }

private:
    struct TPiece {
        std::string Bytes;
        uLong Crc;
        size_t Size;
    };

    // Pieces big enough that cutting the text costs next to nothing of its packing.
    static constexpr size_t PieceSize = size_t(1) << 20;

    // `text` deflated at the fastest level and ended on a byte boundary, so that pieces join.
    static TPiece Deflate(const std::string& text)
    {
        z_stream stream {};
        // Negative window bits: raw deflate, without zlib's header and checksum.
        if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            FailPacking(QString::fromUtf8(stream.msg ? stream.msg : "deflateInit2"));
        const std::unique_ptr<z_stream, int (*)(z_stream*)> owner(&stream, deflateEnd);
        TPiece piece { std::string(deflateBound(&stream, text.size()) + 16, '\0'),
            crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())),
            text.size() };
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        stream.avail_in = static_cast<uInt>(text.size());
        stream.next_out = reinterpret_cast<Bytef*>(piece.Bytes.data());
        stream.avail_out = static_cast<uInt>(piece.Bytes.size());
        if (deflate(&stream, Z_SYNC_FLUSH) != Z_OK || stream.avail_in != 0)
            FailPacking(QString::fromUtf8(stream.msg ? stream.msg : "deflate"));
        piece.Bytes.resize(stream.total_out);
        return piece;
    }

    void StartPiece()
    {
        if (Filling.empty())
            return;
        Pending.push_back(std::async(std::launch::async,
            [text = std::exchange(Filling, std::string())] { return Deflate(text); }));
        // One piece a core in the works and one waiting: the memory stays a few pieces.
        if (Pending.size() > std::max(2u, std::thread::hardware_concurrency()))
            CollectPiece();
    }

    void CollectPiece()
    {
        const TPiece piece = Pending.front().get();
        Pending.pop_front();
        Packed.Write(piece.Bytes);
        PackedSize += piece.Bytes.size();
        Crc = crc32_combine(Crc, piece.Crc, static_cast<z_off_t>(piece.Size));
    }

    TSafeFileStream Packed;
    std::string Filling;
    std::deque<std::future<TPiece>> Pending;
    uint64_t PackedSize = 0;
    uLong Crc = crc32(0, nullptr, 0);
};

// What libzip reads as a file's bytes packed already, with their sizes and checksum: it
// stores them as they are instead of packing them again.
class TPackedSource {
public:
    TPackedSource(const QString& path, const TParallelDeflater::TSummary& summary)
        : File(path)
        , Summary(summary)
    {
    }

    static zip_int64_t Call(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<TPackedSource*>(self)->Answer(data, length, command);
    }

private:
    zip_int64_t Answer(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            return File.open(QIODevice::ReadOnly) ? 0 : Failed(ZIP_ER_OPEN);
        case ZIP_SOURCE_READ: {
            const qint64 read = File.read(static_cast<char*>(data), static_cast<qint64>(length));
            return read >= 0 ? read : Failed(ZIP_ER_READ);
        }
        case ZIP_SOURCE_CLOSE:
            File.close();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
            stat->size = Summary.Size;
            stat->comp_size = Summary.PackedSize;
            stat->comp_method = ZIP_CM_DEFLATE;
            stat->crc = Summary.Crc;
            return sizeof *stat;
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(Error.Get(), data, length);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(Error.Get(), ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    zip_int64_t Failed(int code)
    {
        zip_error_set(Error.Get(), code, 0);
        return -1;
    }

    QFile File;
    TParallelDeflater::TSummary Summary;
    TZipError Error;
};

// Makes a new archive at `path` whose main KML file is `packed`, deflated already.
void PackKml(TPackedSource& packed, const QString& path)
{
    TZipError error;
    // Length 0: the whole file.
    zip_source_t* target =
        zip_source_file_create(path.toLocal8Bit().constData(), 0, 0, error.Get());
    if (!target)
        FailPacking(error.Text());
    TArchive archive(zip_open_from_source(target, ZIP_CREATE | ZIP_TRUNCATE, error.Get()));
    if (!archive) {
        zip_source_free(target);
        FailPacking(error.Text());
    }
    zip_source_t* source = zip_source_function(archive.get(), TPackedSource::Call, &packed);
    if (!source)
        FailPacking(archive.get());
    const zip_int64_t index = zip_file_add(archive.get(), MainKml, source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        FailPacking(archive.get());
    }
    if (DevSwitch()
        && zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(index), FixedDay(), 0) != 0)
        FailPacking(archive.get());
    // zip_close copies the packed bytes in; on success it frees the archive.
    if (zip_close(archive.get()) != 0)
        FailPacking(archive.get());
    archive.release();
}

// Copies the file at `path` to `stream` a piece at a time.
void CopyFile(const QString& path, TStream& stream)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FailPacking(file.errorString());
    std::string piece(size_t(1) << 20, '\0');
    while (const qint64 read = file.read(piece.data(), static_cast<qint64>(piece.size()))) {
        if (read < 0)
            FailPacking(file.errorString());
        stream.Write(piece.data(), read);
    }
}

} // namespace

void TConvertToKmz::Execute(TEntries& entries, TStream& stream)
{
    // The KML text is deflated as it is written and the archive goes through a file, not
    // memory: the text of millions of placemarks is several times what their entries take.
    QTemporaryDir folder(SystemTemporaryTemplate(QStringLiteral("marivel-kmz")));
    if (!folder.isValid())
        FailPacking(folder.errorString());
    const QString packedPath = folder.filePath("doc.deflated"),
                  path = folder.filePath("archive.kmz");
    TParallelDeflater::TSummary summary;
    {
        TParallelDeflater packed(packedPath);
        TConvertToKml writer;
        writer.OnProgress = OnProgress;
        writer.Execute(entries, packed);
        summary = packed.Finish();
    }
    TPackedSource source(packedPath, summary);
    PackKml(source, path);
    CopyFile(path, stream);
}

namespace {

// A KML file that unpacks to more than this, or to more than `MaxRatio` times its packed size
// once past `RatioFrom`, is taken for a zip bomb. Small files are spared the ratio: what is at
// stake is memory, and text of one repeated character packs better than 100:1.
constexpr uint64_t MaxUnpacked = uint64_t(1) << 30;
constexpr uint64_t MaxRatio = 100;
constexpr uint64_t RatioFrom = uint64_t(1) << 20;

uint64_t AllowedSize(uint64_t packedSize)
{
    return std::min(MaxUnpacked, std::max(RatioFrom, packedSize * MaxRatio));
}

// The index of the archive's main KML file, else of its first KML file; -1 when it has none.
zip_int64_t KmlIndex(zip_t* archive)
{
    zip_int64_t first = -1;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (!name)
            continue;
        if (std::string_view(name) == MainKml)
            return i;
        if (first < 0 && QString::fromUtf8(name).endsWith(".kml", Qt::CaseInsensitive))
            first = i;
    }
    return first;
}

// A file of the archive, read in pieces, refused beyond what `AllowedSize` allows whatever
// the archive says of its size.
class TPackedFile {
public:
    TPackedFile(zip_t* archive, zip_int64_t index)
    {
        const auto entry = static_cast<zip_uint64_t>(index);
        Name = QString::fromUtf8(zip_get_name(archive, entry, ZIP_FL_ENC_GUESS));
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, entry, 0, &stat) != 0)
            Fail(zip_strerror(archive));
        Allowed = AllowedSize((stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0);
        Declared = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
        if (Declared > Allowed)
            throw EUserError(Tr(Msg::KmzTooLarge).arg(Name));
        File.reset(zip_fopen_index(archive, entry, 0));
        if (!File)
            Fail(zip_strerror(archive));
    }

    uint64_t DeclaredSize() const { return Declared; }

    // Fills `buffer` as far as the file goes; how many bytes, 0 at its end.
    size_t Read(char* buffer, size_t count)
    {
        size_t length = 0;
        while (length < count) {
            const zip_int64_t read = zip_fread(File.get(), buffer + length, count - length);
            if (read < 0)
                Fail(zip_file_strerror(File.get()));
            if (read == 0)
                break;
            length += static_cast<size_t>(read);
        }
        ReadSoFar += length;
        if (ReadSoFar > Allowed)
            throw EUserError(Tr(Msg::KmzTooLarge).arg(Name));
        return length;
    }

    // Appends the next `count` bytes, or as many as are left, to `bytes`; how many.
    size_t Append(std::string& bytes, size_t count)
    {
        const size_t held = bytes.size();
        bytes.resize(held + count);
        bytes.resize(held + Read(bytes.data() + held, count));
        return bytes.size() - held;
    }

private:
    [[noreturn]] void Fail(const char* reason) const
    {
        throw EUserError(Tr(Msg::KmzCannotUnpack).arg(Name, QString::fromUtf8(reason)));
    }

    QString Name;
    TArchiveFile File;
    uint64_t Allowed = 0, Declared = 0, ReadSoFar = 0;
};

// The archive in `bytes`, which outlive it.
TArchive OpenArchive(std::string_view bytes)
{
    TZipError error;
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, error.Get());
    if (!source)
        throw EUserError(Tr(Msg::KmzNotZip).arg(error.Text()));
    TArchive archive(zip_open_from_source(source, ZIP_RDONLY, error.Get()));
    if (!archive) {
        zip_source_free(source);
        throw EUserError(Tr(Msg::KmzNotZip).arg(error.Text()));
    }
    return archive;
}

} // namespace

void TConvertFromKmz::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    const TArchive archive = OpenArchive(input.Bytes());
    const zip_int64_t index = KmlIndex(archive.get());
    if (index < 0)
        throw EUserError(Tr(Msg::KmzWithoutKml));
    TPackedFile file(archive.get(), index);
    TConvertFromKml reader;
    reader.OnProgress = OnProgress;
    // Unpacked whole, the text would take several times what its entries take; so it is read
    // a piece at a time, but for UTF-16, which is converted whole.
    std::string text, utf8;
    file.Append(text, TXmlScanner::PieceSize);
    if (XmlBytesAsUtf8(text, utf8).data() == text.data()) {
        TXmlScanner scanner(std::move(text),
            [&file](char* buffer, size_t count) { return file.Read(buffer, count); });
        reader.Read(entries, scanner, file.DeclaredSize());
    } else {
        while (file.Append(text, TXmlScanner::PieceSize) > 0) { }
        const std::string_view bytes = XmlBytesAsUtf8(text, utf8);
        TXmlScanner scanner(bytes);
        reader.Read(entries, scanner, bytes.size());
    }
    for (const QString& warning : reader.Warnings())
        Warn(warning);
    stream.Seek(0, TSeekOrigin::End);
}

void RegisterKmz()
{
    RegisterFormat<TConvertToKmz, TConvertFromKmz>(
        QStringLiteral("Google Earth (zipped)"), QStringLiteral("kmz"), rpLast);
}

void UnregisterKmz() { UnregisterFormat<TConvertToKmz, TConvertFromKmz>(); }
