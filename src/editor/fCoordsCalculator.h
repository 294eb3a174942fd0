#pragma once

#include <vector>

#include <QDialog>

#include "editor/uCoordsCalculator.h"

class QPushButton;

// The coordinates calculator: one position in decimal degrees and in degrees, minutes and
// seconds with hemisphere buttons; leaving a field shows the position anew in every field. As
// a tool (`toolCaption` given) it only closes; otherwise OK hands the position to the caller.
class TfmCoordsCalculator : public QDialog {
    Q_OBJECT

public:
    explicit TfmCoordsCalculator(QWidget* parent, const QString& toolCaption = QString());

    const TEntry& Entry() const { return Calculator.Entry(); }
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateFields();
    void ApplyField(TEditField field, const QString& text);
    void ApplyFocusedField();
    void ShowPosition();

    TCoordsCalculator Calculator;
    std::vector<std::pair<QWidget*, TEditField>> Fields;
};
