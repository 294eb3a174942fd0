#include "sites/uVersionCheck.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "sitefixture.h"
#include "sites/fRetrieveVersionInfo.h"

namespace {

std::string VersionXml(const std::string& current)
{
    return "<?xml version=\"1.0\"?><marivel><Current>" + current + "</Current></marivel>";
}

QString Text(const TProgramVersion& v)
{
    return QStringLiteral("%1.%2.%3.%4").arg(v.Major).arg(v.Minor).arg(v.Release).arg(v.Build);
}

QString LabelOf(const QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("laStatus"))->text();
}

class VersionCheckTest : public ::testing::Test {
protected:
    VersionCheckTest()
    {
        Settings().VersionUrl = Server.Url(QStringLiteral("/version.xml"));
        Settings().DownloadUrl = QStringLiteral("http://www.download.example/get/");
    }

    // Shows the window until its check has ended.
    void RunWindow(TfmRetrieveVersionInfo& window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return LabelOf(window) != Tr(Msg::RetrievingVersion) || !Prompt.Asked.empty();
        }));
    }

    THttpTestServer Server;
    TScriptedPrompt Prompt;
};

const TProgramVersion Running { 2, 1, 0, 10 };

} // namespace

TEST(VersionCheck, ParsesTheOnlineVersionComparesItAndIsDueWeekly)
{
    EXPECT_EQ(Text(ParseOnlineVersion(VersionXml("2.1.0.10"))), "2.1.0.10");
    EXPECT_EQ(Text(ParseOnlineVersion(VersionXml(" 3.2 "))), "3.2.0.0");

    EXPECT_EQ(
        ErrorOf<EUserError>([] { ParseOnlineVersion("<html><body>404 Not Found</body></html>"); }),
        Tr(Msg::NoOnlineVersion));
    EXPECT_EQ(ErrorOf<EUserError>([] { ParseOnlineVersion("<?xml version=\"1.0\"?><a><b></a>"); }),
        Tr(Msg::InvalidXmlNoRoot) + "\r\r<?xml version=\"1.0\"?><a><b></a>");
    EXPECT_EQ(ErrorOf<EUserError>([] {
        ParseOnlineVersion("<?xml version=\"1.0\"?><marivel><Latest>2.1</Latest></marivel>");
    }),
        Tr(Msg::OnlineVersionInvalid));
    for (const char* bad : { "2.1.x.0", "2.1.0.0.1", "", "2.-1" })
        EXPECT_EQ(ErrorOf<EUserError>([&] { ParseOnlineVersion(VersionXml(bad)); }),
            Tr(Msg::OnlineVersionInvalid))
            << bad;

    // Parts compare as numbers, from the major one down.
    EXPECT_TRUE(IsNewerVersion({ 2, 1, 0, 10 }, { 2, 1, 0, 9 }));
    EXPECT_FALSE(IsNewerVersion({ 2, 1, 0, 9 }, { 2, 1, 0, 10 }));
    EXPECT_FALSE(IsNewerVersion({ 2, 1, 0, 9 }, { 2, 1, 0, 9 }));
    EXPECT_TRUE(IsNewerVersion({ 3, 0, 0, 0 }, { 2, 9, 9, 99 }));
    EXPECT_FALSE(IsNewerVersion({ 2, 0, 9, 99 }, { 2, 1, 0, 0 }));

    const QDate today(2026, 12, 6);
    EXPECT_TRUE(WeeklyCheckDue(std::nullopt, today));
    EXPECT_FALSE(WeeklyCheckDue(today, today));
    EXPECT_FALSE(WeeklyCheckDue(today.addDays(-7), today));
    EXPECT_TRUE(WeeklyCheckDue(today.addDays(-8), today));
    EXPECT_FALSE(WeeklyCheckDue(today.addDays(3), today)) << "a clock set back waits too";
}

TEST_F(VersionCheckTest, WindowTellsTheLatestOffersTheDownloadOrShowsTheErrorInRed)
{
    Server.Serve("/version.xml", QByteArray::fromStdString(VersionXml("2.1.0.9")));
    {
        TfmRetrieveVersionInfo window(Prompt, nullptr, Running);
        RunWindow(window);
        EXPECT_EQ(LabelOf(window), "You have the latest version of Marivel.");
        EXPECT_TRUE(Prompt.Asked.empty());
    }
    Server.Serve("/version.xml", QByteArray::fromStdString(VersionXml("2.1.0.11")));
    Prompt.Answers = { IUserPrompt::TAnswer::No };
    TfmRetrieveVersionInfo window(Prompt, nullptr, Running);
    RunWindow(window);
    EXPECT_EQ(Prompt.Asked,
        QStringList { "There is a new version of Marivel available for download. Do you wish to "
                      "go to the download page on www.download.example?" });
    EXPECT_TRUE(Prompt.Shown.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isHidden(); })) << "closes once answered";

    Prompt.Asked.clear(); // which ends the wait for a window
    Server.Serve("/version.xml", "<html>Service unavailable</html>");
    TfmRetrieveVersionInfo failed(Prompt, nullptr, Running);
    RunWindow(failed);
    EXPECT_EQ(LabelOf(failed), Tr(Msg::VersionCheckError));
    EXPECT_TRUE(failed.findChild<QLabel*>("laStatus")->styleSheet().contains("red"));
    EXPECT_EQ(Prompt.Shown, QStringList { Tr(Msg::NoOnlineVersion) });

    // A download that fails takes the same way as an answer that is no version document.
    Settings().VersionUrl.clear();
    TfmRetrieveVersionInfo unset(Prompt, nullptr, Running);
    RunWindow(unset);
    EXPECT_TRUE(Prompt.Shown.value(1).startsWith(Tr(Msg::NoVersionUrl)));
}

TEST_F(VersionCheckTest, WeeklyCheckAsksOnlyWhenDueAndRemembersTheDay)
{
    Server.Serve("/version.xml", QByteArray::fromStdString(VersionXml("0.0.0.1")));
    // Closes the check's window once it has answered.
    TModalAnswers closer(nullptr, [](QWidget* window) {
        if (LabelOf(*window) != Tr(Msg::RetrievingVersion))
            window->findChild<QPushButton*>(QStringLiteral("buClose"))->click();
        return false;
    });

    Settings().CheckEveryWeek = false;
    CheckForNewVersionWeekly(Prompt, nullptr);
    EXPECT_TRUE(Server.Requests.empty()) << "\"Check every week\" is off";

    Settings().CheckEveryWeek = true;
    const QString url = Settings().VersionUrl;
    Settings().VersionUrl.clear();
    CheckForNewVersionWeekly(Prompt, nullptr);
    EXPECT_FALSE(LastVersionCheck()) << "no version address: nothing to check yet";
    Settings().VersionUrl = url;

    StoreLastVersionCheck(QDate::currentDate());
    CheckForNewVersionWeekly(Prompt, nullptr);
    EXPECT_TRUE(Server.Requests.empty()) << "checked today";

    StoreLastVersionCheck(QDate(2007, 1, 31));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey));
    EXPECT_DOUBLE_EQ(reg.ReadDate(QStringLiteral("LastVersionCheck")), 39113.0);
    CheckForNewVersionWeekly(Prompt, nullptr);
    EXPECT_EQ(Server.Requests.size(), 1);
    EXPECT_EQ(LastVersionCheck(), QDate::currentDate());
}
