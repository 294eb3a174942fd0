#include "platform/uStreams.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

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
