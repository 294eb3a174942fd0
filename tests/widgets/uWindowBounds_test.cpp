#include "widgets/uWindowBounds.h"

#include <gtest/gtest.h>

namespace {

// A work area below a 24-pixel panel, as on a desktop with a top bar.
const QRect WorkArea(0, 24, 1280, 776);
const QSize Designed(800, 600);

} // namespace

TEST(FitBounds, StoredBoundsAreKeptOnTheScreen)
{
    struct TCase {
        const char* Name;
        TStoredBounds Stored;
        std::optional<QPoint> Position;
        QSize Size;
        QRect Screen = WorkArea;
    };
    const TCase cases[] = {
        { "nothing stored", {}, std::nullopt, Designed },
        { "on the screen", { 100, 50, 640, 480 }, QPoint(100, 50), { 640, 480 } },
        { "the designed top is the work area's", { 100, -1, -1, -1 }, QPoint(100, 24), Designed },
        { "not under the panel", { 0, 0, 800, 600 }, QPoint(0, 24), Designed },
        { "left of the screen", { -300, -20, 800, 600 }, QPoint(0, 24), Designed },
        { "a screen that is gone", { 3000, 2000, 800, 600 }, QPoint(480, 200), Designed },
        { "larger than the screen", { 10, 10, 4000, 3000 }, QPoint(0, 24), { 1280, 776 } },
        { "on a second screen", { 1300, 100, 800, 600 }, QPoint(1300, 100), Designed,
            { 1280, 0, 1024, 768 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TWindowBounds bounds = FitBounds(c.Stored, Designed, c.Screen);
        EXPECT_EQ(bounds.FramePosition, c.Position);
        EXPECT_EQ(bounds.Size, c.Size);
    }
    EXPECT_EQ(FitBounds({}, QSize(2000, 1000), WorkArea).Size, QSize(1280, 776));
}
