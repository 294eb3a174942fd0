// Times a document window on an OV2 file, offscreen: opening it until its first rows are
// painted, a jump to the last row, a header click on each column (latitude, longitude,
// description), Select All, Delete of every row and the undo of that delete.
// Usage: marivel_editor_bench FILE.ov2

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include "convert/uFormats.h"
#include "editor/fMDIChild.h"
#include "editor/uFileCommands.h"
#include "uPaintTimer.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: marivel_editor_bench FILE.ov2\n");
        return 2;
    }
    TBuiltInFormats formats;
    const QString location = QStringLiteral("FILE://") + QString::fromLocal8Bit(argv[1]);
    TMDIChild window;
    window.resize(800, 600);
    auto& list = *window.findChild<QTableView*>();

    const double open = TimedUntilPainted(list, [&] {
        TEntries loaded;
        LoadLocation(location, QString(), loaded, nullptr);
        window.LoadFromList(loaded, location, TDocument::lmOpen, QString());
        window.show();
    });
    const int count = window.Document.Entries.Count();
    const double scroll = TimedUntilPainted(list, [&] { list.scrollToBottom(); });
    // Each sort starts from the order the one before left, which is unrelated to its column.
    const auto sortBy = [&](TDocument::TColumn column) {
        return TimedUntilPainted(
            list, [&] { emit list.horizontalHeader()->sectionClicked(column); });
    };
    const double sortLatitude = sortBy(TDocument::colLatitude);
    const double sortLongitude = sortBy(TDocument::colLongitude);
    const double sortDescription = sortBy(TDocument::colDescription);
    const double selectAll = TimedUntilPainted(list, [&] { window.SelectAll(); });
    const double deleteAll = TimedUntilPainted(list, [&] { window.Delete(); });
    if (window.Document.Entries.Count() != 0) {
        std::fprintf(stderr, "rows left after deleting all\n");
        return 1;
    }
    const double undoDelete = TimedUntilPainted(list, [&] { window.Undo(); });
    if (window.Document.Entries.Count() != count) {
        std::fprintf(stderr, "rows missing after undoing the delete\n");
        return 1;
    }
    std::printf("%d %.3f %.3f %.3f %.3f %.3f %.3f %.3f %.3f\n", count, open, scroll, sortLatitude,
        sortLongitude, sortDescription, selectAll, deleteAll, undoDelete);
    return 0;
}
