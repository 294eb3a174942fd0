#include "sites/uAutoUpdate.h"

#include <QFileInfo>

#include "core/uUtils.h"
#include "editor/uSysInfo.h"
#include "platform/uMessages.h"
#include "sitefixture.h"
#include "sites/uSite.h"
#include "sites/uSiteXmlUpdater.h"

namespace {

const QDateTime ServerTime(QDate(2007, 1, 31), QTime(23, 59, 59));

// The item "Cams" of the site on the server, whose POI file has the server's time.
class AutoUpdateTest : public SiteTest {
protected:
    AutoUpdateTest()
        : Item(Subscribe(SiteUrl(), "Cams", Target("cams.gpx")))
    {
        ServePoi("/cams.ov2", "Camera A", ServerTime);
    }

    QString SiteUrl() const { return Server.Url("/site.xml"); }

    // A POI "Cams" at "/cams.ov2" with the POI's further elements `extra`.
    static std::string CamsPoi(const std::string& extra)
    {
        return "<poi><description>Cams</description><url>/cams.ov2</url>" + extra + "</poi>";
    }

    // Brings `item` up to date against the index `body` of the site at `location`, without
    // asking.
    bool Update(const std::string& body, TUpdateItem& item, const QString& location = {})
    {
        TSite site(location.isEmpty() ? SiteUrl() : location);
        site.LoadFromXml(SiteXml(body));
        TAutoUpdate engine(Question);
        bool ask = true;
        return engine.Update(item, ask, {}, site.Document);
    }

    TUpdateItem& Item;
    TScriptedOverwrite Question;
};

} // namespace

TEST(SiteTexts, TimesAreReadByPositionAndAddressesMadeAbsoluteAndExpanded)
{
    EXPECT_EQ(ParseRemoteTime("20070131 235959"), ServerTime);
    EXPECT_EQ(ParseRemoteTime("20070131T235959"), ServerTime) << "the ninth character is not read";
    for (const QString bad : { "<html>busy</html>", "20071331 235959" })
        EXPECT_EQ(ErrorOf<EUserError>([&] { ParseRemoteTime(bad); }),
            Tr(Msg::InvalidRemoteTime).arg(bad));

    EXPECT_EQ(MakeAbsoluteUrl("/get.php?id=1", "http://poi.example:81/lists/site.xml"),
        "http://poi.example:81/get.php?id=1");
    EXPECT_EQ(MakeAbsoluteUrl("http://other/a.ov2", "poi.example/site.xml"), "http://other/a.ov2");
    // Relative to the index's own folder, so a moved site folder still finds its files.
    EXPECT_EQ(MakeAbsoluteUrl("europe.ov2", "FILE:///opt/m/sites/tz/index.xml"),
        "FILE:///opt/m/sites/tz/europe.ov2");
    EXPECT_EQ(MakeAbsoluteUrl("get.php?f=a/b", "http://poi.example/lists/site.xml?k=a/b"),
        "http://poi.example/lists/get.php?f=a/b");
    EXPECT_EQ(MakeAbsoluteUrl("", "http://poi.example/site.xml"), "") << "no address stays none";
    EXPECT_EQ(ErrorOf<EUserError>([] { MakeAbsoluteUrl("/a.ov2", "poi.example/site.xml"); }),
        "Invalid address poi.example/site.xml");
    // A site names only its own kind of location, and the web.
    const TSiteCredentials account { "bob", "pw" };
    const QString local = "FILE:///srv/site.xml";
    EXPECT_EQ(SiteRequestAddress("/a.ov2?u=%username%", local, account), "FILE:///a.ov2?u=bob");
    EXPECT_EQ(SiteRequestAddress("https://b/a.ov2", local, account), "https://b/a.ov2");
    EXPECT_EQ(ErrorOf<EUserError>([&] { SiteRequestAddress("file:/etc/passwd", local, account); }),
        Tr(Msg::LocalSiteAddress).arg("file:/etc/passwd"));
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        SiteRequestAddress("x://%password%@h/a?k=%password%", "http://s/i.xml", account);
    }),
        Tr(Msg::WebSiteAddress).arg("x://h/a"))
        << "shown without the account";

    EXPECT_EQ(
        ExpandUrl("u=%USERNAME%&p=%password%&v=%AppVer%&n=%AppName%&u2=%Username%", "j doe", "a&b"),
        "u=j%20doe&p=a%26b&v=" + ProgramVersionText() + "&n=Marivel&u2=j%20doe");
}

