#include "map/fMapPanel.h"

#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "map/fCalibrate.h"
#include "map/fOvMap.h"
#include "map/fTileView.h"
#include "map/uTileFetcher.h"
#include "platform/uMessages.h"

namespace {

constexpr int HintPause = 500; // ms
constexpr int ArrowKeyPan = 64; // pixels of the web map
constexpr int64_t MiB = 1024 * 1024;

// How far an arrow key moves the web map's picture: the right arrow shows more of the east.
QPoint PanKey(int key, int step)
{
    switch (key) {
    case Qt::Key_Left:
        return { step, 0 };
    case Qt::Key_Right:
        return { -step, 0 };
    case Qt::Key_Up:
        return { 0, step };
    case Qt::Key_Down:
        return { 0, -step };
    default:
        return {};
    }
}

// A red dot ringed in black; whole pixels only, so that drawing it twice changes nothing.
QImage MarkerImage()
{
    QImage image(9, 9, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(230, 20, 20));
    painter.drawEllipse(0, 0, 8, 8);
    return image;
}

// A ring with a cross, which stands out among the selected entries' dots.
QPixmap CurrentMarkerImage()
{
    QPixmap image(21, 21);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [color, width] :
        { std::pair { QColor(Qt::white), 4 }, { QColor(Qt::blue), 2 } }) {
        painter.setPen(QPen(color, width));
        painter.drawEllipse(QRectF(3, 3, 15, 15));
        painter.drawLine(10, 0, 10, 6);
        painter.drawLine(10, 15, 10, 21);
        painter.drawLine(0, 10, 6, 10);
        painter.drawLine(15, 10, 21, 10);
    }
    return image;
}

} // namespace

