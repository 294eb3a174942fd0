#include "widgets/fCoordsCalculator.h"

#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/uSettings.h"

namespace {

// The fields of one axis: its decimal value, hemisphere, degrees, minutes and seconds.
struct TAxisFields {
    const char* Name;
    TEditField Decimal, Sign, Degrees;
    double Limit;
};

constexpr TAxisFields Axes[] = {
    { "Lon", TEditField::Longitude, TEditField::LonSign, TEditField::LonDeg, 180 },
    { "Lat", TEditField::Latitude, TEditField::LatSign, TEditField::LatDeg, 90 },
};

TEditField Part(TEditField degrees, int part)
{
    return static_cast<TEditField>(static_cast<int>(degrees) + part);
}

} // namespace

TfmCoordsCalculator::TfmCoordsCalculator(QWidget* parent, const QString& toolCaption)
    : QDialog(parent)
    , Fields(new TCoordinateFields(this))
{
    setWindowTitle(toolCaption.isEmpty() ? tr("Coordinates Calculator") : toolCaption);
    // As a tool there is no OK: a button box shows every button it holds again when it lays
    // them out.
    auto* buttons =
        new QDialogButtonBox(toolCaption.isEmpty() ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                   : QDialogButtonBox::Cancel,
            this);
    // Enter applies the field it is typed in rather than closing the window.
    for (QAbstractButton* button : buttons->buttons())
        static_cast<QPushButton*>(button)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmCoordsCalculator::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!toolCaption.isEmpty()) {
        buttons->button(QDialogButtonBox::Cancel)->setText(tr("Close"));
        buttons->setCenterButtons(true);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Fields);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmCoordsCalculator::accept()
{
    Fields->ApplyFocusedField();
    Fields->Position().CheckEntered();
    QDialog::accept();
}

TCoordinateFields::TCoordinateFields(QWidget* parent)
    : QWidget(parent)
{
    CreateFields();
    ShowPosition();
}

void TCoordinateFields::SetPosition(double lon, double lat)
{
    Calculator.SetPosition(lon, lat);
    ShowPosition();
}

void TCoordinateFields::CreateFields()
{
    enum TColumn { cLabel, cDecimal, cSign, cDegrees };
    QWidget* panel = this;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const int decimals = Settings().Precision;
    static const QString units[] = { QStringLiteral("\u00b0"), QStringLiteral("\u2032"),
        QStringLiteral("\u2033") };
    const QString captions[] = { tr("Longitude:"), tr("Latitude:") };
    for (int row = 0; row < 2; ++row) {
        const TAxisFields& axis = Axes[row];
        grid->addWidget(new QLabel(captions[row], panel), row, cLabel);
        auto* decimal = new QLineEdit(panel);
        decimal->setObjectName(QStringLiteral("ed%1").arg(QLatin1String(axis.Name)));
        auto* validator = new QDoubleValidator(-axis.Limit, axis.Limit, decimals, decimal);
        validator->setNotation(QDoubleValidator::StandardNotation);
        decimal->setValidator(validator);
        decimal->setAlignment(Qt::AlignRight);
        grid->addWidget(decimal, row, cDecimal);
        Fields.emplace_back(decimal, axis.Decimal);
        auto* sign = new QPushButton(panel);
        sign->setObjectName(QStringLiteral("bu%1Sign").arg(QLatin1String(axis.Name)));
        sign->setAutoDefault(false);
        sign->setFixedWidth(sign->fontMetrics().horizontalAdvance(QLatin1Char('W')) + 16);
        connect(sign, &QPushButton::clicked, this, [this, sign, field = axis.Sign] {
            ApplyFocusedField();
            ApplyField(field, sign->text());
        });
        grid->addWidget(sign, row, cSign);
        Fields.emplace_back(sign, axis.Sign);
        for (int part = 0; part < 3; ++part) {
            const TEditField field = Part(axis.Degrees, part);
            auto* box = new QLineEdit(panel);
            box->setObjectName(
                QStringLiteral("ed%1Part%2").arg(QLatin1String(axis.Name)).arg(part));
            box->setValidator(new TDegreePartValidator(field, box, true));
            box->setAlignment(Qt::AlignRight);
            box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
            grid->addWidget(box, row, cDegrees + 2 * part);
            grid->addWidget(new QLabel(units[part], panel), row, cDegrees + 2 * part + 1);
            Fields.emplace_back(box, field);
        }
    }
    for (auto& [widget, field] : Fields)
        if (qobject_cast<QLineEdit*>(widget))
            widget->installEventFilter(this);
}

void TCoordinateFields::ApplyField(TEditField field, const QString& text)
{
    if (Calculator.Apply(field, text))
        ShowPosition();
}

void TCoordinateFields::ApplyFocusedField()
{
    for (const auto& [widget, field] : Fields)
        if (widget == focusWidget())
            if (auto* edit = qobject_cast<QLineEdit*>(widget))
                ApplyField(field, edit->text());
}

void TCoordinateFields::ShowPosition()
{
    TEditTexts texts = Calculator.Texts();
    for (const auto& [widget, field] : Fields) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(texts[field]);
        else
            static_cast<QPushButton*>(widget)->setText(texts[field]);
    }
}

bool TCoordinateFields::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const bool enter = event->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return
            || static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (edit && (event->type() == QEvent::FocusOut || enter))
        for (const auto& [widget, field] : Fields)
            if (widget == edit)
                ApplyField(field, edit->text());
    return QWidget::eventFilter(watched, event);
}