TEST_F(AutoUpdateTest, WritesANewVersionInTheItemsFormatStampedWithTheServersTime)
{
    Server.Serve("/lm", SiteTime(ServerTime));
    Server.Serve("/ok");

    EXPECT_TRUE(Update(CamsPoi("<lastmodified>/lm</lastmodified><onsuccess>/ok?d=%Description%"
                               "</onsuccess>"),
        Item));
    const std::string written = FileBytes(Dir.filePath("cams.gpx"));
    EXPECT_NE(written.find("<gpx"), std::string::npos) << "converted to the item's format";
    EXPECT_NE(written.find("Camera A"), std::string::npos);
    EXPECT_EQ(GetTargetTime(Item.Target), ServerTime);
    EXPECT_TRUE(Item.LastChecked.isValid());
    EXPECT_TRUE(Item.LastUpdated.isValid());
    EXPECT_TRUE(Server.Requests.last().startsWith("GET /ok?d=Cams "));
    EXPECT_TRUE(Question.Questions.isEmpty()) << "no target existed";

    TUpdateItems saved;
    saved.Load();
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_TRUE(saved.Items(0).LastUpdated.isValid()) << "the list is saved after the item";
}

TEST_F(AutoUpdateTest, TargetsWithinTenSecondsOfTheServersOrTheDownloadsTimeAreUpToDate)
{
    Server.Serve("/lm", SiteTime(ServerTime));
    const std::string index = CamsPoi("<lastmodified>/lm</lastmodified>");
    for (int offset : { -10, 10, -11, 11 }) {
        SCOPED_TRACE(offset);
        const bool due = std::abs(offset) > 10;
        WriteFileBytes(Dir.filePath("cams.gpx"), "mine");
        SetTargetTime(Item.Target, ServerTime.addSecs(offset));
        EXPECT_EQ(Update(index, Item), due);
        EXPECT_EQ(FileBytes(Dir.filePath("cams.gpx")) != "mine", due);
        EXPECT_EQ(Requested("/cams.ov2"), due) << "nothing is downloaded for a file up to date";
    }

    // Without a last-modified address the downloaded copy's time decides.
    std::remove(Dir.filePath("cams.gpx").toLocal8Bit().constData());
    EXPECT_TRUE(Update(CamsPoi(""), Item));
    EXPECT_EQ(GetTargetTime(Item.Target), ServerTime);
    EXPECT_FALSE(Update(CamsPoi(""), Item)) << "the cached copy is as old as the target";
    ServePoi("/cams.ov2", "Camera B", ServerTime.addSecs(11));
    EXPECT_TRUE(Update(CamsPoi(""), Item));
    EXPECT_NE(FileBytes(Dir.filePath("cams.gpx")).find("Camera B"), std::string::npos);
}

TEST_F(AutoUpdateTest, QueryErrorModeOneMakesAnAnswerASiteError)
{
    Server.Serve("/query", "Your subscription has ended\r\n");
    Server.Serve("/error");
    const std::string poi = CamsPoi("<query>/query?u=%username%</query>");
    const std::string onError =
        "<onerror>/error?m=%ErrorMsg%&c=%errorcode%&d=%DESCRIPTION%</onerror>";

    EXPECT_TRUE(Update("<queryerrormode>0</queryerrormode>" + poi, Item))
        << "mode 0 ignores the answer";

    const QString message = "Cannot download \"Cams\" because of the following error: \r\rThe "
                            "following error occurred: "
                            "Your subscription has ended while querying item.";
    std::remove(Dir.filePath("cams.gpx").toLocal8Bit().constData());
    EXPECT_EQ(ErrorOf<ESiteError>(
                  [&] { Update(onError + "<queryerrormode> 1 </queryerrormode>" + poi, Item); }),
        message)
        << "the site's own complaint comes without the connection hint";
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath("cams.gpx")));
    const QByteArray reported = Server.Requests.last();
    EXPECT_TRUE(reported.startsWith("GET /error?m=Cannot%20download%20%22Cams%22"))
        << reported.toStdString();
    EXPECT_TRUE(reported.contains("%0D%0DThe%20following%20error%20occurred"))
        << "the whole message, encoded";
    EXPECT_TRUE(reported.contains("&c=0&d=Cams HTTP/1.1"));
}