TMapPanel::TMapPanel(IMapDocument& document, TMapCursors cursors, QWidget* parent)
    : QWidget(parent)
    , Document(document)
    , Cursors(std::move(cursors))
    , cbMap(new QComboBox(this))
    , Area(new QScrollArea(this))
    , OvMap(new TOvMap)
    , Tiles(new TTileView(this))
    , Notice(new QLabel(Tr(Msg::NeedsCalibration), Area->viewport()))
    , CurrentMarker(new QLabel(OvMap))
    , Band(new QRubberBand(QRubberBand::Rectangle, OvMap))
{
    cbMap->setObjectName(QStringLiteral("cbMap"));
    Area->setWidget(OvMap);
    Area->viewport()->setAutoFillBackground(true);
    Area->viewport()->installEventFilter(this);
    Area->setFocusPolicy(Qt::StrongFocus);
    Area->installEventFilter(this);
    SetBackColor(palette().color(QPalette::Button));
    OvMap->SetMarker(MarkerImage());
    OvMap->OnPaintMarkers = [this](QPainter& painter) { PaintMarkers(painter); };
    OvMap->setMouseTracking(true);
    OvMap->installEventFilter(this);
    Tiles->OnPaintMarkers = [this](QPainter& painter) { PaintMarkers(painter); };
    Tiles->setMouseTracking(true);
    Tiles->installEventFilter(this);
    Tiles->hide();
    connect(Tiles, &TTileView::LinkActivated, this, &TMapPanel::PageRequested);
    CurrentMarker->setPixmap(CurrentMarkerImage());
    CurrentMarker->resize(CurrentMarker->sizeHint());
    CurrentMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
    CurrentMarker->hide();
    Notice->setObjectName(QStringLiteral("lbNeedsCalibration"));
    Notice->setStyleSheet(QStringLiteral(
        "QLabel { background: #ffffe0; color: black; border: 1px solid gray; padding: 4px; }"));
    Notice->adjustSize();
    Notice->hide();
    HintTimer.setSingleShot(true);
    HintTimer.setInterval(HintPause);
    connect(&HintTimer, &QTimer::timeout, this, &TMapPanel::ShowHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(CreateToolBar());
    layout->addWidget(Area, 1);
    layout->addWidget(Tiles, 1);
    SetMouseMode(TMouseMode::Move);
    FillMapList();
    const int stored = Settings().Map;
    cbMap->setCurrentIndex(stored >= 0 && stored < cbMap->count() ? stored : 0);
    ChooseMap(cbMap->currentIndex());
    connect(cbMap, &QComboBox::currentIndexChanged, this, [this](int index) {
        Settings().Map = index;
        ChooseMap(index);
    });
}

TMapPanel::~TMapPanel()
{
    OvMap->OnPaintMarkers = nullptr;
    Tiles->OnPaintMarkers = nullptr;
}

QWidget* TMapPanel::CreateToolBar()
{
    auto* bar = new QWidget(this);
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(2, 2, 2, 0);
    grid->setSpacing(2);
    grid->addWidget(cbMap, 0, 0, 1, 4);
    grid->setColumnStretch(4, 1); // a wide panel keeps its buttons together
    int column = 0;
    const auto button = [&](const QString& caption, const QString& name, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setToolTip(hint.isEmpty() ? caption : hint);
        action->setStatusTip(hint);
        auto* tool = new QToolButton(bar);
        tool->setDefaultAction(action);
        tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
        grid->addWidget(tool, 1 + column / 4, column % 4);
        ++column;
        return action;
    };
    acZoomIn = button(tr("Zoom +"), QStringLiteral("acZoomIn"), tr("Zoom in"));
    acZoomOut = button(tr("Zoom -"), QStringLiteral("acZoomOut"), tr("Zoom out"));
    acCalibrate = button(tr("Calibrate..."), QStringLiteral("acCalibrate"), QString());
    QAction* page = button(tr("Maps..."), QStringLiteral("acGotoMapsPage"),
        tr("Where to find map pictures and how to add them"));
    acSetMove = button(tr("Move"), QStringLiteral("acSetMove"), Tr(Msg::MoveMapHint));
    acSetPos = button(tr("Position"), QStringLiteral("acSetPos"), Tr(Msg::SetPositionHint));
    acSelect = button(tr("Select"), QStringLiteral("acSelect"), Tr(Msg::SelectOnMapHint));
    auto* modes = new QActionGroup(this);
    for (QAction* mode : { acSetMove, acSetPos, acSelect }) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    connect(acZoomIn, &QAction::triggered, this, &TMapPanel::ZoomIn);
    connect(acZoomOut, &QAction::triggered, this, &TMapPanel::ZoomOut);
    connect(acCalibrate, &QAction::triggered, this, &TMapPanel::Calibrate);
    connect(
        page, &QAction::triggered, this, [this] { emit PageRequested(Settings().MapsPageUrl); });
    connect(acSetMove, &QAction::triggered, this, [this] { SetMouseMode(TMouseMode::Move); });
    connect(acSetPos, &QAction::triggered, this, [this] { SetMouseMode(TMouseMode::SetPosition); });
    connect(acSelect, &QAction::triggered, this, [this] { SetMouseMode(TMouseMode::Select); });
    return bar;
}

void TMapPanel::FillMapList()
{
    const QString chosen = cbMap->currentText();
    const QSignalBlocker blocker(cbMap);
    Maps = ListMaps(MapFolders(), WorldPicturesDir());
    Maps.insert(Maps.begin(), TileMapChoice());
    cbMap->clear();
    for (const TMapChoice& map : Maps)
        cbMap->addItem(map.Name);
    const int again = IndexOfMap(Maps, chosen);
    if (again >= 0)
        cbMap->setCurrentIndex(again);
}

const TMapChoice* TMapPanel::ChosenMap() const
{
    const int index = IndexOfMap(Maps, LoadedName);
    return index < 0 ? nullptr : &Maps[static_cast<size_t>(index)];
}

void TMapPanel::ChooseMap(int index)
{
    if (index < 0 || index >= static_cast<int>(Maps.size())
        || Maps[static_cast<size_t>(index)].Name == LoadedName)
        return;
    LoadMap(Maps[static_cast<size_t>(index)]);
}

bool TMapPanel::ShowsTiles() const
{
    const TMapChoice* map = ChosenMap();
    return map && map->Tiles;
}

QWidget* TMapPanel::MapWidget() const
{
    return ShowsTiles() ? static_cast<QWidget*>(Tiles) : OvMap;
}

void TMapPanel::LoadMap(const TMapChoice& map)
{
    Dragging = false;
    if (map.Tiles)
        return LoadTileMap(map);
    Tiles->hide();
    Area->show();
    CurrentMarker->setParent(OvMap);
    Band->setParent(OvMap);
    acCalibrate->setEnabled(true);
    OvMap->SetZoom(1.0);
    QImageReader reader(map.Picture);
    const QImage picture = reader.read();
    OvMap->SetMapPic(picture);
    if (picture.isNull()) {
        LoadedName.clear();
        Notice->hide();
        UpdateZoomActions();
        ShowCurrentEntry();
        Document.MapPrompt().ShowError(
            Tr(Msg::CannotOpenFile).arg(map.Picture, reader.errorString()));
        return;
    }
    LoadedName = map.Name;
    TCalibration calibration = OvMap->Calibration();
    QString backColor;
    const bool calibrated =
        LoadChoiceCalibration(map, picture.size(), calibration, backColor, Document.MapPrompt());
    OvMap->SetPoints(calibration.Point1(), calibration.Point2());
    if (calibrated) {
        const QColor color = QColor::fromString(backColor);
        SetBackColor(color.isValid() ? color : palette().color(QPalette::Button));
    }
    Notice->setVisible(!calibrated);
    Notice->raise(); // over the map, which the scroll area took in after it
    CenterNotice();
    UpdateZoomActions();
    ShowCurrentEntry();
}

void TMapPanel::LoadTileMap(const TMapChoice& map)
{
    LoadedName = map.Name;
    UseTileUrl();
    Area->hide();
    Tiles->show();
    CurrentMarker->setParent(Tiles);
    Band->setParent(Tiles);
    Band->hide();
    acCalibrate->setEnabled(false);
    FitPending = true;
    UpdateZoomActions();
    Refresh();
}

void TMapPanel::UseTileUrl()
{
    const QString url = Settings().TileUrl;
    if (Tiles->Fetcher() && Tiles->Fetcher()->property("url").toString() == url)
        return;
    auto fetcher =
        std::make_unique<TTileFetcher>(url, TileCacheFolder(), Settings().TileCacheMiB * MiB);
    fetcher->setProperty("url", url);
    connect(fetcher.get(), &TTileFetcher::Failed, this, [this](const QString& message) {
        if (!std::exchange(ToldTilesUnavailable, true))
            emit TilesUnavailable(message);
    });
    Tiles->SetFetcher(std::move(fetcher));
}

// Once the web map has a size: a document's entries fitted at their first showing.
void TMapPanel::FitEntriesOnce()
{
    if (!FitPending || !ShowsTiles() || Tiles->width() <= 0 || !Tiles->isVisible())
        return;
    const std::vector<TLonLat>& positions = Positions();
    if (positions.empty())
        return;
    FitPending = false;
    Tiles->Fit(WindowAround(positions), TTileView::MaxFitZoom);
    UpdateZoomActions();
}

bool TMapPanel::NeedsCalibration() const { return !Notice->isHidden(); }

void TMapPanel::SetBackColor(const QColor& color)
{
    QPalette colors = Area->viewport()->palette();
    colors.setColor(QPalette::Window, color);
    Area->viewport()->setPalette(colors);
}

QColor TMapPanel::BackColor() const { return Area->viewport()->palette().color(QPalette::Window); }

// The place in the middle of the view stays there.
void TMapPanel::SetZoom(double zoom)
{
    const QPointF middle = MiddleOfView();
    OvMap->SetZoom(zoom);
    ScrollMiddleTo(middle);
    // Scroll bars that come or go with the new size narrow or widen the view only once the
    // scroll area has had its turn; then the middle is where it was again.
    QMetaObject::invokeMethod(
        this, [this, middle] { ScrollMiddleTo(middle); }, Qt::QueuedConnection);
    UpdateZoomActions();
    ShowCurrentEntry();
}

// In pixels of the picture as it is, not zoomed.
QPointF TMapPanel::MiddleOfView() const
{
    const QSize view = Area->viewport()->size();
    return QPointF(Area->horizontalScrollBar()->value() + view.width() / 2.0,
               Area->verticalScrollBar()->value() + view.height() / 2.0)
        / OvMap->Zoom();
}

void TMapPanel::ScrollMiddleTo(QPointF middle)
{
    const QSize view = Area->viewport()->size();
    const QPointF zoomed = middle * OvMap->Zoom();
    Area->horizontalScrollBar()->setValue(qRound(zoomed.x() - view.width() / 2.0));
    Area->verticalScrollBar()->setValue(qRound(zoomed.y() - view.height() / 2.0));
}

void TMapPanel::ZoomIn()
{
    if (ShowsTiles())
        ZoomTilesBy(1, QPointF(Tiles->width(), Tiles->height()) / 2);
    else if (CanZoomIn())
        SetZoom(OvMap->Zoom() * 2);
}

void TMapPanel::ZoomOut()
{
    if (ShowsTiles())
        ZoomTilesBy(-1, QPointF(Tiles->width(), Tiles->height()) / 2);
    else if (CanZoomOut())
        SetZoom(OvMap->Zoom() / 2);
}

void TMapPanel::ZoomTilesBy(int steps, QPointF anchor)
{
    Tiles->SetZoom(Tiles->Zoom() + steps, anchor);
    UpdateZoomActions();
    PlaceCurrentMarker();
}

// The zoom the user sees: the map's width against the picture's.
static double EffectiveZoom(const TOvMap& map)
{
    return map.HasPicture() ? static_cast<double>(map.width()) / map.PictureSize().width() : 1;
}

bool TMapPanel::CanZoomIn() const
{
    return ShowsTiles() ? Tiles->Zoom() < MaxTileZoom
                        : ::CanZoomIn(ChosenMap(), EffectiveZoom(*OvMap));
}

bool TMapPanel::CanZoomOut() const
{
    return ShowsTiles() ? Tiles->Zoom() > TTileView::MinZoom
                        : ::CanZoomOut(ChosenMap(), EffectiveZoom(*OvMap));
}

void TMapPanel::UpdateZoomActions()
{
    acZoomIn->setEnabled(CanZoomIn());
    acZoomOut->setEnabled(CanZoomOut());
}

void TMapPanel::SetMouseMode(TMouseMode mode)
{
    Mode = mode;
    static constexpr TMouseMode order[] = { TMouseMode::Move, TMouseMode::SetPosition,
        TMouseMode::Select };
    const QAction* actions[] = { acSetMove, acSetPos, acSelect };
    for (size_t i = 0; i < 3; ++i)
        const_cast<QAction*>(actions[i])->setChecked(order[i] == mode);
    const QCursor cursor = mode == TMouseMode::Move ? Cursors.Move
        : mode == TMouseMode::SetPosition           ? Cursors.SetPosition
                                                    : QCursor(Qt::CrossCursor);
    OvMap->setCursor(cursor);
    Tiles->setCursor(cursor);
}

QRect TMapPanel::VisibleArea() const
{
    if (ShowsTiles())
        return Tiles->rect();
    return QRect(-OvMap->pos(), Area->viewport()->size()) & OvMap->rect();
}

void TMapPanel::PaintMarkers(QPainter& painter)
{
    TRowRanges selected = Document.SelectedRanges();
    if (!ChosenMap() || selected.empty())
        return;
    const std::vector<QPointF>& plane = PlanePoints();
    TMarkerLayerKey key { PlaneSource, Projection().PlaneView(), VisibleArea(),
        std::move(selected) };
    if (MarkerLayer.isNull() || key != LayerKey) {
        MarkerLayer =
            OvMap->MarkerLayer(MarkerCentres(plane, key.Selected, key.View, key.Area), key.Area);
        LayerKey = std::move(key);
    }
    painter.drawImage(LayerKey.Area.topLeft(), MarkerLayer);
}

const IMapProjection& TMapPanel::Projection() const
{
    return ShowsTiles() ? static_cast<const IMapProjection&>(Tiles->Projection())
                        : OvMap->Calibration();
}

const std::vector<TLonLat>& TMapPanel::Positions() const
{
    // A count that differs tells of a change nobody announced.
    if (!PositionsRead
        || EntryPositions.size() != static_cast<size_t>(Document.MapEntries().Count())) {
        EntryPositions = PositionsOf(Document.MapEntries());
        PositionsRead = true;
        ++PositionsReadCount;
    }
    return EntryPositions;
}

const std::vector<QPointF>& TMapPanel::PlanePoints() const
{
    const std::vector<TLonLat>& positions = Positions();
    const TPlaneSource source { PositionsReadCount, ShowsTiles() };
    if (source != PlaneSource) {
        EntryPlane = PlanePointsOf(positions, Projection());
        PlaneSource = source;
    }
    return EntryPlane;
}

void TMapPanel::Refresh()
{
    if (ShowsTiles())
        UseTileUrl();
    FitEntriesOnce();
    MapWidget()->update();
    ShowCurrentEntry();
}

void TMapPanel::ShowCurrentEntry()
{
    const int row = Document.CurrentRow();
    // The web map spans the world: an entry out of sight is brought to the middle.
    if (ShowsTiles() && row >= 0) {
        const TEntry& entry = Document.MapEntries().Items(row);
        if (!WindowOf(Projection(), Tiles->rect()).Contains(entry.Longitude(), entry.Latitude()))
            Tiles->CenterOn(entry.Longitude(), entry.Latitude());
    }
    if (PlaceCurrentMarker() && !ShowsTiles())
        Area->ensureWidgetVisible(CurrentMarker, 0, 0);
}

bool TMapPanel::PlaceCurrentMarker()
{
    const int row = Document.CurrentRow();
    const IMapProjection& projection = Projection();
    if (!ChosenMap() || row < 0) {
        CurrentMarker->hide();
        return false;
    }
    const TEntry& entry = Document.MapEntries().Items(row);
    if (!WindowOf(projection, MapWidget()->rect()).Contains(entry.Longitude(), entry.Latitude())) {
        CurrentMarker->hide();
        return false;
    }
    const QPoint centre(projection.LonToX(entry.Longitude()), projection.LatToY(entry.Latitude()));
    CurrentMarker->move(centre - QPoint(CurrentMarker->width() / 2, CurrentMarker->height() / 2));
    CurrentMarker->show();
    return true;
}

QString TMapPanel::HintAt(QPoint position) const
{
    if (!ChosenMap())
        return QString();
    return ::HintAt(Document.MapEntries(), Positions(), Document.SelectedRanges(), Projection(),
        position, Settings().Precision);
}

void TMapPanel::ShowHint()
{
    const QString text = HintAt(HintPosition);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(MapWidget()->mapToGlobal(HintPosition), ForDisplay(text), MapWidget());
}

void TMapPanel::Calibrate()
{
    if (!ChosenMap() || ShowsTiles())
        return;
    if (!Calibrating) {
        Calibrating = new TfmCalibrate(*this);
        cbMap->setEnabled(false);
        connect(Calibrating, &QObject::destroyed, cbMap, [this] { cbMap->setEnabled(true); });
        Calibrating->move(mapToGlobal(QPoint(width(), 0)));
    }
    Calibrating->show();
    Calibrating->raise();
}

void TMapPanel::ApplyCalibration(
    const TCalPoint& point1, const TCalPoint& point2, const QColor& back)
{
    OvMap->SetPoints(point1, point2);
    SetBackColor(back);
    Notice->hide();
    Refresh();
    const TMapChoice* map = ChosenMap();
    if (!map)
        return;
    QDir().mkpath(QFileInfo(map->CalibrationFile).absolutePath());
    WriteCalibrationFile(
        map->CalibrationFile, { point1, point2, back.name(), FileSizeOf(map->Picture) });
}

void TMapPanel::CenterNotice()
{
    const QSize room = Area->viewport()->size();
    Notice->move((room.width() - Notice->width()) / 2, (room.height() - Notice->height()) / 2);
}

void TMapPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    CenterNotice();
}

