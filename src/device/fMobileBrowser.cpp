#include "device/fMobileBrowser.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/uMessages.h"

TfmMobileBrowser::TfmMobileBrowser(QWidget* parent, bool saveMode)
    : QDialog(parent)
    , Browser(saveMode)
    , MessageBoxes(this)
    , lvPlaces(new QListWidget(this))
    , edFolder(new QLineEdit(this))
    , lvFiles(new QTreeView(this))
    , edFile(new QLineEdit(this))
    , cbType(new QComboBox(this))
    , cbExtra(new QCheckBox(this))
    , buOk(new QPushButton(saveMode ? tr("Save") : tr("Open"), this))
{
    setWindowTitle(saveMode ? tr("Save Remote...") : tr("Open Remote..."));
    resize(640, 420);

    const auto icon = [this](
                          QStyle::StandardPixmap pixmap) { return style()->standardIcon(pixmap); };
    lvPlaces->setIconSize(QSize(16, 16)); // the style's icons come in several sizes
    lvPlaces->setMaximumWidth(150);
    lvPlaces->setWordWrap(true);

    auto* up = new QToolButton(this);
    up->setIcon(icon(QStyle::SP_FileDialogToParent));
    up->setToolTip(tr("Directory Up"));
    auto* refresh = new QToolButton(this);
    refresh->setIcon(icon(QStyle::SP_BrowserReload));
    refresh->setToolTip(tr("Refresh"));
    refresh->setShortcut(Qt::Key_F5);

    Browser.Entries.SetIcons(icon(QStyle::SP_DirIcon), icon(QStyle::SP_FileIcon));
    lvFiles->setModel(&Browser.Entries);
    lvFiles->setRootIsDecorated(false);
    lvFiles->setUniformRowHeights(true); // many thousands of rows stay quick
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* open = new QAction(tr("Open"), lvFiles);
    auto* remove = new QAction(tr("Delete"), lvFiles);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    lvFiles->addActions({ open, remove });

    cbType->addItems(Browser.TypeNames());
    cbType->setVisible(saveMode);
    cbExtra->setVisible(false);
    buOk->setDefault(true);
    buOk->setEnabled(false);
    auto* cancel = new QPushButton(tr("Cancel"), this);

    auto* folderLabel = new QLabel(tr("&Folder:"), this);
    folderLabel->setBuddy(edFolder);
    auto* fileLabel = new QLabel(tr("&File:"), this);
    fileLabel->setBuddy(edFile);
    auto* typeLabel = new QLabel(tr("File &type:"), this);
    typeLabel->setBuddy(cbType);
    typeLabel->setVisible(saveMode);

    auto* top = new QHBoxLayout;
    top->addWidget(folderLabel);
    top->addWidget(edFolder, 1);
    top->addWidget(up);
    top->addWidget(refresh);
    auto* bottom = new QGridLayout;
    bottom->addWidget(fileLabel, 0, 0);
    bottom->addWidget(edFile, 0, 1);
    bottom->addWidget(buOk, 0, 2);
    bottom->addWidget(typeLabel, 1, 0);
    bottom->addWidget(cbType, 1, 1);
    bottom->addWidget(cancel, 1, 2);
    bottom->addWidget(cbExtra, 2, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(lvFiles, 1);
    right->addLayout(bottom);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lvPlaces);
    layout->addLayout(right, 1);

    connect(edFolder, &QLineEdit::editingFinished, this, [this] {
        if (Shown && !Listing && edFolder->isModified())
            ListFolder(edFolder->text());
    });
    connect(up, &QToolButton::clicked, this, &TfmMobileBrowser::DirectoryUp);
    connect(refresh, &QToolButton::clicked, this, [this] { ListFolder(edFolder->text()); });
    connect(lvPlaces, &QListWidget::itemDoubleClicked, this,
        [this](QListWidgetItem* item) { OpenPlace(lvPlaces->row(item)); });
    connect(lvFiles, &QTreeView::doubleClicked, this, &TfmMobileBrowser::OpenEntry);
    connect(lvFiles->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &TfmMobileBrowser::EntrySelected);
    // Delete needs an entry to delete; a new listing has none chosen.
    remove->setEnabled(false);
    connect(lvFiles->selectionModel(), &QItemSelectionModel::currentChanged, remove,
        [remove](const QModelIndex& index) { remove->setEnabled(index.isValid()); });
    connect(&Browser.Entries, &QAbstractItemModel::modelReset, remove,
        [remove] { remove->setEnabled(false); });
    connect(open, &QAction::triggered, this, [this] { OpenEntry(lvFiles->currentIndex()); });
    connect(remove, &QAction::triggered, this, &TfmMobileBrowser::DeleteSelected);
    connect(edFile, &QLineEdit::textChanged, this,
        [this](const QString& text) { buOk->setEnabled(!text.isEmpty()); });
    connect(cbType, &QComboBox::activated, this, &TfmMobileBrowser::TypeChosen);
    connect(buOk, &QPushButton::clicked, this, &TfmMobileBrowser::OkClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // As in a desktop file dialog, typing goes to the file name.
    edFile->setFocus();
}

// The file list outlives the entries it shows, which go first without telling the dialog.
TfmMobileBrowser::~TfmMobileBrowser()
{
    disconnect(lvFiles->selectionModel(), nullptr, this, nullptr);
}

void TfmMobileBrowser::SetFileName(const QString& name)
{
    Browser.SetFileName(name);
    cbType->setCurrentIndex(Browser.TypeIndex);
}

void TfmMobileBrowser::SetTypeIndex(int index)
{
    Browser.TypeIndex = index;
    cbType->setCurrentIndex(index);
}

void TfmMobileBrowser::SetExtraCaption(const QString& text) { cbExtra->setText(text); }
void TfmMobileBrowser::SetExtraVisible(bool visible) { cbExtra->setVisible(visible); }
bool TfmMobileBrowser::ExtraChecked() const { return cbExtra->isChecked(); }

void TfmMobileBrowser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Shown)
        return;
    {
        TWaitCursor wait;
        Listing = true;
        edFile->setText(Browser.Start());
        Listing = false;
        lvPlaces->clear();
        const QIcon icons[] = { style()->standardIcon(QStyle::SP_ComputerIcon),
            style()->standardIcon(QStyle::SP_DirHomeIcon),
            style()->standardIcon(QStyle::SP_DriveHDIcon) };
        for (int i = 0; i < Browser.Places.size(); ++i)
            lvPlaces->addItem(new QListWidgetItem(
                icons[std::min(i, 2)], Browser.Places[i].section(QLatin1Char('='), 1)));
        ShowListing();
    }
    edFile->setFocus();
    Shown = true;
}

