#pragma once

#include <array>

#include <QColor>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QRadioButton;
class TCoordinateFields;
class TMapPanel;
struct TCalPoint;

// The calibration window of a map panel: two points, each coordinates in a document's
// coordinate fields and a pixel that a click on the map sets; the colour around the map.
// A tool window beside the document, freed when closed.
class TfmCalibrate : public QWidget {
    Q_OBJECT

public:
    explicit TfmCalibrate(TMapPanel& panel);

    // A left click on the map at `pixel` of the unzoomed picture sets the chosen point's
    // pixel; with no point chosen the user is reminded to choose one.
    void MapClicked(QPoint pixel);
    // Uses the calibration, asking first when the points are close; the window stays open
    // when the user declines.
    void Accept();
    TCalPoint Point(int index) const;

private:
    QWidget* CreatePoint(int index);
    void ChooseColor();

    TMapPanel& Panel;
    struct TPointFields {
        QRadioButton* Choose;
        TCoordinateFields* Position;
        QLineEdit* X;
        QLineEdit* Y;
    };
    std::array<TPointFields, 2> Points {};
    QPushButton* buColor;
    QColor Color;
};
