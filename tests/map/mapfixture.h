#pragma once

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "map/uWebMercator.h"
#include "testing.h"

// A plain picture as PNG, as a tile server sends it.
inline QByteArray Png(QSize size, QColor color = Qt::green)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

// The path of a tile at a server whose tile address is "/{z}/{x}/{y}.png".
inline QByteArray TilePath(TTileId tile)
{
    return QStringLiteral("/%1/%2/%3.png").arg(tile.Zoom).arg(tile.X).arg(tile.Y).toLatin1();
}

// The red inside of a selected entry's marker.
inline bool IsMarkerRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60; }

// A program folder of its own with an empty "maps" folder, fresh settings, and no world
// pictures, for as long as it lives.
class TMapFolders {
public:
    TMapFolders()
        : PreviousHome(qgetenv("MARIVEL_HOME"))
        , PreviousWorld(qgetenv("MARIVEL_WORLD_PICTURES"))
    {
        qputenv("MARIVEL_HOME", Home.path().toLocal8Bit());
        qputenv("MARIVEL_WORLD_PICTURES", World.path().toLocal8Bit());
        QDir(Home.path()).mkdir("maps");
    }
    ~TMapFolders()
    {
        qputenv("MARIVEL_HOME", PreviousHome);
        qputenv("MARIVEL_WORLD_PICTURES", PreviousWorld);
    }
    TMapFolders(const TMapFolders&) = delete;
    TMapFolders& operator=(const TMapFolders&) = delete;

    QString Maps() const { return Home.filePath("maps"); }
    QString WorldDir() const { return World.path(); }
    // A picture of `size` in the maps folder, plain blue with a white frame.
    QString AddPicture(const QString& name, QSize size, const QString& folder = QString()) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 1; y < size.height() - 1; ++y)
            for (int x = 1; x < size.width() - 1; ++x)
                image.setPixel(x, y, qRgb(40, 80, 200));
        const QString file = (folder.isEmpty() ? Maps() : folder) + '/' + name;
        image.save(file);
        return file;
    }

private:
    TTempConfig Config;
    QTemporaryDir Home;
    QTemporaryDir World;
    QByteArray PreviousHome;
    QByteArray PreviousWorld;
};
