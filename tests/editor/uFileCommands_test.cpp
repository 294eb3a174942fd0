#include "editor/uFileCommands.h"

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "testing.h"

TEST(FileCommands, FormatChooserOffersTheOtherFormatsAndRemembersTheDefault)
{
    TBuiltInFormats formats;
    TFormatOffer choice = FormatOfferFor("/data/points.CSV", QString());
    EXPECT_EQ(
        choice.Ids, QStringList({ "dstcsv", "navmancsv", "naviocsv", "garmincsv", "miomapcsv" }));
    EXPECT_EQ(choice.Names.first(), "Destinator Comma Separated");
    EXPECT_EQ(FormatOfferFor("/data/points.csv", "navmancsv").Preselected, 0)
        << "not the format that failed";

    EXPECT_EQ(DefaultFormatFor("/data/points.csv"), "");
    RememberDefaultFormat("FILE:///data/points.CSV", "navmancsv");
    RememberDefaultFormat("/data/points.CSV", "garmincsv");
    EXPECT_EQ(Settings().DefaultFormats, QStringList({ ".CSV=garmincsv" }));
    EXPECT_EQ(DefaultFormatFor("/other/more.csv"), "garmincsv");
    RememberDefaultFormat("/data/book.xml", "excelxml");
    EXPECT_EQ(DefaultFormatFor("/data/book.xml"), "") << "only formats that can also be saved";
}

TEST(FileCommands, RecentFileCaptionsNameDeviceFiles)
{
    EXPECT_EQ(RecentFileCaption(1, "FILE:///home/u/poi/cameras.ov2"), "&1 cameras.ov2");
    EXPECT_EQ(RecentFileCaption(2, "/home/u/a.b/R&D"), "&2 R&&D") << "the name's & shown";
    EXPECT_EQ(RecentFileCaption(9, "MOBILE://\\My Documents\\x.asc"), "&9 x.asc (Remote)");
}

TEST(FileCommands, AFailedOpenOffersTheOtherFormatsAndKeepsTheChoice)
{
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const QString csv = dir.filePath("garmin.csv");
    // Three columns: not Destinator's. Two lines, so that reading reports progress.
    WriteFileBytes(csv, "4.88969, 52.37403, \"Dam\"\r\n4.9, 52.4, \"Eye\"\r\n");

    QStringList errors;
    std::vector<TFormatChoice> script = { { 2, false }, { 3, true } };
    const auto choose = [&](const TFormatOffer& offer, const QString& error) {
        errors.append(offer.Ids.value(offer.Preselected) + ": " + error);
        std::optional<TFormatChoice> next;
        if (!script.empty()) {
            next = script.front();
            script.erase(script.begin());
        }
        return next;
    };
    TEntries entries;
    QList<int> reported;
    const auto report = [&](int percent) { reported.append(percent); };
    EXPECT_EQ(LoadLocationAsChosen(csv, QString(), entries, report, choose).value().FormatId,
        "garmincsv");
    EXPECT_FALSE(reported.isEmpty()) << "the progress is passed on";
    EXPECT_EQ(errors.size(), 2) << "Navio Comma Separated failed as well";
    EXPECT_TRUE(errors.value(0).startsWith("navmancsv: ")) << errors.value(0).toStdString();
    EXPECT_EQ(entries.Count(), 2);
    EXPECT_EQ(DefaultFormatFor(csv), "garmincsv");

    // The stored default reads it at once; cancelling ends quietly.
    TEntries again;
    errors.clear();
    EXPECT_EQ(
        LoadLocationAsChosen(csv, QString(), again, {}, choose).value().FormatId, "garmincsv");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(LoadLocationAsChosen(csv, "dstcsv", again, {}, choose), std::nullopt);
    EXPECT_EQ(ErrorOf([&] { LoadLocationAsChosen(dir.filePath("x.ov2"), "", again, {}, choose); }),
        "File " + dir.filePath("x.ov2") + " not found")
        << "a format of its own: the error is shown";
}
