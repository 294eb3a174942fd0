#pragma once

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>

#include "editor/fMDIChild.h"
#include "httpserver.h"
#include "map/fMapPanel.h"
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

// The program folder's "maps" folder and the world pictures' folder, both empty at first: the
// fresh folders every test gets (main.cpp).
class TMapFolders {
public:
    TMapFolders() { QDir().mkpath(Maps()); }

    static QString Maps() { return qEnvironmentVariable("MARIVEL_HOME") + "/maps"; }
    static QString WorldDir() { return qEnvironmentVariable("MARIVEL_WORLD_PICTURES"); }
    // A picture of `size` in the maps folder, plain blue with a white frame.
    static QString AddPicture(const QString& name, QSize size, const QString& folder = Maps())
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(image.rect().adjusted(1, 1, -1, -1), QColor(40, 80, 200));
        image.save(folder + '/' + name);
        return folder + '/' + name;
    }
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