// An index from the web may name anything; none of it may make the program read a local file,
// send it to the site or copy it beside the target. The item fails, naming what was refused.
TEST_F(AutoUpdateTest, AnIndexOnTheWebReachesNoLocalFile)
{
    Settings().DownloadImages = true;
    Server.Serve("/error");
    const QString secret = Dir.filePath("secret.txt");
    WriteFileBytes(secret, "SECRET-TEXT");
    const struct {
        const char* Element;
        QString Address;
    } cases[] = { { "url", "file://" + secret }, { "query", "FILE://" + secret },
        { "lastmodified", "file:" + secret }, { "image", "File://" + secret },
        { "onsuccess", "file://" + secret }, { "onerror", "file://" + secret } };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.Element);
        const std::string element = each.Element, address = each.Address.toStdString();
        const std::string index =
            "<queryerrormode>1</queryerrormode><onerror>/error?m=%ErrorMsg%</onerror>"
            + (element == "url"
                    ? "<poi><description>Cams</description><url>" + address + "</url></poi>"
                    : CamsPoi("<" + element + ">" + address + "</" + element + ">"));
        EXPECT_EQ(ErrorOf<EUserError>([&] { Update(index, Item); }),
            Tr(Msg::WebSiteAddress).arg(each.Address));
        for (const QByteArray& request : std::as_const(Server.Requests))
            EXPECT_FALSE(request.contains("SECRET")) << request.toStdString();
        EXPECT_EQ(FilesIn(Dir.path()), QStringList { "secret.txt" });
    }
}

// A failed download or conversion keeps the previous target, counts as a check, is reported to
// the site and says what to do: a file the server does not have, or a local one that is gone,
// is no matter of connections or passwords.
TEST_F(AutoUpdateTest, DownloadFailuresKeepThePreviousTargetAndSayWhatToDo)
{
    Server.Serve("/error");
    Server.Serve("/cams.ov2").Status = 401;
    Server.Serve("/bad.ov2", "not an ov2 file").Headers =
        "Last-Modified: " + HttpDate(ServerTime) + "\r\n";
    const struct {
        QString Site;
        std::string Url;
        QString End;
    } cases[] = {
        { SiteUrl(), "/cams.ov2", " while downloading item.\r\r" + Tr(Msg::CheckCredentials) },
        { SiteUrl(), "/gone.ov2", " while downloading item.\r\r" + Tr(Msg::CheckAddress) },
        { "FILE://" + Dir.filePath("site.xml"), "gone.ov2", " while downloading item." },
        { SiteUrl(), "/bad.ov2", "" },
    };
    const std::string onError =
        "<onerror>" + Server.Url("/error").toStdString() + "?m=%ErrorMsg%</onerror>";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Url);
        const QString name = QString("previous%1.gpx").arg(&c - cases);
        WriteFileBytes(Dir.filePath(name), "previous");
        TUpdateItem& item = Subscribe(c.Site, "Cams", Target(name));
        const QString error = ErrorOf<EUserError>([&] {
            Update(onError + "<poi><description>Cams</description><url>" + c.Url + "</url></poi>",
                item, c.Site);
        });
        EXPECT_TRUE(
            error.startsWith("Cannot download \"Cams\" because of the following error: \r\r")
            && error.endsWith(c.End))
            << error.toStdString();
        EXPECT_TRUE(Server.Requests.last().startsWith("GET /error?m=Cannot%20download"));
        EXPECT_EQ(FileBytes(Dir.filePath(name)), "previous");
    }
    TUpdateItems saved;
    saved.Load();
    ASSERT_EQ(saved.Count(), int(std::size(cases)) + 1); // after the fixture's own item
    for (int i = 1; i < saved.Count(); ++i)
        EXPECT_TRUE(saved.Items(i).LastChecked.isValid()) << "the check counts, and is saved";
}

// A site index that fails says what went wrong and what to do (one the server lacks: the run's
// tests); one that lacks the item's address or the item fails as it is, without requests.
TEST_F(AutoUpdateTest, AnIndexThatFailsSaysWhatToDo)
{
    Server.Serve("/error");
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        Update("<onerror>/error</onerror><poi><description>Cams</description></poi>", Item);
    }),
        Tr(Msg::SiteInfoInvalid));
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        Update("<onerror>/error</onerror><poi><description>Gone</description><url>/g.ov2</url>"
               "</poi>",
            Item);
    }),
        Tr(Msg::PoiVanished).arg("Cams"));
    EXPECT_TRUE(Server.Requests.isEmpty()) << "nothing downloaded, nothing reported";

    Server.Serve("/page.html", "Welcome, this is no XML");
    const QString page = Server.Url("/page.html");
    const QString message = ErrorOf<EUserError>([&] { RefreshSiteXml(page, true, {}); });
    EXPECT_TRUE(message.startsWith(page + " is not a POI site index (Invalid xml")
        && message.endsWith("): check the site's address"))
        << message.toStdString();
    const QString gone = Dir.filePath("gone/index.xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] { RefreshSiteXml("FILE://" + gone, true, {}); }),
        Tr(Msg::LocalSiteGone).arg(gone));
}

