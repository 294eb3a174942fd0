#include "widgets/fDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include "platform/uCodePage.h"
#include "platform/uMessages.h"

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

TOpenChoice ChooseFileToOpen(
    QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters)
{
    QFileDialog dialog(parent, caption, folder);
    dialog.setNameFilters(filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The desktop's own dialog takes no extra field; the program's does.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* codePage = new QComboBox(&dialog);
    codePage->setObjectName(QStringLiteral("cbCodePage"));
    codePage->addItems(CodePageNames());
    codePage->setCurrentText(CodePageName());
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        auto* label = new QLabel(Tr(Msg::TextEncoding), &dialog);
        label->setBuddy(codePage);
        grid->addWidget(label, row, 0);
        grid->addWidget(codePage, row, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return { dialog.selectedFiles().constFirst(), dialog.selectedNameFilter(),
        codePage->currentText() };
}

QStringList DialogNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList rows;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        patterns.removeDuplicates();
        // The name may show the patterns already; the row shows them as Qt reads them.
        QString name = parts[i];
        const qsizetype shown = name.lastIndexOf(QLatin1String(" ("));
        if (shown > 0 && name.endsWith(QLatin1Char(')')))
            name.truncate(shown);
        rows.append(QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' '))));
    }
    return rows;
}
