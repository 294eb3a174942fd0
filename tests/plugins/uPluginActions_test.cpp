#include "plugins/uPluginActions.h"

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The area offered beside the main window's strip: the work area on the primary screen, the
// whole screen on another.
TEST(TArrangement, OnThePrimaryScreenTheWorkAreaLessTheStrip)
{
    const TScreenArea primary { QRect(0, 0, 1280, 900), QRect(0, 30, 1280, 840), true };
    EXPECT_EQ(OfferedArea(primary), QRect(0, 0, 980, 840));
    EXPECT_EQ(StripBeside(OfferedArea(primary)), QRect(980, 0, 300, 840));
}

TEST(TArrangement, OnASecondaryScreenTheWholeScreenFromItsCorner)
{
    const TScreenArea secondary { QRect(1280, -100, 1920, 1080), QRect(1280, -70, 1900, 1000),
        false };
    EXPECT_EQ(OfferedArea(secondary), QRect(1280, -100, 1620, 1080));
    EXPECT_EQ(StripBeside(OfferedArea(secondary)), QRect(2900, -100, 300, 1080));
}

class TPluginCommand : public ::testing::Test {
protected:
    TPluginCommand() { Plugins.Add(Fake, CallBack); }

    TTempConfig Config;
    TCallBackCounter CallBack;
    TFakePlugin Fake { QStringLiteral("Fake") };
    TPluginList Plugins;
    TFakeWindows Windows;
};

TEST_F(TPluginCommand, ShowOffersTheAreaThenShowsTheEntry)
{
    Settings().PluginAutoArrange = false;
    ShowIn(Plugins[0], { 4.9, 52.37, QStringLiteral("Dam") }, Windows);
    EXPECT_EQ(Fake.Calls, QStringList({ "arrange 0", "area 0 0 980 840", "show 4.9 52.37 Dam" }));
    EXPECT_TRUE(Windows.Placed.empty());
}

TEST_F(TPluginCommand, AnArrangedApplicationGetsTheMainWindowBesideIt)
{
    Fake.Arranged = true;
    Settings().BoundsUserSet = true;
    ShowIn(Plugins[0], { 1, 2, QStringLiteral("x") }, Windows);
    EXPECT_EQ(Fake.Calls.first(), QStringLiteral("arrange -1"));
    ASSERT_EQ(Windows.Placed.size(), 1u);
    EXPECT_EQ(Windows.Placed[0], QRect(980, 0, 300, 840));
    EXPECT_FALSE(Settings().BoundsUserSet);
}

TEST_F(TPluginCommand, WithoutAutoArrangeTheMainWindowStays)
{
    Fake.Arranged = true;
    Settings().PluginAutoArrange = false;
    AddTo(Plugins[0], { { 1, 2, QStringLiteral("x") } }, Windows);
    EXPECT_TRUE(Windows.Placed.empty());
    EXPECT_TRUE(Settings().BoundsUserSet);
}

TEST_F(TPluginCommand, AddSendsEveryEntryFirstOnlyOnTheFirst)
{
    std::vector<TPluginPoint> points;
    for (int i = 0; i < 5; ++i)
        points.push_back({ double(i), double(i), QString::number(i) });
    AddTo(Plugins[0], points, Windows);
    EXPECT_EQ(Fake.Calls.mid(2),
        QStringList(
            { "add 0 0 0 -1", "add 1 1 1 0", "add 2 2 2 0", "add 3 3 3 0", "add 4 4 4 0" }));
}

TEST_F(TPluginCommand, AFailedAddStopsWithThePluginsReason)
{
    Fake.FailAddAt = 2;
    std::vector<TPluginPoint> points(4, { 1, 2, QStringLiteral("x") });
    EXPECT_EQ(ErrorOf<EUserError>([&] { AddTo(Plugins[0], points, Windows); }),
        QStringLiteral(
            "Could not add the POI to Fake because of the following error:\r\"full up\""));
    EXPECT_EQ(Fake.Calls.filter(QStringLiteral("add")).size(), 2);
}

TEST_F(TPluginCommand, AThrowingPluginsAddBecomesTheAddMessage)
{
    TCallBackCounter callBack;
    TPluginList plugins;
    ASSERT_TRUE(plugins.Load({ FaultyPlugin("calls_throw") }, callBack));
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        AddTo(plugins[0], { { 1, 2, "x" } }, Windows);
    }),
        QStringLiteral("Could not add the POI to Faulty because of the following error:\r\""
                       "The plugin Faulty failed: plugin exploded\\x1b[2J\""));
}

