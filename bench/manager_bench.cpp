// Times the AutoUpdate manager on a site of many POI files, offscreen: opening it until the
// first country's POI files are painted, then choosing the last country and the first group.
// Prints the number of POI files and the three times in seconds. Usage:
// marivel_manager_bench INDEX-FILE (a site index, shown as the selected site)

#include <cstdio>

#include <QApplication>
#include <QTreeWidget>

#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "sites/fAutoUpdateManager.h"
#include "uPaintTimer.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: marivel_manager_bench INDEX-FILE\n");
        return 2;
    }
    TBuiltInFormats formats;
    const QString site = QStringLiteral("FILE://") + QString::fromLocal8Bit(argv[1]);
    Settings().Sites.append(site);
    Settings().SiteManagerUrl = site;
    Settings().SiteManagerMaximized = false;

    std::unique_ptr<TfmSiteManager> manager;
    QTreeWidget* items = nullptr;
    QElapsedTimer open;
    open.start();
    manager = std::make_unique<TfmSiteManager>();
    items = manager->ItemList();
    const double show =
        open.nsecsElapsed() / 1e9 + TimedUntilPainted(*items, [&] { manager->show(); });
    QTreeWidget& maps = *manager->MapList();
    QTreeWidget& groups = *manager->GroupList();
    const double country = TimedUntilPainted(
        *items, [&] { maps.setCurrentItem(maps.topLevelItem(maps.topLevelItemCount() - 1)); });
    // The manager opens on "[All]", the last group; the first is another one.
    const double group =
        TimedUntilPainted(*items, [&] { groups.setCurrentItem(groups.topLevelItem(0)); });
    std::printf("%d %.3f %.3f %.3f\n", items->topLevelItemCount(), show, country, group);
    return 0;
}
