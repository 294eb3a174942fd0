#include "widgets/uWindowBounds.h"

#include <algorithm>

TWindowBounds FitBounds(const TStoredBounds& stored, const QSize& designed, const QRect& available)
{
    const auto orDesigned = [](int value, int designedValue) {
        return value != -1 ? value : designedValue;
    };
    TWindowBounds bounds;
    bounds.Size = QSize(
        orDesigned(stored.Width, designed.width()), orDesigned(stored.Height, designed.height()))
                      .boundedTo(available.size())
                      .expandedTo(QSize(1, 1));
    if (stored.Left == -1 && stored.Top == -1)
        return bounds;
    // Moved back inside as far as needed for the whole window to show.
    const auto within = [](int value, int first, int last) {
        return std::max(first, std::min(value, last));
    };
    bounds.FramePosition =
        QPoint(within(orDesigned(stored.Left, available.left()), available.left(),
                   available.right() + 1 - bounds.Size.width()),
            within(orDesigned(stored.Top, available.top()), available.top(),
                available.bottom() + 1 - bounds.Size.height()));
    return bounds;
}

TWindowBounds FitFrame(const QRect& frame, const QSize& inside, const QRect& available)
{
    const QSize excess = (frame.size() - available.size()).expandedTo(QSize(0, 0));
    const QSize frameSize = frame.size() - excess;
    const QPoint position(
        std::clamp(frame.left(), available.left(), available.right() + 1 - frameSize.width()),
        std::clamp(frame.top(), available.top(), available.bottom() + 1 - frameSize.height()));
    return { position, (inside - excess).expandedTo(QSize(1, 1)) };
}
