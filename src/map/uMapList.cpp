#include "map/uMapList.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/uUtils.h"
#include "map/uCalibration.h"

namespace {

struct TWorldPicture {
    const char* Name;
    const char* File;
};

constexpr TWorldPicture WorldPictures[] = { { "World", "earth.jpg" },
    { "World (night)", "night.jpg" } };

bool IsMapPicture(const QFileInfo& file)
{
    return file.isFile()
        && MapPictureExtensions().contains(QLatin1Char('.') + file.suffix().toLower());
}

} // namespace

const QStringList& MapPictureExtensions()
{
    static const QStringList extensions { QStringLiteral(".gif"), QStringLiteral(".bmp"),
        QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".png") };
    return extensions;
}

QStringList MapFolders()
{
    QStringList folders { QDir::cleanPath(ApplicationDir() + QStringLiteral("maps")) };
    const QString own =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/marivel/maps"));
    if (QFileInfo(own).absoluteFilePath() != QFileInfo(folders.first()).absoluteFilePath())
        folders.append(own);
    return folders;
}

QString WorldPicturesDir()
{
    return qEnvironmentVariable(
        "MARIVEL_WORLD_PICTURES", QStringLiteral("/usr/share/xplanet/images"));
}

std::vector<TMapChoice> ListMaps(const QStringList& folders, const QString& worldPictures)
{
    std::vector<TMapChoice> maps;
    const QString calibrationDir = folders.value(0);
    for (const TWorldPicture& world : WorldPictures) {
        const QFileInfo picture(worldPictures + QLatin1Char('/') + QLatin1String(world.File));
        if (picture.isFile())
            maps.push_back({ QLatin1String(world.Name), picture.absoluteFilePath(),
                calibrationDir + QLatin1Char('/') + QLatin1String(world.Name)
                    + QStringLiteral(".inf"),
                true });
    }
    std::vector<TMapChoice> files;
    for (const QString& folder : folders)
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            if (IsMapPicture(file) && IndexOfMap(files, file.fileName()) < 0)
                files.push_back({ file.fileName(), file.absoluteFilePath(),
                    file.absoluteFilePath() + QStringLiteral(".inf") });
    maps.insert(maps.end(), files.begin(), files.end());
    return maps;
}

TMapChoice TileMapChoice()
{
    TMapChoice tiles;
    tiles.Name = QStringLiteral("OpenStreetMap");
    tiles.Tiles = true;
    return tiles;
}

int IndexOfMap(const std::vector<TMapChoice>& maps, const QString& name)
{
    const auto found = std::find_if(
        maps.begin(), maps.end(), [&](const TMapChoice& map) { return map.Name == name; });
    return found == maps.end() ? -1 : static_cast<int>(found - maps.begin());
}

bool LoadChoiceCalibration(const TMapChoice& map, QSize picture, TCalibration& calibration,
    QString& backColor, IUserPrompt& prompt)
{
    if (map.World && !QFileInfo(map.CalibrationFile).isFile()) {
        calibration.SetPoints(TCalibration::LowerLeft(picture, -180, -90),
            TCalibration::UpperRight(picture, 180, 90));
        return true;
    }
    return LoadMapCalibration(
        map.Picture, map.CalibrationFile, picture, calibration, backColor, prompt);
}
