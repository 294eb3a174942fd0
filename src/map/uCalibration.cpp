#include "map/uCalibration.h"

#include <cmath>
#include <map>
#include <string>

#include <QFile>
#include <QFileInfo>

#include "core/uNumbers.h"
#include "core/uUserPrompt.h"
#include "core/uUtils.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

void TCalibration::SetPoints(const TCalPoint& point1, const TCalPoint& point2)
{
    P1 = point1;
    P2 = point2;
    if (P2.Lon != P1.Lon)
        FScaleX = (P2.X - P1.X) / (P2.Lon - P1.Lon);
    if (P2.Lat != P1.Lat)
        FScaleY = (P2.Y - P1.Y) / (P2.Lat - P1.Lat);
}

int TCalibration::LonToX(double lon) const
{
    return static_cast<int>(std::lround(P1.X * Zoom + (lon - P1.Lon) * FScaleX * Zoom));
}

int TCalibration::LatToY(double lat) const
{
    return static_cast<int>(std::lround(P1.Y * Zoom + (lat - P1.Lat) * FScaleY * Zoom));
}

double TCalibration::XToLon(double x) const
{
    return FScaleX == 0 ? 0 : (x / Zoom - P1.X) / FScaleX + P1.Lon;
}

double TCalibration::YToLat(double y) const
{
    return FScaleY == 0 ? 0 : (y / Zoom - P1.Y) / FScaleY + P1.Lat;
}

double TCalibration::HintReach() const
{
    constexpr double ReachAtZoom1 = 0.02; // degrees
    return ReachAtZoom1 / Zoom;
}

TPlaneView TCalibration::PlaneView() const
{
    return { FScaleX * Zoom, (P1.X - P1.Lon * FScaleX) * Zoom, FScaleY * Zoom,
        (P1.Y - P1.Lat * FScaleY) * Zoom };
}

QPoint TCalibration::Unzoomed(QPoint zoomed) const
{
    return { static_cast<int>(std::lround(zoomed.x() / Zoom)),
        static_cast<int>(std::lround(zoomed.y() / Zoom)) };
}

QSize TCalibration::ZoomedSize(QSize picture) const
{
    return { static_cast<int>(std::lround(picture.width() * Zoom)),
        static_cast<int>(std::lround(picture.height() * Zoom)) };
}

TCalPoint TCalibration::LowerLeft(QSize picture, double lon, double lat)
{
    return { lon, lat, 0, picture.height() };
}

TCalPoint TCalibration::UpperRight(QSize picture, double lon, double lat)
{
    return { lon, lat, picture.width(), 0 };
}

bool PointsTooClose(const TCalPoint& point1, const TCalPoint& point2, QSize picture)
{
    return std::abs(point1.X - point2.X) < picture.width() / 4
        || std::abs(point1.Y - point2.Y) < picture.height() / 4;
}

bool ConfirmCalibration(
    const TCalPoint& point1, const TCalPoint& point2, QSize picture, IUserPrompt& prompt)
{
    return !PointsTooClose(point1, point2, picture)
        || prompt.Ask(Tr(Msg::CalibrationClose), false) == IUserPrompt::TAnswer::Yes;
}

namespace {

using TValues = std::map<std::string, std::string, std::less<>>;

TValues ReadValues(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EUserError(Tr(Msg::CannotOpenFile).arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    TValues values;
    for (std::string_view line : SplitLines(std::string_view(bytes.constData(), bytes.size()))) {
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            values.emplace(
                std::string(Trim(line.substr(0, equals))), std::string(line.substr(equals + 1)));
    }
    return values;
}

double FloatValue(const TValues& values, const char* name)
{
    const auto found = values.find(name);
    return ParseFloat(found == values.end() ? std::string_view() : found->second);
}

int IntegerValue(const TValues& values, const char* name, int fallback)
{
    const auto found = values.find(name);
    return found == values.end() ? fallback : ParseInteger(found->second);
}

void AppendLine(std::string& text, const char* name, const std::string& value)
{
    text += name;
    text += '=';
    text += value;
    text += '\n';
}

std::string General(double value)
{
    std::string text;
    AppendGeneral(text, value);
    return text;
}

int64_t MapCheckOf(const TValues& values)
{
    const auto check = values.find("MapCheck");
    return check == values.end() ? -1 : static_cast<int64_t>(ParseFloat(check->second));
}

TCalibrationFile Parse(const TValues& values, QSize picture)
{
    TCalibrationFile read;
    read.Point1 = { FloatValue(values, "Cal1Lon"), FloatValue(values, "Cal1Lat"),
        IntegerValue(values, "Cal1X", 0), IntegerValue(values, "Cal1Y", picture.height()) };
    read.Point2 = { FloatValue(values, "Cal2Lon"), FloatValue(values, "Cal2Lat"),
        IntegerValue(values, "Cal2X", picture.width()), IntegerValue(values, "Cal2Y", 0) };
    if (const auto color = values.find("BackColor"); color != values.end())
        read.BackColor = QString::fromLatin1(color->second);
    read.MapCheck = MapCheckOf(values);
    return read;
}

} // namespace

TCalibrationFile ReadCalibrationFile(const QString& fileName, QSize picture)
{
    return Parse(ReadValues(fileName), picture);
}

void WriteCalibrationFile(const QString& fileName, const TCalibrationFile& calibration)
{
    std::string text;
    AppendLine(text, "Cal1Lon", General(calibration.Point1.Lon));
    AppendLine(text, "Cal1Lat", General(calibration.Point1.Lat));
    AppendLine(text, "Cal2Lon", General(calibration.Point2.Lon));
    AppendLine(text, "Cal2Lat", General(calibration.Point2.Lat));
    AppendLine(text, "Cal1X", std::to_string(calibration.Point1.X));
    AppendLine(text, "Cal1Y", std::to_string(calibration.Point1.Y));
    AppendLine(text, "Cal2X", std::to_string(calibration.Point2.X));
    AppendLine(text, "Cal2Y", std::to_string(calibration.Point2.Y));
    AppendLine(text, "BackColor", calibration.BackColor.toStdString());
    AppendLine(text, "MapCheck", std::to_string(calibration.MapCheck));
    SaveTextToLocation(text, fileName);
}

int64_t FileSizeOf(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.isFile() ? info.size() : 0;
}

namespace {

// A map to be calibrated starts from its own corners: the points of the map shown before
// could lie outside this picture.
bool Uncalibrated(TCalibration& calibration, QSize picture)
{
    calibration.SetPoints(
        TCalibration::LowerLeft(picture, 0, 0), TCalibration::UpperRight(picture, 0, 0));
    return false;
}

} // namespace

bool LoadMapCalibration(const QString& picture, const QString& calibrationFile, QSize pictureSize,
    TCalibration& calibration, QString& backColor, IUserPrompt& prompt)
{
    if (!QFileInfo(calibrationFile).isFile())
        return Uncalibrated(calibration, pictureSize);
    try {
        const TValues values = ReadValues(calibrationFile);
        // A calibration made for another picture is no calibration; its numbers are not read.
        if (MapCheckOf(values) != FileSizeOf(picture))
            return Uncalibrated(calibration, pictureSize);
        const TCalibrationFile read = Parse(values, pictureSize);
        calibration.SetPoints(read.Point1, read.Point2);
        backColor = read.BackColor;
        return true;
    } catch (const EUserError& error) {
        prompt.ShowError(Tr(Msg::CalibrationLoadFailed).arg(error.Message()));
        return Uncalibrated(calibration, pictureSize);
    }
}
