// Times a document window on an OV2 file, offscreen: opening it until its first rows are
// painted, a jump to the last row, a header click on each column (latitude, longitude,
// description), Select All, and Delete of every row. Usage: marivel_editor_bench FILE.ov2

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include "convert/uFormats.h"
#include "editor/fMDIChild.h"
#include "editor/uFileCommands.h"

namespace {

// Notes when the list has painted its rows.
class TPaintWatch : public QObject {
public:
    bool Painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};

// Runs `step`, then the event loop until the list has painted again; the seconds it took.
double Timed(QTableView& list, const std::function<void()>& step)
{
    TPaintWatch watch;
    list.viewport()->installEventFilter(&watch);
    QElapsedTimer timer;
    timer.start();
    step();
    list.viewport()->update();
    while (!watch.Painted)
        QApplication::processEvents();
    list.viewport()->removeEventFilter(&watch);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

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

    const double open = Timed(list, [&] {
        TEntries loaded;
        LoadLocation(location, QString(), loaded, nullptr);
        window.LoadFromList(loaded, location, TDocument::lmOpen, QString());
        window.show();
    });
    const int count = window.Document.Entries.Count();
    const double scroll = Timed(list, [&] { list.scrollToBottom(); });
    // Each sort starts from the order the one before left, which is unrelated to its column.
    const auto sortBy = [&](TDocument::TColumn column) {
        return Timed(list, [&] { emit list.horizontalHeader()->sectionClicked(column); });
    };
    const double sortLatitude = sortBy(TDocument::colLatitude);
    const double sortLongitude = sortBy(TDocument::colLongitude);
    const double sortDescription = sortBy(TDocument::colDescription);
    const double selectAll = Timed(list, [&] { window.SelectAll(); });
    const double deleteAll = Timed(list, [&] { window.Delete(); });
    if (window.Document.Entries.Count() != 0) {
        std::fprintf(stderr, "rows left after deleting all\n");
        return 1;
    }
    std::printf("%d %.3f %.3f %.3f %.3f %.3f %.3f %.3f\n", count, open, scroll, sortLatitude,
        sortLongitude, sortDescription, selectAll, deleteAll);
    return 0;
}
