#include "plugins/uPluginActions.h"

#include "core/uModel.h"
#include "core/uSettings.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

QRect OfferedArea(const TScreenArea& screen)
{
    const QRect& measured = screen.Primary ? screen.WorkArea : screen.Geometry;
    return QRect(
        screen.Geometry.topLeft(), QSize(measured.width() - ArrangedStripWidth, measured.height()));
}

QRect StripBeside(const QRect& area)
{
    return QRect(area.left() + area.width(), area.top(), ArrangedStripWidth, area.height());
}

QRect RestoredBounds(const QRect& current)
{
    const TSettings& settings = Settings();
    const auto stored = [](int value, int fallback) { return value == -1 ? fallback : value; };
    return QRect(stored(settings.Left, current.left()), stored(settings.Top, current.top()),
        stored(settings.Width, current.width()), stored(settings.Height, current.height()));
}

TPluginPoint PluginPointOf(const TEntry& entry)
{
    return { entry.Longitude(), entry.Latitude(), Utf8ToUnicode(entry.Description()) };
}

namespace {

// Runs `call` between offering the plugin an area and, when it placed its application
// there, moving the main window into the strip beside it.
template <typename TCall> void Arranged(TPlugin& plugin, IPluginWindows& windows, TCall call)
{
    const bool autoArrange = Settings().PluginAutoArrange;
    plugin.SetAutoArrange(autoArrange);
    const QRect area = OfferedArea(windows.DocumentScreen());
    plugin.SetArea(area);
    call();
    if (!autoArrange || !plugin.GetArranged())
        return;
    windows.PlaceMainWindow(StripBeside(area));
    Settings().BoundsUserSet = false;
}

} // namespace

void ShowIn(TPlugin& plugin, const TPluginPoint& point, IPluginWindows& windows)
{
    Arranged(plugin, windows,
        [&] { plugin.ShowLocation(point.Longitude, point.Latitude, point.Description); });
}

void AddTo(TPlugin& plugin, const std::vector<TPluginPoint>& points, IPluginWindows& windows)
{
    Arranged(plugin, windows, [&] {
        bool first = true;
        for (const TPluginPoint& point : points) {
            try {
                plugin.AddLocation(point.Longitude, point.Latitude, point.Description, first);
            } catch (const EUserError& error) {
                throw EUserError(Tr(Msg::CannotAddToPlugin).arg(plugin.Name(), error.Message()));
            }
            first = false;
        }
    });
}

TPluginResult TPluginCallBack::AppClosed()
{
    const TSettings& settings = Settings();
    if (settings.PluginAutoArrange && !settings.BoundsUserSet)
        Windows.PlaceMainWindow(RestoredBounds(Windows.MainWindowBounds()));
    return TPluginResult::Ok();
}

TPluginCommands PluginCommandsFor(const TPluginList& plugins, bool canCopy, bool hasSelection)
{
    TPluginCommands commands;
    TPlugin* defaultPlugin = plugins.Default();
    const QString named = defaultPlugin ? QLatin1Char(' ') + defaultPlugin->Name() : QString();
    commands.ShowCaption = defaultPlugin ? QObject::tr("&Show in") + named : QObject::tr("&Show");
    commands.AddCaption = defaultPlugin ? QObject::tr("&Add to") + named : QObject::tr("&Add");
    commands.ShowEnabled = defaultPlugin && canCopy;
    commands.AddEnabled = commands.ShowEnabled && defaultPlugin->CanAdd();
    commands.SubmenusVisible = plugins.Count() >= 2;
    for (int i = 0; i < plugins.Count(); ++i) {
        TPlugin& plugin = plugins[i];
        if (&plugin == defaultPlugin)
            continue;
        commands.ShowInItems.push_back({ i, plugin.Name(), hasSelection });
        commands.AddToItems.push_back({ i, plugin.Name(), hasSelection && plugin.CanAdd() });
    }
    return commands;
}
