#include <gtest/gtest.h>

#include "pluginfixture.h"
#include "testing.h"

namespace {

// The example plugin, as a plugin writer would try it: loaded from its library and sent
// entries by the program's commands.
class TExamplePluginTest : public ::testing::Test {
protected:
    TExamplePluginTest() { EXPECT_TRUE(Plugins.Load({ ExamplePlugin() }, CallBack)); }
    QStringList Received() const { return Plugins[0].Object().property("Received").toStringList(); }

    TCallBackCounter CallBack;
    TPluginList Plugins;
    TFakeWindows Windows;
};

TEST_F(TExamplePluginTest, ReceivesWhatTheCommandsSend)
{
    ShowIn(Plugins[0], { 4.5, 52.25, QStringLiteral("Dam") }, Windows);
    AddTo(Plugins[0], { { 1, 2, QStringLiteral("a") }, { 3, 4, QStringLiteral("b") } }, Windows);
    EXPECT_EQ(Received(),
        QStringList({ "arrange 1", "area 0 0 980 840", "show 4.5 52.25 Dam", "arrange 1",
            "area 0 0 980 840", "new batch", "add 1 2 a", "add 3 4 b" }));
    EXPECT_TRUE(Plugins[0].CanAdd());
    EXPECT_TRUE(Windows.Placed.empty()); // it places no window
}

TEST_F(TExamplePluginTest, RefusesAnEntryWithoutAName)
{
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        AddTo(Plugins[0], { { 1, 2, QStringLiteral("a") }, { 3, 4, QString() } }, Windows);
    }),
        QStringLiteral("Could not add the POI to Example because of the following error:\r\"The "
                       "example plugin takes only entries with a name\""));
    EXPECT_EQ(Received().filter("add"), QStringList { "add 1 2 a" });
}

} // namespace
