#include "platform/uRegistry.h"

#include <climits>

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "testing.h"

namespace {

// A fresh folder holding a copy of the current user's file: a TRegistry opened there has to
// parse it anew instead of sharing the writer's copy in memory.
class TReloaded {
public:
    TReloaded()
        : Source(TRegistry::FileName(TRegRoot::CurrentUser))
    {
        QFile::copy(Source, TRegistry::FileName(TRegRoot::CurrentUser));
    }

private:
    QString Source;
    TTempConfig Config;
};

// Sets the process's file-creation mask for as long as it lives.
class TUmask {
public:
    explicit TUmask(mode_t mask)
        : Previous(::umask(mask))
    {
    }
    ~TUmask() { ::umask(Previous); }
    TUmask(const TUmask&) = delete;
    TUmask& operator=(const TUmask&) = delete;

private:
    mode_t Previous;
};

mode_t ModeOf(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// More than ten, whose value names do not sort as numbers.
const QStringList OddStrings = { "", "a,b;c", "\"quoted\" = 100%", "  blanks  ", "C:\\dir\\file",
    "http://x/y?z=%41", "Grüße € \t tab\nline", "@at", "\\x41", "ten", "eleven", "twelve" };

} // namespace

// Key and value names may hold slashes, backslashes and percent signs.
TEST(TRegistry, TypedValuesAndOddNamesSurviveTheFile)
{
    const QString site = "http://x.example/a%2Fb c";
    const QString value = "a\\b/c%25";
    {
        TRegistry reg;
        reg.OpenKey("\\Software\\Orvik Software\\Marivel", true);
        reg.WriteBool("On", true);
        reg.WriteInteger("Min", INT_MIN);
        reg.WriteDate("Date", -45123.758);
        WriteRegStrings(reg, OddStrings);
        reg.OpenKey("\\Sites\\" + site, true);
        reg.WriteString(value, "v");
    }
    TReloaded reloaded;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Orvik Software\\Marivel"));
    EXPECT_TRUE(reg.ReadBool("On"));
    EXPECT_EQ(reg.ReadInteger("Min"), INT_MIN);
    EXPECT_EQ(reg.TryReadDate("Date"), -45123.758);
    QStringList read;
    ReadRegStrings(reg, read, false);
    EXPECT_EQ(read, OddStrings);
    reg.OpenKey("\\Sites", false);
    EXPECT_EQ(reg.GetKeyNames(), QStringList { site });
    ASSERT_TRUE(reg.OpenKey(site.toUpper(), false));
    EXPECT_EQ(reg.GetValueNames(), QStringList { value });
    EXPECT_EQ(reg.ReadString(value), "v");
}

TEST(TRegistry, HandEditedValuesOfAnotherTypeReadAsNothing)
{
    {
        QSettings file(TRegistry::FileName(TRegRoot::CurrentUser), QSettings::IniFormat);
        file.setValue("K/Text", "sz:abc");
        file.setValue("K/Number", "dword:abc");
        file.setValue("K/Huge", "dword:99999999999");
        file.setValue("K/Bare", "17");
        file.setValue("K/List", QStringList { "sz:a", "b" });
        file.setValue("K/Date", "hex:00zz");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\K"));
    EXPECT_EQ(reg.TryReadInteger("Text"), std::nullopt);
    EXPECT_EQ(reg.TryReadBool("Number"), std::nullopt);
    EXPECT_EQ(reg.TryReadInteger("Huge"), std::nullopt);
    EXPECT_EQ(reg.TryReadString("Bare"), std::nullopt);
    EXPECT_EQ(reg.TryReadString("List"), std::nullopt);
    EXPECT_EQ(reg.TryReadDate("Date"), std::nullopt);
    EXPECT_EQ(reg.TryReadString("Missing"), std::nullopt);
    EXPECT_EQ(reg.TryReadString("TEXT"), "abc");
    EXPECT_EQ(reg.StringValues(), (QHash<QString, QString> { { "text", "abc" } }))
        << "only string values, by case-folded name";
}

// QSettings removes a name together with everything below it; a key and a value may share a name.
TEST(TRegistry, DeletingSparesSameNamedNeighbours)
{
    {
        TRegistry reg;
        reg.OpenKey("\\A", true);
        reg.OpenKey("B\\C", true); // relative to the open key
        reg.OpenKey("\\A\\V", true);
        reg.OpenKey("\\a", false);
        reg.WriteInteger("B", 1);
        reg.WriteInteger("b", 2); // the same value, which keeps its first spelling
        reg.WriteInteger("V", 3);
        EXPECT_TRUE(reg.DeleteKey("\\a\\b"));
        EXPECT_FALSE(reg.DeleteKey("B"));
        EXPECT_TRUE(reg.DeleteValue("v"));
        EXPECT_FALSE(reg.DeleteValue("V"));
        EXPECT_EQ(reg.GetKeyNames(), QStringList { "V" });
        EXPECT_EQ(reg.GetValueNames(), QStringList { "B" });
        EXPECT_FALSE(reg.DeleteKey("\\"));
        EXPECT_TRUE(reg.DeleteKey("V") && reg.DeleteValue("B"));
    } // written out, so the copy below holds it all
    TReloaded reloaded;
    EXPECT_TRUE(TRegistry().KeyExists("\\A")) << "a key emptied of all survives";
}

TEST(TRegistry, WritesNeedAWritableKeyAndAName)
{
    TRegistry reg;
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("Name", "x"); }), "Failed to set data for 'Name'");
    reg.OpenKey("\\K", true);
    reg.WriteInteger("Kept", 1);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\k"));
    EXPECT_THROW(reg.WriteInteger("Kept", 2), Exception);
    EXPECT_EQ(reg.ReadInteger("Kept"), 1);
}

// The roots are files of their own, in a folder made on demand. The file holds the proxy
// password: it and the folder made for it are the owner's alone.
TEST(TRegistry, RootsAreFilesOfTheOwnersAloneInAFolderMadeOnDemand)
{
    TTempConfig config;
    const QString folder = config.Path() + "/not/yet";
    qputenv("MARIVEL_CONFIG_DIR", folder.toLocal8Bit());
    const QString file = TRegistry::FileName(TRegRoot::CurrentUser);
    TUmask umask(022);
    const auto rewrite = [](const QString& password) {
        TRegistry reg;
        reg.OpenKey("\\User", true);
        reg.WriteString("ProxyPassword", password);
    };
    rewrite("secret");
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(file), 0600u);
    TRegistry machine(TRegRoot::LocalMachine);
    EXPECT_FALSE(machine.KeyExists("\\User"));
    machine.OpenKey("\\Machine", true);

    rewrite("other");
    EXPECT_EQ(ModeOf(file), 0600u) << "after QSettings replaced the file";
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    rewrite("third");
    EXPECT_EQ(ModeOf(file), 0600u) << "a file others could read is closed at the next write";
    TReloaded reloaded;
    EXPECT_TRUE(TRegistry().KeyExists("\\User"));
}
