#include "editor/fBatchConvert.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "tools/uBatchConvert.h"
#include "widgets/fDialogs.h"

namespace {

// A folder or file edit with its browse button beside it.
QWidget* WithBrowseButton(QLineEdit* edit, const std::function<void()>& browse, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    auto* button = new QToolButton(row);
    button->setText(QStringLiteral("..."));
    QObject::connect(button, &QToolButton::clicked, row, browse);
    layout->addWidget(button);
    return row;
}

QRadioButton* Radio(const QString& text, const char* name, QWidget* parent)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

// Two exclusive choices side by side under a caption.
QGroupBox* Choice(const QString& caption, QRadioButton* first, QRadioButton* second)
{
    auto* box = new QGroupBox(caption);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch(1);
    first->setChecked(true);
    return box;
}

void Fill(QListWidget* list, const QStringList& names)
{
    list->clear();
    list->addItems(names);
}

} // namespace

TfmBatchConvert::TfmBatchConvert(QWidget* parent, TOpenDocument openDocument)
    : QDialog(parent)
    , OpenDocument(std::move(openDocument))
    , MessageBoxes(this)
{
    setWindowTitle(tr("Marivel Batch Convert"));
    auto* panels = new QHBoxLayout;
    panels->addWidget(CreateSourcePanel(), 1);
    panels->addWidget(CreateDestPanel(), 1);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* convert = buttons->addButton(tr("&Convert"), QDialogButtonBox::ActionRole);
    convert->setObjectName(QStringLiteral("buConvert"));
    // No default button: Enter in a folder edit lists the folder, it neither converts nor
    // closes.
    for (QPushButton* button : { convert, buttons->addButton(QDialogButtonBox::Close) })
        button->setAutoDefault(false);
    // Convert keeps the window open: its result is shown here, and another run may follow.
    connect(convert, &QPushButton::clicked, this, &TfmBatchConvert::Convert);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels, 1);
    layout->addWidget(ProgressBar);
    layout->addWidget(buttons);

    const TBatchSettings stored = LoadBatchSettings();
    edSource->setText(stored.SourceDir);
    edDest->setText(stored.DestDir);
    for (int i = 0; i < clFormats->count(); ++i)
        clFormats->item(i)->setCheckState(
            stored.CheckedIds.contains(ExporterFormatId(i)) ? Qt::Checked : Qt::Unchecked);
    cbDestFormat->setCurrentIndex(stored.DestFormat < 0 ? ExporterCount() : stored.DestFormat);
    DestFormatChanged();
    ListSource();
    resize(760, 520);
}

QWidget* TfmBatchConvert::CreateSourcePanel()
{
    auto* panel = new QGroupBox(tr("Source"), this);
    auto* grid = new QGridLayout(panel);
    edSource = FolderRow(grid, tr("Source Directory:"), "edSource", &TfmBatchConvert::ListSource);
    cbSourceFormat = new QComboBox(panel);
    cbSourceFormat->setObjectName(QStringLiteral("cbSourceFormat"));
    QStringList importers;
    FillImporterNames(importers);
    cbSourceFormat->addItems(importers);
    connect(cbSourceFormat, &QComboBox::currentIndexChanged, this, &TfmBatchConvert::ListSource);
    grid->addWidget(new QLabel(tr("Source Format:"), panel), 1, 0);
    grid->addWidget(cbSourceFormat, 1, 1);
    rbAll = Radio(tr("All"), "rbAll", panel);
    rbSelected = Radio(tr("Selected"), "rbSelected", panel);
    grid->addWidget(Choice(tr("Source file mode"), rbAll, rbSelected), 2, 0, 1, 2);
    lbSource = new QListWidget(panel);
    lbSource->setObjectName(QStringLiteral("lbSource"));
    lbSource->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(lbSource, 3, 0, 1, 2);
    grid->setRowStretch(3, 1);
    connect(lbSource, &QListWidget::itemSelectionChanged, this,
        [this] { (lbSource->selectedItems().isEmpty() ? rbAll : rbSelected)->setChecked(true); });
    connect(rbAll, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            lbSource->clearSelection();
    });
    return panel;
}

