#include "map/uCalibration.h"

#include <cmath>

#include <gtest/gtest.h>

#include "testing.h"

namespace {

// A point as a test compares it.
std::tuple<double, double, int, int> Fields(const TCalPoint& point)
{
    return { point.Lon, point.Lat, point.X, point.Y };
}

} // namespace

// Both ways, north up, at zoom 1 and 2, rounded to the nearest pixel: 10.2 degrees east is
// 211.33 pixels, 10.5 is 211.67.
TEST(TCalibration, ConvertsBothWaysWithNorthUpAndZoom)
{
    TCalibration calibration; // a picture 400 by 200 pixels of the whole world
    calibration.SetPoints(TCalibration::LowerLeft({ 400, 200 }, -180, -90),
        TCalibration::UpperRight({ 400, 200 }, 180, 90));
    EXPECT_DOUBLE_EQ(calibration.ScaleX(), 400.0 / 360);
    EXPECT_LT(calibration.ScaleY(), 0) << "north at the top";
    const struct {
        double Zoom, Lon, Lat;
        int X, Y;
    } points[] = { { 1, 0, 0, 200, 100 }, { 1, 90, 45, 300, 50 }, { 1, -180, -90, 0, 200 },
        { 1, 10.2, 90, 211, 0 }, { 1, 10.5, 0, 212, 100 }, { 2, 90, 45, 600, 100 } };
    for (const auto& point : points) {
        SCOPED_TRACE(point.Lon);
        calibration.Zoom = point.Zoom;
        EXPECT_EQ(calibration.LonToX(point.Lon), point.X);
        EXPECT_EQ(calibration.LatToY(point.Lat), point.Y);
        if (std::round(point.Lon) == point.Lon) {
            EXPECT_DOUBLE_EQ(calibration.XToLon(point.X), point.Lon);
            EXPECT_DOUBLE_EQ(calibration.YToLat(point.Y), point.Lat);
        }
    }
    calibration.Zoom = 2;
    EXPECT_EQ(calibration.ZoomedSize({ 400, 200 }), QSize(800, 400));
    calibration.Zoom = 0.5;
    EXPECT_EQ(calibration.ZoomedSize({ 401, 201 }), QSize(201, 101));
    EXPECT_EQ(calibration.Unzoomed({ 10, 7 }), QPoint(20, 14));
}

TEST(TCalibration, ScaleKeepsItsValueOnCoincidentPoints)
{
    TCalibration calibration;
    EXPECT_EQ(calibration.ScaleX(), 0);
    EXPECT_EQ(calibration.XToLon(123), 0) << "no scale yet: no division";
    EXPECT_EQ(calibration.YToLat(45), 0);
    calibration.SetPoints({ 0, 0, 0, 100 }, { 10, 10, 100, 0 });
    EXPECT_DOUBLE_EQ(calibration.ScaleX(), 10);
    EXPECT_DOUBLE_EQ(calibration.ScaleY(), -10);
    // Same longitude: the horizontal scale stays; the vertical one follows the new points.
    calibration.SetPoints({ 5, 0, 0, 100 }, { 5, 20, 300, 0 });
    EXPECT_DOUBLE_EQ(calibration.ScaleX(), 10);
    EXPECT_DOUBLE_EQ(calibration.ScaleY(), -5);
}

TEST(TCalibration, PointsCloserThanAQuarterOfThePictureNeedConsent)
{
    const QSize picture(400, 200);
    EXPECT_FALSE(PointsTooClose({ 0, 0, 0, 0 }, { 0, 0, 100, 50 }, picture)) << "exactly a quarter";
    EXPECT_TRUE(PointsTooClose({ 0, 0, 0, 0 }, { 0, 0, 99, 200 }, picture));
    EXPECT_TRUE(PointsTooClose({ 0, 0, 400, 0 }, { 0, 0, 0, 49 }, picture));
    // The calibrate window's test declines and meets points far apart.
    TScriptedPrompt prompt;
    prompt.Answers = { IUserPrompt::TAnswer::Yes };
    EXPECT_TRUE(ConfirmCalibration({ 0, 0, 0, 0 }, { 0, 0, 10, 10 }, picture, prompt));
    ASSERT_EQ(prompt.Asked.size(), 1);
    EXPECT_EQ(prompt.Asked[0],
        "The calibration points are very close to each other, so precise location "
        "calculations cannot be guaranteed. Are you sure you want to use this calibration?");
}

class TCalibrationFileTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Picture = Dir.filePath("map.png");
    QString Inf = Picture + ".inf";
    TScriptedPrompt Prompt;
    QString Back;

    void SetUp() override { WriteFileBytes(Picture, std::string(1234, 'p')); }
    bool Load(TCalibration& calibration)
    {
        return LoadMapCalibration(Picture, Inf, { 400, 200 }, calibration, Back, Prompt);
    }
};

// Written with a German locale, read back alike: the numbers are the program's, not the
// locale's.
TEST_F(TCalibrationFileTest, RoundTripWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German));
    const TCalibrationFile written { { -12.5, 40.25, 3, 190 }, { 30.125, 60, 398, 2 }, "#804020",
        1234 };
    WriteCalibrationFile(Inf, written);
    EXPECT_EQ(FileBytes(Inf),
        "Cal1Lon=-12.5\r\nCal1Lat=40.25\r\nCal2Lon=30.125\r\nCal2Lat=60\r\nCal1X=3\r\n"
        "Cal1Y=190\r\nCal2X=398\r\nCal2Y=2\r\nBackColor=#804020\r\nMapCheck=1234\r\n");
    TCalibration calibration;
    ASSERT_TRUE(Load(calibration));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(Fields(calibration.Point1()), Fields(written.Point1));
    EXPECT_EQ(Fields(calibration.Point2()), Fields(written.Point2));
    EXPECT_EQ(Back, "#804020");
    EXPECT_TRUE(Prompt.Shown.isEmpty());
}

TEST_F(TCalibrationFileTest, MissingPixelsAreThePictureCorners)
{
    WriteFileBytes(Inf, "Cal1Lon=-10\nCal1Lat=35\nCal2Lon=40\nCal2Lat=70\nMapCheck=1234\n");
    TCalibration calibration;
    ASSERT_TRUE(Load(calibration));
    EXPECT_EQ(calibration.Point1().Y, 200) << "lower left";
    EXPECT_EQ(calibration.Point2().X, 400) << "upper right";
    EXPECT_EQ(calibration.LonToX(-10), 0);
    EXPECT_EQ(calibration.LatToY(70), 0);
    EXPECT_TRUE(Back.isEmpty()) << "the button face";
}

// Without a usable file the map needs calibration, which starts from the picture's corners:
// the previous map's points could lie outside it. Only a malformed file made for this picture
// is told, and it is left alone.
TEST_F(TCalibrationFileTest, UnusableFileLeavesTheMapUncalibrated)
{
    const struct {
        const char* Case;
        std::string File;
        const char* Told; // the message's start; null: nothing told
    } cases[] = {
        { "none", "", nullptr },
        { "another picture's", "Cal1Lon=1\nMapCheck=99\n", nullptr },
        { "another picture's, malformed", "Cal1Lon=x\nMapCheck=99\n", nullptr },
        { "malformed", "Cal1Lon=1,5\nCal1Lat=2\nCal2Lon=3\nCal2Lat=4\nMapCheck=1234\n",
            "Loading of calibration data failed: '1,5' is not a valid floating point value\r\r"
            "Please calibrate the map properly." },
        { "a coordinate missing", "Cal1Lon=1\nCal2Lon=3\nCal2Lat=4\nMapCheck=1234\n",
            "Loading of calibration data failed" },
        { "a bad pixel", "Cal1Lon=1\nCal1Lat=2\nCal2Lon=3\nCal2Lat=4\nCal1X=4.5\nMapCheck=1234\n",
            "Loading of calibration data failed" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Case);
        QFile::remove(Inf);
        if (!test.File.empty())
            WriteFileBytes(Inf, test.File);
        Prompt.Shown.clear();
        TCalibration calibration;
        calibration.SetPoints({ -1, -2, 10, 20 }, { 1, 2, 3000, 4000 });
        EXPECT_FALSE(Load(calibration));
        ASSERT_EQ(Prompt.Shown.size(), test.Told ? 1 : 0);
        if (test.Told) {
            EXPECT_TRUE(Prompt.Shown[0].startsWith(test.Told)) << Prompt.Shown[0].toStdString();
        }
        EXPECT_EQ(FileBytes(Inf), test.File.empty() ? "<missing>" : test.File)
            << "the file is left alone";
        EXPECT_EQ(Fields(calibration.Point1()), Fields({ 0, 0, 0, 200 }));
        EXPECT_EQ(Fields(calibration.Point2()), Fields({ 0, 0, 400, 0 }));
        EXPECT_DOUBLE_EQ(calibration.ScaleX(), 1495) << "the scales last in force stay";
        EXPECT_DOUBLE_EQ(calibration.ScaleY(), 995);
    }
}
