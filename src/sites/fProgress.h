#pragma once

#include <exception>
#include <functional>

#include <QDialog>

#include "locations/uDownload.h"
#include "sites/uProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TSite;
class TfmProgress;

// The work a progress window runs; it reports through the window it is given.
using TProgressWork = std::function<void(TfmProgress& window)>;

// A window with a text line, a progress bar and Cancel for one long piece of work: a download
// ("Downloading..."), or a search over entries ("12 of 300 entries"). Shown modally; shortly
// after it shows it runs the work once, then closes by itself when `autoClose` is set.
class TfmProgress : public QDialog {
    Q_OBJECT
public:
    TfmProgress(const QString& text, TProgressWork work, bool autoClose, QWidget* parent = nullptr);
    ~TfmProgress() override;

    // Shows the window until it closes. A failure of the work comes out of here once the
    // window is gone. False when the user closed the window before the work ran; a cancel
    // while it runs is the work's to answer, through `Progress`.
    bool Execute();

    void SetText(const QString& text);
    // Moves the bar to `done` of `total` (a total of zero or less is unknown and leaves the
    // bar), lets the window handle what is pending, and tells whether the user cancelled.
    bool Progress(int64_t done, int64_t total);
    // `Progress` as a download reports it.
    TDownloadProgress DownloadProgress();
    bool Cancelled() const { return State.Cancelled(); }
    bool WorkDone() const { return FWorkDone; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RunWork();

    QLabel* laText;
    QProgressBar* pbProgress;
    QPushButton* buCancel;
    QTimer* tiStart;
    TProgressWork Work;
    bool AutoClose;
    TProgressState State;
    bool Started = false;
    bool Working = false;
    bool FWorkDone = false;
    std::exception_ptr Failure;
};

// Fetches a site's index into its local copy with "Downloading..." in a progress window and
// reloads the site's catalogue; a cancelled download fails with "Download cancelled by user"
// and leaves the local copy as it was.
TSite& RefreshSiteXmlShowingProgress(const QString& location, bool force, QWidget* parent);