QWidget* TfmBatchConvert::CreateDestPanel()
{
    auto* panel = new QGroupBox(tr("Destination"), this);
    auto* grid = new QGridLayout(panel);
    cbDestFormat = new QComboBox(panel);
    cbDestFormat->setObjectName(QStringLiteral("cbDestFormat"));
    QStringList exporters;
    FillExporterNames(exporters);
    cbDestFormat->addItems(exporters);
    cbDestFormat->addItem(Tr(Msg::MultipleFormats));
    grid->addWidget(new QLabel(tr("Destination Format:"), panel), 0, 0);
    grid->addWidget(cbDestFormat, 0, 1);
    clFormats = new QListWidget(panel);
    clFormats->setObjectName(QStringLiteral("clFormats"));
    for (const QString& name : exporters)
        clFormats->addItem(name);
    grid->addWidget(clFormats, 1, 0, 1, 2);
    rbMultiple = Radio(tr("Multiple"), "rbMultiple", panel);
    rbAppend = Radio(tr("Append"), "rbAppend", panel);
    grid->addWidget(Choice(tr("Destination mode"), rbMultiple, rbAppend), 2, 0, 1, 2);
    grid->addWidget(CreateDestPages(), 3, 0, 1, 2);
    // The pages take the room the check list leaves while it is hidden.
    grid->setRowStretch(3, 1);
    connect(
        cbDestFormat, &QComboBox::currentIndexChanged, this, &TfmBatchConvert::DestFormatChanged);
    connect(rbAppend, &QRadioButton::toggled, Pages, &QStackedWidget::setCurrentIndex);
    return panel;
}

QWidget* TfmBatchConvert::CreateDestPages()
{
    Pages = new QStackedWidget(this);
    auto* folderPage = new QWidget(Pages);
    auto* folder = new QGridLayout(folderPage);
    folder->setContentsMargins(0, 0, 0, 0);
    edDest = FolderRow(folder, tr("Destination Directory:"), "edDest", &TfmBatchConvert::ListDest);
    lbDest = new QListWidget(folderPage);
    lbDest->setObjectName(QStringLiteral("lbDest"));
    lbDest->setSelectionMode(QAbstractItemView::NoSelection); // it only shows what is there
    folder->addWidget(lbDest, 1, 0, 1, 2);
    Pages->addWidget(folderPage);

    auto* filePage = new QWidget(Pages);
    auto* file = new QGridLayout(filePage);
    file->setContentsMargins(0, 0, 0, 0);
    edDestFile = new QLineEdit(filePage);
    edDestFile->setObjectName(QStringLiteral("edDestFile"));
    file->addWidget(new QLabel(tr("Destination File:"), filePage), 0, 0);
    file->addWidget(WithBrowseButton(
                        edDestFile, [this] { ChooseDestFile(); }, filePage),
        0, 1);
    cbAddNames = new QCheckBox(
        tr("Add names of the source files to the POI descriptions of the target file"), filePage);
    cbAddNames->setObjectName(QStringLiteral("cbAddNames"));
    cbOpenFile = new QCheckBox(tr("Open file in new window after appending"), filePage);
    cbOpenFile->setObjectName(QStringLiteral("cbOpenFile"));
    file->addWidget(cbAddNames, 1, 0, 1, 2);
    file->addWidget(cbOpenFile, 2, 0, 1, 2);
    file->setRowStretch(3, 1);
    Pages->addWidget(filePage);
    return Pages;
}

QLineEdit* TfmBatchConvert::FolderRow(
    QGridLayout* grid, const QString& caption, const char* name, void (TfmBatchConvert::*list)())
{
    QWidget* parent = grid->parentWidget();
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    connect(edit, &QLineEdit::editingFinished, this, list);
    grid->addWidget(new QLabel(caption, parent), 0, 0);
    grid->addWidget(WithBrowseButton(
                        edit, [this, edit, list] { ChooseFolder(edit, list); }, parent),
        0, 1);
    return edit;
}

