#include "plugins/uPluginActions.h"

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The area offered beside the main window's strip: the work area on the primary screen, the
// whole screen on another.
TEST(TArrangement, TheOfferedAreaLeavesRoomForTheStrip)
{
    const struct {
        TScreenArea Screen;
        QRect Offered, Strip;
    } cases[] = {
        { { QRect(0, 0, 1280, 900), QRect(0, 30, 1280, 840), true }, QRect(0, 0, 980, 840),
            QRect(980, 0, 300, 840) },
        { { QRect(1280, -100, 1920, 1080), QRect(1280, -70, 1900, 1000), false },
            QRect(1280, -100, 1620, 1080), QRect(2900, -100, 300, 1080) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Screen.Primary);
        EXPECT_EQ(OfferedArea(c.Screen), c.Offered);
        EXPECT_EQ(StripBeside(OfferedArea(c.Screen)), c.Strip);
    }
}

class TPluginCommand : public ::testing::Test, protected TFakePluginList {
protected:
    TPluginCommand() { Add(QStringLiteral("Fake")); }

    TFakeWindows Windows;
};

// The plugin is told whether to arrange and where; an arranging one gets the main window
// beside it unless the user switched that off.
TEST_F(TPluginCommand, ShowOffersTheAreaAndAnArrangedApplicationGetsTheWindowBesideIt)
{
    Settings().PluginAutoArrange = false;
    Settings().BoundsUserSet = true;
    Fakes[0]->Arranged = true;
    ShowIn(Plugins[0], { 4.9, 52.37, QStringLiteral("Dam") }, Windows);
    EXPECT_EQ(
        Fakes[0]->Calls, QStringList({ "arrange 0", "area 0 0 980 840", "show 4.9 52.37 Dam" }));
    EXPECT_TRUE(Windows.Placed.empty());
    EXPECT_TRUE(Settings().BoundsUserSet);

    Settings().PluginAutoArrange = true;
    ShowIn(Plugins[0], { 1, 2, QStringLiteral("x") }, Windows);
    EXPECT_EQ(Fakes[0]->Calls[3], QStringLiteral("arrange -1"));
    EXPECT_EQ(Windows.Placed, std::vector { QRect(980, 0, 300, 840) });
    EXPECT_FALSE(Settings().BoundsUserSet);
}

// The first entry opens a batch; an entry the plugin refuses ends it, the plugin named.
TEST_F(TPluginCommand, AddSendsTheEntriesUntilThePluginRefusesOne)
{
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        AddTo(Plugins[0], { { 1, 2, "a" }, { 3, 4, "b" }, { 5, 6, QString() }, { 7, 8, "d" } },
            Windows);
    }),
        "Could not add the POI to Fake because of the following error:\r\"no name\"");
    EXPECT_EQ(Fakes[0]->Calls,
        QStringList({ "arrange -1", "area 0 0 980 840", "add 1 2 a -1", "add 3 4 b 0" }));
}

// When the application closes, the main window goes back where the user had it, unless the
// user moved it since or switched arranging off.
TEST_F(TPluginCommand, AppClosedPutsTheMainWindowBackOnlyWhereItWasArranged)
{
    TSettings& settings = Settings();
    std::tie(settings.Left, settings.Top, settings.Width, settings.Height) =
        std::tuple(10, 20, -1, 500);
    TPluginCallBack callBack(Windows);
    const struct {
        bool UserSet, AutoArrange, Placed;
    } cases[] = { { true, true, false }, { false, false, false }, { false, true, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.UserSet << c.AutoArrange);
        settings.BoundsUserSet = c.UserSet;
        settings.PluginAutoArrange = c.AutoArrange;
        EXPECT_FALSE(callBack.AppClosed().Failed());
        EXPECT_EQ(Windows.Placed.size(), c.Placed ? 1u : 0u);
    }
    EXPECT_EQ(Windows.Placed.at(0), QRect(10, 20, 800, 500)); // the width was never stored
}

// Captions, enabled states and submenus of the document's plugin commands.
class TPluginMenus : public ::testing::Test, protected TFakePluginList {
protected:
    static QString Items(const std::vector<TPluginMenuItem>& items)
    {
        QStringList captions;
        for (const TPluginMenuItem& item : items)
            captions.append(
                QString::number(item.Plugin) + item.Caption + (item.Enabled ? "" : " (off)"));
        return captions.join(", ");
    }
    static QString Described(const TPluginCommands& c)
    {
        return c.ShowCaption + (c.ShowEnabled ? "" : " (off)") + " | " + c.AddCaption
            + (c.AddEnabled ? "" : " (off)") + (c.SubmenusVisible ? " | " : " | hidden ")
            + Items(c.ShowInItems) + " | " + Items(c.AddToItems);
    }
};

// "-" after a name: a plugin that cannot add.
TEST_F(TPluginMenus, FollowTheDefaultPluginTheCopyRuleAndTheSelection)
{
    const struct {
        QStringList Plugins;
        bool CanCopy, HasSelection;
        QString Commands;
    } cases[] = {
        { {}, true, true, "&Show (off) | &Add (off) | hidden  | " },
        { { "Alpha" }, false, true, "&Show in Alpha (off) | &Add to Alpha (off) | hidden  | " },
        { { "OpenStreetMap-" }, true, true,
            "&Show in OpenStreetMap | &Add to OpenStreetMap (off) | hidden  | " },
        { { "OpenStreetMap-", "JOSM", "Example" }, true, true,
            "&Show in JOSM | &Add to JOSM | 0OpenStreetMap, 2Example | 0OpenStreetMap (off), "
            "2Example" },
        // The default is named ignoring case, the first such; else it is the first plugin.
        { { "Alpha", "Josm", "JOSM" }, true, true,
            "&Show in Josm | &Add to Josm | 0Alpha, 2JOSM | 0Alpha, 2JOSM" },
        { { "Alpha", "Beta" }, false, false,
            "&Show in Alpha (off) | &Add to Alpha (off) | 1Beta (off) | 1Beta (off)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Plugins.join(", ").toStdString());
        Plugins = TPluginList(); // lets go of the fakes before they go
        for (const auto& fake : Fakes)
            EXPECT_EQ(fake->CallBack, nullptr) << "a released plugin calls back no more";
        Fakes.clear();
        for (const QString& name : c.Plugins)
            Add(QString(name).remove('-'), !name.endsWith('-'));
        Settings().DefaultPlugin = QStringLiteral("josm");
        EXPECT_EQ(Described(PluginCommandsFor(Plugins, c.CanCopy, c.HasSelection)), c.Commands);
    }
}

} // namespace
