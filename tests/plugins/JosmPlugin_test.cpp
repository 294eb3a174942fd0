#include <QInputDialog>
#include <QTest>

#include <gtest/gtest.h>

#include "httpserver.h"
#include "modal.h"
#include "platform/uRegistry.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The JOSM plugin, loaded from its library, talking to a server on the loopback that answers
// as JOSM's remote control does.
class TJosmPluginTest : public ::testing::Test {
protected:
    using TMode = THttpTestServer::TResponse::TMode;

    TJosmPluginTest()
    {
        for (const char* command :
            { "/version", "/load_and_zoom", "/add_node", "/load_data", "/zoom" })
            Josm.Serve(command, "OK\r\n");
        {
            TRegistry reg;
            reg.OpenKey(PluginSettingsKey("JOSM"), true);
            reg.WriteInteger("Port", Josm.Port());
        }
        EXPECT_TRUE(Plugins.Load({ ShippedPlugin("josm") }, CallBack));
    }
    // The request lines JOSM received, the polls left out.
    QStringList Commands() const
    {
        QStringList commands;
        for (const QByteArray& head : Josm.Requests) {
            const QByteArray line = head.left(head.indexOf("\r\n"));
            if (!line.contains("/version"))
                commands.append(QString::fromLatin1(line.split(' ').value(1)));
        }
        return commands;
    }
    TPlugin& Plugin() { return Plugins[0]; }
    // QTest's own QTRY macros report to QTest, which a GoogleTest run does not read.
    void WaitUntilAnswering()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Plugin().CanAdd(); }, 10000));
    }
    // An answer that never ends, a kilobyte at a time.
    void ServeEndless(const QByteArray& path)
    {
        THttpTestServer::TResponse& answer = Josm.Serve(path, QByteArray(1024, 'x'));
        answer.Mode = TMode::Unbounded;
        answer.Interval = 1;
        answer.Repeat = 1000;
    }

    THttpTestServer Josm;
    TCallBackCounter CallBack;
    TPluginList Plugins;
    TFakeWindows Windows;
};

TEST_F(TJosmPluginTest, ShowZoomsToTheEntryAndAddPutsNamedNodesOnANewLayer)
{
    EXPECT_EQ(Plugin().Name(), QStringLiteral("JOSM"));
    Plugin().ShowLocation(4.9, 52.37, QStringLiteral("Dam"));
    AddTo(Plugin(),
        { { 4.9, 52.37, QStringLiteral("Dam & Paleis") },
            { -1.5, -2.25, QStringLiteral("Café|highway=motorway") }, // one tag only
            { 0, 0, QString() } },
        Windows);
    EXPECT_EQ(Commands(),
        QStringList({ "/load_and_zoom?left=4.8980000&right=4.9020000&top=52.3720000"
                      "&bottom=52.3680000",
            "/load_data?new_layer=true&layer_name=Marivel&data=%3Cosm%20version%3D%220.6%22/%3E",
            "/zoom?left=4.8980000&right=4.9020000&top=52.3720000&bottom=52.3680000",
            "/add_node?lat=52.3700000&lon=4.9000000&addtags=name%3DDam%20%26%20Paleis",
            "/add_node?lat=-2.2500000&lon=-1.5000000&addtags=name%3DCaf%C3%A9/highway%3Dmotorway",
            "/add_node?lat=0.0000000&lon=0.0000000" }));
}

// The plugin can add while JOSM answers. A failed request tells the program at once: whatever
// listens on JOSM's port, an answer larger than any of JOSM's is cut off as it arrives, or as
// soon as its length is announced. The error names the port.
TEST_F(TJosmPluginTest, WithoutJosmOrWithAnOversizedAnswerARequestFailsNamingThePort)
{
    const QString expected =
        QStringLiteral("JOSM does not answer on port %1 (the answer is larger than 64 KiB). "
                       "Start JOSM and switch on \"Enable remote control\" "
                       "in its preferences, under Remote Control")
            .arg(Josm.Port());
    WaitUntilAnswering();
    EXPECT_EQ(CallBack.Closed, 0);
    ServeEndless("/load_and_zoom");
    EXPECT_EQ(ErrorOf<EUserError>([&] { Plugin().ShowLocation(1, 2, "x"); }), expected);
    EXPECT_EQ(CallBack.Closed, 1);
    EXPECT_FALSE(Plugin().CanAdd());
    Josm.Serve("/load_and_zoom", QByteArray(100 * 1024, 'x')).Mode = TMode::HeadOnly;
    EXPECT_EQ(ErrorOf<EUserError>([&] { Plugin().ShowLocation(1, 2, "x"); }), expected);

    Josm.Stop();
    const QString error = ErrorOf<EUserError>([&] { Plugin().ShowLocation(1, 2, "x"); });
    EXPECT_TRUE(error.startsWith(expected.left(expected.indexOf('(') + 1))) << error.toStdString();
}

// A poll that fails, here on an endless answer, tells the program too. A test of its own: after
// the failed requests above, it would first wait for a poll that JOSM answers again.
TEST_F(TJosmPluginTest, AFailedPollTellsTheProgram)
{
    WaitUntilAnswering();
    ServeEndless("/version");
    EXPECT_TRUE(QTest::qWaitFor([&] { return CallBack.Closed == 1; }, 5000));
}

// A refusal says which permission to grant; JOSM explains other errors in a small page whose
// explanation is what the user reads. A node after the first is not offered again.
TEST_F(TJosmPluginTest, ARefusalOrErrorSaysWhatJosmSaid)
{
    const struct {
        int Status;
        QByteArray Body;
        QString Error;
    } cases[] = {
        { 403, "Adding nodes is not allowed",
            "JOSM does not allow this request (Adding nodes is not allowed). In JOSM's "
            "preferences, under Remote Control, allow it to load data and to create new "
            "objects" },
        { 400, QByteArray::fromStdString(TestData("plugins/josm-no-layer.html")),
            "JOSM answered with error 400: There is no layer opened to add node" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Body.toStdString());
        Josm.Serve("/add_node", c.Body).Status = c.Status;
        Josm.Requests.clear();
        EXPECT_EQ(ErrorOf<EUserError>([&] { Plugin().AddLocation(1, 2, "x", false); }), c.Error);
        EXPECT_EQ(Commands().size(), 1);
    }
}

// JOSM opens a new layer after it answered; until then it refuses nodes.
TEST_F(TJosmPluginTest, TheFirstNodeWaitsForTheNewLayer)
{
    Josm.Serve("/add_node", "There is no layer opened to add node").Status = 400;
    QTimer::singleShot(300, [&] { Josm.Serve("/add_node", "OK\r\n").Status = 200; });
    AddTo(Plugin(), { { 1, 2, "x" }, { 3, 4, "y" } }, Windows);
    EXPECT_EQ(Commands().filter("/add_node").last(),
        QStringLiteral("/add_node?lat=4.0000000&lon=3.0000000&addtags=name%3Dy"));
    EXPECT_GE(Commands().filter("addtags=name%3Dx").size(), 2);
}

TEST_F(TJosmPluginTest, ItsSettingsSetThePort)
{
    WhenShown<QInputDialog>([&](QInputDialog& dialog) {
        EXPECT_EQ(dialog.intValue(), Josm.Port());
        dialog.setIntValue(8112);
        dialog.accept();
    });
    Plugin().ShowSettings(nullptr);
    TRegistry reg;
    reg.OpenKeyReadOnly(PluginSettingsKey(QStringLiteral("JOSM")));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Port")), 8112);
}

} // namespace
