#pragma once

#include <algorithm>
#include <functional>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

// Runs `step`, then the event loop until `view` has painted again; the seconds it took. What a
// user waits for is the painted rows, not the end of the call.
inline double TimedUntilPainted(QAbstractItemView& view, const std::function<void()>& step)
{
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
    } watch;
    view.viewport()->installEventFilter(&watch);
    QElapsedTimer timer;
    timer.start();
    step();
    view.viewport()->update();
    while (!watch.Painted)
        QApplication::processEvents();
    view.viewport()->removeEventFilter(&watch);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The best of a few runs of `step`, in seconds.
template <class TStep> double Best(TStep step)
{
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}
