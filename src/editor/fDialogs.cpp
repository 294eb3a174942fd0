#include "editor/fDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>

QLabel* SelectableLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

namespace {

QDialogButtonBox* Buttons(QDialog* dialog, QDialogButtonBox::StandardButtons which)
{
    auto* buttons = new QDialogButtonBox(which, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

QDialogButtonBox* OkButton(QDialog* dialog) { return Buttons(dialog, QDialogButtonBox::Ok); }

QDialogButtonBox* OkCancelButtons(QDialog* dialog)
{
    return Buttons(dialog, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}