bool TMapPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Area->viewport()) {
        if (event->type() == QEvent::Resize)
            CenterNotice();
        return false;
    }
    // The arrow keys pan the map as the scroll area does; + and - zoom it.
    if ((watched == Area || watched == Tiles) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == Tiles && PanKey(key, ArrowKeyPan) != QPoint()) {
            Tiles->PanBy(PanKey(key, ArrowKeyPan));
            PlaceCurrentMarker();
            return true;
        }
        switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: // + without Shift on many keyboards
            ZoomIn();
            return true;
        case Qt::Key_Minus:
            ZoomOut();
            return true;
        default:
            return false;
        }
    }
    if (watched != MapWidget())
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Resize:
        FitEntriesOnce();
        return false;
    case QEvent::Wheel:
        if (!ShowsTiles())
            return false;
        WheelZoom(*static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::MouseButtonPress:
        MousePress(*static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        MouseMove(*static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        MouseRelease(*static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::Leave:
        HintTimer.stop();
        return false;
    case QEvent::ToolTip: // the hint comes after its own pause
        return true;
    default:
        return false;
    }
}

// Wheel steps zoom the web map in and out, keeping the place under the pointer there.
void TMapPanel::WheelZoom(QWheelEvent& event)
{
    constexpr int Step = 120; // a wheel's notch
    WheelRest += event.angleDelta().y();
    const int steps = WheelRest / Step;
    WheelRest %= Step;
    if (steps != 0)
        ZoomTilesBy(steps, event.position());
}

void TMapPanel::MousePress(QMouseEvent& event)
{
    // For the keys that pan and zoom.
    (ShowsTiles() ? static_cast<QWidget*>(Tiles) : Area)->setFocus(Qt::MouseFocusReason);
    if (event.button() != Qt::LeftButton)
        return;
    const QPoint position = event.position().toPoint();
    if (Calibrating) {
        Calibrating->MapClicked(OvMap->Calibration().Unzoomed(position));
        return;
    }
    switch (Mode) {
    case TMouseMode::Move:
        Dragging = true;
        DragStart = position;
        MapWidget()->setCursor(Cursors.Grab);
        break;
    case TMouseMode::SetPosition:
        if (ChosenMap() && Document.CurrentRow() >= 0) {
            const auto [lon, lat] = PositionAt(Projection(), position, Settings().Precision);
            Document.SetCurrentPosition(lon, lat);
        }
        break;
    case TMouseMode::Select:
        DragStart = position;
        Band->setGeometry(QRect(position, QSize()));
        Band->show();
        break;
    }
}

void TMapPanel::MouseMove(QMouseEvent& event)
{
    const QPoint position = event.position().toPoint();
    emit PointerMoved(PointerText(Projection(), position, Settings().Precision));
    QToolTip::hideText();
    HintPosition = position;
    HintTimer.start();
    if (Dragging && ShowsTiles()) {
        Tiles->PanBy(position - DragStart);
        DragStart = position;
        PlaceCurrentMarker();
    } else if (Dragging) {
        const QPoint inArea = OvMap->mapTo(Area->viewport(), position);
        Area->horizontalScrollBar()->setValue(DragStart.x() - inArea.x());
        Area->verticalScrollBar()->setValue(DragStart.y() - inArea.y());
    } else if (Band->isVisible()) {
        Band->setGeometry(QRect(DragStart, position).normalized());
    }
}

void TMapPanel::MouseRelease(QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return;
    if (Dragging) {
        Dragging = false;
        MapWidget()->setCursor(Cursors.Move);
    } else if (Band->isVisible()) {
        Band->hide();
        if (ChosenMap())
            Document.SelectRanges(RowsInside(
                PlanePoints(), Projection().PlaneView(), DragStart, event.position().toPoint()));
        MapWidget()->update();
    }
}
