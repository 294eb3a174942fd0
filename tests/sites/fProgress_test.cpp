#include "sites/fProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "locations/uLocations.h"
#include "sitefixture.h"
#include "sites/uSite.h"

namespace {

QProgressBar* BarOf(const TfmProgress& window)
{
    return window.findChild<QProgressBar*>("pbProgress");
}

QPushButton* CancelOf(const TfmProgress& window)
{
    return window.findChild<QPushButton*>("buCancel");
}

// Clicks Cancel of the progress window on top once `ready` says so, for as long as it lives.
class TCancelWhen : public TModalAnswers {
public:
    explicit TCancelWhen(const std::function<bool(TfmProgress&)>& ready)
        : TModalAnswers(nullptr, [ready](QWidget* modal) {
            auto* window = qobject_cast<TfmProgress*>(modal);
            if (!window || !ready(*window))
                return false;
            CancelOf(*window)->click();
            return true;
        })
    {
    }
};

} // namespace

TEST(ProgressPercent, KnownAndUnknownTotals)
{
    EXPECT_EQ(ProgressPercent(0, 200), 0);
    EXPECT_EQ(ProgressPercent(150, 200), 75);
    EXPECT_EQ(ProgressPercent(50, 80), 62) << "a total under 100 bytes divides nothing by zero";
    EXPECT_EQ(ProgressPercent(300, 200), 100) << "more than promised stays at the end";
    EXPECT_EQ(ProgressPercent(3'000'000'000'000, 6'000'000'000'000), 50);
    EXPECT_EQ(ProgressPercent(500, 0), -1);
    EXPECT_EQ(ProgressPercent(500, -1), -1);

    TProgressState state;
    state.Report(30, 60);
    state.Report(90, -1);
    EXPECT_EQ(state.Percent(), 50) << "an unknown total leaves the bar where it was";
    state.Cancel();
    state.Start();
    EXPECT_FALSE(state.Cancelled()) << "a window shown anew starts uncancelled";
    EXPECT_EQ(state.Percent(), 0);
}

TEST(TfmProgress, RunsTheWorkOnceAfterShowingAndClosesByItself)
{
    int runs = 0;
    TfmProgress window(
        QStringLiteral("Downloading..."),
        [&](TfmProgress& shown) {
            ++runs;
            EXPECT_TRUE(shown.isVisible());
            EXPECT_FALSE(shown.Progress(1, 4));
            EXPECT_EQ(BarOf(shown)->value(), 25);
            // Events are still handled; what an unknown total does to the bar is the state's.
            bool delivered = false;
            QTimer::singleShot(0, &shown, [&] { delivered = true; });
            shown.Progress(70, -1);
            EXPECT_TRUE(delivered);
        },
        true);
    EXPECT_TRUE(window.Execute());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);

    window.show(); // as a window restored from minimised
    EXPECT_FALSE(window.findChild<QTimer*>("tiStart")->isActive()) << "the work runs once only";
}

TEST(TfmProgress, WithoutAutoCloseStaysUntilClosedUnlessTheWorkFails)
{
    TfmProgress window(
        QStringLiteral("Searching..."),
        [](TfmProgress& shown) { shown.SetText(QStringLiteral("3 of 3 entries")); }, false);
    const TCancelWhen closer([](TfmProgress& shown) { return shown.WorkDone(); });
    EXPECT_TRUE(window.Execute());
    EXPECT_EQ(window.findChild<QLabel*>("laText")->text(), "3 of 3 entries");
    EXPECT_EQ(CancelOf(window)->text(), "Close");
    EXPECT_FALSE(window.Cancelled()) << "closing after the work cancels nothing";

    // A failure closes it all the same, and comes out of Execute.
    TfmProgress failing(
        QString(), [](TfmProgress&) { throw EUserError(QStringLiteral("no disk")); }, false);
    EXPECT_EQ(ErrorOf<EUserError>([&] { failing.Execute(); }), "no disk");
    EXPECT_FALSE(failing.isVisible());
}

TEST(TfmProgress, CancelBeforeTheWorkSkipsItAndDuringTheWorkReachesItAndTheWindowWaits)
{
    {
        bool ran = false;
        TCancelWhen cancel([](TfmProgress& shown) { return shown.isVisible(); });
        TfmProgress window(
            QString(), [&](TfmProgress&) { ran = true; }, true);
        EXPECT_FALSE(window.Execute());
        EXPECT_FALSE(ran);
        EXPECT_TRUE(window.Cancelled());
    }
    int reports = 0;
    TCancelWhen cancel([&](TfmProgress&) { return reports > 0; });
    TfmProgress window(
        QString(),
        [&](TfmProgress& shown) {
            while (!shown.Progress(++reports, -1))
                QTest::qWait(5);
            EXPECT_TRUE(shown.isVisible()) << "the window stays until the work returns";
        },
        false);
    EXPECT_TRUE(window.Execute());
    EXPECT_TRUE(window.Cancelled());
    EXPECT_FALSE(window.isVisible()) << "a cancelled work closes the window";
}

TEST(RefreshSiteXmlShowingProgress, CancelKeepsTheLocalCopy)
{
    THttpTestServer server;
    const std::string index = SiteXml(std::string(100000, ' '));
    THttpTestServer::TResponse& slow = server.Serve("/index.xml", QByteArray::fromStdString(index));
    slow.Mode = THttpTestServer::TResponse::TMode::Slow;
    slow.Interval = 20;
    const QString location = server.Url("/index.xml");
    const std::string previous = "<pois><infourl>kept</infourl></pois>";
    for (bool force : { false, true }) {
        SCOPED_TRACE(force ? "fresh" : "through the cache");
        WriteFileBytes(LocalCopyName(location), previous);
        TCancelWhen cancel([](TfmProgress& shown) { return BarOf(shown)->value() > 0; });
        EXPECT_EQ(
            ErrorOf<EUserError>([&] { RefreshSiteXmlShowingProgress(location, force, nullptr); }),
            "Download cancelled by user");
        EXPECT_TRUE(FileBytes(LocalCopyName(location)) == previous) << "the local copy changed";
    }

    slow.Mode = THttpTestServer::TResponse::TMode::Whole;
    EXPECT_EQ(RefreshSiteXmlShowingProgress(location, true, nullptr).Location(), location);
    EXPECT_TRUE(FileBytes(LocalCopyName(location)) == index);
}
