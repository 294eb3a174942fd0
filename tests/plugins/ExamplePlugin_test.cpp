#include <gtest/gtest.h>

#include "pluginfixture.h"
#include "testing.h"

namespace {

// The example plugin, as a plugin writer would try it: loaded from its library and sent
// entries by the program's commands.
class TExamplePluginTest : public ::testing::Test, protected TLoadedPlugin {
protected:
    TExamplePluginTest()
        : TLoadedPlugin(ExamplePlugin())
    {
    }
    QStringList Received() { return Plugin().Object().property("Received").toStringList(); }
};

TEST_F(TExamplePluginTest, ReceivesWhatTheCommandsSendButEntriesWithoutAName)
{
    ShowIn(Plugin(), { 4.5, 52.25, "Dam" }, Windows);
    AddTo(Plugin(), { { 1, 2, "a" }, { 3, 4, "b" } }, Windows);
    EXPECT_EQ(Received(),
        QStringList({ "arrange 1", "area 0 0 980 840", "show 4.5 52.25 Dam", "arrange 1",
            "area 0 0 980 840", "new batch", "add 1 2 a", "add 3 4 b" }));
    EXPECT_TRUE(Plugin().CanAdd());
    EXPECT_TRUE(Windows.Placed.empty()); // it places no window

    EXPECT_EQ(ErrorOf<EUserError>([&] {
        AddTo(Plugin(), { { 1, 2, "a" }, { 3, 4, QString() }, { 5, 6, "c" } }, Windows);
    }),
        QStringLiteral("Could not add the POI to Example because of the following error:\r\"The "
                       "example plugin takes only entries with a name\""));
    EXPECT_EQ(Received().filter("add"), QStringList({ "add 1 2 a", "add 3 4 b", "add 1 2 a" }))
        << "an entry without a name is refused, and the rest not sent";
}

} // namespace
