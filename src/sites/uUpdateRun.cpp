#include "sites/uUpdateRun.h"

#include <chrono>

#include <QProcess>

#include "core/uSettings.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "sites/uProgress.h"
#include "sites/uSite.h"
#include "sites/uSiteXmlUpdater.h"

namespace {

using namespace std::chrono_literals;

// Two runs at once would download and write the same targets; a second one waits only
// briefly for the first to end.
const QString RunLockName = QStringLiteral("autoupdate-run.lock");
constexpr auto RunLockWait = 2s;

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString WithCancelled(const QString& text)
{
    return text + QStringLiteral(": ") + Tr(Msg::Cancelled);
}

} // namespace

QString RunSummary(const TRunCounts& counts)
{
    QString summary = Tr(Msg::CountUpdated).arg(counts.Updated);
    const auto add = [&](int count, const char* text) {
        if (count > 0)
            summary += QStringLiteral(", ") + Tr(text).arg(count);
    };
    add(counts.UpToDate, Msg::CountUpToDate);
    add(counts.Failed, Msg::CountFailed);
    add(counts.Skipped, Msg::CountSkipped);
    return summary;
}

TUpdateRun::TUpdateRun(const TUpdateItems& items, IUpdateRunView& view,
    IOverwriteQuestion& question, bool trayMode, bool forceSiteXml)
    : View(view)
    , Engine(trayMode ? Unattended : question)
    , TrayMode(trayMode)
    , ForceSiteXml(forceSiteXml)
{
    items.CopyTo(Items);
    Items.SortBySite();
    for (int i = 0; i < Items.Count(); ++i) {
        const TUpdateItem& item = Items.Items(i);
        if (FRows.empty() || !SameText(FRows.back().Site, item.Site))
            FRows.push_back({ true, LocationForDisplay(item.Site), item.Site, {},
                TRowResult::Waiting, Tr(Msg::WaitingForRow) });
        FRows.push_back({ false, item.Poi, item.Site, item.Target, TRowResult::Waiting,
            Tr(Msg::WaitingForRow) });
    }
    Engine.OnDownload = [this](int64_t done, int64_t total, bool& cancel) {
        RowProgress(Current)(done, total, cancel);
    };
}

// A download's bytes move the row's bar; a download of unknown length still lets the view
// handle what is pending.
TDownloadProgress TUpdateRun::RowProgress(int row)
{
    return [this, row](int64_t done, int64_t total, bool& cancel) {
        View.RowStatus(row, FRows[size_t(row)].Text, ProgressPercent(done, total));
        cancel = cancel || FCancelled;
    };
}

void TUpdateRun::Cancel()
{
    FCancelled = true;
    Engine.Cancel();
}

void TUpdateRun::Execute()
{
    const TStoreLock alone(RunLockName, RunLockWait, Tr(Msg::RunBusy));
    const int count = int(FRows.size());
    View.Overall(Tr(Msg::Starting), 0);
    for (Current = 0; Current < count && !Cancelled(); ++Current) {
        View.Overall(Tr(Msg::UpdatingFile).arg(Current + 1).arg(count), Current * 100 / count);
        if (FRows[size_t(Current)].IsSite)
            ProcessSite(Current);
        else
            ProcessItem(Current);
    }
    for (int row = 0; row < count; ++row)
        if (FRows[size_t(row)].Result == TRowResult::Waiting)
            Finish(row, TRowResult::Skipped, WithCancelled(FRows[size_t(row)].Text));
    View.Overall(Summary(), 100);
    StartApplication();
}

QString TUpdateRun::Summary() const
{
    return Tr(Cancelled() ? Msg::Cancelled : Msg::Finished) + QStringLiteral(": ")
        + RunSummary(FCounts);
}

void TUpdateRun::SetStatus(int row, const QString& text, int percent)
{
    FRows[size_t(row)].Text = text;
    View.RowStatus(row, text, percent);
}

void TUpdateRun::ProcessSite(int row)
{
    SiteDocument = nullptr;
    SetStatus(row, Tr(Msg::CheckingSiteXml), 0);
    try {
        const TSite& site = RefreshSiteXml(FRows[size_t(row)].Site, ForceSiteXml, RowProgress(row));
        SiteDocument = &site.Document;
        Finish(row, TRowResult::SiteChecked, Tr(Msg::CheckedSiteXml));
    } catch (const Exception& e) {
        if (Cancelled())
            return Finish(row, TRowResult::Skipped, WithCancelled(FRows[size_t(row)].Text));
        Finish(row, TRowResult::Failed, e.Message());
    }
}

void TUpdateRun::ProcessItem(int row)
{
    const TRunRow& current = FRows[size_t(row)];
    if (!SiteDocument)
        return Finish(row, TRowResult::Failed, Tr(Msg::NoSiteXml));
    SetStatus(row, Tr(Msg::Checking), 0);
    Unattended.Declined = false;
    try {
        const bool written = Engine.Update(
            *Items.Find(current.Target), AskBeforeOverwrite,
            [this, row](int percent, const QString& text) { SetStatus(row, text, percent); },
            *SiteDocument);
        if (Engine.Cancelled())
            Finish(row, TRowResult::Skipped, WithCancelled(current.Text));
        else if (Unattended.Declined)
            Finish(row, TRowResult::Skipped, Tr(Msg::NotOverwrittenUnattended));
        else if (written)
            Finish(row, TRowResult::Updated,
                Engine.Warnings.isEmpty() ? Tr(Msg::Updated)
                                          : Tr(Msg::Updated) + QStringLiteral(": ")
                        + Engine.Warnings.join(QStringLiteral("; ")));
        else
            Finish(row, TRowResult::UpToDate, Tr(Msg::AlreadyUpToDate));
    } catch (const EAbort&) {
        Finish(row, TRowResult::Skipped, WithCancelled(current.Text));
    } catch (const Exception& e) {
        Finish(row, TRowResult::Failed, Tr(Msg::Failed) + QStringLiteral(": ") + e.Message());
        const bool rowsRemain = row + 1 < int(FRows.size());
        if (!TrayMode && !ContinueOnErrors && rowsRemain
            && !View.AskContinue(
                e.Message() + QStringLiteral("\r\r") + Tr(Msg::AskContinue), ContinueOnErrors))
            FCancelled = true;
    }
}

void TUpdateRun::Finish(int row, TRowResult result, const QString& text)
{
    TRunRow& finished = FRows[size_t(row)];
    finished.Result = result;
    finished.Text = text;
    switch (result) {
    case TRowResult::Updated:
        ++FCounts.Updated;
        break;
    case TRowResult::UpToDate:
        ++FCounts.UpToDate;
        break;
    case TRowResult::Failed:
        ++FCounts.Failed;
        break;
    case TRowResult::Skipped:
        FCounts.Skipped += finished.IsSite ? 0 : 1;
        break;
    case TRowResult::Waiting:
    case TRowResult::SiteChecked:
        break;
    }
    View.RowFinished(row, finished);
}

// The user's own program that takes the new files further, such as a copy to a navigator.
void TUpdateRun::StartApplication()
{
    const TSettings& settings = Settings();
    if (FCounts.Updated == 0 || !settings.AutoUpdateApplicationEnabled)
        return;
    if (!QProcess::startDetached(
            settings.AutoUpdateApplication, QProcess::splitCommand(settings.AutoUpdateAppParams)))
        View.ShowMessage(Tr(Msg::CannotStartApp).arg(settings.AutoUpdateApplication));
}
