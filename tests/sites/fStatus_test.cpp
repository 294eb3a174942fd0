#include "sites/fStatus.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "sitefixture.h"

namespace {

// A site in a local folder with the POI file "Cams"; "Fuel" is listed but missing.
class StatusWindowTest : public SiteTest {
protected:
    StatusWindowTest()
        : Site(LocalSite("index.xml",
            "<poi><description>Cams</description><url>cams.ov2</url></poi>"
            "<poi><description>Fuel</description><url>fuel.ov2</url></poi>"))
    {
        WriteFileBytes(Dir.filePath("cams.ov2"), Ov2Record(2, 450000, 5210000, { "Camera" }));
    }

    // Shows the window, waits for its run to end and returns how the dialog ended (-1: open).
    static int RunToEnd(TfmStatus& status)
    {
        int result = -1;
        QObject::connect(&status, &QDialog::finished, [&](int code) { result = code; });
        status.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return status.Finished(); }, 20000));
        QApplication::processEvents();
        return result;
    }

    static QStringList Column(const TfmStatus& status, int column)
    {
        const QAbstractItemModel* model = status.findChild<QTableView*>("lvRows")->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    static QString TotalText(const TfmStatus& status)
    {
        return status.findChild<QLabel*>("laTotalProgress")->text();
    }

    QString Site;
};

} // namespace

// The texts themselves are the run's; the window shows them, in its stored size, and closes by
// itself only when asked and nothing failed or was cancelled.
TEST_F(StatusWindowTest, ShowsTheRunAndClosesByItselfOnlyWhenAskedAndAllWentWell)
{
    // Stored sides are kept between fifty pixels and the screen.
    const QSize designed(640, 400), screen(1024, 768);
    EXPECT_EQ(StatusWindowSize(-1, -1, designed, screen), designed);
    EXPECT_EQ(StatusWindowSize(10, 0, designed, screen), QSize(50, 50));
    EXPECT_EQ(StatusWindowSize(3000, 700, designed, screen), QSize(1024, 700));
    EXPECT_EQ(BottomRightOf(QSize(300, 200), QRect(0, 0, 1024, 740)), QPoint(724, 540));

    Settings().StatusAutoClose = true;
    {
        TfmStatus empty(AutoUpdateItems(), false);
        EXPECT_EQ(RunToEnd(empty), QDialog::Accepted) << "zero items end at once";
        EXPECT_EQ(TotalText(empty), "Finished: 0 updated");
        EXPECT_EQ(Settings().StatusWidth, empty.width()) << "normal size stored";
        EXPECT_EQ(Settings().StatusTrayWidth, -1);
    }
    Subscribe(Site, "Cams", Target("cams.gpx"));
    Subscribe(Site, "Fuel", Target("fuel.gpx"));
    {
        TfmStatus status(AutoUpdateItems(), true); // tray mode: the failure asks nothing
        EXPECT_EQ(Column(status, 0), QStringList({ Site, "Cams", "Fuel" }));
        EXPECT_EQ(RunToEnd(status), -1) << "an item failed: the window stays";
        const QString failed = Column(status, 1).value(2);
        EXPECT_TRUE(failed.startsWith("Failed: ") && !failed.contains('\r')) << "on one line";
        const QStringList bars = Column(status, 2);
        EXPECT_EQ(bars.mid(0, 2), QStringList({ "100", "100" }));
        EXPECT_NE(bars.value(2), "100") << "a failed row's bar stays where it stopped";
        EXPECT_EQ(TotalText(status), "Finished: 1 updated, 1 failed");
        EXPECT_EQ(status.findChild<QPushButton*>("buClose")->text(), "Close");
        status.close();
        EXPECT_EQ(Settings().StatusTrayWidth, status.width()) << "tray size stored";
    }
    AutoUpdateItems().Remove(Target("fuel.gpx"));
    AutoUpdateItems().Save();
    {
        Settings().StatusAutoClose = false;
        TfmStatus kept(AutoUpdateItems(), false);
        EXPECT_EQ(RunToEnd(kept), -1);
        kept.close();
    }
    {
        // A target from long ago: the site's file is a new version, and the overwrite
        // question's Cancel stops the run.
        Settings().StatusAutoClose = true;
        TfmStatus cancelled(AutoUpdateItems(), false);
        SetTargetTime(Target("cams.gpx"), QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        TModalAnswers answers(&cancelled, [](QWidget* modal) {
            ButtonOf(modal, "Cancel")->click();
            return true;
        });
        EXPECT_EQ(RunToEnd(cancelled), -1);
        EXPECT_EQ(TotalText(cancelled), "Cancelled: 0 updated, 1 skipped");
        cancelled.close();
    }
}

TEST(ConfirmDialog, EachButtonAndTheAlwaysBoxGiveTheirAnswer)
{
    const auto answerBy = [](const QString& caption, bool always) {
        TModalAnswers answers(nullptr, [&](QWidget* modal) {
            modal->findChild<QCheckBox*>()->setChecked(always);
            if (caption.isEmpty())
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                ButtonOf(modal, caption)->click();
            return true;
        });
        return TfmConfirmDialog::Ask("Overwrite x?", nullptr);
    };
    EXPECT_EQ(answerBy("Yes", false), TOverwriteAnswer::Yes);
    EXPECT_EQ(answerBy("Yes", true), TOverwriteAnswer::Yes) << "the box only widens Yes to All";
    EXPECT_EQ(answerBy("No", false), TOverwriteAnswer::No);
    EXPECT_EQ(answerBy("Cancel", false), TOverwriteAnswer::Cancel);
    EXPECT_EQ(answerBy("Yes to All", false), TOverwriteAnswer::YesToAll);
    EXPECT_EQ(answerBy("Yes to All", true), TOverwriteAnswer::YesToAllAlways);
    EXPECT_EQ(answerBy("", false), TOverwriteAnswer::Cancel) << "Escape is no Yes";
}
