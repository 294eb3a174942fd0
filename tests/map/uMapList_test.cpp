#include "map/uMapList.h"

#include <gtest/gtest.h>

#include "map/uCalibration.h"
#include "mapfixture.h"

namespace {

QStringList Names(const std::vector<TMapChoice>& maps)
{
    QStringList names;
    for (const TMapChoice& map : maps)
        names.append(map.Name);
    return names;
}

} // namespace

TEST(TMapList, PicturesQtReadsByNameWithoutMetafiles)
{
    TMapFolders folders;
    for (const char* name : { "b.png", "a.JPG", "c.gif", "d.bmp", "e.jpeg", "f.wmf", "g.txt" })
        QFile(folders.Maps() + '/' + name).open(QIODevice::WriteOnly);
    QDir(folders.Maps()).mkdir("h.png");
    // Where a picture and its calibration are is the calibrated map test's.
    EXPECT_EQ(Names(ListMaps({ folders.Maps() }, folders.WorldDir())),
        QStringList({ "a.JPG", "b.png", "c.gif", "d.bmp", "e.jpeg" }));
}

TEST(TMapList, UserFolderAddsPicturesTheProgramFolderLacks)
{
    TMapFolders folders;
    QTemporaryDir own;
    folders.AddPicture("europe.png", { 8, 8 });
    folders.AddPicture("europe.png", { 8, 8 }, own.path());
    folders.AddPicture("alps.png", { 8, 8 }, own.path());
    const auto maps = ListMaps({ folders.Maps(), own.path() }, folders.WorldDir());
    EXPECT_EQ(Names(maps), QStringList({ "europe.png", "alps.png" }));
    EXPECT_EQ(maps[0].Picture, folders.Maps() + "/europe.png") << "the program folder's first";
    EXPECT_EQ(MapFolders().first(), folders.Maps());
}

TEST(TMapList, WorldMapsFirstSpanningTheGlobeUntilRecalibrated)
{
    TMapFolders folders;
    folders.AddPicture("zz.png", { 8, 8 });
    folders.AddPicture("night.jpg", { 36, 18 }, folders.WorldDir());
    const QString picture = folders.AddPicture("earth.jpg", { 360, 180 }, folders.WorldDir());
    const auto maps = ListMaps({ folders.Maps() }, folders.WorldDir());
    EXPECT_EQ(Names(maps), QStringList({ "World", "World (night)", "zz.png" }));
    EXPECT_TRUE(maps[1].World);
    const TMapChoice& world = maps.front();
    EXPECT_EQ(world.Picture, picture);
    EXPECT_EQ(world.CalibrationFile, folders.Maps() + "/World.inf");
    TScriptedPrompt prompt;
    TCalibration calibration;
    QString back;
    EXPECT_TRUE(LoadChoiceCalibration(world, { 360, 180 }, calibration, back, prompt));
    EXPECT_EQ(QPoint(calibration.LonToX(-180), calibration.LatToY(-90)), QPoint(0, 180));
    EXPECT_EQ(QPoint(calibration.LonToX(180), calibration.LatToY(90)), QPoint(360, 0));
    EXPECT_FALSE(QFile::exists(world.CalibrationFile)) << "nothing written";
    // A calibration of the user's own takes over, by the ordinary rules.
    WriteCalibrationFile(
        world.CalibrationFile, { { 0, 0, 0, 90 }, { 10, 10, 10, 80 }, "", FileSizeOf(picture) });
    EXPECT_TRUE(LoadChoiceCalibration(world, { 360, 180 }, calibration, back, prompt));
    EXPECT_EQ(calibration.LonToX(5), 5);
    WriteCalibrationFile(world.CalibrationFile, { {}, {}, "", FileSizeOf(picture) + 1 });
    EXPECT_FALSE(LoadChoiceCalibration(world, { 360, 180 }, calibration, back, prompt));
}
