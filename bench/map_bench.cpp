// Times the map beside a document, offscreen: a rubber-band selection of every entry, and one
// full repaint of the World map with all of them selected, at zoom 1 and at zoom 4: the first
// after the entries changed, which reads their positions, and those after it. The
// entries lie spread over the whole globe, the case with the most markers in sight. Without
// the installed world pictures a generated picture of their size stands in.
// Usage: marivel_map_bench [COUNT]

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include "core/uSettings.h"
#include "editor/fMDIChild.h"
#include "map/fOvMap.h"
#include "map/uMapList.h"
#include "uBenchData.h"
#include "uPaintTimer.h"

namespace {

void Mouse(QWidget& map, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, map.mapToGlobal(at), Qt::LeftButton,
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&map, &event);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir home, config, world;
    qputenv("MARIVEL_HOME", home.path().toLocal8Bit());
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    if (!QFileInfo::exists(WorldPicturesDir() + QStringLiteral("/earth.jpg"))) {
        QImage stand(2048, 1024, QImage::Format_RGB32);
        stand.fill(qRgb(30, 60, 140));
        stand.save(world.filePath(QStringLiteral("earth.jpg")));
        qputenv("MARIVEL_WORLD_PICTURES", world.path().toLocal8Bit());
    }
    Settings().Map = 1; // the World map, after the web map
    Settings().MapPanelShare = 70; // 900 of the window's 1280 pixels

    TMDIChild window;
    TUnitRandom random;
    for (int i = 0; i < count; ++i)
        window.Document.Entries.AddValues(
            "p", "", random.Next() * 359.8 - 179.9, random.Next() * 179.8 - 89.9);
    window.resize(1280, 860);
    window.UpdateView();
    window.show();
    QApplication::processEvents();
    TMapPanel& panel = window.MapPanel();
    TOvMap& map = panel.Map();
    if (panel.ChosenMap() == nullptr || panel.ChosenMap()->Name != QStringLiteral("World")) {
        std::fprintf(stderr, "the World map is not chosen\n");
        return 1;
    }

    panel.SetMouseMode(TMapPanel::TMouseMode::Select);
    panel.EntriesChanged();
    QElapsedTimer timer;
    timer.start();
    Mouse(map, QEvent::MouseButtonPress, { 0, 0 });
    Mouse(map, QEvent::MouseButtonRelease, { map.width(), map.height() });
    const double select = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const auto selected = window.SelectedRows().size();
    if (selected != static_cast<size_t>(count)) {
        std::fprintf(stderr, "selected %zu of %d\n", selected, count);
        return 1;
    }
    panel.EntriesChanged();
    timer.start();
    map.repaint();
    const double first = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double zoom1 = Best([&] { map.repaint(); });
    panel.ZoomIn();
    panel.ZoomIn();
    auto* area = panel.findChild<QScrollArea*>();
    area->horizontalScrollBar()->setValue(map.width() / 2);
    area->verticalScrollBar()->setValue(map.height() / 4);
    QApplication::processEvents();
    const double zoom4 = Best([&] { map.repaint(); });
    std::printf("entries                   %d\n", count);
    std::printf("rectangle selects all     %.3f s\n", select);
    std::printf("first repaint after edits %.1f ms (positions read anew)\n", first * 1000);
    std::printf("repaint at zoom 1         %.1f ms (%dx%d visible)\n", zoom1 * 1000,
        area->viewport()->width(), area->viewport()->height());
    std::printf("repaint at zoom 4         %.1f ms\n", zoom4 * 1000);
    return 0;
}