void TfmMobileBrowser::ListFolder(const QString& folder)
{
    TWaitCursor wait;
    Listing = true;
    Browser.List(folder);
    Listing = false;
    ShowListing();
}

void TfmMobileBrowser::ShowListing()
{
    edFolder->setText(Browser.CurrentFolder);
    edFolder->setModified(false);
    lvPlaces->setCurrentRow(Browser.CurrentPlace());
}

void TfmMobileBrowser::DirectoryUp()
{
    TWaitCursor wait;
    if (Browser.Up(edFolder->text()))
        ShowListing();
}

void TfmMobileBrowser::OpenPlace(int row)
{
    if (row >= 0 && row < Browser.Places.size())
        ListFolder(Browser.Places[row].section(QLatin1Char('='), 0, 0));
}

void TfmMobileBrowser::OpenEntry(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const TRemoteEntry entry = Browser.Entries.Entries()[static_cast<size_t>(index.row())];
    if (entry.IsFolder)
        ListFolder(Browser.CurrentFolder + entry.Name);
    else
        OkClicked();
}

void TfmMobileBrowser::EntrySelected(const QModelIndex& index)
{
    if (Listing || !index.isValid())
        return;
    const TRemoteEntry& entry = Browser.Entries.Entries()[static_cast<size_t>(index.row())];
    if (!entry.IsFolder)
        edFile->setText(entry.Name);
}

void TfmMobileBrowser::TypeChosen(int index)
{
    Browser.TypeIndex = index;
    edFile->setText(Browser.WithTypeExtension(edFile->text()));
}

void TfmMobileBrowser::OkClicked()
{
    // Enter in the folder field lists that folder; it does not open the file as well.
    if (edFile->text().isEmpty() || edFolder->hasFocus())
        return;
    TMobileBrowser::TAccept result;
    {
        TWaitCursor wait;
        result = Browser.Accept(edFile->text(), *Prompt);
    }
    cbType->setCurrentIndex(Browser.TypeIndex);
    if (result == TMobileBrowser::TAccept::EnteredFolder) {
        edFile->clear();
        ShowListing();
    } else if (result == TMobileBrowser::TAccept::Accepted)
        accept();
}

void TfmMobileBrowser::DeleteSelected()
{
    const QModelIndex index = lvFiles->currentIndex();
    if (!index.isValid())
        return;
    const QString name = Browser.Entries.Entries()[static_cast<size_t>(index.row())].Name;
    QMessageBox question(QMessageBox::Question, QApplication::applicationName(),
        Browser.DeleteQuestion(name), QMessageBox::Yes | QMessageBox::No, this);
    auto* companions = new QCheckBox(Tr(Msg::DeleteCompanions), &question);
    companions->setChecked(true);
    question.setCheckBox(companions);
    if (question.exec() != QMessageBox::Yes)
        return;
    TWaitCursor wait;
    Browser.Delete(name, companions->isChecked());
}
