#include "map/uCalibration.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "testing.h"

namespace {

// A picture 400 by 200 pixels of the whole world, north up.
TCalibration World()
{
    TCalibration calibration;
    calibration.SetPoints(TCalibration::LowerLeft({ 400, 200 }, -180, -90),
        TCalibration::UpperRight({ 400, 200 }, 180, 90));
    return calibration;
}

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(TCalibration, ConvertsBothWaysWithNorthUp)
{
    TCalibration calibration = World();
    EXPECT_DOUBLE_EQ(calibration.ScaleX(), 400.0 / 360);
    EXPECT_LT(calibration.ScaleY(), 0) << "north at the top";
    EXPECT_EQ(calibration.LonToX(0), 200);
    EXPECT_EQ(calibration.LatToY(0), 100);
    EXPECT_EQ(calibration.LatToY(90), 0);
    EXPECT_EQ(calibration.LatToY(-90), 200);
    EXPECT_DOUBLE_EQ(calibration.XToLon(300), 90);
    EXPECT_DOUBLE_EQ(calibration.YToLat(50), 45);
    // Rounded to the nearest pixel: 10.2 degrees east is 211.33 pixels, 10.5 is 211.67.
    EXPECT_EQ(calibration.LonToX(10.2), 211);
    EXPECT_EQ(calibration.LonToX(10.5), 212);
}

TEST(TCalibration, ZoomScalesPixelsAndSize)
{
    TCalibration calibration = World();
    calibration.Zoom = 2;
    EXPECT_EQ(calibration.LonToX(90), 600);
    EXPECT_EQ(calibration.LatToY(45), 100);
    EXPECT_DOUBLE_EQ(calibration.XToLon(600), 90);
    EXPECT_DOUBLE_EQ(calibration.YToLat(100), 45);
    EXPECT_EQ(calibration.ZoomedSize({ 400, 200 }), QSize(800, 400));
    EXPECT_EQ(calibration.Unzoomed({ 601, 99 }), QPoint(301, 50)) << "halves round away";
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
    calibration.SetPoints({ 5, 20, 0, 100 }, { 5, 20, 300, 0 });
    EXPECT_DOUBLE_EQ(calibration.ScaleX(), 10);
    EXPECT_DOUBLE_EQ(calibration.ScaleY(), -5);
    EXPECT_TRUE(std::isfinite(calibration.XToLon(50)));
}

TEST(TCalibration, PointsCloserThanAQuarterOfThePictureNeedConsent)
{
    const QSize picture(400, 200);
    EXPECT_FALSE(PointsTooClose({ 0, 0, 0, 0 }, { 0, 0, 100, 50 }, picture)) << "exactly a quarter";
    EXPECT_TRUE(PointsTooClose({ 0, 0, 0, 0 }, { 0, 0, 99, 200 }, picture));
    EXPECT_TRUE(PointsTooClose({ 0, 0, 400, 0 }, { 0, 0, 0, 49 }, picture));
    TScriptedPrompt prompt;
    EXPECT_TRUE(ConfirmCalibration({ 0, 0, 0, 200 }, { 0, 0, 400, 0 }, picture, prompt));
    EXPECT_TRUE(prompt.Asked.isEmpty());
    prompt.Answers = { IUserPrompt::TAnswer::No, IUserPrompt::TAnswer::Yes };
    EXPECT_FALSE(ConfirmCalibration({ 0, 0, 0, 0 }, { 0, 0, 10, 10 }, picture, prompt));
    EXPECT_TRUE(ConfirmCalibration({ 0, 0, 0, 0 }, { 0, 0, 10, 10 }, picture, prompt));
    ASSERT_EQ(prompt.Asked.size(), 2);
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

    void SetUp() override { WriteFile(Picture, QByteArray(1234, 'p')); }
    bool Load(TCalibration& calibration)
    {
        return LoadMapCalibration(Picture, Inf, { 400, 200 }, calibration, Back, Prompt);
    }
};

TEST_F(TCalibrationFileTest, WritesPointNumbersWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German));
    WriteCalibrationFile(
        Inf, { { -12.5, 40.25, 3, 190 }, { 30.125, 60, 398, 2 }, "#804020", 1234 });
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ReadFile(Inf),
        "Cal1Lon=-12.5\r\nCal1Lat=40.25\r\nCal2Lon=30.125\r\nCal2Lat=60\r\nCal1X=3\r\nCal1Y=190\r\n"
        "Cal2X=398\r\nCal2Y=2\r\nBackColor=#804020\r\nMapCheck=1234\r\n");
}

