#pragma once

#include <QAction>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "editor/fMDIChild.h"
#include "httpserver.h"
#include "map/fMapPanel.h"
#include "map/uWebMercator.h"
#include "testing.h"

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
    TMapFolders() { QDir(Home.path()).mkdir("maps"); }

    QString Maps() const { return Home.filePath("maps"); }
    QString WorldDir() const { return World.path(); }
    // A picture of `size` in the maps folder, plain blue with a white frame.
    QString AddPicture(const QString& name, QSize size, const QString& folder = QString()) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(image.rect().adjusted(1, 1, -1, -1), QColor(40, 80, 200));
        const QString file = (folder.isEmpty() ? Maps() : folder) + '/' + name;
        image.save(file);
        return file;
    }

private:
    TTempConfig Config;
    QTemporaryDir Home;
    QTemporaryDir World;
    TEnvironment HomeVariable { "MARIVEL_HOME", Home.path() };
    TEnvironment WorldVariable { "MARIVEL_WORLD_PICTURES", World.path() };
};

// A document of entries "0", "1", ... at the given positions with its map panel; shown by
// Show(), once the map it opens with is set up.
class TMapDocument {
public:
    TMapPanel& Panel() const { return Child->MapPanel(); }
    QAction* Action(const char* name) const { return Panel().findChild<QAction*>(name); }
    QTableView* List() const { return Child->findChild<QTableView*>(); }
    static void Drag(QWidget& widget, QPoint from, QPoint to)
    {
        QTest::mousePress(&widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(&widget, to);
        QTest::mouseRelease(&widget, Qt::LeftButton, {}, to);
    }

    TMapFolders Folders;
    TScriptedPrompt Prompt;
    QStringList Messages; // the map's messages to the status bar
    std::unique_ptr<TMDIChild> Child;

protected:
    void Show(std::initializer_list<std::pair<double, double>> positions)
    {
        Child = std::make_unique<TMDIChild>();
        Child->SetPrompt(Prompt);
        QObject::connect(Child.get(), &TMDIChild::MapMessage,
            [this](const QString& text) { Messages.append(text); });
        int i = 0;
        for (const auto& [lon, lat] : positions)
            Child->Document.Entries.AddValues(std::to_string(i++), "", lon, lat);
        Child->Document.Entries.ClearChanged();
        Child->resize(900, 500);
        Child->UpdateView();
        Child->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Child.get()));
    }
};