void TfmBatchConvert::ListSource()
{
    lbSource->clear();
    Fill(lbSource, ListSourceFolder(edSource->text(), cbSourceFormat->currentIndex()));
}

void TfmBatchConvert::ListDest()
{
    lbDest->clear();
    Fill(lbDest, ListDestFolder(edDest->text(), DestFormat()));
}

// After a run the list shows what it wrote; a folder that is gone was reported already.
void TfmBatchConvert::ListDestAfterRun() noexcept
{
    try {
        ListDest();
    } catch (const EUserError&) {
    }
}

void TfmBatchConvert::DestFormatChanged()
{
    const int format = DestFormat();
    clFormats->setVisible(format < 0);
    cbOpenFile->setEnabled(format >= 0);
    edDestFile->setText(DestFileForFormat(edDestFile->text(), format));
    ListDest();
}

void TfmBatchConvert::ChooseFolder(QLineEdit* edit, void (TfmBatchConvert::*list)())
{
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), edit->text());
    if (folder.isEmpty())
        return;
    edit->setText(QDir::toNativeSeparators(folder));
    (this->*list)();
}

void TfmBatchConvert::ChooseDestFile()
{
    const QStringList filters = DialogNameFilters(ExporterFilter());
    QString selected = filters.value(std::max(0, DestFormat()));
    // The run asks itself before it replaces a file.
    const QString file = QFileDialog::getSaveFileName(this, QString(), Settings().InitialDir,
        filters.join(QStringLiteral(";;")), &selected, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty())
        return;
    const int format = std::max(0, static_cast<int>(filters.indexOf(selected)));
    edDestFile->setText(DestFileChosen(file, format));
    cbDestFormat->setCurrentIndex(format);
}

int TfmBatchConvert::DestFormat() const
{
    const int index = cbDestFormat->currentIndex();
    return index < ExporterCount() ? index : -1;
}

QStringList TfmBatchConvert::CheckedIds() const
{
    QStringList ids;
    for (int i = 0; i < clFormats->count(); ++i)
        if (clFormats->item(i)->checkState() == Qt::Checked)
            ids << ExporterFormatId(i);
    return ids;
}

TBatchJob TfmBatchConvert::Job() const
{
    TBatchJob job;
    const QDir source(edSource->text());
    for (int i = 0; i < lbSource->count(); ++i)
        if (rbAll->isChecked() || lbSource->item(i)->isSelected())
            job.Files << source.filePath(lbSource->item(i)->text());
    job.SelectedOnly = rbSelected->isChecked();
    job.SourceFormatId = ImporterFormatId(cbSourceFormat->currentIndex());
    job.Append = rbAppend->isChecked();
    job.DestDir = edDest->text();
    job.DestFile = edDestFile->text();
    job.MultipleFormats = DestFormat() < 0;
    job.DestFormatIds =
        job.MultipleFormats ? CheckedIds() : QStringList { ExporterFormatId(DestFormat()) };
    job.AddNames = cbAddNames->isChecked();
    job.OpenAfterAppend = cbOpenFile->isChecked();
    return job;
}

void TfmBatchConvert::Convert()
{
    const TBatchJob job = Job();
    TBatchConvert batch(*Prompt);
    batch.OnProgress = [this](int done, int total) {
        ProgressBar->setMaximum(total);
        ProgressBar->setValue(done);
        // The bar moves while the run goes on; input waits for its end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    ProgressBar->setValue(0);
    TBatchResult result;
    {
        const auto relist = qScopeGuard([this] { ListDestAfterRun(); });
        TWaitCursor wait;
        result = batch.Run(job);
    }
    if (!result.OpenLocation.isEmpty()) {
        OpenDocument(result.OpenLocation, result.OpenFormatId);
        accept();
    } else if (result.Finished) {
        if (result.Failed > 0)
            Prompt->ShowError(BatchSummary(result));
        else
            Prompt->ShowMessage(BatchSummary(result));
    }
}

void TfmBatchConvert::done(int result)
{
    StoreBatchSettings(edSource->text(), edDest->text(), DestFormat(), CheckedIds());
    QDialog::done(result);
}
