#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <QString>

#include <time.h>

class QDateTime;

enum class TSeekOrigin { Beginning, Current, End };

// A byte stream with a position, as converters read and write them.
class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to `count` bytes; returns how many were read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes all `count` bytes or throws.
    virtual void Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;

    // Streams that keep all their bytes in memory expose them, so parsers need not copy.
    virtual const char* Memory() const { return nullptr; }
    // Fails with "File changed while it was read" when the bytes read so far may not be the
    // file's: a mapped file that shrank under the reader.
    virtual void CheckUnchanged() const { }

    // Reads exactly `count` bytes or fails with "Stream read error".
    void ReadBuffer(void* buffer, int64_t count);
    void Write(std::string_view bytes) { Write(bytes.data(), static_cast<int64_t>(bytes.size())); }
};

// A stream whose bytes all lie in memory.
class TInMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    using TStream::Write;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(Span().size()); }
    int64_t Position() const override { return Pos; }
    const char* Memory() const override { return Span().data(); }

protected:
    virtual std::string_view Span() const = 0;

    int64_t Pos = 0;
};

// A growable stream held in memory.
class TMemoryStream : public TInMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes);

    void Write(const void* buffer, int64_t count) override;
    using TStream::Write;
    const std::string& Bytes() const { return Data; }

private:
    std::string_view Span() const override { return Data; }

    std::string Data;
};

// A read-only stream over bytes that someone else owns and keeps alive.
class TByteViewStream : public TInMemoryStream {
public:
    explicit TByteViewStream(std::string_view bytes);

    void Write(const void* buffer, int64_t count) override;
    using TStream::Write;

private:
    std::string_view Span() const override { return View; }

    std::string_view View;
};

// A local file mapped into memory for reading, with a stream over its bytes.
//
// A mapped file that shrinks while it is read (a card pulled, another program writing) would
// end the process with SIGBUS. Pages past the new end read as zeros instead, and the stream's
// `CheckUnchanged` reports the change once the reader is done, as it does a file written over
// in place, which the mapping shows as it goes.
class TMappedFile {
public:
    // Fails with "File %1 not found" or "Cannot open file %1: reason" (user errors).
    explicit TMappedFile(const QString& path);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    TStream& Stream();

private:
    class TView;

    void Map();
    bool Damaged() const;

    QString Path;
    int Handle = -1;
    struct timespec Modified { };
    void* Address = nullptr;
    size_t Length = 0;
    int Guard = -1; // slot in the table the SIGBUS handler reads
    std::unique_ptr<TView> View;
};

// A stream that is only written, each byte after the last: a file being written, or a pipe.
class TAppendStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    // Only to the end, where the stream is.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override { return Written; }
    int64_t Position() const override { return Written; }

protected:
    int64_t Written = 0;
};

// Writes a local file through a temporary file beside it, which `Commit` renames over the
// target; destroyed without `Commit`, it removes the temporary file and leaves the old one.
// Every failure, also of the final flush, sync and rename, fails with "Cannot write file %1:
// reason" and leaves the old file as it was. Only a file that replaces another is synced to the
// disk before the rename: that is what keeps the old contents safe from a crash, and a new
// file has none to keep, so it is left to the system's own write-back, as other programs'
// files are, instead of waiting for the disk.
class TSafeFileStream : public TAppendStream {
public:
    // With `ownerOnly` a new file is the owner's alone (0600), as the program's own copies of
    // what it downloaded are.
    explicit TSafeFileStream(const QString& path, bool ownerOnly = false);
    ~TSafeFileStream() override;
    TSafeFileStream(const TSafeFileStream&) = delete;
    TSafeFileStream& operator=(const TSafeFileStream&) = delete;

    void Write(const void* buffer, int64_t count) override;
    using TStream::Write;

    void Commit();

private:
    void Flush();
    void WriteAll(const char* bytes, size_t count);
    void StartWriteBack();
    void Discard() noexcept;
    [[noreturn]] void FailWrite(int error);

    QString Target;
    std::string TargetBytes; // the target's path for the system calls
    std::string TempBytes;
    int Handle = -1;
    std::string Buffer;
    int64_t WrittenBack = 0; // bytes handed to the disk already
    bool Replacing = false; // whether the target exists, and so is synced before the rename
};

// Appends to an open file handle that someone else owns, such as standard output, which has no
// folder to hold a temporary file. Fails with "Cannot write file %1: reason", naming it `name`,
// or with EBrokenPipe when the reader of a pipe went away.
class THandleWriteStream : public TAppendStream {
public:
    THandleWriteStream(int handle, const QString& name);

    void Write(const void* buffer, int64_t count) override;
    using TStream::Write;

private:
    int Handle;
    QString Name;
};

// Everything left to read from an open file handle, such as standard input. Fails with
// "Cannot read file %1: reason", naming it `name`.
std::string ReadToEnd(int handle, const QString& name);

// Replaces the local file `path` by `bytes` through a temporary file, so a failure leaves the
// old file as it was.
void SaveFileBytes(const QString& path, std::string_view bytes, bool ownerOnly = false);

// Temporary files are named after the file they stand in for, "NAME.~marivel-PID-UNIQUE.tmp",
// so that one a killed process left behind can be told from a live one and from the user's
// own files. `unique` is random unless given ("XXXXXX" for a QTemporaryFile template).
QString TemporaryName(const QString& name, const QString& unique = {});
// The wildcard pattern of the temporary names of `name`.
QString TemporaryPattern(const QString& name);
// Whether `fileName` is such a temporary name whose process no longer runs.
bool IsStaleTemporary(const QString& fileName);
// Removes the stale temporaries of the local folder that holds `path`, once per folder in a
// run of the program.
void RemoveStaleTemporariesBeside(const QString& path);
// A template for a QTemporaryFile named `name` by the pattern above, in the system's folder of
// temporary files, whose stale temporaries are removed first.
QString SystemTemporaryTemplate(const QString& name);
// A folder made here is the owner's alone (0700), as are the program's caches; one that
// exists is left as it is.
void MakePrivateFolder(const QString& folder);
// Gives a local file the modification time `time`, when it can.
void SetFileModificationTime(const QString& path, const QDateTime& time);

// The bytes of a stream from its current position to its end: a view when the stream keeps
// them in memory, else a copy read once.
class TStreamBytes {
public:
    explicit TStreamBytes(TStream& stream);

    std::string_view Bytes() const { return View; }
    // Stream position of the first byte of `Bytes`.
    int64_t Origin() const { return Start; }

private:
    std::string Copy;
    std::string_view View;
    int64_t Start;
};
