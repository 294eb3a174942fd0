#pragma once

#include <QDialog>

#include "device/uMobileBrowse.h"

class QComboBox;
class QLabel;
class QLineEdit;
class TTreeViewCe;

// "Select Mobile Folder...": a device folder for AutoUpdate targets, with the TomTom map
// folders as shortcuts. The caller connects (`InitRapi`) first, sets `Path` (without leading
// "\") and reads it after OK.
class TfmMobileFolder : public QDialog {
    Q_OBJECT

public:
    explicit TfmMobileFolder(QWidget* parent = nullptr);

    QString Path() const;
    void SetPath(const QString& path);
    void ShowFileType(bool visible);
    // A registry index of the exporters.
    int FileType() const;
    void SetFileType(int index);

    // The parts a test drives.
    QComboBox* MapsCombo() const { return cbMaps; }
    TTreeViewCe* Tree() const { return tvFolders; }
    QLineEdit* SelectedPath() const { return edPath; }

private:
    void MapChosen(int index);
    void PathChanged(const QString& path);
    void OkClicked();

    TMobileFolderChoice Choice;
    QComboBox* cbMaps;
    TTreeViewCe* tvFolders;
    QLineEdit* edPath;
    QLabel* lbType;
    QComboBox* cbType;
};
