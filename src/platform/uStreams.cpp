#include "platform/uStreams.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

constexpr size_t FlushThreshold = 256 * 1024;

const QLatin1String TemporaryTag(".~marivel-");
const QLatin1String TemporaryExt(".tmp");

// A process of this machine that has ended; one we may not signal still runs.
bool ProcessEnded(qint64 pid) { return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

} // namespace

QString TemporaryName(const QString& name, const QString& unique)
{
    return name + TemporaryTag + QString::number(getpid()) + QLatin1Char('-')
        + (unique.isEmpty() ? QString::number(QRandomGenerator::global()->generate(), 16) : unique)
        + TemporaryExt;
}

QString TemporaryPattern(const QString& name)
{
    return name + TemporaryTag + QLatin1Char('*') + TemporaryExt;
}

bool IsStaleTemporary(const QString& fileName)
{
    const auto tag = fileName.lastIndexOf(TemporaryTag);
    if (tag < 0 || !fileName.endsWith(TemporaryExt))
        return false;
    bool isNumber = false;
    const qint64 pid = fileName.mid(tag + TemporaryTag.size())
                           .section(QLatin1Char('-'), 0, 0)
                           .toLongLong(&isNumber);
    return isNumber && ProcessEnded(pid);
}

void RemoveStaleTemporariesBeside(const QString& path)
{
    static std::mutex lock;
    static QSet<QString> cleaned;
    const QDir folder = QFileInfo(path).absoluteDir();
    {
        const std::lock_guard guard(lock);
        if (cleaned.contains(folder.path()))
            return;
        cleaned.insert(folder.path());
    }
    const QStringList found = folder.entryList(
        { TemporaryPattern(QStringLiteral("*")) }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : found)
        if (IsStaleTemporary(name))
            QFile::remove(folder.filePath(name));
}

QString SystemTemporaryTemplate(const QString& name)
{
    const QString path = TemporaryName(QDir::tempPath() + QLatin1Char('/') + name, "XXXXXX");
    RemoveStaleTemporariesBeside(path);
    return path;
}

void MakePrivateFolder(const QString& folder)
{
    const QFileInfo made(QDir::cleanPath(folder)); // a trailing "/" would name the folder itself
    if (made.exists())
        return;
    QDir().mkpath(made.absolutePath());
    QDir().mkdir(made.filePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

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

namespace {

// The mappings a SIGBUS may hit, in a table the signal handler can read without locks.
struct TMappingGuard {
    std::atomic<bool> InUse { false };
    std::atomic<uintptr_t> Begin { 0 };
    std::atomic<uintptr_t> End { 0 };
    std::atomic<bool> Damaged { false };
};

std::array<TMappingGuard, 256> MappingGuards;
uintptr_t PageSize = 4096;
struct sigaction PreviousBusAction;

// A page that vanished under a mapping is replaced, from the faulting page to the mapping's
// end, by zero pages, so the reader goes on and the damage is reported when it is done.
void OnBusError(int, siginfo_t* info, void*)
{
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (TMappingGuard& guard : MappingGuards) {
        const uintptr_t begin = guard.Begin.load(std::memory_order_acquire);
        const uintptr_t end = guard.End.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end)
            continue;
        const uintptr_t page = address & ~(PageSize - 1);
        if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)
            != MAP_FAILED) {
            guard.Damaged.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not a mapped file of ours: the fault recurs under the handler that was there before.
    sigaction(SIGBUS, &PreviousBusAction, nullptr);
}

void InstallBusErrorHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        PageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action { };
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &PreviousBusAction);
    });
}

