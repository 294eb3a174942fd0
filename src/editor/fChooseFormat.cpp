#include "editor/fChooseFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/uExceptions.h"
#include "widgets/fDialogs.h"

TfmChooseFormat::TfmChooseFormat(const QString& location, const QString& errorMessage,
    const QStringList& importerNames, int preselected, QWidget* parent)
    : QDialog(parent)
    , Formats(new QComboBox(this))
    , UseAsDefault(new QCheckBox(tr("In the future, use this format as the default"), this))
{
    setObjectName(QStringLiteral("fmChooseFormat"));
    setWindowTitle(tr("File open error..."));
    Formats->addItems(importerNames);
    Formats->setCurrentIndex(preselected);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("The file could not be opened:"), this));
    layout->addWidget(SelectableLabel(location, this));
    layout->addWidget(SelectableLabel(AsSentence(errorMessage), this));
    layout->addSpacing(8);
    layout->addWidget(new QLabel(tr("Try to open it in this format:"), this));
    layout->addWidget(Formats);
    layout->addWidget(UseAsDefault);
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(420);
}

TFormatChoice TfmChooseFormat::Choice() const
{
    return { Formats->currentIndex(), UseAsDefault->isChecked() };
}

std::optional<TFormatChoice> TfmChooseFormat::Ask(QWidget* parent, const QString& location,
    const QString& errorMessage, const QStringList& importerNames, int preselected)
{
    TfmChooseFormat dialog(location, errorMessage, importerNames, preselected, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}
