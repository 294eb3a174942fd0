#pragma once

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "testing.h"

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
