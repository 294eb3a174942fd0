#include "widgets/uCursors.h"

#include <gtest/gtest.h>

#include "testing.h"

TEST(Cursors, AllThreeComeFromTheResourcesAndAMissingOneIsAFault)
{
    const TCursors cursors;
    for (TCursorId id : { TCursorId::HandOver, TCursorId::HandGrab, TCursorId::SetPosition }) {
        const QCursor& cursor = cursors.Cursor(id);
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << static_cast<int>(id);
        EXPECT_EQ(cursor.hotSpot(), QPoint(15, 15));
    }
    EXPECT_NE(cursors.Cursor(TCursorId::HandOver).pixmap().toImage(),
        cursors.Cursor(TCursorId::HandGrab).pixmap().toImage())
        << "each id has its own image";
    EXPECT_EQ(LoadCursor("CURSETPOS").pixmap().toImage(),
        cursors.Cursor(TCursorId::SetPosition).pixmap().toImage());
    EXPECT_EQ(ErrorOf([] { LoadCursor("CURNONE"); }), "Unable to load cursor CURNONE");
}
