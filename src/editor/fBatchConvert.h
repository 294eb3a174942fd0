#pragma once

#include <functional>

#include <QDialog>

#include "widgets/uGuiPrompt.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QRadioButton;
class QStackedWidget;
struct TBatchJob;

// "Marivel Batch Convert...": collects the folders, files and formats of a batch run, runs it
// (uBatchConvert) and shows its progress. An append that is to be opened afterwards goes to
// `openDocument`, and the window then closes.
class TfmBatchConvert : public QDialog {
    Q_OBJECT

public:
    using TOpenDocument = std::function<void(const QString& location, const QString& formatId)>;
    TfmBatchConvert(QWidget* parent, TOpenDocument openDocument);

    // Questions and messages go to `prompt` from now on instead of message boxes; it must
    // outlive the window.
    void SetPrompt(IUserPrompt& prompt) { Prompt = &prompt; }
    void Convert();
    void done(int result) override;

private:
    QWidget* CreateSourcePanel();
    QWidget* CreateDestPanel();
    QWidget* CreateDestPages();
    // A folder edit with its caption in the first row of `grid`; Enter, leaving it or choosing
    // a folder lists it with `list`.
    QLineEdit* FolderRow(QGridLayout* grid, const QString& caption, const char* name,
        void (TfmBatchConvert::*list)());
    void ListSource();
    void ListDest();
    void ListDestAfterRun() noexcept;
    void DestFormatChanged();
    void ChooseFolder(QLineEdit* edit, void (TfmBatchConvert::*list)());
    void ChooseDestFile();
    // -1 while "Multiple formats..." is chosen.
    int DestFormat() const;
    QStringList CheckedIds() const;
    TBatchJob Job() const;

    TOpenDocument OpenDocument;
    TGuiPrompt MessageBoxes;
    IUserPrompt* Prompt = &MessageBoxes;
    QLineEdit* edSource;
    QRadioButton* rbAll;
    QRadioButton* rbSelected;
    QListWidget* lbSource;
    QComboBox* cbSourceFormat;
    QRadioButton* rbMultiple;
    QRadioButton* rbAppend;
    QStackedWidget* Pages;
    QLineEdit* edDest;
    QListWidget* lbDest;
    QLineEdit* edDestFile;
    QCheckBox* cbAddNames;
    QCheckBox* cbOpenFile;
    QComboBox* cbDestFormat;
    QListWidget* clFormats;
    QProgressBar* ProgressBar;
};
