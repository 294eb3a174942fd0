#include "tools/uBatchConvert.h"

#include <gtest/gtest.h>

#include "convert/uConvertOv2.h"
#include "convert/uFormats.h"
#include "core/uUtils.h"
#include "testing.h"

namespace {

using TAnswer = IUserPrompt::TAnswer;

// A source and a destination folder, the built-in formats and a scripted user.
class BatchConvertTest : public ::testing::Test {
protected:
    BatchConvertTest()
    {
        QDir(Dir.path()).mkdir("src");
        QDir(Dir.path()).mkdir("dst");
    }

    QString Src(const QString& name) const { return Dir.filePath("src/" + name); }
    QString Dst(const QString& name) const { return Dir.filePath("dst/" + name); }

    // An OV2 file in the source folder with one point per description.
    QString Source(const QString& name, std::initializer_list<std::string> descriptions) const
    {
        std::string bytes;
        int32_t position = 100;
        for (const std::string& description : descriptions)
            bytes += Ov2Record(2, position, position, { description }), position += 100;
        WriteFileBytes(Src(name), bytes);
        return Src(name);
    }

    // Converting OV2 files each into its own file of `formats`.
    TBatchJob Multiple(const QStringList& files, const QStringList& formats) const
    {
        TBatchJob job;
        job.Files = files;
        job.SourceFormatId = "ttov2";
        job.DestDir = Dir.filePath("dst");
        job.DestFormatIds = formats;
        job.MultipleFormats = formats.size() > 1;
        return job;
    }

    TBatchJob Append(const QStringList& files, const QString& format, const QString& target) const
    {
        TBatchJob job = Multiple(files, { format });
        job.Append = true;
        job.DestFile = target;
        return job;
    }

    TBatchResult Run(const TBatchJob& job)
    {
        TBatchConvert batch(Prompt);
        batch.OnProgress = [this](int done, int total) {
            Progress << QString("%1/%2").arg(done).arg(total);
        };
        return batch.Run(job);
    }

