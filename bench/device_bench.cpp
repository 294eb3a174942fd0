// Times the device browser on a device folder of many POI files, offscreen: showing "Open
// Remote..." until the listed rows are painted, then Refresh (F5) and a jump to the last row.
// Prints the number of rows listed and the three times in seconds. Usage:
// marivel_device_bench DEVICE-FOLDER (whose "My Documents" holds the files)

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QToolButton>
#include <QTreeView>

#include "convert/uFormats.h"
#include "device/Rapi.h"
#include "device/fMobileBrowser.h"
#include "uPaintTimer.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: marivel_device_bench DEVICE-FOLDER\n");
        return 2;
    }
    qputenv("MARIVEL_DEVICE_ROOT", argv[1]);
    TBuiltInFormats formats;
    TRapiSession session;
    InitRapi();
    TfmMobileBrowser browser(nullptr, false);
    browser.SetFileName(QStringLiteral("\\My Documents\\"));
    auto& list = *browser.FileList();
    const double show = TimedUntilPainted(list, [&] { browser.show(); });
    QToolButton* refreshButton = nullptr;
    for (auto* button : browser.findChildren<QToolButton*>())
        if (button->shortcut() == QKeySequence(Qt::Key_F5))
            refreshButton = button;
    if (!refreshButton) {
        std::fprintf(stderr, "no Refresh (F5) button\n");
        return 1;
    }
    const double refresh = TimedUntilPainted(list, [&] { refreshButton->click(); });
    const double scroll = TimedUntilPainted(list, [&] { list.scrollToBottom(); });
    std::printf("%d %.3f %.3f %.3f\n", list.model()->rowCount(), show, refresh, scroll);
    return 0;
}
