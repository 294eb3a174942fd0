#pragma once

#include <optional>

#include <QPoint>
#include <QRect>
#include <QSize>

// The main window's stored bounds, each -1 when not stored. Left and Top are where the
// window's frame starts; Width and Height are its inside, as the frame's size is known only
// once the window manager has framed the shown window.
struct TStoredBounds {
    int Left = -1, Top = -1, Width = -1, Height = -1;
};

// Where the main window opens.
struct TWindowBounds {
    std::optional<QPoint> FramePosition; // none: the window manager places the window
    QSize Size;
};

// The stored bounds, with `designed` for what is not stored, kept within `available` (the
// work area of the screen the window lands on): no larger than it, and its title bar on it.
TWindowBounds FitBounds(const TStoredBounds& stored, const QSize& designed, const QRect& available);

// A shown window whose frame (`frame`, around an inside of `inside`) does not fit `available`
// is made smaller by what sticks out and moved onto it, so no panel hides its edge.
TWindowBounds FitFrame(const QRect& frame, const QSize& inside, const QRect& available);
