#include "map/fCalibrate.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/uModel.h"
#include "core/uUserPrompt.h"
#include "map/fMapPanel.h"
#include "map/fOvMap.h"
#include "platform/uMessages.h"
#include "widgets/fCoordsCalculator.h"

namespace {

void ShowColor(QPushButton& button, const QColor& color)
{
    QPixmap swatch(32, 16);
    swatch.fill(color);
    button.setIcon(swatch);
}

} // namespace

TfmCalibrate::TfmCalibrate(TMapPanel& panel)
    : QWidget(&panel, Qt::Tool)
    , Panel(panel)
    , buColor(new QPushButton(tr("Background colour..."), this))
    , Color(panel.BackColor())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Calibrate..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreatePoint(0));
    layout->addWidget(CreatePoint(1));
    ShowColor(*buColor, Color);
    connect(buColor, &QPushButton::clicked, this, &TfmCalibrate::ChooseColor);
    layout->addWidget(buColor, 0, Qt::AlignLeft);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmCalibrate::Accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TfmCalibrate::CreatePoint(int index)
{
    const TCalibration& calibration = Panel.Map().Calibration();
    const TCalPoint& start = index == 0 ? calibration.Point1() : calibration.Point2();
    const QString number = QString::number(index + 1);
    auto* box = new QGroupBox(tr("Calibration point %1").arg(number), this);
    auto* grid = new QGridLayout(box);
    TPointFields& fields = Points[static_cast<size_t>(index)];
    fields.Choose = new QRadioButton(tr("Set this point by clicking the map"), box);
    fields.Choose->setObjectName(QStringLiteral("rbPoint") + number);
    grid->addWidget(fields.Choose, 0, 0, 1, 4);
    fields.Position = new TCoordinateFields(box);
    fields.Position->SetPosition(start.Lon, start.Lat);
    grid->addWidget(fields.Position, 1, 0, 1, 4);
    const auto pixel = [&](const QString& caption, const QString& name, int value, int column) {
        grid->addWidget(new QLabel(caption, box), 2, column);
        auto* edit = new QLineEdit(QString::number(value), box);
        edit->setObjectName(name + number);
        edit->setValidator(new QIntValidator(edit));
        grid->addWidget(edit, 2, column + 1);
        return edit;
    };
    fields.X = pixel(tr("X:"), QStringLiteral("edX"), start.X, 0);
    fields.Y = pixel(tr("Y:"), QStringLiteral("edY"), start.Y, 2);
    return box;
}

void TfmCalibrate::ChooseColor()
{
    const QColor chosen = QColorDialog::getColor(Color, this);
    if (!chosen.isValid())
        return;
    Color = chosen;
    ShowColor(*buColor, Color);
}

void TfmCalibrate::MapClicked(QPoint pixel)
{
    for (TPointFields& fields : Points)
        if (fields.Choose->isChecked()) {
            fields.X->setText(QString::number(pixel.x()));
            fields.Y->setText(QString::number(pixel.y()));
            return;
        }
    Panel.Owner().MapPrompt().ShowMessage(Tr(Msg::SelectCalibrationPoint));
}

TCalPoint TfmCalibrate::Point(int index) const
{
    const TPointFields& fields = Points.at(static_cast<size_t>(index));
    fields.Position->ApplyFocusedField();
    const TEntry& position = fields.Position->Position().Entry();
    return { position.Longitude(), position.Latitude(), fields.X->text().toInt(),
        fields.Y->text().toInt() };
}

void TfmCalibrate::Accept()
{
    const TCalPoint point1 = Point(0), point2 = Point(1);
    if (!ConfirmCalibration(point1, point2, Panel.Map().PictureSize(), Panel.Owner().MapPrompt()))
        return;
    Panel.ApplyCalibration(point1, point2, Color);
    close();
}
