#pragma once

#include <vector>

#include <QRect>
#include <QString>

#include "plugins/uPluginUtils.h"

class TEntry;

// One screen as the arrangement sees it.
struct TScreenArea {
    QRect Geometry; // the whole screen
    QRect WorkArea; // without panels and docks
    bool Primary = true;
};

// The windows the plugin commands arrange: the main window and the screen that shows the
// document window. The main window implements it; tests fake it.
class IPluginWindows {
public:
    virtual TScreenArea DocumentScreen() const = 0;
    virtual QRect MainWindowBounds() const = 0;
    // Moves the main window, which is not a move by the user.
    virtual void PlaceMainWindow(const QRect& bounds) = 0;

protected:
    ~IPluginWindows() = default;
};

// The width of the main window's strip beside an arranged application.
constexpr int ArrangedStripWidth = 300;

// The area offered to a plugin's application on `screen`: the screen's work area on the
// primary screen, the whole screen on another, less the strip; from the screen's corner.
QRect OfferedArea(const TScreenArea& screen);
// Where the main window goes beside `area`.
QRect StripBeside(const QRect& area);
// The stored bounds of the main window, `current` for what is not stored.
QRect RestoredBounds(const QRect& current);

// An entry as plugins get it.
struct TPluginPoint {
    double Longitude = 0;
    double Latitude = 0;
    QString Description;
};
TPluginPoint PluginPointOf(const TEntry& entry);

// Shows `point` in `plugin`, arranging the windows around it.
void ShowIn(TPlugin& plugin, const TPluginPoint& point, IPluginWindows& windows);
// Adds `points` to `plugin` in order, the first as the first of a batch; stops at the first
// failure with "Could not add the poi to ..."; what was sent before stays in the plugin.
void AddTo(TPlugin& plugin, const std::vector<TPluginPoint>& points, IPluginWindows& windows);

// The program's side of the plugins: when an application a plugin drives is closed, the
// main window goes back where it was, unless the user moved it since it was arranged.
class TPluginCallBack : public IPluginCallBack {
public:
    explicit TPluginCallBack(IPluginWindows& windows)
        : Windows(windows)
    {
    }
    TPluginResult AppClosed() override;

private:
    IPluginWindows& Windows;
};

// What the document's plugin commands show: captions, enabled states and the items of the
// "Show in" and "Add to" submenus.
struct TPluginMenuItem {
    int Plugin; // index in the plugin list
    QString Caption;
    bool Enabled;
};
struct TPluginCommands {
    QString ShowCaption;
    bool ShowEnabled = false;
    QString AddCaption;
    bool AddEnabled = false;
    bool SubmenusVisible = false;
    std::vector<TPluginMenuItem> ShowInItems;
    std::vector<TPluginMenuItem> AddToItems;
};
// `canCopy`: the document's copy rule; `hasSelection`: a row is selected.
TPluginCommands PluginCommandsFor(const TPluginList& plugins, bool canCopy, bool hasSelection);
