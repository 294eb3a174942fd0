#include "map/fMapPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "map/fCalibrate.h"
#include "map/fOvMap.h"
#include "mapfixture.h"

namespace {

// A document with the map "europe.png", 400 by 200 pixels for longitudes -20..60 and
// latitudes 30..70 (5 pixels a degree), and entries at the given positions; shown.
class TMapWindow : public TMapDocument {
public:
    explicit TMapWindow(std::initializer_list<std::pair<double, double>> positions = {})
    {
        Picture = Folders.AddPicture("europe.png", { 400, 200 });
        WriteCalibration();
        Settings().Map = 1; // the first picture, after the web map
        Show(positions);
    }

    TOvMap& Map() const { return Panel().Map(); }
    QComboBox* Combo() const { return Panel().findChild<QComboBox*>("cbMap"); }
    QScrollArea* Area() const { return Panel().findChild<QScrollArea*>(); }
    void Click(QPoint at) const { QTest::mouseClick(&Map(), Qt::LeftButton, {}, at); }
    void Drag(QPoint from, QPoint to) const { TMapDocument::Drag(Map(), from, to); }
    void WriteCalibration() const
    {
        WriteCalibrationFile(Picture + ".inf",
            { { -20, 30, 0, 200 }, { 60, 70, 400, 0 }, "#336699", FileSizeOf(Picture) });
    }

    QString Picture;
};

} // namespace

// The picture chosen last shows in its colour; the pointer tells its position, and a selected
// entry its hint; the selected entries show where they lie, and a rectangle selects those
// inside, its edges left out. Dragging in the move mode scrolls; a click in the position mode
// sets the current entry's position, rounded to the precision, and its marker moves along.
TEST(TMapPanel, ShowsTheCalibratedMapAndEachModeWorks)
{
    // 10 E 50 N lies at (150, 100); 0 E 40 N at (100, 150).
    TMapWindow window({ { 10, 50 }, { 0, 40 }, { 20, 50 }, { 10, 60 } });
    EXPECT_EQ(window.Combo()->currentText(), "europe.png");
    EXPECT_FALSE(window.Panel().NeedsCalibration());
    EXPECT_EQ(window.Panel().BackColor(), QColor("#336699"));
    QLocale::setDefault(QLocale::c());
    QString status;
    QObject::connect(window.Child.get(), &TMDIChild::MapPointerMoved,
        [&](const QString& text) { status = text; });
    // From elsewhere: a pointer already resting there, as an earlier test may leave it, moves not.
    QTest::mouseMove(&window.Map(), { 0, 0 });
    QTest::mouseMove(&window.Map(), { 150, 100 });
    EXPECT_EQ(status, "50.00000 10.00000 (150 100)");
    window.List()->selectRow(0);
    EXPECT_EQ(window.Panel().HintAt({ 150, 100 }), "0\rLat/Lon: 50.00000/10.00000");
    const QImage shown = window.Map().grab().toImage();
    EXPECT_TRUE(IsMarkerRed(shown.pixel(150, 100)));
    EXPECT_EQ(QColor(shown.pixel(300, 50)), QColor(40, 80, 200)) << "the picture around it";

    window.Action("acSelect")->trigger();
    // Longitudes 5..20 and latitudes 45..60: the edges leave rows 2 and 3 out.
    window.Drag({ 200, 50 }, { 125, 125 });
    EXPECT_EQ(window.Child->SelectedRows(), std::vector<int>({ 0 }));

    window.Action("acSetMove")->trigger();
    window.Action("acZoomIn")->trigger();
    window.Action("acZoomIn")->trigger();
    QScrollBar* horizontal = window.Area()->horizontalScrollBar();
    QScrollBar* vertical = window.Area()->verticalScrollBar();
    horizontal->setValue(500);
    vertical->setValue(300);
    window.Drag({ 700, 450 }, { 640, 420 });
    EXPECT_EQ(horizontal->value(), 560);
    EXPECT_EQ(vertical->value(), 330);

    window.List()->selectRow(0);
    window.Action("acZoomOut")->trigger(); // 10 pixels a degree
    window.Action("acSetPos")->trigger();
    const QPoint before(300, 200);
    ASSERT_TRUE(IsMarkerRed(window.Map().grab().toImage().pixel(before)));
    window.Click({ 333, 1 }); // 13.299999999999997 E
    const TEntry& entry = window.Child->Document.Entries.Items(0);
    EXPECT_DOUBLE_EQ(entry.Longitude(), 13.3);
    EXPECT_DOUBLE_EQ(entry.Latitude(), 69.9);
    EXPECT_TRUE(window.Child->Document.Entries.Changed());
    EXPECT_FALSE(IsMarkerRed(window.Map().grab().toImage().pixel(before)))
        << "the selected entry's marker moved along";
}

