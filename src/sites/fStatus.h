#pragma once

#include <memory>

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "sites/uAutoUpdate.h"
#include "sites/uUpdateRun.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class TRunRowsModel;

// The windows of an AutoUpdate run: the status window that shows and drives it, and the
// four-button question whether a new version may replace a target.

// The run window's size from the stored one (-1: not stored, `designed` then): each side at
// least 50 pixels and at most the screen's.
QSize StatusWindowSize(
    int storedWidth, int storedHeight, const QSize& designed, const QSize& screen);
// Where a window of `frameSize` sits at the bottom right of `available`.
QPoint BottomRightOf(const QSize& frameSize, const QRect& available);
// Whether a finished run's window closes by itself: only when the user wants that and nothing
// failed or was cancelled.
bool ClosesByItself(bool autoClose, const TUpdateRun& run);

// "Marivel AutoUpdate Status...": one row per site and per item with its status and progress,
// the overall progress and the summary. The run starts once the window is shown. In tray mode
// the window sits at the bottom right and a failure never stops the run with a question.
class TfmStatus : public QDialog, public IUpdateRunView, public IOverwriteQuestion {
    Q_OBJECT
public:
    TfmStatus(const TUpdateItems& items, bool trayMode, QWidget* parent = nullptr,
        bool forceSiteXml = false);
    ~TfmStatus() override;

    const TUpdateRun& Run() const { return *FRun; }
    bool Finished() const { return FFinished; }

    void Overall(const QString& text, int percent) override;
    void RowStatus(int row, const QString& text, int percent) override;
    void RowFinished(int row, const TRunRow& result) override;
    bool AskContinue(const QString& question, bool& continueOnErrors) override;
    void ShowMessage(const QString& text) override;
    TOverwriteAnswer AskOverwrite(const QString& question) override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Execute();
    void PlaceWindow();
    void StoreSize();

    bool TrayMode;
    std::unique_ptr<TRunRowsModel> Rows;
    std::unique_ptr<TUpdateRun> FRun;
    QTableView* RowView;
    QProgressBar* pbMain;
    QLabel* laTotalProgress;
    QPushButton* buClose;
    QCheckBox* cbAutoClose;
    bool Started = false;
    bool FFinished = false;
};

// "Confirm...": Yes, No, Yes to All and Cancel, and "Always "Yes to All"", whose tick turns
// Yes to All into `YesToAllAlways`.
class TfmConfirmDialog : public QDialog {
    Q_OBJECT
public:
    TfmConfirmDialog(const QString& message, QWidget* parent = nullptr);

    TOverwriteAnswer Answer() const;
    static TOverwriteAnswer Ask(const QString& message, QWidget* parent);

    void reject() override;

private:
    QCheckBox* cbAlways;
};