int GuardMapping(const void* address, size_t length)
{
    InstallBusErrorHandler();
    for (size_t i = 0; i < MappingGuards.size(); ++i) {
        TMappingGuard& guard = MappingGuards[i];
        bool free = false;
        if (!guard.InUse.compare_exchange_strong(free, true))
            continue;
        const auto begin = reinterpret_cast<uintptr_t>(address);
        guard.Damaged.store(false);
        guard.End.store((begin + length + PageSize - 1) & ~(PageSize - 1));
        guard.Begin.store(begin, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void ReleaseGuard(int slot)
{
    TMappingGuard& guard = MappingGuards[static_cast<size_t>(slot)];
    guard.Begin.store(0, std::memory_order_release);
    guard.End.store(0);
    guard.InUse.store(false);
}

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

std::string LocalPathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Writes all `count` bytes, as often as the system takes a part of them; 0, or why it failed.
int WriteFully(int handle, const char* bytes, size_t count)
{
    while (count > 0) {
        const ssize_t done = write(handle, bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return done < 0 ? errno : EIO;
        bytes += done;
        count -= static_cast<size_t>(done);
    }
    return 0;
}

} // namespace

class TMappedFile::TView : public TByteViewStream {
public:
    TView(std::string_view bytes, const TMappedFile& file)
        : TByteViewStream(bytes)
        , File(file)
    {
    }

    void CheckUnchanged() const override
    {
        if (File.Damaged())
            throw EUserError(Tr(Msg::FileChanged));
    }

private:
    const TMappedFile& File;
};

TMappedFile::TMappedFile(const QString& path)
    : Path(path)
{
    // Non-blocking, so a FIFO named as input cannot hang the open; only regular files are read.
    Handle = open(LocalPathBytes(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status { };
    if (Handle < 0 && errno != ENOENT && errno != ENOTDIR)
        throw EUserError(Tr(Msg::CannotOpenFile).arg(path, SystemErrorText(errno)));
    if (Handle < 0 || fstat(Handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (Handle >= 0)
            close(Handle);
        throw EUserError(Tr(Msg::FileNotFound).arg(path));
    }
    Length = static_cast<size_t>(status.st_size);
    Modified = status.st_mtim;
    try {
        Map();
    } catch (...) {
        close(Handle);
        throw;
    }
}

void TMappedFile::Map()
{
    if (Length == 0) {
        View = std::make_unique<TView>(std::string_view(), *this);
        return;
    }
    // Populated at once: faulting the pages in one by one as the parser reaches them costs
    // far more on large files.
    Address = mmap(nullptr, Length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, Handle, 0);
    if (Address == MAP_FAILED) {
        Address = nullptr;
        throw EUserError(Tr(Msg::CannotOpenFile).arg(Path, SystemErrorText(errno)));
    }
    Guard = GuardMapping(Address, Length);
    if (Guard < 0) {
        munmap(Address, Length);
        Address = nullptr;
        throw EUserError(Tr(Msg::CannotOpenFile).arg(Path, SystemErrorText(EMFILE)));
    }
    View =
        std::make_unique<TView>(std::string_view(static_cast<const char*>(Address), Length), *this);
}

bool TMappedFile::Damaged() const
{
    if (Guard >= 0
        && MappingGuards[static_cast<size_t>(Guard)].Damaged.load(std::memory_order_acquire))
        return true;
    struct stat status { };
    return fstat(Handle, &status) != 0 || static_cast<size_t>(status.st_size) != Length
        || status.st_mtim.tv_sec != Modified.tv_sec || status.st_mtim.tv_nsec != Modified.tv_nsec;
}

TMappedFile::~TMappedFile()
{
    View.reset();
    if (Guard >= 0)
        ReleaseGuard(Guard);
    if (Address)
        munmap(Address, Length);
    close(Handle);
}

TStream& TMappedFile::Stream() { return *View; }

TSafeFileStream::TSafeFileStream(const QString& path, bool ownerOnly)
    : Target(path)
{
    // Through a link, the file it points to is replaced, and the link stays.
    const QFileInfo info(path);
    const QString resolved = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    TargetBytes = LocalPathBytes(resolved);
    RemoveStaleTemporariesBeside(resolved);
    struct stat old { };
    Replacing = stat(TargetBytes.c_str(), &old) == 0;
    // The temporary file is made with the mode a new file gets, so the user's umask applies.
    for (int attempt = 0; Handle < 0; ++attempt) {
        TempBytes = LocalPathBytes(TemporaryName(resolved));
        Handle = open(
            TempBytes.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
        if (Handle < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            TempBytes.clear(); // not ours to remove
            FailWrite(error);
        }
    }
    // A replaced file keeps its permissions, unless it is to be the owner's alone.
    if (Replacing && !ownerOnly)
        fchmod(Handle, old.st_mode & 07777);
    Buffer.reserve(FlushThreshold);
}

TSafeFileStream::~TSafeFileStream() { Discard(); }

int64_t TAppendStream::Read(void*, int64_t)
{
    throw Exception(QStringLiteral("A stream being written cannot be read"));
}

int64_t TAppendStream::Seek(int64_t offset, TSeekOrigin origin)
{
    if (offset != 0 || origin == TSeekOrigin::Beginning)
        throw Exception(QStringLiteral("A stream being written can only be appended to"));
    return Written;
}

void TSafeFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    if (Buffer.empty() && static_cast<size_t>(count) >= FlushThreshold / 4) {
        // A writer's own block goes to the file without one more copy.
        WriteAll(static_cast<const char*>(buffer), static_cast<size_t>(count));
        Written += count;
        StartWriteBack();
        return;
    }
    Buffer.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    Written += count;
    if (Buffer.size() >= FlushThreshold)
        Flush();
}

// Only a file that is whole on the disk replaces the old one: the data is synced and the
// handle closed, each checked, before the rename.
void TSafeFileStream::Commit()
{
    Flush();
    if (Replacing && fsync(Handle) != 0)
        FailWrite(errno);
    const int handle = std::exchange(Handle, -1);
    if (close(handle) != 0)
        FailWrite(errno);
    if (rename(TempBytes.c_str(), TargetBytes.c_str()) != 0)
        FailWrite(errno);
    TempBytes.clear();
}

void TSafeFileStream::Flush()
{
    WriteAll(Buffer.data(), Buffer.size());
    Buffer.clear();
    StartWriteBack();
}

void TSafeFileStream::WriteAll(const char* bytes, size_t count)
{
    if (const int error = WriteFully(Handle, bytes, count))
        FailWrite(error);
}

// The commit of a replacing file waits until the whole file is on the disk. Handing each few
// megabytes to the disk as soon as they are written leaves it little to wait for on a large
// file.
void TSafeFileStream::StartWriteBack()
{
#ifdef __linux__
    constexpr int64_t Chunk = 8 * 1024 * 1024;
    if (!Replacing || Written - WrittenBack < Chunk)
        return;
    sync_file_range(Handle, WrittenBack, Written - WrittenBack, SYNC_FILE_RANGE_WRITE);
    WrittenBack = Written;
#endif
}

void TSafeFileStream::Discard() noexcept
{
    if (Handle >= 0)
        close(std::exchange(Handle, -1));
    if (!TempBytes.empty())
        unlink(TempBytes.c_str());
    TempBytes.clear();
}

void TSafeFileStream::FailWrite(int error)
{
    Discard();
    throw EUserError(Tr(Msg::CannotWriteFile).arg(Target, SystemErrorText(error)));
}

THandleWriteStream::THandleWriteStream(int handle, const QString& name)
    : Handle(handle)
    , Name(name)
{
}

void THandleWriteStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    if (const int error =
            WriteFully(Handle, static_cast<const char*>(buffer), static_cast<size_t>(count))) {
        if (error == EPIPE)
            throw EBrokenPipe();
        throw EUserError(Tr(Msg::CannotWriteFile).arg(Name, SystemErrorText(error)));
    }
    Written += count;
}

std::string ReadToEnd(int handle, const QString& name)
{
    constexpr size_t Chunk = 1024 * 1024;
    std::string bytes;
    for (;;) {
        const size_t size = bytes.size();
        bytes.resize(size + Chunk);
        const ssize_t done = read(handle, bytes.data() + size, Chunk);
        const int error = errno;
        bytes.resize(size + static_cast<size_t>(std::max<ssize_t>(done, 0)));
        if (done == 0)
            return bytes;
        if (done < 0 && error != EINTR)
            throw EUserError(Tr(Msg::CannotReadFile).arg(name, SystemErrorText(error)));
    }
}

void SaveFileBytes(const QString& path, std::string_view bytes, bool ownerOnly)
{
    TSafeFileStream file(path, ownerOnly);
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
