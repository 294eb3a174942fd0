#pragma once

#include <vector>

#include <QString>

#include "sites/uAutoUpdate.h"
#include "sites/uUpdateItems.h"

// One AutoUpdate run over a list of items: each site's index is fetched once, before the
// site's items, then each item is brought up to date. The status window and marivel-update
// drive it and show its rows.

// How a row ended.
enum class TRowResult { Waiting, Updated, UpToDate, Failed, Skipped, SiteChecked };

// One line of the run: a site (titled with its location, without credentials) or an item
// (titled with its POI).
struct TRunRow {
    bool IsSite = false;
    QString Title;
    QString Site;
    // Items only: the target, which identifies the item.
    QString Target;
    TRowResult Result = TRowResult::Waiting;
    // The row's status text, as it ends or as it stands.
    QString Text;
};

// Shows a run as it goes; the status window with its rows, a console with lines.
class IUpdateRunView {
public:
    virtual ~IUpdateRunView() = default;
    // The overall text ("Updating file 2 of 5") and percentage of the rows done.
    virtual void Overall(const QString& text, int percent) = 0;
    // The row's status text while it is processed, and its percentage (-1: unchanged).
    virtual void RowStatus(int row, const QString& text, int percent) = 0;
    // The row's final result and text.
    virtual void RowFinished(int row, const TRunRow& result) = 0;
    // After a failure, with rows remaining: `question` ends in "Do you want to continue?";
    // ticking "Continue on subsequent errors" sets `continueOnErrors`. False stops the run.
    virtual bool AskContinue(const QString& question, bool& continueOnErrors) = 0;
    virtual void ShowMessage(const QString& text) = 0;
};

struct TRunCounts {
    int Updated = 0;
    int UpToDate = 0;
    int Failed = 0;
    int Skipped = 0;
};

// The answer of a run no one watches: it never asks. A file that exists is replaced only as
// the stored "Always overwrite" says (the engine then does not ask); otherwise it is left.
class TUnattendedOverwrite : public IOverwriteQuestion {
public:
    TOverwriteAnswer AskOverwrite(const QString&) override
    {
        Declined = true;
        return TOverwriteAnswer::No;
    }
    bool Declined = false;
};

class TUpdateRun {
public:
    // Copies `items` and sorts the copy by site. In tray mode nothing is asked: a failure
    // does not ask whether to go on, and a file that would need the overwrite question is
    // skipped, its row saying why. `forceSiteXml` fetches each index fresh instead of through the
    // internet cache.
    TUpdateRun(const TUpdateItems& items, IUpdateRunView& view, IOverwriteQuestion& question,
        bool trayMode = false, bool forceSiteXml = false);

    const std::vector<TRunRow>& Rows() const { return FRows; }
    // Processes every row, then starts the AutoUpdate application when the settings ask for
    // it and an item was updated. Fails with "Another AutoUpdate run is busy..." when another
    // program's run goes on for longer than a moment.
    void Execute();
    // Stops the run at the next download progress or row.
    void Cancel();
    bool Cancelled() const { return FCancelled || Engine.Cancelled(); }

    const TRunCounts& Counts() const { return FCounts; }
    // "Finished: 1 updated, 2 already up-to-date", or "Cancelled: ..." after a cancel.
    QString Summary() const;

private:
    void SetStatus(int row, const QString& text, int percent);
    TDownloadProgress RowProgress(int row);
    void ProcessSite(int row);
    void ProcessItem(int row);
    void Finish(int row, TRowResult result, const QString& text);
    void StartApplication();

    TUpdateItems Items;
    IUpdateRunView& View;
    TUnattendedOverwrite Unattended;
    TAutoUpdate Engine;
    bool TrayMode;
    bool ForceSiteXml;
    std::vector<TRunRow> FRows;
    TRunCounts FCounts;
    bool FCancelled = false;
    int Current = -1;
    bool AskBeforeOverwrite = true;
    bool ContinueOnErrors = false;
    // The index of the site whose rows are being processed; none when it could not be had.
    const TXmlDocument* SiteDocument = nullptr;
};

// "1 updated, 2 already up-to-date, 1 failed": the counts above zero after the first.
QString RunSummary(const TRunCounts& counts);