TEST_F(TCalibrationFileTest, RoundTripCalibratesTheMap)
{
    WriteCalibrationFile(
        Inf, { { -12.5, 40.25, 3, 190 }, { 30.125, 60, 398, 2 }, "#804020", 1234 });
    TCalibration calibration;
    ASSERT_TRUE(Load(calibration));
    EXPECT_EQ(calibration.Point1().Lon, -12.5);
    EXPECT_EQ(calibration.Point1().Lat, 40.25);
    EXPECT_EQ(calibration.Point1().X, 3);
    EXPECT_EQ(calibration.Point1().Y, 190);
    EXPECT_EQ(calibration.Point2().Lon, 30.125);
    EXPECT_EQ(calibration.Point2().Lat, 60);
    EXPECT_EQ(calibration.Point2().X, 398);
    EXPECT_EQ(calibration.Point2().Y, 2);
    EXPECT_EQ(Back, "#804020");
    EXPECT_TRUE(Prompt.Shown.isEmpty());
}

TEST_F(TCalibrationFileTest, MissingPixelsAreThePictureCorners)
{
    WriteFile(Inf, "Cal1Lon=-10\nCal1Lat=35\nCal2Lon=40\nCal2Lat=70\nMapCheck=1234\n");
    TCalibration calibration;
    ASSERT_TRUE(Load(calibration));
    EXPECT_EQ(calibration.Point1().X, 0);
    EXPECT_EQ(calibration.Point1().Y, 200) << "lower left";
    EXPECT_EQ(calibration.Point2().X, 400);
    EXPECT_EQ(calibration.Point2().Y, 0) << "upper right";
    EXPECT_EQ(calibration.LonToX(-10), 0);
    EXPECT_EQ(calibration.LatToY(70), 0);
    EXPECT_TRUE(Back.isEmpty()) << "the button face";
}

TEST_F(TCalibrationFileTest, PictureOfAnotherSizeNeedsCalibration)
{
    WriteCalibrationFile(Inf, { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, "#ffffff", 1234 });
    WriteFile(Picture, QByteArray(1235, 'p'));
    TCalibration calibration;
    EXPECT_FALSE(Load(calibration));
    EXPECT_TRUE(Back.isEmpty());
    EXPECT_TRUE(Prompt.Shown.isEmpty()) << "only the notice";
    // A malformed number in a file made for another picture is not even read.
    WriteFile(Inf, "Cal1Lon=x\nMapCheck=99\n");
    EXPECT_FALSE(Load(calibration));
    EXPECT_TRUE(Prompt.Shown.isEmpty());
}

// The previous map's points could lie outside this picture, so calibrating starts from its
// corners.
TEST_F(TCalibrationFileTest, UncalibratedMapStartsFromThePictureCorners)
{
    const QByteArray malformed = "Cal1Lon=x\nCal1Lat=2\nCal2Lon=3\nCal2Lat=4\nMapCheck=1234\n";
    for (const QByteArray& file :
        { QByteArray(), QByteArray("Cal1Lon=1\nMapCheck=99\n"), malformed }) {
        SCOPED_TRACE(file.toStdString());
        if (!file.isEmpty())
            WriteFile(Inf, file);
        TCalibration calibration;
        calibration.SetPoints({ -1, -2, 10, 20 }, { 1, 2, 3000, 4000 });
        EXPECT_FALSE(Load(calibration));
        for (const TCalPoint& point : { calibration.Point1(), calibration.Point2() }) {
            EXPECT_EQ(point.Lon, 0);
            EXPECT_EQ(point.Lat, 0);
        }
        EXPECT_EQ(calibration.Point1().X, 0);
        EXPECT_EQ(calibration.Point1().Y, 200);
        EXPECT_EQ(calibration.Point2().X, 400);
        EXPECT_EQ(calibration.Point2().Y, 0);
        EXPECT_DOUBLE_EQ(calibration.ScaleX(), 1495) << "the scales last in force stay";
    }
    EXPECT_EQ(Prompt.Shown.size(), 1) << "only the malformed file is told";
}

TEST_F(TCalibrationFileTest, MalformedNumberIsToldAndChangesNothing)
{
    const QByteArray text = "Cal1Lon=1,5\nCal1Lat=2\nCal2Lon=3\nCal2Lat=4\nMapCheck=1234\n";
    WriteFile(Inf, text);
    TCalibration calibration;
    calibration.SetPoints({ -1, -2, 10, 20 }, { 1, 2, 30, 40 });
    EXPECT_FALSE(Load(calibration));
    ASSERT_EQ(Prompt.Shown.size(), 1);
    EXPECT_EQ(Prompt.Shown[0],
        "Loading of calibration data failed: '1,5' is not a valid floating point value\r\r"
        "Please calibrate the map properly.");
    EXPECT_EQ(ReadFile(Inf), text) << "the file is left alone";
    // A missing coordinate is as malformed as a bad one; a bad pixel too.
    WriteFile(Inf, "Cal1Lon=1\nCal2Lon=3\nCal2Lat=4\nMapCheck=1234\n");
    EXPECT_FALSE(Load(calibration));
    WriteFile(Inf, "Cal1Lon=1\nCal1Lat=2\nCal2Lon=3\nCal2Lat=4\nCal1X=4.5\nMapCheck=1234\n");
    EXPECT_FALSE(Load(calibration));
    EXPECT_EQ(Prompt.Shown.size(), 3);
}