TEST(TMapPanel, ZoomKeepsTheMiddleOfTheViewAndKeysPanAndZoom)
{
    TMapWindow window;
    QScrollArea* area = window.Area();
    QScrollBar* horizontal = area->horizontalScrollBar();
    const QSize room = area->maximumViewportSize();
    window.Folders.AddPicture("wide.png", { room.width() + 40, room.height() / 2 });
    window.Panel().FillMapList();
    window.Combo()->setCurrentIndex(window.Combo()->findText("wide.png"));
    QCoreApplication::processEvents();
    // Where the middle of the view is on the picture, in pixels of the zoom that follows.
    const auto middle = [&](double zoom) {
        const QSize view = area->viewport()->size();
        return QPointF(horizontal->value() + view.width() / 2.0,
                   area->verticalScrollBar()->value() + view.height() / 2.0)
            * zoom / window.Map().Zoom();
    };
    // Each step pans, then zooms; the picture is taller than the view only at the higher zooms.
    const struct {
        int Pan;
        Qt::Key Key;
        double Zoom;
        bool Taller;
    } steps[] = { { 20, Qt::Key_Plus, 2, false }, { 300, Qt::Key_Plus, 4, true },
        { 600, Qt::Key_Minus, 2, true }, { room.width() / 2 + 40, Qt::Key_Minus, 1, false } };
    for (const auto& [pan, key, zoom, taller] : steps) {
        SCOPED_TRACE(zoom);
        horizontal->setValue(pan);
        const QPointF before = middle(zoom);
        QTest::keyClick(area, key);
        QCoreApplication::processEvents(); // the scroll bars' turn
        ASSERT_EQ(window.Map().Zoom(), zoom);
        EXPECT_NEAR(middle(zoom).x(), before.x(), 1);
        if (taller) {
            EXPECT_NEAR(middle(zoom).y(), before.y(), 1);
        }
    }
    const int before = horizontal->value();
    QTest::keyClick(area, Qt::Key_Right);
    EXPECT_GT(horizontal->value(), before) << "the arrow keys pan";
}