    // The descriptions of an OV2 file, each followed by a blank.
    static std::string Ov2Descriptions(const QString& path)
    {
        TEntries entries;
        ImportInto<TConvertFromOv2>(entries, FileBytes(path));
        return Descriptions(entries);
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    TScriptedPrompt Prompt;
    QStringList Progress;
};

} // namespace

TEST_F(BatchConvertTest, ChecksComeInOrderBeforeAnythingIsRead)
{
    const QString a = Source("a.ov2", { "a" });
    TBatchJob job = Multiple({}, { "ttov2" });
    job.SelectedOnly = true;
    job.DestFile = "out.txt";
    const auto error = [&] { return ErrorOf<EUserError>([&] { Run(job); }); };

    EXPECT_EQ(error(), "No files selected");
    job.Files = QStringList { a };
    EXPECT_EQ(error(), "Source and destination types are equal");
    job.Append = true;
    EXPECT_EQ(
        error(), "The extension \".txt\" of the file name does not match the chosen file type.");
    job.DestFile.clear();
    job.MultipleFormats = true;
    job.DestFormatIds.clear();
    EXPECT_EQ(error(), "Destination filename not set");
    job.DestFile = Dst("out");
    EXPECT_EQ(error(), "No destination type(s) selected");
    job.Append = false;
    job.DestDir = Dir.filePath("missing");
    EXPECT_EQ(error(), "No destination type(s) selected") << "before the folder";
    job.DestFormatIds = QStringList { "dstcsv", "gengpx", "garmincsv" };
    EXPECT_EQ(error(),
        "Destination type conflict, you can have only one destination format per file extension "
        "(duplicate extension: .csv)");
    job.DestFormatIds = QStringList { "gengpx", "genasc" };
    EXPECT_EQ(error(), "Destination directory does not exist");

    EXPECT_TRUE(Prompt.Asked.isEmpty());
    EXPECT_TRUE(Progress.isEmpty()) << "nothing was read";
    EXPECT_TRUE(FilesIn(Dir.filePath("dst")).isEmpty());
}

TEST_F(BatchConvertTest, TheFileNameIsCheckedAlsoWhenNotAppending)
{
    TBatchJob job = Multiple({ Source("a.ov2", { "a" }) }, { "gengpx" });
    job.DestFile = "left.kml"; // from an earlier append, still in its edit
    EXPECT_EQ(ErrorOf<EUserError>([&] { Run(job); }),
        "The extension \".kml\" of the file name does not match the chosen file type.");
    job.DestFile = "LEFT.GPX";
    EXPECT_TRUE(Run(job).Finished) << "extensions compare in any case";
}

// The files each format gets are the command line's test; here, that one file's entries do not
// stay for the next.
TEST_F(BatchConvertTest, MultipleModeWritesEachFileOnItsOwn)
{
    Run(Multiple(
        { Source("a.ov2", { "a1", "a2" }), Source("b.ov2", { "b1" }) }, { "gengpx", "ttov2" }));
    EXPECT_EQ(Progress, QStringList({ "1/2", "2/2" }));
    EXPECT_EQ(Ov2Descriptions(Dst("b.ov2")), "b1 ");
}

TEST_F(BatchConvertTest, AppendCollectsEveryFileInOrderWithItsName)
{
    TBatchJob job =
        Append({ Source("paris.ov2", { "Eiffel", "Louvre" }), Source("old.rome.ov2", { "Forum" }) },
            "ttov2", Dst("all"));
    job.AddNames = true;
    job.OpenAfterAppend = true;
    Run(job);
    EXPECT_EQ(Ov2Descriptions(Dst("all.ov2")), "paris - Eiffel paris - Louvre old.rome - Forum ");

    job.AddNames = false;
    job.MultipleFormats = true;
    job.DestFormatIds = QStringList { "ttov2", "gengpx" };
    Prompt.Answers = { TAnswer::Yes };
    EXPECT_TRUE(Run(job).OpenLocation.isEmpty()) << "only a single format is opened";
    EXPECT_EQ(Ov2Descriptions(Dst("all.ov2")), "Eiffel Louvre Forum ");
    EXPECT_TRUE(QFileInfo::exists(Dst("all.gpx")));
}

TEST_F(BatchConvertTest, AppendAsksBeforeTheRunAndAgainWhenSaving)
{
    WriteFileBytes(Dst("all.ov2"), "old");
    const TBatchJob job = Append({ Source("a.ov2", { "a" }) }, "ttov2", Dst("all.ov2"));
    const QString question =
        "File " + Dst("all.ov2") + " already exists. Do you want to overwrite?";

    Prompt.Answers = { TAnswer::Yes };
    EXPECT_EQ(ErrorOf<EUserError>([&] { Run(Append({}, "ttov2", Dst("all.ov2"))); }),
        "No source files selected")
        << "after the question";
    EXPECT_EQ(
        ErrorOf<EUserError>([&] { Run(Multiple({}, { "gengpx" })); }), "No source files selected");
    Prompt.Answers = { TAnswer::No };
    EXPECT_FALSE(Run(job).Finished);
    EXPECT_EQ(Prompt.Asked, QStringList(2, question));
    EXPECT_TRUE(Progress.isEmpty()) << "No ends the run before it reads";

    Prompt.Asked.clear();
    Prompt.Answers = { TAnswer::Yes, TAnswer::No };
    const TBatchResult skipped = Run(job);
    EXPECT_TRUE(skipped.Finished);
    EXPECT_EQ(BatchSummary(skipped), "Batch conversion finished: 0 converted, 0 failed, 1 skipped.")
        << "No when saving skips the file";
    EXPECT_EQ(Prompt.Asked, QStringList({ question, question }));
    EXPECT_EQ(FileBytes(Dst("all.ov2")), "old");

    Prompt.Answers = { TAnswer::Yes, TAnswer::Yes };
    EXPECT_TRUE(Run(job).Finished);
    EXPECT_EQ(Ov2Descriptions(Dst("all.ov2")), "a ");
}

TEST_F(BatchConvertTest, OverwriteQuestionSkipsOrCancels)
{
    const QStringList files { Source("a.ov2", { "a" }), Source("b.ov2", { "b" }),
        Source("c.ov2", { "c" }) };
    for (const char* name : { "a.gpx", "b.gpx" })
        WriteFileBytes(Dst(name), "old");

    Prompt.Answers = { TAnswer::No, TAnswer::Cancel };
    const TBatchResult result = Run(Multiple(files, { "gengpx" }));
    EXPECT_FALSE(result.Finished);
    EXPECT_EQ(Prompt.Asked.size(), 2);
    EXPECT_EQ(FileBytes(Dst("a.gpx")), "old") << "No skips the target";
    EXPECT_EQ(FileBytes(Dst("b.gpx")), "old");
    EXPECT_FALSE(QFileInfo::exists(Dst("c.gpx"))) << "Cancel ends the run";
    EXPECT_EQ(Progress, QStringList { "1/3" });
}

// A handler that answers instead of the user is the command line's --into test.
TEST_F(BatchConvertTest, AFailedFileAsksWhetherToGoOn)
{
    const QStringList files { Source("a.ov2", { "a" }), Src("bad.ov2"), Source("c.ov2", { "c" }) };
    WriteFileBytes(Src("bad.ov2"), Ov2Record(2, 1, 1, { "half" }) + "\x04");

    Prompt.Answers = { TAnswer::Yes };
    TBatchResult result = Run(Append(files, "ttov2", Dst("all.ov2")));
    EXPECT_EQ(Prompt.Asked,
        QStringList { "An error occurred during conversion:\r\r" + Src("bad.ov2")
            + ": Invalid ov2 file\r\rDo you want to continue the conversion?" });
    EXPECT_TRUE(result.Finished);
    EXPECT_EQ(BatchSummary(result),
        "Batch conversion finished: 2 converted, 1 failed, 0 skipped.\r\rThese files failed:\r"
            + Src("bad.ov2") + ": Invalid ov2 file");
    EXPECT_EQ(Ov2Descriptions(Dst("all.ov2")), "a c ") << "the failed file adds nothing";

    Prompt.Asked.clear();
    Prompt.Answers = { TAnswer::No };
    result = Run(Multiple(files, { "gengpx" }));
    EXPECT_FALSE(result.Finished);
    EXPECT_EQ(Prompt.Asked.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(Dst("a.gpx")));
    EXPECT_FALSE(QFileInfo::exists(Dst("c.gpx"))) << "No ends the run";
}

TEST_F(BatchConvertTest, FoldersListTheFilesOfTheFormat)
{
    Source("c.ov2", { "c" });
    Source("a.ov2", { "a" });
    Source("B.OV2", { "b" });
    WriteFileBytes(Src("c.gpx"), "");
    QDir(Dir.path()).mkdir("src/folder.ov2");
    EXPECT_EQ(ListSourceFolder(Dir.filePath("src"), 0), QStringList({ "a.ov2", "B.OV2", "c.ov2" }))
        << "any case, no folders, sorted by name";
    EXPECT_TRUE(ListSourceFolder("", 0).isEmpty());
    EXPECT_EQ(ErrorOf<EUserError>([&] { ListSourceFolder(Dir.filePath("none"), 0); }),
        "Source directory does not exist");

    WriteFileBytes(Dst("x.gpx"), "");
    WriteFileBytes(Dst("y.kml"), "");
    EXPECT_EQ(ListDestFolder(Dir.filePath("dst"), IndexOfExporterFormat("gengpx")),
        QStringList { "x.gpx" });
    EXPECT_EQ(ListDestFolder(Dir.filePath("dst"), -1).size(), 2) << "Multiple formats...";
    EXPECT_EQ(ErrorOf<EUserError>([&] { ListDestFolder(Dir.filePath("none"), -1); }),
        "Destination directory does not exist");
}

TEST(BatchConvertNames, ExtensionsFollowTheFormat)
{
    TBuiltInFormats formats;
    const int gpx = IndexOfExporterFormat("gengpx");
    EXPECT_EQ(ChangeFileExt("/p/a.b/name", ".gpx"), "/p/a.b/name.gpx") << "a dot in a folder";
    EXPECT_EQ(ChangeFileExt("/p/name.tar.ov2", ".gpx"), "/p/name.tar.gpx");
    EXPECT_EQ(DestFileForFormat("/p/all.ov2", -1), "/p/all") << "Multiple formats...";
    EXPECT_EQ(DestFileForFormat("", gpx), "");
    EXPECT_EQ(DestFileChosen("/p/all.txt", gpx), "/p/all.txt") << "the check refuses it later";
}

TEST(BatchConvertSettings, StoredChoicesComeBackWhereTheyStillHold)
{
    TBuiltInFormats formats;
    QTemporaryDir folder;
    TSettings& settings = Settings();
    settings.BatchConvertSource = folder.path();
    settings.BatchConvertDest = folder.filePath("gone");
    settings.BatchConvertDestFormatID = "nosuch";
    settings.BatchConvertDestFormatIDs = ";gengpx;;nosuch;ttovr";
    const TBatchSettings stored = LoadBatchSettings();
    EXPECT_EQ(stored.SourceDir, folder.path());
    EXPECT_EQ(stored.DestDir, ApplicationDir()) << "a folder that is gone";
    EXPECT_EQ(stored.DestFormat, 0) << "an unknown format: the first exporter";
    EXPECT_EQ(stored.CheckedIds, QStringList({ "gengpx", "ttovr" }));

    settings.BatchConvertSource.clear();
    EXPECT_EQ(LoadBatchSettings().SourceDir, ApplicationDir());

    StoreBatchSettings("/s", "/d", -1, {});
    EXPECT_EQ(settings.BatchConvertDestFormatID, "*");
    EXPECT_EQ(settings.BatchConvertDestFormatIDs, "");
}
