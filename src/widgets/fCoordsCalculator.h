#pragma once

#include <vector>

#include <QDialog>

#include "tools/uCoordsCalculator.h"

class QPushButton;

// One position in decimal degrees and in degrees, minutes and seconds with hemisphere
// buttons; leaving a field (or Enter in it) shows the position anew in every field.
class TCoordinateFields : public QWidget {
    Q_OBJECT

public:
    explicit TCoordinateFields(QWidget* parent);

    const TCoordsCalculator& Position() const { return Calculator; }
    void SetPosition(double lon, double lat);
    // A field being typed in reaches the position before anything reads it.
    void ApplyFocusedField();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateFields();
    void ApplyField(TEditField field, const QString& text);
    void ShowPosition();

    TCoordsCalculator Calculator;
    std::vector<std::pair<QWidget*, TEditField>> Fields;
};

// The coordinates calculator: one position in its coordinate fields. As a tool
// (`toolCaption` given) it only closes; otherwise OK hands the position to the caller.
class TfmCoordsCalculator : public QDialog {
    Q_OBJECT

public:
    explicit TfmCoordsCalculator(QWidget* parent, const QString& toolCaption = QString());

    const TEntry& Entry() const { return Fields->Position().Entry(); }
    void accept() override;

private:
    TCoordinateFields* Fields;
};
