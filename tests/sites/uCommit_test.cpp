#include "sites/uCommit.h"

#include <QLocale>

#include "platform/uMessages.h"
#include "sitefixture.h"

namespace {

class CommitTest : public SiteTest {
protected:
    CommitTest()
        : Site(Server.Url(QStringLiteral("/index.xml")))
    {
        Site.LoadFromXml(TestData("sites/commit.xml"));
    }

    QByteArray LastRequestTarget() const { return Server.Requests.last().split(' ').value(1); }

    TSite Site;
    TCommitEntry Entry { QStringLiteral("Caf\u00e9 & bar"), 4.5, 52.5, QStringLiteral("Fixed") };
};

} // namespace

TEST_F(CommitTest, OffersVisibleSitesWhoseIndexMentionsAddUrlAndTheirGroupsAndFilesTakingCommits)
{
    const QString takes = LocalSite("takes.xml", "<addurl>http://x/</addurl>");
    const QString inComment = LocalSite("comment.xml", "<!-- <addurl> is coming -->");
    const QString refuses = LocalSite("refuses.xml", "<infourl>http://x/</infourl>");
    const QString missing = Target("missing.xml");
    const QString hidden = LocalSite("hidden.xml", "<addurl>http://x/</addurl>");

    EXPECT_EQ(CommitSites({ takes, inComment, refuses, missing, hidden }, { hidden.toUpper() }),
        QStringList({ takes, inComment }));
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        CommitSites({ refuses, missing, hidden }, { hidden });
    }),
        Tr(Msg::NoCommitSites));

    const TCountry& holland = *Site.Countries.front();
    EXPECT_EQ(CommitGroupCaptions(Site, holland), QStringList({ "Speed cameras", "lights" }))
        << "a group the site does not describe shows its name";

    const TPoiList speed = CommitPois(holland, QStringLiteral("Speed"));
    ASSERT_EQ(speed.size(), 1u);
    EXPECT_EQ(speed.front()->Description, "Fixed");
    EXPECT_TRUE(CommitPois(holland, QStringLiteral("mobile")).empty())
        << "a file marked nocommit never appears, though its group does elsewhere";
}

// An empty answer is success; an answer or an error fails, is reported to the site and ends in
// the hint. No answer in time is a download error like any other (the download's tests).
TEST_F(CommitTest, OnlyAnEmptyAnswerIsSuccess)
{
    // Every placeholder filled, numbers with dots whatever the locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WriteSiteCredentials(Site.Location(), { QStringLiteral("bob smith"), QString() });
    Server.Serve("/add.php", "  \r\n");
    CommitToSite(Site, Entry);
    ASSERT_EQ(Server.Requests.size(), 1);
    EXPECT_EQ(LastRequestTarget(),
        "/add.php?u=bob%20smith&poi=Fixed&lon=4.5&lat=52.5&d=Caf%C3%A9%20%26%20bar");
    const TCommitEntry far { QString(), 151, -33.123456789012345, QString() };
    EXPECT_TRUE(CommitAddress(Site, far, {}).contains("lon=151&lat=-33.1234567890123"));

    Server.Serve("/err.php");
    const QString hint = QStringLiteral("\r\r") + Tr(Msg::CheckCredentials);

    Server.Serve("/add.php", "Description too short");
    EXPECT_EQ(ErrorOf<EUserError>([&] { CommitToSite(Site, Entry); }),
        Tr(Msg::CannotCommit).arg(Site.Location(), "Description too short") + hint);
    EXPECT_TRUE(LastRequestTarget().startsWith("/err.php?m=Cannot%20commit"));
    EXPECT_TRUE(LastRequestTarget().endsWith("&d=Fixed"));

    Server.Serve("/add.php", "oops").Status = 500;
    const QString failed = ErrorOf<EUserError>([&] { CommitToSite(Site, Entry); });
    EXPECT_TRUE(failed.startsWith(
        Tr(Msg::CannotCommit).arg(Site.Location(), "Unable to download").chopped(1)))
        << failed.toStdString();
    EXPECT_TRUE(failed.endsWith(hint));
}
