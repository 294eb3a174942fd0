#pragma once

#include <utility>
#include <vector>

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "map/fCalibrate.h"
#include "map/uMapList.h"
#include "map/uMapView.h"

class IMapProjection;
class IUserPrompt;
class QAction;
class QComboBox;
class QLabel;
class QRubberBand;
class QScrollArea;
class TEntries;
class TOvMap;
class TTileView;
struct TCalPoint;

// What the map panel needs of its document.
class IMapDocument {
public:
    virtual ~IMapDocument() = default;
    virtual const TEntries& MapEntries() const = 0;
    // Ascending.
    virtual TRowRanges SelectedRanges() const = 0;
    // -1 when there is none.
    virtual int CurrentRow() const = 0;
    // Clears the selection and selects `rows`.
    virtual void SelectRanges(const TRowRanges& rows) = 0;
    // The current entry goes to the position, as by a manual edit.
    virtual void SetCurrentPosition(double lon, double lat) = 0;
    virtual IUserPrompt& MapPrompt() = 0;
};

// The cursors of the map's mouse modes.
struct TMapCursors {
    QCursor Move, Grab, SetPosition;
};

// The map beside a document's list: the choice of map, zooming, three mouse modes (move the
// map, set the current entry's position, select by rectangle), the selected entries as markers,
// the current entry's marker, hints, and the calibration window.
class TMapPanel : public QWidget {
    Q_OBJECT

public:
    enum class TMouseMode { Move, SetPosition, Select };

    TMapPanel(IMapDocument& document, TMapCursors cursors, QWidget* parent);
    ~TMapPanel() override;

    // Lists the maps anew; the chosen one stays chosen while it is there.
    void FillMapList();
    void ChooseMap(int index);
    const TMapChoice* ChosenMap() const;
    TOvMap& Map() const { return *OvMap; }
    TTileView& TileMap() const { return *Tiles; }
    // Whether the web map is chosen rather than a picture.
    bool ShowsTiles() const;
    IMapDocument& Owner() const { return Document; }
    bool NeedsCalibration() const;
    void ZoomIn();
    void ZoomOut();
    bool CanZoomIn() const;
    bool CanZoomOut() const;
    void SetMouseMode(TMouseMode mode);
    // The entries changed: their positions are read anew.
    void EntriesChanged() { PositionsRead = false; }
    // Repaints the markers and places the current entry's marker.
    void Refresh();
    void ShowCurrentEntry();
    void Calibrate();
    TfmCalibrate* CalibrateWindow() const { return Calibrating; }
    // Takes a calibration confirmed in the calibration window and saves it.
    void ApplyCalibration(const TCalPoint& point1, const TCalPoint& point2, const QColor& back);
    QColor BackColor() const;
    // The hint for the pointer at `position` on the map, as shown after a pause.
    QString HintAt(QPoint position) const;

signals:
    // The status text of the pointer over the map.
    void PointerMoved(const QString& text);
    // A page to show in the browser: the one on map pictures, or the tiles' copyright.
    void PageRequested(const QString& address);
    // Tiles cannot be loaded, and why; told once.
    void TilesUnavailable(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* CreateToolBar();
    void LoadMap(const TMapChoice& map);
    void LoadTileMap(const TMapChoice& map);
    // The web map takes the tile address of the settings, when it changed.
    void UseTileUrl();
    void FitEntriesOnce();
    // The widget the map is drawn on: the picture's or the web map's.
    QWidget* MapWidget() const;
    void ZoomTilesBy(int steps, QPointF anchor);
    // Shows the current entry's marker where it lies, when that is in sight; whether shown.
    bool PlaceCurrentMarker();
    void SetBackColor(const QColor& color);
    void SetZoom(double zoom);
    QPointF MiddleOfView() const;
    void ScrollMiddleTo(QPointF middle);
    void UpdateZoomActions();
    void CenterNotice();
    void PaintMarkers(QPainter& painter);
    QRect VisibleArea() const;
    void WheelZoom(QWheelEvent& event);
    void MousePress(QMouseEvent& event);
    void MouseMove(QMouseEvent& event);
    void MouseRelease(QMouseEvent& event);
    void ShowHint();
    const std::vector<TLonLat>& Positions() const;
    // The entries on the plane of the map shown.
    const std::vector<QPointF>& PlanePoints() const;
    // How the map shown turns coordinates into its pixels.
    const IMapProjection& Projection() const;

    IMapDocument& Document;
    TMapCursors Cursors;
    std::vector<TMapChoice> Maps;
    QString LoadedName;
    QComboBox* cbMap;
    QScrollArea* Area;
    TOvMap* OvMap;
    TTileView* Tiles;
    bool FitPending = false;
    bool ToldTilesUnavailable = false;
    QLabel* Notice;
    QLabel* CurrentMarker;
    QRubberBand* Band;
    QAction* acZoomIn;
    QAction* acZoomOut;
    QAction* acCalibrate;
    QAction* acSetMove;
    QAction* acSetPos;
    QAction* acSelect;
    TMouseMode Mode = TMouseMode::Move;
    int WheelRest = 0; // of a notch, from a wheel that turns finely
    bool Dragging = false;
    QPoint DragStart; // map position grabbed, or the rectangle's first corner
    QTimer HintTimer;
    QPoint HintPosition;
    QPointer<TfmCalibrate> Calibrating;
    // The entries' positions, kept from one paint to the next.
    mutable std::vector<TLonLat> EntryPositions;
    mutable bool PositionsRead = false;
    mutable int PositionsReadCount = 0;
    // Which reading of the positions on which map's plane: picture or web map.
    using TPlaneSource = std::pair<int, bool>;
    mutable std::vector<QPointF> EntryPlane;
    mutable TPlaneSource PlaneSource { -1, false };
    // The selected entries' markers as drawn last, and what for: a repaint that changes none of
    // it only copies them.
    struct TMarkerLayerKey {
        TPlaneSource Source;
        TPlaneView View;
        QRect Area;
        TRowRanges Selected;
        bool operator==(const TMarkerLayerKey&) const = default;
    };
    TMarkerLayerKey LayerKey;
    QImage MarkerLayer;
};
