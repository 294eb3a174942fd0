#include "sites/uUpdateRun.h"

#include "platform/uMessages.h"
#include "sitefixture.h"

namespace {

const QDateTime ServerTime(QDate(2023, 5, 1), QTime(12, 0));

// The rows as they end, and the questions asked.
class TRecordingView : public IUpdateRunView {
public:
    void Overall(const QString& text, int) override { Texts.append(text); }
    void RowStatus(int, const QString&, int) override { }
    void RowFinished(int, const TRunRow& row) override
    {
        Rows.append(row.Title + " | " + row.Text);
    }
    bool AskContinue(const QString& question, bool& continueOnErrors) override
    {
        Questions.append(question);
        continueOnErrors = ContinueOnErrors;
        return Continue;
    }
    void ShowMessage(const QString& text) override { Messages.append(text); }

    bool Continue = true;
    bool ContinueOnErrors = false;
    QStringList Texts;
    QStringList Rows;
    QStringList Questions;
    QStringList Messages;
};

// Site "a" offers a good and a missing file; site "b" has no index.
class UpdateRunTest : public SiteTest {
protected:
    UpdateRunTest()
    {
        ServeSite("/a.xml",
            "<poi><description>Cams</description><url>/cams.ov2</url></poi>"
            "<poi><description>Fuel</description><url>/fuel.ov2</url></poi>"
            "<poi><description>Parks</description><url>/parks.ov2</url></poi>");
        ServePoi("/cams.ov2", "Camera A", ServerTime);
        ServePoi("/parks.ov2", "Park A", ServerTime);
    }

    QString A() const { return Server.Url("/a.xml"); }
    // With an account in the address, which no row may show.
    QString B() const
    {
        return Server.Url("/b.xml").replace("://", "://bob:s3cret@") + "?k=s3cret";
    }
    QString ShownB() const { return Server.Url("/b.xml"); }

    TRecordingView View;
    TScriptedOverwrite Question;
};

} // namespace

TEST_F(UpdateRunTest, RowsPerSiteThenItemsAndTheSummary)
{
    // Listed out of site order: the run sorts by site.
    Subscribe(B(), "Elsewhere", Target("else.gpx"));
    Subscribe(A(), "Cams", Target("cams.gpx"));
    Subscribe(A(), "Fuel", Target("fuel.gpx"));
    View.ContinueOnErrors = true;
    // A missing application says so at once: it is started after a run that updated a file.
    Settings().AutoUpdateApplicationEnabled = true;
    Settings().AutoUpdateApplication = Dir.filePath("gone");
    TUpdateRun run(AutoUpdateItems(), View, Question);
    ASSERT_EQ(run.Rows().size(), 5u);
    EXPECT_TRUE(run.Rows()[0].IsSite);
    EXPECT_EQ(run.Rows()[3].Title, ShownB());

    run.Execute();
    ASSERT_EQ(View.Rows.size(), 5);
    EXPECT_EQ(View.Rows[0], A() + " | Checked site xml file...");
    EXPECT_EQ(View.Rows[1], "Cams | Updated");
    EXPECT_TRUE(View.Rows[2].startsWith("Fuel | Failed: Cannot download \"Fuel\""));
    EXPECT_TRUE(View.Rows[3].startsWith(ShownB() + " | Cannot download \"" + ShownB()
        + "\" because of the following error: \r\rUnable to download"))
        << View.Rows[3].toStdString();
    EXPECT_FALSE(View.Rows[3].contains("s3cret"));
    EXPECT_TRUE(View.Rows[3].contains("404 Not Found.\r\rThe server has nothing at this address"))
        << "an index the server does not have is no matter of the connection";
    EXPECT_EQ(View.Rows[4], "Elsewhere | Unable to download associated site xml");
    EXPECT_EQ(View.Texts.value(1), "Updating file 1 of 5");
    EXPECT_EQ(View.Texts.last(), "Finished: 1 updated, 3 failed");
    EXPECT_EQ(View.Questions.size(), 1) << "continue on subsequent errors was ticked";
    EXPECT_TRUE(View.Questions[0].endsWith("\r\rDo you want to continue?"));
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_TRUE(View.Messages[0].contains("application that is specified in the AutoUpdate "
                                          "manager settings:\r"
        + Dir.filePath("gone")));

    TUpdateRun again(AutoUpdateItems(), View, Question);
    View.Texts.clear();
    again.Execute();
    EXPECT_EQ(View.Texts.last(), "Finished: 0 updated, 1 already up-to-date, 3 failed");
    EXPECT_EQ(View.Messages.size(), 1) << "nothing updated, so the application is not started";
}