// When the application closes, the main window goes back where the user had it, unless the
// user moved it since.
TEST_F(TPluginCommand, AppClosedPutsTheMainWindowBackWhereItWasStored)
{
    TSettings& settings = Settings();
    std::tie(settings.Left, settings.Top, settings.Width, settings.Height) =
        std::tuple(10, 20, -1, 500);
    settings.BoundsUserSet = false;
    TPluginCallBack callBack(Windows);
    EXPECT_FALSE(callBack.AppClosed().Failed());
    ASSERT_EQ(Windows.Placed.size(), 1u);
    EXPECT_EQ(Windows.Placed[0], QRect(10, 20, 800, 500)); // the width was never stored
}

TEST_F(TPluginCommand, AppClosedLeavesAWindowTheUserMovedOrWithoutAutoArrange)
{
    TPluginCallBack callBack(Windows);
    Settings().BoundsUserSet = true;
    callBack.AppClosed();
    Settings().BoundsUserSet = false;
    Settings().PluginAutoArrange = false;
    callBack.AppClosed();
    EXPECT_TRUE(Windows.Placed.empty());
}

// Captions, enabled states and submenus of the document's plugin commands.
class TPluginMenus : public ::testing::Test, protected TFakePluginList {
protected:
    static QStringList Captions(const std::vector<TPluginMenuItem>& items)
    {
        QStringList captions;
        for (const TPluginMenuItem& item : items)
            captions.append(item.Caption + (item.Enabled ? "" : " (off)"));
        return captions;
    }

    TTempConfig Config;
};

TEST_F(TPluginMenus, WithoutPluginsShowAndAddAreOffAndSubmenusHidden)
{
    const TPluginCommands commands = PluginCommandsFor(Plugins, true, true);
    EXPECT_EQ(commands.ShowCaption, QStringLiteral("&Show"));
    EXPECT_EQ(commands.AddCaption, QStringLiteral("&Add"));
    EXPECT_FALSE(commands.ShowEnabled);
    EXPECT_FALSE(commands.AddEnabled);
    EXPECT_FALSE(commands.SubmenusVisible);
}

TEST_F(TPluginMenus, OnePluginIsTheDefaultAndTheSubmenusAreHidden)
{
    Add("OpenStreetMap");
    const TPluginCommands commands = PluginCommandsFor(Plugins, true, true);
    EXPECT_EQ(commands.ShowCaption, QStringLiteral("&Show in OpenStreetMap"));
    EXPECT_EQ(commands.AddCaption, QStringLiteral("&Add to OpenStreetMap"));
    EXPECT_TRUE(commands.ShowEnabled && commands.AddEnabled);
    EXPECT_FALSE(commands.SubmenusVisible);
    EXPECT_TRUE(commands.ShowInItems.empty());
}

TEST_F(TPluginMenus, ShowAndAddFollowTheCopyRule)
{
    Add("Alpha");
    const TPluginCommands commands = PluginCommandsFor(Plugins, false, true);
    EXPECT_FALSE(commands.ShowEnabled);
    EXPECT_FALSE(commands.AddEnabled);
}

TEST_F(TPluginMenus, ADefaultThatCannotAddHasAddOff)
{
    Add("OpenStreetMap", false);
    const TPluginCommands commands = PluginCommandsFor(Plugins, true, true);
    EXPECT_TRUE(commands.ShowEnabled);
    EXPECT_FALSE(commands.AddEnabled);
}

TEST_F(TPluginMenus, SubmenusListTheOthersWithAddOnlyWhereItIsTaken)
{
    Add("OpenStreetMap", false);
    Add("JOSM");
    Add("Example");
    Settings().DefaultPlugin = QStringLiteral("josm");
    const TPluginCommands commands = PluginCommandsFor(Plugins, true, true);
    EXPECT_EQ(commands.ShowCaption, QStringLiteral("&Show in JOSM"));
    EXPECT_TRUE(commands.SubmenusVisible);
    EXPECT_EQ(Captions(commands.ShowInItems), QStringList({ "OpenStreetMap", "Example" }));
    EXPECT_EQ(Captions(commands.AddToItems), QStringList({ "OpenStreetMap (off)", "Example" }));
    EXPECT_EQ(commands.AddToItems[1].Plugin, 2);
}

TEST_F(TPluginMenus, SubmenuItemsAreOffWithoutASelectedRow)
{
    Add("Alpha");
    Add("Beta");
    const TPluginCommands commands = PluginCommandsFor(Plugins, false, false);
    EXPECT_EQ(Captions(commands.ShowInItems), QStringList { "Beta (off)" });
    EXPECT_EQ(Captions(commands.AddToItems), QStringList { "Beta (off)" });
}

} // namespace