// Zoom stops at 4 and at a half, the current entry's marker scrolled into view; the marker shows
// only on the picture. A picture that does not load is told and leaves the document working; a
// map chosen anew starts at zoom 1 and is kept in the settings, and one without a calibration
// shows the notice over the map. Neither gets a calibration file.
TEST(TMapPanel, ZoomStopsAtFourAndAtAHalfAndPicturesThatCannotServeAsTheyAre)
{
    TMapWindow window({ { 10, 50 }, { 100, 50 } });
    auto* marker = window.Map().findChild<QLabel*>();
    window.List()->selectRow(1);
    EXPECT_FALSE(marker->isVisible()) << "east of the picture";
    window.List()->selectRow(0);
    EXPECT_EQ(marker->geometry().center(), QPoint(150, 100));
    window.Action("acZoomIn")->trigger();
    window.Action("acZoomIn")->trigger();
    EXPECT_FALSE(window.Action("acZoomIn")->isEnabled());
    const QRect visible(window.Area()->horizontalScrollBar()->value(),
        window.Area()->verticalScrollBar()->value(), window.Area()->viewport()->width(),
        window.Area()->viewport()->height());
    EXPECT_TRUE(visible.contains(marker->geometry())) << marker->geometry().x();
    window.Panel().ZoomIn();
    EXPECT_EQ(window.Map().Zoom(), 4) << "no further";
    for (int i = 0; i < 3; ++i)
        window.Action("acZoomOut")->trigger();
    EXPECT_EQ(window.Map().size(), QSize(200, 100));
    EXPECT_FALSE(window.Action("acZoomOut")->isEnabled());

    const QString broken = window.Folders.Maps() + "/broken.png";
    WriteFileBytes(broken, "not a picture");
    const QString plain = window.Folders.AddPicture("plain.png", { 300, 300 });
    window.Panel().FillMapList();
    window.Combo()->setCurrentIndex(window.Combo()->findText("broken.png"));
    ASSERT_EQ(window.Prompt.Shown.size(), 1);
    EXPECT_TRUE(window.Prompt.Shown[0].startsWith("Cannot open file " + broken));
    EXPECT_FALSE(window.Map().HasPicture());
    EXPECT_FALSE(window.Action("acZoomIn")->isEnabled());
    window.Child->Insert();
    EXPECT_EQ(window.Child->Document.Entries.Count(), 3);

    window.Combo()->setCurrentIndex(window.Combo()->findText("plain.png"));
    EXPECT_EQ(window.Map().size(), QSize(300, 300));
    EXPECT_EQ(Settings().Map, window.Combo()->currentIndex());
    EXPECT_TRUE(window.Panel().NeedsCalibration());
    auto* notice = window.Panel().findChild<QLabel*>("lbNeedsCalibration");
    EXPECT_EQ(notice->text(), "needs calibration");
    EXPECT_LE((notice->geometry().center() - window.Area()->viewport()->rect().center())
                  .manhattanLength(),
        2);
    const QImage shown = window.Area()->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(notice->geometry().topLeft() + QPoint(2, 2))), QColor("#ffffe0"))
        << "drawn over the map";
    for (const QString& picture : { broken, plain })
        EXPECT_FALSE(QFile::exists(picture + ".inf"));
}

// A click before a point is chosen only reminds; then it sets the chosen point's pixel. Points
// too close ask before the calibration is saved: declined, nothing is written and it stays open.
TEST(TCalibrateWindow, ClicksSetTheChosenPointAndClosePointsAsk)
{
    TMapWindow window;
    window.Action("acZoomIn")->trigger();
    window.Action("acCalibrate")->trigger();
    TfmCalibrate* calibrate = window.Panel().CalibrateWindow();
    ASSERT_TRUE(calibrate);
    const auto edit = [&](const char* name) {
        return calibrate->findChild<QLineEdit*>(name)->text();
    };
    const QString inf = window.Picture + ".inf";
    QFile::remove(inf);
    EXPECT_FALSE(window.Combo()->isEnabled());
    window.Click({ 101, 51 });
    EXPECT_EQ(window.Prompt.Shown,
        QStringList({ "First select a Calibration Point in the \"Calibrate...\" dialog" }));
    EXPECT_EQ(edit("edX2"), "400");
    calibrate->findChild<QRadioButton*>("rbPoint2")->setChecked(true);
    window.Click({ 101, 51 }); // only 51 pixels right of point 1
    EXPECT_EQ(edit("edX2"), "51") << "the unzoomed pixel, rounded";
    EXPECT_EQ(edit("edY2"), "26");
    EXPECT_EQ(edit("edX1"), "0");
    EXPECT_EQ(window.Prompt.Shown.size(), 1);

    window.Prompt.Answers = { IUserPrompt::TAnswer::No };
    calibrate->Accept();
    EXPECT_EQ(window.Prompt.Asked.size(), 1);
    EXPECT_FALSE(QFile::exists(inf)) << "declined: nothing written";
    EXPECT_EQ(window.Panel().CalibrateWindow(), calibrate) << "still open";
    window.Click({ 800, 0 });
    calibrate->Accept();
    EXPECT_EQ(window.Prompt.Asked.size(), 1) << "far enough apart";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window.Panel().CalibrateWindow());
    EXPECT_TRUE(window.Combo()->isEnabled());
    // Point 2 is back in its corner: the file is the one the test began with.
    const std::string saved = FileBytes(inf);
    window.WriteCalibration();
    EXPECT_EQ(FileBytes(inf), saved);
}
