#include "device/fMobileFolder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "convert/uConvertBase.h"
#include "device/TreeViewCe.h"

TfmMobileFolder::TfmMobileFolder(QWidget* parent)
    : QDialog(parent)
    , cbMaps(new QComboBox(this))
    , tvFolders(new TTreeViewCe(this))
    , edPath(new QLineEdit(this))
    , lbType(new QLabel(tr("Target file type:"), this))
    , cbType(new QComboBox(this))
{
    setWindowTitle(tr("Select Mobile Folder..."));
    resize(420, 460);
    auto* note = new QLabel(tr("Select the folder where you want Marivel to automatically "
                               "update the selected POI files..."),
        this);
    note->setWordWrap(true);
    const QIcon mapIcon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    const QStringList items = Choice.ComboItems();
    for (qsizetype i = 0; i < items.size(); ++i)
        cbMaps->addItem(i == 0 ? QIcon() : mapIcon, items[i]);
    edPath->setReadOnly(true);
    QStringList types;
    FillExporterNames(types);
    cbType->addItems(types);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* fields = new QFormLayout;
    fields->addRow(tr("TomTom Maps:"), cbMaps);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(fields);
    layout->addWidget(tvFolders, 1);
    auto* below = new QFormLayout;
    below->addRow(tr("Selected path:"), edPath);
    below->addRow(lbType, cbType);
    layout->addLayout(below);
    layout->addWidget(buttons);

    tvFolders->Reload();
    connect(cbMaps, &QComboBox::activated, this, &TfmMobileFolder::MapChosen);
    connect(tvFolders, &TTreeViewCe::PathChanged, this, &TfmMobileFolder::PathChanged);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmMobileFolder::OkClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TfmMobileFolder::Path() const { return tvFolders->Path(); }
void TfmMobileFolder::SetPath(const QString& path) { tvFolders->SetPath(path); }

void TfmMobileFolder::ShowFileType(bool visible)
{
    lbType->setVisible(visible);
    cbType->setVisible(visible);
}

int TfmMobileFolder::FileType() const { return cbType->currentIndex(); }
void TfmMobileFolder::SetFileType(int index) { cbType->setCurrentIndex(index); }

void TfmMobileFolder::MapChosen(int index) { tvFolders->SetPath(Choice.TreePathOf(index)); }

void TfmMobileFolder::PathChanged(const QString& path)
{
    edPath->setText(path);
    cbMaps->setCurrentIndex(Choice.ComboIndexFor(path, cbMaps->currentIndex()));
}

void TfmMobileFolder::OkClicked()
{
    TMobileFolderChoice::CheckChosen(Path());
    accept();
}
