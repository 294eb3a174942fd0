#pragma once

#include <QDialog>

#include "device/uMobileBrowse.h"
#include "widgets/uGuiPrompt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

// "Open Remote..." and "Save Remote...": the device's places, the POI files of a folder, a
// file name and (saving) its type. The caller connects (`InitRapi`) first; on OK it reads
// `FileName` and `TypeIndex`.
class TfmMobileBrowser : public QDialog {
    Q_OBJECT

public:
    TfmMobileBrowser(QWidget* parent, bool saveMode);
    ~TfmMobileBrowser() override;

    void SetFileName(const QString& name);
    // Chooses a type by registry index, -1 for none.
    void SetTypeIndex(int index);
    QString FileName() const { return Browser.FileName; }
    // The chosen type: a registry index of the importers (open) or exporters (save).
    int TypeIndex() const { return Browser.TypeIndex; }
    QString TypeFormatId() const { return Browser.TypeFormatId(); }
    void SetExtraCaption(const QString& text);
    void SetExtraVisible(bool visible);
    bool ExtraChecked() const;

    // The parts a test drives.
    QLineEdit* FolderEdit() const { return edFolder; }
    QLineEdit* FileEdit() const { return edFile; }
    QTreeView* FileList() const { return lvFiles; }
    QPushButton* OkButton() const { return buOk; }
    QComboBox* TypeCombo() const { return cbType; }
    QListWidget* PlacesList() const { return lvPlaces; }
    // Questions go to `prompt` from now on instead of message boxes; it must outlive the
    // dialog.
    void SetPrompt(IUserPrompt& prompt) { Prompt = &prompt; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ListFolder(const QString& folder);
    void ShowListing();
    void DirectoryUp();
    void OpenPlace(int row);
    void OpenEntry(const QModelIndex& index);
    void EntrySelected(const QModelIndex& index);
    void TypeChosen(int index);
    void OkClicked();
    void DeleteSelected();

    TMobileBrowser Browser;
    TGuiPrompt MessageBoxes;
    IUserPrompt* Prompt = &MessageBoxes;
    QListWidget* lvPlaces;
    QLineEdit* edFolder;
    QTreeView* lvFiles;
    QLineEdit* edFile;
    QComboBox* cbType;
    QCheckBox* cbExtra;
    QPushButton* buOk;
    bool Listing = false;
    bool Shown = false;
};
