#pragma once

#include <array>

#include <QCursor>
#include <QString>

// The program's own mouse cursors, numbered as the map refers to them.
enum class TCursorId { HandOver = 1, HandGrab = 2, SetPosition = 3 };

// Loads one cursor image ("CURHANDGRAB", "CURHANDOVER", "CURSETPOS") from the program's
// resources; a missing one fails with "Unable to load cursor %1".
QCursor LoadCursor(const QString& name);

// All three cursors, loaded once when the main window is created.
class TCursors {
public:
    TCursors();
    const QCursor& Cursor(TCursorId id) const;

private:
    std::array<QCursor, 3> Cursors;
};
