#include "cli/uConvertCli.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "platform/uBytes.h"
#include "testing.h"

namespace {

std::string SimpleRecord(int32_t lon, int32_t lat, const std::string& text)
{
    std::string record = "\x02";
    AppendInt32(record, static_cast<int32_t>(text.size() + 14));
    AppendInt32(record, lon);
    AppendInt32(record, lat);
    return record + text + '\0';
}

// Runs marivel-convert's command in a folder of its own, with the built-in formats.
class ConvertCommandTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return Dir.filePath(QLatin1String(name)); }

    void Write(const char* name, const std::string& bytes) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    std::string Read(const char* name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }

    int Run(QStringList arguments)
    {
        Out.clear();
        Err.clear();
        QTextStream out(&Out);
        QTextStream err(&Err);
        return RunConvertCommand(arguments, out, err);
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    QString Out;
    QString Err;
};

} // namespace

TEST_F(ConvertCommandTest, ConvertsKeepingOnlyTheEntries)
{
    std::string header = "\x01";
    AppendInt32(header, 21);
    header += std::string(16, '\0');
    std::string deleted = SimpleRecord(5, 5, "gone");
    deleted[0] = '\0';
    std::string extended = SimpleRecord(-7, -8, "ext");
    extended[0] = '\x03';
    extended.replace(1, 4, std::string("\x15\0\0\0", 4));
    extended += std::string("x\0y\0", 4);
    Write("in.ov2",
        header + SimpleRecord(1, 2, "one") + deleted + extended + SimpleRecord(3, 4, "two"));

    EXPECT_EQ(Run({ Path("in.ov2"), Path("out.ov2") }), 0) << Err.toStdString();
    EXPECT_EQ(Read("out.ov2"),
        SimpleRecord(1, 2, "one") + SimpleRecord(-7, -8, "ext") + SimpleRecord(3, 4, "two"));
}

TEST_F(ConvertCommandTest, AppendsSeveralInputsInOrder)
{
    Write("a.ov2", SimpleRecord(1, 1, "a"));
    Write("b.OV2", SimpleRecord(2, 2, "b"));
    EXPECT_EQ(
        Run({ "--progress", "--from", "ttov2", Path("a.ov2"), Path("b.OV2"), Path("ab.ov2") }), 0);
    EXPECT_EQ(Read("ab.ov2"), SimpleRecord(1, 1, "a") + SimpleRecord(2, 2, "b"));
    EXPECT_TRUE(Err.contains(QStringLiteral("100%"))) << Err.toStdString();
}

TEST_F(ConvertCommandTest, FailureLeavesTheOldOutputAlone)
{
    Write("out.ov2", "old");
    Write("bad.ov2", SimpleRecord(1, 1, "a") + "\x04");
    EXPECT_EQ(Run({ Path("bad.ov2"), Path("out.ov2") }), 1);
    EXPECT_EQ(Err, Path("bad.ov2") + QStringLiteral(": Invalid ov2 file.\n"));
    EXPECT_EQ(Read("out.ov2"), "old");

    EXPECT_EQ(Run({ Path("missing.ov2"), Path("out.ov2") }), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("not found"))) << Err.toStdString();

    Write("in.xyz", "data");
    EXPECT_EQ(Run({ Path("in.xyz"), Path("out.ov2") }), 1);
    EXPECT_TRUE(Err.endsWith(QStringLiteral(
        "Currently it is not possible to load files from this format (extension xyz).\n")));
    EXPECT_EQ(Run({ Path("bad.ov2"), Path("out.abc") }), 1);
    EXPECT_EQ(Err,
        Path("out.abc")
            + QStringLiteral(
                ": Currently it is not possible to save files in this format (extension abc).\n"))
        << "the output format is checked before anything is read";

    EXPECT_EQ(Run({ Path("bad.ov2"), Path("no/such/folder/out.ov2") }), 1);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 3)
        << "no temporary file is left behind";
}

TEST_F(ConvertCommandTest, UsageErrorsAndListings)
{
    EXPECT_EQ(Run({ Path("only-one.ov2") }), 2);
    EXPECT_TRUE(Err.contains(QStringLiteral("Usage: marivel-convert")));
    EXPECT_EQ(Run({ "--to" }), 2);
    EXPECT_EQ(Run({ "--frobnicate", "a", "b" }), 2);
    EXPECT_EQ(Run({ "-h" }), 0);
    EXPECT_TRUE(Out.startsWith(QStringLiteral("Usage: marivel-convert [options] INPUT... OUTPUT")));
    EXPECT_EQ(Run({ "--list-formats" }), 0);
    EXPECT_EQ(
        Out, QStringLiteral("r\tttov2\t.ov2\tTomTom Binary\nw\tttov2\t.ov2\tTomTom Binary\n"));
}