TEST_F(AutoUpdateTest, TheOverwriteQuestionsAnswers)
{
    TSite site(SiteUrl());
    site.LoadFromXml(SiteXml(CamsPoi("")));
    auto run = [&](TOverwriteAnswer answer, bool& ask) {
        WriteFileBytes(Dir.filePath("cams.gpx"), "mine");
        Question.Answer = answer;
        TAutoUpdate engine(Question);
        const bool written = engine.Update(Item, ask, {}, site.Document);
        return std::pair(written, engine.Cancelled());
    };
    bool ask = true;
    EXPECT_EQ(run(TOverwriteAnswer::No, ask), std::pair(false, false));
    EXPECT_EQ(FileBytes(Dir.filePath("cams.gpx")), "mine");
    EXPECT_EQ(Question.Questions.value(0), Tr(Msg::ConfirmOverwrite).arg(Item.Target));
    // Cancel and Yes to All: the run's tests.
    EXPECT_EQ(run(TOverwriteAnswer::Yes, ask), std::pair(true, false));
    EXPECT_TRUE(ask);
    EXPECT_EQ(run(TOverwriteAnswer::YesToAllAlways, ask), std::pair(true, false));
    EXPECT_TRUE(Settings().AlwaysOverwrite);
    ask = true;
    const auto asked = Question.Questions.size();
    EXPECT_EQ(run(TOverwriteAnswer::No, ask), std::pair(true, false));
    EXPECT_EQ(Question.Questions.size(), asked) << "always overwrite asks no more";
}

TEST_F(AutoUpdateTest, AnImageNeverReplacesAnExistingBitmap)
{
    Settings().DownloadImages = true;
    Server.Serve("/cams.bmp", "BM site picture").Headers = "Cache-Control: no-cache\r\n";
    const std::string index = CamsPoi("<image>/cams.bmp</image>");
    EXPECT_TRUE(Update(index, Item));
    EXPECT_EQ(FileBytes(Dir.filePath("cams.bmp")), "BM site picture");

    WriteFileBytes(Dir.filePath("cams.bmp"), "BM my own picture");
    std::remove(Dir.filePath("cams.gpx").toLocal8Bit().constData());
    Server.Requests.clear();
    EXPECT_TRUE(Update(index, Item));
    EXPECT_EQ(FileBytes(Dir.filePath("cams.bmp")), "BM my own picture");
    EXPECT_FALSE(Requested("/cams.bmp"));

    std::remove(Dir.filePath("cams.bmp").toLocal8Bit().constData());
    std::remove(Dir.filePath("cams.gpx").toLocal8Bit().constData());
    Server.Serve("/cams.bmp").Status = 404;
    EXPECT_TRUE(ErrorOf<EUserError>([&] {
        Update(index, Item);
    }).startsWith("Cannot download \"Cams image\" because of the following error: "));
}

TEST(TargetTime, DeviceTargetsKeepItInAnEightByteSideFile)
{
    TTempDevice device;
    const QString target = "MOBILE://\\My Documents\\cams.ov2";
    const QString sideFile = device.Local("My Documents/cams.inf");
    EXPECT_FALSE(GetTargetTime(target).isValid()) << "no side file: time 0";
    EXPECT_EQ(ErrorOf<EUserError>([&] { SetTargetTime(target, ServerTime); }),
        Tr(Msg::CannotStoreTime).arg("\\My Documents\\cams.inf"));

    QDir().mkpath(device.Local("My Documents"));
    const QDateTime time(QDate(2024, 2, 29), QTime(13, 14, 15, 678));
    SetTargetTime(target, time);
    EXPECT_EQ(FileBytes(sideFile).size(), 8u);
    EXPECT_EQ(ReadTimeStampFile(sideFile), time);
    EXPECT_EQ(GetTargetTime(target), time);

    WriteFileBytes(sideFile, std::string("\1\2\3\4\5\6\7", 7));
    EXPECT_FALSE(GetTargetTime(target).isValid()) << "a short side file: time 0";

    EXPECT_FALSE(TargetExists(target));
    device.Put("My Documents/cams.ov2", "x");
    EXPECT_TRUE(TargetExists(target));
    EXPECT_EQ(ErrorOf<EUserError>([] { TargetExists("http://poi.example/a.ov2"); }),
        Tr(Msg::InvalidTarget));
}
