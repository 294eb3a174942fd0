#include "sites/fProgress.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/uSiteXmlUpdater.h"
#include "widgets/uGuiPrompt.h"

namespace {

// The window is drawn before the work takes the interface thread.
constexpr int StartDelayMs = 500;

} // namespace

TfmProgress::TfmProgress(const QString& text, TProgressWork work, bool autoClose, QWidget* parent)
    : QDialog(parent)
    , laText(new QLabel(text, this))
    , pbProgress(new QProgressBar(this))
    , buCancel(new QPushButton(tr("Cancel"), this))
    , tiStart(new QTimer(this))
    , Work(std::move(work))
    , AutoClose(autoClose)
{
    setObjectName(QStringLiteral("fmProgress"));
    setWindowTitle(QLatin1String(Msg::ApplicationTitle));
    laText->setObjectName(QStringLiteral("laText"));
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setRange(0, 100);
    buCancel->setObjectName(QStringLiteral("buCancel"));
    connect(buCancel, &QPushButton::clicked, this, &TfmProgress::reject);
    tiStart->setObjectName(QStringLiteral("tiStart"));
    tiStart->setSingleShot(true);
    tiStart->setInterval(StartDelayMs);
    connect(tiStart, &QTimer::timeout, this, &TfmProgress::RunWork);

    auto* panel = new QGroupBox(tr("Progress"), this);
    auto* inside = new QVBoxLayout(panel);
    inside->addWidget(laText);
    inside->addWidget(pbProgress);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buCancel);
    inside->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    setMinimumWidth(360);
}

TfmProgress::~TfmProgress() = default;

bool TfmProgress::Execute()
{
    exec();
    if (Failure)
        std::rethrow_exception(Failure);
    return FWorkDone;
}

void TfmProgress::SetText(const QString& text) { laText->setText(text); }

bool TfmProgress::Progress(int64_t done, int64_t total)
{
    State.Report(done, total);
    pbProgress->setValue(State.Percent());
    QCoreApplication::processEvents();
    return State.Cancelled();
}

TDownloadProgress TfmProgress::DownloadProgress()
{
    return [this](int64_t done, int64_t total, bool& cancel) {
        cancel = Progress(done, total) || cancel;
    };
}

// Only the first showing starts the work: a window restored from minimised shows again.
void TfmProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Started)
        return;
    Started = true;
    State.Start();
    pbProgress->setValue(State.Percent());
    tiStart->start();
}

// A failure cannot travel through the event loop that runs the work; `Execute` raises it.
void TfmProgress::RunWork()
{
    Working = true;
    try {
        Work(*this);
    } catch (...) {
        Failure = std::current_exception();
    }
    Working = false;
    FWorkDone = true;
    if (AutoClose || Failure || State.Cancelled())
        return accept();
    buCancel->setText(tr("Close"));
}

// Closing the window while the work runs only asks it to stop; the window goes once the work
// has returned.
void TfmProgress::done(int result)
{
    if (Working) {
        State.Cancel();
        return;
    }
    if (!FWorkDone)
        State.Cancel();
    tiStart->stop();
    QDialog::done(result);
}

TSite& RefreshSiteXmlShowingProgress(const QString& location, bool force, QWidget* parent)
{
    const TWaitCursor wait;
    TSite* site = nullptr;
    TfmProgress progress(
        TfmProgress::tr("Downloading..."),
        [&](TfmProgress& window) {
            site = &RefreshSiteXml(location, force, window.DownloadProgress());
        },
        true, parent);
    if (!progress.Execute())
        throw EUserError(Tr(Msg::DownloadCancelled));
    return *site;
}
