#include "sites/uUpdateItems.h"

#include "core/uUtils.h"
#include "platform/uRegistry.h"
#include "sitefixture.h"

namespace {

std::unique_ptr<TUpdateItem> Item(const QString& target,
    const QString& site = "http://a.example/i.xml", const QString& poi = "Cameras")
{
    auto item = std::make_unique<TUpdateItem>();
    item->Target = target;
    item->Site = site;
    item->Poi = poi;
    item->Country = "Netherlands";
    item->Format = "ttov2";
    return item;
}

void StoreLines(const QList<std::pair<QString, QString>>& values)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(AutoUpdateKey(), true));
    reg.WriteStrings(values);
}

// Every field of `item`, a null date as "never".
QString Fields(const TUpdateItem& item)
{
    const auto date = [](const QDateTime& time) {
        return time.isNull() ? QStringLiteral("never") : time.toString(Qt::ISODate);
    };
    return QStringList { item.Target, item.Site, item.Poi, item.Country, date(item.LastChecked),
        date(item.LastUpdated), item.Format }
        .join(" | ");
}

QStringList StoredNames()
{
    TRegistry reg;
    reg.OpenKeyReadOnly(AutoUpdateKey());
    QStringList names = reg.GetValueNames();
    names.sort();
    return names;
}

QString StoredLine(const QString& name)
{
    TRegistry reg;
    reg.OpenKeyReadOnly(AutoUpdateKey());
    return reg.TryReadString(name).value_or("<missing>");
}

} // namespace

TEST(TUpdateItems, SavesOneLinePerItemAndReadsEveryCharacterBack)
{
    TUpdateItems items;
    items.Add(Item("FILE:///poi/a=b.ov2", "http://a.example/i.xml?k=1|2", "Speed|cams"));
    items.Items(0).Country = "50% = half|";
    items.Items(0).LastChecked = QDateTime(QDate(2007, 1, 31), QTime(23, 59, 59));
    items.Add(Item("MOBILE://\\My Documents\\b.ov2", "http://b.example/i.xml", "Fuel"));
    items.Save();

    EXPECT_EQ(StoredLine("0"),
        "FILE:///poi/a%3Db.ov2=http://a.example/i.xml?k%3D1%7C2|Speed%7Ccams|50%25 %3D half%7C|"
        "31012007235959|30121899000000|ttov2")
        << "separators escaped; a null date is written as the zero date";
    TRegistry reg;
    reg.OpenKeyReadOnly(AutoUpdateKey());
    EXPECT_EQ(reg.TryReadInteger("version"), 301) << "the version that escapes fields";

    TUpdateItems loaded;
    loaded.Load();
    ASSERT_EQ(loaded.Count(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Fields(loaded.Items(i)), Fields(items.Items(i)));
}

TEST(TUpdateItems, ReadsOlderAndDamagedLines)
{
    StoreLines({ { "0", "FILE:///a.ov2=s|p|c|01022003040506|" },
        { "1", "FILE:///b.ov2=s|p|c|3101200723||asc|extra" },
        { "2", "FILE:///c.ov2=s|p|c|99999999999999|x" }, { "3", "FILE:///d.ov2" },
        { "4", "FILE:///e.ov2=http://s/?q=%7C|p|c|||f" } });
    TUpdateItems items;
    items.Load();

    const QStringList expected {
        // Five fields: written before items had a format; an empty date is never.
        "FILE:///a.ov2 | s | p | c | 2003-02-01T04:05:06 | never | ",
        "FILE:///b.ov2 | s | p | c | never | never | asc", // too short: no seconds
        "FILE:///c.ov2 | s | p | c | never | never | ", // no date at all counts as never
        "FILE:///d.ov2 |  |  |  | never | never | ",
        "FILE:///e.ov2 | http://s/?q=%7C | p | c | never | never | f", // before escaping
    };
    ASSERT_EQ(items.Count(), expected.size());
    for (int i = 0; i < items.Count(); ++i)
        EXPECT_EQ(Fields(items.Items(i)), expected[i]);
}

TEST(TUpdateItems, LoadingStopsAtTheFirstGapSkipsOtherTypesAndSavingDropsOnlyWhatFollows)
{
    TUpdateItems items;
    items.Load();
    EXPECT_EQ(items.Count(), 0) << "no key, no items";

    StoreLines({ { "0", "FILE:///a.ov2=s|p|c|||f" }, { "1", "FILE:///b.ov2=s|p|c|||f" },
        { "3", "FILE:///d.ov2=s|p|c|||f" } });
    items.Load();
    ASSERT_EQ(items.Count(), 2);
    items.Save();
    EXPECT_EQ(StoredNames(), QStringList({ "0", "1", "3", "version" }))
        << "deleting stops at the first missing number";

    items.Remove("FILE:///b.ov2");
    StoreLines({ { "2", "FILE:///c.ov2=s|p|c|||f" } });
    items.Save();
    EXPECT_EQ(StoredNames(), QStringList({ "0", "version" })) << "a shrunken list leaves nothing";

    // A value of another type is skipped, hides nothing and is replaced by the next save.
    StoreLines({ { "2", "FILE:///c.ov2=s|p|c|||f" } });
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(AutoUpdateKey(), true));
        reg.WriteInteger("1", 7);
    }
    items.Load();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Items(1).Target, "FILE:///c.ov2");
    items.Save();
    EXPECT_EQ(StoredLine("1").section('=', 0, 0), "FILE:///c.ov2");
}

