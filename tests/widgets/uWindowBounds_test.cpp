#include "widgets/uWindowBounds.h"

#include <gtest/gtest.h>

namespace {

// A work area below a 24-pixel panel, as on a desktop with a top bar.
const QRect WorkArea(0, 24, 1280, 776);
const QSize Designed(800, 600);

} // namespace

TEST(FitBounds, NothingStoredLeavesThePlaceToTheWindowManager)
{
    const TWindowBounds bounds = FitBounds({}, Designed, WorkArea);
    EXPECT_FALSE(bounds.FramePosition);
    EXPECT_EQ(bounds.Size, Designed);
    EXPECT_EQ(FitBounds({}, QSize(2000, 1000), WorkArea).Size, QSize(1280, 776));
}

TEST(FitBounds, StoredBoundsOnTheScreenAreKept)
{
    const TWindowBounds bounds = FitBounds({ 100, 50, 640, 480 }, Designed, WorkArea);
    EXPECT_EQ(bounds.FramePosition, QPoint(100, 50));
    EXPECT_EQ(bounds.Size, QSize(640, 480));
    EXPECT_EQ(FitBounds({ 100, -1, -1, -1 }, Designed, WorkArea).FramePosition, QPoint(100, 24))
        << "the designed top is the work area's";
}

TEST(FitBounds, AWindowOffTheScreenComesBackWithItsTitleBarInSight)
{
    EXPECT_EQ(FitBounds({ 0, 0, 800, 600 }, Designed, WorkArea).FramePosition, QPoint(0, 24))
        << "not under the panel";
    EXPECT_EQ(FitBounds({ -300, -20, 800, 600 }, Designed, WorkArea).FramePosition, QPoint(0, 24));
    EXPECT_EQ(
        FitBounds({ 3000, 2000, 800, 600 }, Designed, WorkArea).FramePosition, QPoint(480, 200))
        << "a screen that is gone";
    const TWindowBounds large = FitBounds({ 10, 10, 4000, 3000 }, Designed, WorkArea);
    EXPECT_EQ(large.FramePosition, QPoint(0, 24));
    EXPECT_EQ(large.Size, QSize(1280, 776));
    const QRect second(1280, 0, 1024, 768);
    EXPECT_EQ(FitBounds({ 1300, 100, 800, 600 }, Designed, second).FramePosition, QPoint(1300, 100))
        << "on a second screen";
}
