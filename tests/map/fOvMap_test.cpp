#include "map/fOvMap.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage Canvas()
{
    QImage canvas(60, 40, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(qRgb(10, 120, 10));
    return canvas;
}

} // namespace

// One layer looks as the markers drawn one after the other: centred by halves toward zero,
// see-through and half-transparent pixels left out, later ones on top; within a part of the
// canvas, markers whose centre lies just outside still show their inner half.
TEST(TOvMap, MarkerLayerLooksAsMarkersDrawnOneAfterTheOther)
{
    TOvMap map;
    map.SetMapPic(QImage(60, 40, QImage::Format_RGB32));
    map.SetPoints({ 0, 0, 0, 0 }, { 60, 40, 60, 40 }); // 1 pixel a degree, y down
    // A two-coloured marker with a see-through corner and a half-transparent pixel, 5 by 4.
    QImage marker(5, 4, QImage::Format_ARGB32);
    marker.fill(qRgb(200, 0, 0));
    for (int x = 0; x < 5; ++x)
        marker.setPixel(x, 0, qRgb(0, 0, 0));
    marker.setPixel(0, 3, qRgba(0, 0, 0, 0));
    marker.setPixel(4, 3, qRgba(0, 255, 0, 100));
    map.SetMarker(marker);
    const std::vector<QPoint> centres { { 10, 10 }, { 12, 11 }, { 11, 12 }, { 0, 0 }, { 59, 39 },
        { 30, 20 }, { 31, 20 } };
    QImage expected = Canvas();
    {
        QPainter painter(&expected);
        for (const QPoint& centre : centres)
            map.DrawMarker(painter, centre.x(), centre.y());
    }
    EXPECT_EQ(expected.pixel(28, 18), qRgb(0, 0, 0)) << "left at 30 - 5 / 2, top at 20 - 4 / 2";
    EXPECT_EQ(expected.pixel(27, 18), qRgb(10, 120, 10));
    EXPECT_EQ(expected.pixel(8, 11), qRgb(10, 120, 10)) << "the see-through corner of (10, 10)";
    EXPECT_EQ(expected.pixel(2, 1), qRgb(10, 120, 10)) << "half transparent, of (0, 0)";
    QImage layered = Canvas();
    QPainter(&layered).drawImage(0, 0, map.MarkerLayer(centres, layered.rect()));
    EXPECT_EQ(layered, expected);

    QImage part = Canvas();
    QPainter(&part).drawImage(10, 0, map.MarkerLayer({ { 9, 20 } }, QRect(10, 0, 50, 40)));
    EXPECT_EQ(part.pixel(10, 20), qRgb(200, 0, 0));
    EXPECT_EQ(part.pixel(9, 20), qRgb(10, 120, 10)) << "outside the area";
}
