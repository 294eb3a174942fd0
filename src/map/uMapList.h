#pragma once

#include <vector>

#include <QSize>
#include <QString>
#include <QStringList>

class IUserPrompt;
class TCalibration;

// A map the user may choose: the name the map list shows, its picture and its calibration
// file.
struct TMapChoice {
    QString Name;
    QString Picture;
    QString CalibrationFile;
    // A world map in plate carree (longitude and latitude linear in x and y): without a
    // calibration file of its own it is calibrated by its corners.
    bool World = false;
    // The web map, made of tiles rather than one picture.
    bool Tiles = false;
};

// The web map's choice, listed before the pictures.
TMapChoice TileMapChoice();

// The picture types the map list offers, lower-cased.
const QStringList& MapPictureExtensions();
// Where map pictures are looked for: "maps" below the program folder, then the user's own
// maps folder (the same folder when the program folder is the user's data folder).
QStringList MapFolders();
// The folder where the world pictures are installed: Debian's xplanet-images, unless
// MARIVEL_WORLD_PICTURES names another.
QString WorldPicturesDir();

// The world maps whose pictures are installed in `worldPictures`, then the pictures of the
// `folders` by name. A world map keeps its calibration file in the first folder.
std::vector<TMapChoice> ListMaps(const QStringList& folders, const QString& worldPictures);
// The index of the choice named `name`, -1 when there is none.
int IndexOfMap(const std::vector<TMapChoice>& maps, const QString& name);

// Takes the calibration of `map`, whose picture is `picture` pixels large, into `calibration`
// as `LoadMapCalibration` does; a world map without a calibration file of its own spans
// -180..180 degrees of longitude and -90..90 of latitude. Whether the map counts as calibrated.
bool LoadChoiceCalibration(const TMapChoice& map, QSize picture, TCalibration& calibration,
    QString& backColor, IUserPrompt& prompt);
