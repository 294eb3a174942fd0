#include "map/fOvMap.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A two-coloured marker with a see-through corner and a half-transparent pixel, 5 by 4.
QImage TwoColourMarker()
{
    QImage marker(5, 4, QImage::Format_ARGB32);
    marker.fill(qRgb(200, 0, 0));
    for (int x = 0; x < 5; ++x)
        marker.setPixel(x, 0, qRgb(0, 0, 0));
    marker.setPixel(0, 3, qRgba(0, 0, 0, 0));
    marker.setPixel(4, 3, qRgba(0, 255, 0, 100));
    return marker;
}

QImage Canvas()
{
    QImage canvas(60, 40, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(qRgb(10, 120, 10));
    return canvas;
}

} // namespace

TEST(TOvMap, SizeFollowsPictureAndZoom)
{
    TOvMap map;
    EXPECT_EQ(map.size(), QSize(100, 100)) << "without a picture";
    map.SetMapPic(QImage(301, 151, QImage::Format_RGB32));
    EXPECT_EQ(map.size(), QSize(301, 151));
    map.SetZoom(0.5);
    EXPECT_EQ(map.size(), QSize(151, 76)) << "rounded to the nearest";
    map.SetZoom(4);
    EXPECT_EQ(map.size(), QSize(1204, 604));
}

TEST(TOvMap, ManyMarkersDrawAsOneAfterTheOther)
{
    TOvMap map;
    map.SetMapPic(QImage(60, 40, QImage::Format_RGB32));
    map.SetPoints({ 0, 0, 0, 0 }, { 60, 40, 60, 40 }); // 1 pixel a degree, y down
    map.SetMarker(TwoColourMarker());
    const std::vector<QPoint> centres { { 10, 10 }, { 12, 11 }, { 11, 12 }, { 0, 0 }, { 59, 39 },
        { 30, 20 }, { 31, 20 } };
    QImage expected = Canvas();
    {
        QPainter painter(&expected);
        for (const QPoint& centre : centres)
            map.DrawMarker(painter, centre.x(), centre.y());
    }
    QImage layered = Canvas();
    {
        QPainter painter(&layered);
        map.DrawMarkersAt(painter, centres, layered.rect());
    }
    EXPECT_EQ(layered, expected);
    // Drawn within a part of the canvas, markers whose centre lies just outside still show
    // their inner half.
    QImage part = Canvas();
    {
        QPainter painter(&part);
        map.DrawMarkersAt(painter, { { 9, 20 } }, QRect(10, 0, 50, 40));
    }
    EXPECT_EQ(part.pixel(10, 20), qRgb(200, 0, 0));
    EXPECT_EQ(part.pixel(9, 20), qRgb(10, 120, 10)) << "outside the area";
}

TEST(TOvMap, DrawMarkerCentresByHalvesTowardZero)
{
    TOvMap map;
    map.SetMapPic(QImage(100, 100, QImage::Format_RGB32));
    map.SetPoints({ 0, 0, 0, 0 }, { 100, 100, 100, 100 }); // 1 pixel a degree, y down
    map.SetMarker(TwoColourMarker());
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        map.DrawMarker(painter, 20, 10);
    }
    EXPECT_EQ(canvas.pixel(18, 8), qRgb(0, 0, 0)) << "left at 20 - 5 / 2, top at 10 - 4 / 2";
    EXPECT_EQ(canvas.pixel(17, 8), qRgb(10, 120, 10));
    EXPECT_EQ(canvas.pixel(18, 11), qRgb(10, 120, 10)) << "see-through corner";
    EXPECT_EQ(canvas.pixel(22, 11), qRgb(10, 120, 10)) << "half transparent becomes see-through";
}

TEST(TOvMap, CollectionMarkersArePainted)
{
    TOvMap map;
    QImage picture(50, 50, QImage::Format_RGB32);
    picture.fill(Qt::white);
    map.SetMapPic(picture);
    map.SetPoints({ 0, 0, 0, 50 }, { 50, 50, 50, 0 });
    map.SetMarker(TwoColourMarker());
    map.SetMarkers({ { 10, 40, "a" } });
    bool called = false;
    map.OnPaintMarkers = [&](QPainter&) { called = true; };
    const QImage shown = map.grab().toImage();
    EXPECT_EQ(shown.pixel(10, 10), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(30, 30), qRgb(255, 255, 255));
    EXPECT_TRUE(called);
}