TEST(TUpdateItems, FindsRemovesAndSortsItemsIgnoringCaseAndCopiesEveryField)
{
    TUpdateItems items;
    items.Add(Item("FILE:///poi/A.ov2", "http://a.example/i.xml"));
    items.Add(Item("FILE:///poi/b.ov2", "http://b.example/i.xml"));
    items.Add(Item("FILE:///poi/c.ov2", "HTTP://A.example/i.xml"));

    EXPECT_EQ(items.Find("file:///POI/a.OV2"), &items.Items(0));
    EXPECT_TRUE(items.Exists("FILE:///poi/B.ov2"));
    EXPECT_FALSE(items.Exists("FILE:///poi/z.ov2"));
    EXPECT_EQ(items.FindByPoi("HTTP://B.example/i.xml", "cameras"), &items.Items(1));
    EXPECT_EQ(items.FindByPoi("http://b.example/i.xml", "Fuel"), nullptr);
    EXPECT_TRUE(items.SiteHasItems("http://A.EXAMPLE/i.xml"));
    EXPECT_FALSE(items.SiteHasItems("http://c.example/i.xml"));

    EXPECT_EQ(ErrorOf<EUserError>([&] { items.Remove("FILE:///poi/z.ov2"); }),
        "AutoUpdate item for FILE:///poi/z.ov2 not found");
    items.Remove("file:///POI/B.OV2");
    EXPECT_EQ(items.Count(), 2);

    items.Add(Item("FILE:///poi/d.ov2", "http://d.example/i.xml"));
    items.Save();
    items.RemoveSite("http://a.example/i.xml");
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Items(0).Target, "FILE:///poi/d.ov2");
    EXPECT_EQ(StoredNames(), QStringList({ "0", "version" })) << "removing a site stores it";

    items.Add(Item("FILE:///1.ov2", "http://b.example/i.xml"));
    items.Add(Item("FILE:///2.ov2", "http://A.example/i.xml"));
    items.Add(Item("FILE:///3.ov2", "http://B.example/i.xml"));
    items.Add(Item("FILE:///4.ov2", "http://a.example/i.xml"));
    items.Items(1).LastUpdated = QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9));
    items.SortBySite();
    EXPECT_EQ(Targets(items),
        QStringList({ "FILE:///2.ov2", "FILE:///4.ov2", "FILE:///1.ov2", "FILE:///3.ov2",
            "FILE:///poi/d.ov2" }))
        << "sites ignore case; items of a site keep their order";

    TUpdateItems copy;
    copy.Add(Item("FILE:///old.ov2"));
    items.CopyTo(copy);
    ASSERT_EQ(copy.Count(), 5);
    EXPECT_NE(&copy.Items(2), &items.Items(2));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Fields(copy.Items(i)), Fields(items.Items(i)));
}

TEST(SiteCredentials, RoundTripThroughTheScrambledStore)
{
    const QString site = "http://a.example\\sites\\i.xml";
    EXPECT_EQ(ReadSiteCredentials(site).Username, "");
    EXPECT_EQ(ReadSiteCredentials(site).Password, "");

    WriteSiteCredentials(site, { "bob", "s3cr\u00e9t" });
    EXPECT_EQ(ReadSiteCredentials(site).Username, "bob");
    EXPECT_EQ(ReadSiteCredentials(site).Password, "s3cr\u00e9t");
    EXPECT_NE(ReadAutoUpdateValue(site, "Password.v2"), "s3cr\u00e9t") << "never in plain text";
    EXPECT_TRUE(TRegistry().KeyExists(AutoUpdateKey() + "\\http://a.example/sites/i.xml"))
        << "backslashes of the location become slashes in the key name";

    WriteAutoUpdateValue(site, "Password", "old scrambled bytes");
    WriteSiteCredentials(site, { "bob", "" });
    EXPECT_EQ(ReadSiteCredentials(site).Password, "")
        << "an emptied password does not bring back one stored the old way";
}
