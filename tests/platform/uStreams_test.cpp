#include "platform/uStreams.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testing.h"

TEST(TSafeFileStream, ReplacesOnlyOnCommitKeepingModeAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ov2"));
    WriteFileBytes(path, "old");
    chmod(QFile::encodeName(path).constData(), 0640);
    {
        TSafeFileStream file(path);
        file.Write("new");
    }
    EXPECT_EQ(FileBytes(path), "old") << "no commit, no change";
    EXPECT_EQ(FilesIn(dir.path()).size(), 1);

    const QString link = dir.filePath(QStringLiteral("link.ov2"));
    ASSERT_TRUE(QFile::link(path, link));
    SaveFileBytes(link, "new");
    EXPECT_EQ(FileBytes(path), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat status { };
    stat(QFile::encodeName(path).constData(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    EXPECT_EQ(ErrorOf<EUserError>([&] { SaveFileBytes(dir.filePath("none/a.ov2"), "x"); }),
        QStringLiteral("Cannot write file %1: No such file or directory")
            .arg(dir.filePath("none/a.ov2")));
}

// A save killed half-way leaves its temporary file; the next save into that folder removes
// it, and only what a process that has ended left under the program's own pattern.
TEST(TSafeFileStream, TemporariesOfEndedProcessesAreRemoved)
{
    QTemporaryDir dir;
    const QString stale = "a.ov2.~marivel-" + QString::number(EndedProcessId()) + "-1f.tmp";
    const QString live = QFileInfo(TemporaryName(dir.filePath("b.ov2"))).fileName();
    QStringList kept { "a.ov2.12-34.tmp", "notes.~marivel-x.tmp", live };
    for (const QString& name : kept + QStringList { stale })
        WriteFileBytes(dir.filePath(name), "left");
    SaveFileBytes(dir.filePath("c.ov2"), "new");
    kept.append("c.ov2");
    kept.sort();
    EXPECT_EQ(FilesIn(dir.path()), kept);
}

// A card pulled or another program cutting the file short must not end the process: the
// lost pages read as zeros, and the reader learns of it when it is done. The mapping also shows
// what another program writes over the file; texts read before and after would not belong
// together.
TEST(TMappedFile, AFileThatShrinksOrIsWrittenOverWhileReadIsReportedNotFatal)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ov2"));
    const long page = sysconf(_SC_PAGESIZE);
    WriteFileBytes(path, std::string(size_t(page) * 4, 'x'));
    {
        TMappedFile file(path);
        TStream& stream = file.Stream();
        EXPECT_NO_THROW(stream.CheckUnchanged());
        ASSERT_EQ(truncate(QFile::encodeName(path).constData(), page), 0);
        std::string bytes(size_t(page) * 4, '\0');
        EXPECT_EQ(stream.Read(bytes.data(), int64_t(bytes.size())), int64_t(bytes.size()));
        EXPECT_EQ(bytes.substr(0, size_t(page)), std::string(size_t(page), 'x'));
        EXPECT_EQ(bytes.substr(size_t(page) * 3), std::string(size_t(page), '\0'));
        EXPECT_EQ(ErrorOf<EUserError>([&] { stream.CheckUnchanged(); }),
            QStringLiteral("File changed while it was read"));
    }
    TMappedFile file(path);
    EXPECT_NO_THROW(file.Stream().CheckUnchanged());
    const int handle = open(QFile::encodeName(path).constData(), O_WRONLY);
    ASSERT_GE(handle, 0);
    ASSERT_EQ(write(handle, "new", 3), 3);
    // A time of its own: within one tick of the clock the write may keep the old one.
    const struct timespec later[2] = { { 0, UTIME_OMIT }, { time(nullptr) + 60, 0 } };
    ASSERT_EQ(futimens(handle, later), 0);
    close(handle);
    EXPECT_EQ(ErrorOf<EUserError>([&] { file.Stream().CheckUnchanged(); }),
        QStringLiteral("File changed while it was read"));
}

TEST(TMappedFile, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.ov2"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Would block for ever in open() if the pipe were opened for reading as a file.
    EXPECT_EQ(ErrorOf<EUserError>([&] { TMappedFile file(fifo); }),
        QStringLiteral("File %1 not found").arg(fifo));
    EXPECT_EQ(ErrorOf<EUserError>([&] { TMappedFile file(dir.path()); }),
        QStringLiteral("File %1 not found").arg(dir.path()));
}
