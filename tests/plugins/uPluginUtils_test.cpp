#include "plugins/uPluginUtils.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/uSettings.h"
#include "httpserver.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// Loads `files` into a fresh list; whether all loaded, the names of those that did and why
// libraries were refused.
struct TLoaded {
    bool All;
    QStringList Names;
    QStringList Refused;
};
TLoaded LoadAll(const QStringList& files)
{
    TCallBackCounter callBack;
    TPluginList plugins;
    TLoaded loaded { plugins.Load(files, callBack), {}, plugins.Refused() };
    for (int i = 0; i < plugins.Count(); ++i)
        loaded.Names.append(plugins[i].Name());
    return loaded;
}

TEST(TPluginListLoad, LeavesOutEachKindOfBrokenLibraryAndGoesOn)
{
    QTemporaryDir dir;
    WriteFileBytes(dir.filePath(QStringLiteral("text.so")), "not a library");
    // What no library loader takes, what is no plugin of ours, and what fails as it connects.
    QStringList broken { dir.filePath(QStringLiteral("text.so")),
        dir.filePath(QStringLiteral("gone.so")) };
    for (const char* fault : { "no_interface", "callback_fails", "missing_symbol" })
        broken.append(FaultyPlugin(fault));
    for (const QString& file : broken) {
        SCOPED_TRACE(file.toStdString());
        const TLoaded loaded = LoadAll({ file, ExamplePlugin() });
        EXPECT_FALSE(loaded.All);
        EXPECT_EQ(loaded.Names, QStringList { QStringLiteral("Example") });
        EXPECT_TRUE(loaded.Refused.isEmpty()) << "only an untrusted library is named";
    }
}

TEST(TPluginListLoad, LooksAtNoMoreThan127Libraries)
{
    QTemporaryDir dir;
    for (int i = 0; i < TPluginList::MaxPlugins; ++i)
        QFile::link(ExamplePlugin(),
            dir.filePath(QStringLiteral("p%1.so").arg(i, 3, 10, QLatin1Char('0'))));
    // The 128th, by name, would fail.
    QFile::link(FaultyPlugin("no_interface"), dir.filePath(QStringLiteral("z.so")));
    const TLoaded loaded = LoadAll(PluginFiles({ dir.path() }));
    EXPECT_TRUE(loaded.All);
    EXPECT_EQ(loaded.Names.size(), TPluginList::MaxPlugins);
}

// Code that others could have placed or changed is not run: a library in a folder others can
// write to, or one they can write to itself, is refused with the reason, and so is one that
// belongs to neither the user nor root.
TEST(TPluginListLoad, RefusesALibraryOthersCouldHaveChanged)
{
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("example.so"));
    ASSERT_TRUE(QFile::copy(ExamplePlugin(), library));
    const QString writable = QStringLiteral("The plugin %1 was not loaded: others can write to %2");
    const struct {
        mode_t Folder, Library;
        uid_t Owner;
        QString Refusal;
    } cases[] = {
        { 0775, 0755, geteuid(), writable.arg(library, dir.path()) },
        { 0757, 0755, geteuid(), writable.arg(library, dir.path()) },
        { 0755, 0664, geteuid(), writable.arg(library, library) },
        // Last: only root can give a file away.
        { 0755, 0755, 65534,
            QStringLiteral("The plugin %1 was not loaded: it belongs to neither you nor root")
                .arg(library) },
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.Refusal.toStdString());
        if (row.Owner != geteuid() && geteuid() != 0)
            GTEST_SKIP() << "only root can give a library to another user";
        chmod(QFile::encodeName(dir.path()), row.Folder);
        chmod(QFile::encodeName(library), row.Library);
        ASSERT_EQ(chown(QFile::encodeName(library), row.Owner, gid_t(-1)), 0);
        const TLoaded loaded = LoadAll({ library });
        EXPECT_FALSE(loaded.All);
        EXPECT_TRUE(loaded.Names.isEmpty());
        EXPECT_EQ(loaded.Refused, QStringList { row.Refusal });
    }
}

// The folders: the program's home first, the user's data folder only where it is another.
TEST(TPluginListLoad, FindsLibrariesFolderByFolderByNameEachNameOnce)
{
    QTemporaryDir first, second;
    for (const char* name : { "b.so", "a.so", "notes.txt" })
        WriteFileBytes(first.filePath(QLatin1String(name)), "x");
    for (const char* name : { "a.so", "c.so" })
        WriteFileBytes(second.filePath(QLatin1String(name)), "x");
    EXPECT_EQ(PluginFiles({ first.path(), second.path(), first.path() + "/missing" }),
        QStringList({ first.filePath("a.so"), first.filePath("b.so"), second.filePath("c.so") }));

    TEnvironment home("MARIVEL_HOME", QDir::homePath() + "/.local/share/marivel");
    TEnvironment data("XDG_DATA_HOME", QDir::homePath() + "/.local/share");
    const QStringList folders = PluginFolders();
    EXPECT_EQ(folders.first(), QDir::homePath() + "/.local/share/marivel/plugins");
    EXPECT_EQ(folders.count(QDir::homePath() + "/.local/share/marivel/plugins"), 1);
    EXPECT_EQ(folders.size(), 2);
}

TEST(TReplyLimit, AnAnswerThatTricklesOnFailsByItsDeadline)
{
    THttpTestServer server;
    THttpTestServer::TResponse& trickle = server.Serve("/slow", QByteArray(1000, 'x'));
    trickle.Mode = THttpTestServer::TResponse::TMode::Slow;
    trickle.ChunkSize = 10;
    trickle.Interval = 20;
    QNetworkAccessManager network;
    const std::unique_ptr<QNetworkReply> reply(
        network.get(QNetworkRequest(QUrl(server.Url("/slow")))));
    const auto* limit = new TReplyLimit(*reply, std::chrono::milliseconds(200));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 1000));
    EXPECT_EQ(limit->Failure(), QStringLiteral("timed out after 0.2 s"));
    EXPECT_EQ(reply->error(), QNetworkReply::OperationCanceledError);
}

// What a plugin's failure becomes: the user's error, never a crash.
TEST(TPluginCalls, AFailingPluginFailsTheCallNamingItself)
{
    const struct {
        const char* Fault;
        QString Error;
    } cases[] = {
        { "calls_throw", QStringLiteral("The plugin Faulty failed: plugin exploded\\x1b[2J") },
        { "calls_fail", QStringLiteral("The plugin Faulty failed without saying why") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fault);
        TCallBackCounter callBack;
        TPluginList plugins;
        ASSERT_TRUE(plugins.Load({ FaultyPlugin(c.Fault) }, callBack));
        TPlugin& plugin = plugins[0];
        EXPECT_EQ(ErrorOf<EUserError>([&] { plugin.ShowLocation(1, 2, "x"); }), c.Error);
        EXPECT_EQ(ErrorOf<EUserError>([&] { plugin.AddLocation(1, 2, "x", true); }), c.Error);
        EXPECT_EQ(ErrorOf<EUserError>([&] { plugin.ShowSettings(nullptr); }), c.Error);
        EXPECT_FALSE(plugin.CanAdd());
    }
}

} // namespace
