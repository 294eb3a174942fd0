#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "map/fTileView.h"
#include "map/uMapView.h"
#include "mapfixture.h"

namespace {

const QColor TileColour(170, 211, 223);
const QColor MissingTile(238, 238, 238);

// A document of places in Amsterdam on the web map, whose tiles at zoom 17 around them come
// from a server of the test's own, and no others; shown.
class TTileWindow : public TMapDocument {
public:
    explicit TTileWindow(std::initializer_list<std::pair<double, double>> positions)
    {
        const TTileId middle = TileAt(4.9, 52.37, 17);
        const QByteArray tile = Png({ TileSize, TileSize }, TileColour);
        for (int y = middle.Y - 5; y <= middle.Y + 5; ++y)
            for (int x = middle.X - 5; x <= middle.X + 5; ++x)
                Server.Serve(TilePath({ 17, x, y }), tile);
        Settings().TileUrl = Server.Url("/{z}/{x}/{y}.png");
        Show(positions);
    }
    ~TTileWindow() { Child.reset(); } // before the server it asks

    TTileView& View() const { return Panel().TileMap(); }
    const TMercatorProjection& Projection() const { return View().Projection(); }
    TLonLat PlaceAt(QPointF pixel) const
    {
        return { Projection().XToLon(pixel.x()), Projection().YToLat(pixel.y()) };
    }
    void Drag(QPoint from, QPoint to) const { TMapDocument::Drag(View(), from, to); }

    THttpTestServer Server;
};

} // namespace

// A fresh user gets the web map: the document's places fitted, their tiles drawn around them
// at street level, those in sight and one around them only, and the attribution shown. The wheel
// zooms about the pointer, the buttons and keys about the middle, and levels stop at 1 and 19;
// dragging and the arrow keys pan. Tiles that do not come leave a grid and one message, however
// many fail.
TEST(TTileMap, FitsTheEntriesShowsTheirTilesZoomsAndPans)
{
    TTileWindow window({ { 4.9, 52.37 }, { 4.901, 52.371 } });
    EXPECT_EQ(window.Panel().findChild<QComboBox*>("cbMap")->currentText(), "OpenStreetMap");
    ASSERT_TRUE(window.Panel().ShowsTiles());
    EXPECT_EQ(window.View().Zoom(), TTileView::MaxFitZoom) << "no closer than street level";
    const TCoordWindow shown = WindowOf(window.Projection(), window.View().rect());
    EXPECT_TRUE(shown.Contains(4.9, 52.37) && shown.Contains(4.901, 52.371));
    const QPoint middle(window.View().width() / 2, window.View().height() / 2);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window.View().grab().toImage().pixelColor(middle + QPoint(60, 60)) == TileColour;
    })) << "the tiles arrive without anything waiting for them";
    const std::set<TTileId> wanted = TilesToFetch(
        TilesInView(window.Projection().Origin, window.View().size()), TTileView::MaxFitZoom);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.Server.Requests.size() >= qsizetype(wanted.size()); }));
    QTest::qWait(50);
    EXPECT_EQ(window.Server.Requests.size(), qsizetype(wanted.size())) << "each once, no more";

    auto* attribution = window.View().findChild<QLabel*>("lbAttribution");
    ASSERT_TRUE(attribution);
    EXPECT_TRUE(attribution->isVisible());
    EXPECT_TRUE(attribution->text().contains("© OpenStreetMap contributors"));
    QSignalSpy pages(&window.Panel(), &TMapPanel::PageRequested);
    emit attribution->linkActivated("https://www.openstreetmap.org/copyright");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0][0].toString(), "https://www.openstreetmap.org/copyright");
    EXPECT_TRUE(window.Messages.isEmpty());

    TTileView& view = window.View();
    const QPointF pointer(100, 80);
    const TLonLat before = window.PlaceAt(pointer);
    QWheelEvent out(pointer, view.mapToGlobal(pointer), {}, { 0, -120 }, Qt::NoButton, {},
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &out);
    EXPECT_EQ(view.Zoom(), 16);
    const TLonLat after = window.PlaceAt(pointer);
    EXPECT_NEAR(after.Lon, before.Lon, 1e-9);
    EXPECT_NEAR(after.Lat, before.Lat, 1e-9);

    const QPointF anchor(view.width() / 2.0, view.height() / 2.0);
    const TLonLat centre = window.PlaceAt(anchor);
    window.Action("acZoomIn")->trigger();
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Plus);
    EXPECT_EQ(view.Zoom(), 18);
    EXPECT_NEAR(window.PlaceAt(anchor).Lon, centre.Lon, 1e-9);
    QTest::keyClick(&view, Qt::Key_Plus);
    EXPECT_EQ(view.Zoom(), MaxTileZoom);
    EXPECT_FALSE(window.Action("acZoomIn")->isEnabled());
    for (int i = 0; i < 25; ++i)
        window.Panel().ZoomOut();
    EXPECT_EQ(view.Zoom(), TTileView::MinZoom);
    EXPECT_FALSE(window.Action("acZoomOut")->isEnabled());

    window.Panel().ZoomIn();
    const TLonLat grabbed = window.PlaceAt({ 50, 50 });
    window.Drag({ 50, 50 }, { 80, 90 });
    EXPECT_NEAR(window.PlaceAt({ 80, 90 }).Lon, grabbed.Lon, 1e-9)
        << "the place stays under the pointer";
    EXPECT_NEAR(window.PlaceAt({ 80, 90 }).Lat, grabbed.Lat, 1e-9);
    const double west = window.PlaceAt({ 0, 0 }).Lon;
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_GT(window.PlaceAt({ 0, 0 }).Lon, west) << "the right arrow shows more of the east";

    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.Messages.isEmpty(); }));
    QTest::qWait(100);
    ASSERT_EQ(window.Messages.size(), 1);
    EXPECT_TRUE(window.Messages[0].startsWith("Map tiles cannot be loaded: Unable to download "))
        << window.Messages[0].toStdString();
    EXPECT_EQ(view.grab().toImage().pixelColor(5, 5), MissingTile);
}
