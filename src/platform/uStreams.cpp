#include "platform/uStreams.h"

#include <algorithm>
#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

constexpr size_t FlushThreshold = 256 * 1024;

} // namespace

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (Read(buffer, count) != count)
        throw Exception(Tr(Msg::StreamReadError));
}

int64_t TInMemoryStream::Read(void* buffer, int64_t count)
{
    const std::string_view bytes = Span();
    int64_t available = std::max<int64_t>(0, static_cast<int64_t>(bytes.size()) - Pos);
    int64_t n = std::clamp<int64_t>(count, 0, available);
    if (n > 0)
        std::memcpy(buffer, bytes.data() + Pos, static_cast<size_t>(n));
    Pos += n;
    return n;
}

int64_t TInMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == TSeekOrigin::Beginning ? 0
        : origin == TSeekOrigin::Current            ? Pos
                                                    : Size();
    Pos = std::max<int64_t>(0, base + offset);
    return Pos;
}

TMemoryStream::TMemoryStream(std::string bytes)
    : Data(std::move(bytes))
{
}

void TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    if (Pos == Size())
        Data.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    else {
        auto end = static_cast<size_t>(Pos + count);
        if (end > Data.size())
            Data.resize(end);
        std::memcpy(Data.data() + Pos, buffer, static_cast<size_t>(count));
    }
    Pos += count;
}

TByteViewStream::TByteViewStream(std::string_view bytes)
    : View(bytes)
{
}

void TByteViewStream::Write(const void*, int64_t)
{
    throw Exception(QStringLiteral("A read-only stream cannot be written"));
}

TMappedFile::TMappedFile(const QString& path)
    : File(std::make_unique<QFile>(path))
{
    if (!QFileInfo(path).isFile())
        throw EUserError(Tr(Msg::FileNotFound).arg(path));
    if (!File->open(QIODevice::ReadOnly))
        throw EUserError(Tr(Msg::CannotOpenFile).arg(path, File->errorString()));
    std::string_view bytes;
    if (File->size() > 0) {
        const uchar* memory = File->map(0, File->size());
        if (!memory)
            throw EUserError(Tr(Msg::CannotOpenFile).arg(path, File->errorString()));
        bytes = { reinterpret_cast<const char*>(memory), static_cast<size_t>(File->size()) };
    }
    View = std::make_unique<TByteViewStream>(bytes);
}

TMappedFile::~TMappedFile() = default;

TSafeFileStream::TSafeFileStream(const QString& path)
    : File(std::make_unique<QSaveFile>(path))
{
    if (!File->open(QIODevice::WriteOnly))
        FailWrite();
    Buffer.reserve(FlushThreshold);
}

TSafeFileStream::~TSafeFileStream() = default;

int64_t TSafeFileStream::Read(void*, int64_t)
{
    throw Exception(QStringLiteral("A file being written cannot be read"));
}

void TSafeFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    if (Buffer.empty() && static_cast<size_t>(count) >= FlushThreshold / 4) {
        // A writer's own block goes to the file without one more copy.
        if (File->write(static_cast<const char*>(buffer), count) != count)
            FailWrite();
        Written += count;
        StartWriteBack();
        return;
    }
    Buffer.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    Written += count;
    if (Buffer.size() >= FlushThreshold)
        Flush();
}

int64_t TSafeFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    if (offset != 0 || origin == TSeekOrigin::Beginning)
        throw Exception(QStringLiteral("A file being written can only be appended to"));
    return Written;
}

void TSafeFileStream::Commit()
{
    Flush();
    if (!File->commit())
        FailWrite();
}

void TSafeFileStream::Flush()
{
    if (!Buffer.empty()
        && File->write(Buffer.data(), static_cast<qint64>(Buffer.size()))
            != static_cast<qint64>(Buffer.size()))
        FailWrite();
    Buffer.clear();
    StartWriteBack();
}

// The commit waits until the whole file is on the disk. Handing each few megabytes to the
// disk as soon as they are written leaves it little to wait for on a large file.
void TSafeFileStream::StartWriteBack()
{
#ifdef __linux__
    constexpr int64_t Chunk = 8 * 1024 * 1024;
    if (Written - WrittenBack < Chunk || !File->flush())
        return;
    sync_file_range(File->handle(), WrittenBack, Written - WrittenBack, SYNC_FILE_RANGE_WRITE);
    WrittenBack = Written;
#endif
}

void TSafeFileStream::FailWrite() const
{
    throw EUserError(Tr(Msg::CannotWriteFile).arg(File->fileName(), File->errorString()));
}

void SaveFileBytes(const QString& path, std::string_view bytes)
{
    TSafeFileStream file(path);
    file.Write(bytes);
    file.Commit();
}

void SetFileModificationTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(time, QFileDevice::FileModificationTime);
}

TStreamBytes::TStreamBytes(TStream& stream)
    : Start(stream.Position())
{
    int64_t count = std::max<int64_t>(0, stream.Size() - Start);
    if (const char* memory = stream.Memory()) {
        View = { memory + Start, static_cast<size_t>(count) };
        return;
    }
    Copy.resize(static_cast<size_t>(count));
    Copy.resize(static_cast<size_t>(stream.Read(Copy.data(), count)));
    stream.Seek(Start, TSeekOrigin::Beginning);
    View = Copy;
}