TEST_F(UpdateRunTest, AnUpdateTellsOfNamesTheTargetsCodePageLacks)
{
    ServeSite("/m.xml", "<poi><description>Moscow</description><url>/moscow.gpx</url></poi>");
    Server.Serve("/moscow.gpx", "<gpx><wpt lat='55.7' lon='37.6'><name>Москва</name></wpt></gpx>")
        .Headers = "Last-Modified: " + HttpDate(ServerTime) + "\r\nCache-Control: no-cache\r\n";
    Subscribe(Server.Url("/m.xml"), "Moscow", Target("moscow.ov2"));
    TUpdateRun run(AutoUpdateItems(), View, Question);
    run.Execute();
    EXPECT_EQ(View.Rows.value(1),
        "Moscow | Updated: 6 characters that the code page windows-1252 lacks were replaced by "
        "\"?\", in 1 entry: Москва");
}

// A tray run asks no one: a file of the user's own is left and its row says why. In a run the
// user started, the question is asked, Cancel stops the run and Yes to All asks no more; No to
// going on after a failure stops the run too.
TEST_F(UpdateRunTest, TrayRunsNeverAskAndCancelAnswersStop)
{
    Subscribe(A(), "Fuel", Target("fuel.gpx"));
    Subscribe(A(), "Parks", Target("parks.gpx"));
    Subscribe(A(), "Cams", Target("cams.gpx"));
    WriteFileBytes(Dir.filePath("parks.gpx"), "mine");
    Question.Answer = TOverwriteAnswer::Cancel;
    TUpdateRun tray(AutoUpdateItems(), View, Question, true);
    tray.Execute();
    EXPECT_TRUE(View.Questions.isEmpty());
    EXPECT_TRUE(Question.Questions.isEmpty());
    EXPECT_EQ(View.Rows.value(2), "Parks | " + Tr(Msg::NotOverwrittenUnattended));
    EXPECT_EQ(FileBytes(Dir.filePath("parks.gpx")), "mine");
    EXPECT_EQ(View.Texts.last(), "Finished: 1 updated, 1 failed, 1 skipped");

    View.Rows.clear();
    TUpdateRun attended(AutoUpdateItems(), View, Question);
    attended.Execute();
    EXPECT_EQ(Question.Questions.size(), 1);
    EXPECT_EQ(View.Rows.value(2), "Parks | Saving new version...: Cancelled");
    EXPECT_EQ(FileBytes(Dir.filePath("parks.gpx")), "mine");
    EXPECT_EQ(View.Texts.last(), "Cancelled: 0 updated, 1 failed, 2 skipped");

    WriteFileBytes(Dir.filePath("cams.gpx"), "mine");
    Question.Answer = TOverwriteAnswer::YesToAll;
    TUpdateRun yesToAll(AutoUpdateItems(), View, Question);
    yesToAll.Execute();
    EXPECT_EQ(Question.Questions.size(), 2) << "one answer holds for the rest of the run";
    EXPECT_EQ(View.Texts.last(), "Finished: 2 updated, 1 failed");

    View.Continue = false;
    View.Rows.clear();
    TUpdateRun stopped(AutoUpdateItems(), View, Question);
    stopped.Execute();
    EXPECT_TRUE(stopped.Cancelled());
    EXPECT_EQ(View.Rows.value(2), "Parks | Waiting to be processed...: Cancelled");
    EXPECT_EQ(View.Texts.last(), "Cancelled: 0 updated, 1 failed, 2 skipped");
}
