#pragma once

#include <cstdint>

#include <QString>
#include <QtPlugin>

class QWidget;

// The interfaces between Marivel and its map-application plugins. A plugin is a Qt plugin (a
// shared library that QPluginLoader loads) whose root object implements `IPluginBase`; this
// header is all a plugin needs of the program.
//
// Every operation answers a `TPluginResult`: success, or a failure with the text the program
// shows the user. Booleans travel as `TPluginBool`, -1 for true and 0 for false; the program
// takes any value other than 0 as true.

using TPluginBool = int16_t;
constexpr TPluginBool PluginTrue = -1;
constexpr TPluginBool PluginFalse = 0;

constexpr TPluginBool ToPluginBool(bool value) { return value ? PluginTrue : PluginFalse; }
constexpr bool FromPluginBool(TPluginBool value) { return value != PluginFalse; }

struct TPluginResult {
    // Below zero: a failure.
    int32_t Code = 0;
    // What went wrong, a finished sentence without the final full stop.
    QString Message;

    bool Failed() const { return Code < 0; }
    static TPluginResult Ok() { return {}; }
    static TPluginResult Fail(const QString& message) { return { -1, message }; }
};

// What the program offers a plugin: word that the application it drives was closed.
class IPluginCallBack {
public:
    virtual TPluginResult AppClosed() = 0;

protected:
    ~IPluginCallBack() = default;
};

// A plugin, as the program calls it. The operations keep their order and arguments; the
// program never calls `Reserved4`, `Reserved7` and `Reserved9`, which keep the places of the
// ones after them.
class IPluginBase {
public:
    virtual ~IPluginBase() = default;

    // Shows one entry in the application.
    virtual TPluginResult ShowLocation(
        double Longitude, double Latitude, const QString& Description) = 0;
    // Adds one entry to the application; `First` is true for the first entry of a batch only.
    virtual TPluginResult AddLocation(
        double Longitude, double Latitude, const QString& Description, TPluginBool First) = 0;
    // Lets the user change the plugin's own settings, in a dialog over `ParentWindow`.
    virtual TPluginResult ShowSettings(QWidget* ParentWindow) = 0;
    virtual TPluginResult Reserved4() = 0;
    // Called right after loading; a failure leaves the plugin out. Null when the program
    // lets go of the plugin: the callback must not be used after that.
    virtual TPluginResult SetCallBack(IPluginCallBack* CallBack) = 0;
    // The name shown in lists, menus and captions.
    virtual TPluginResult GetName(QString& Name) = 0;
    virtual TPluginResult Reserved7() = 0;
    // Whether the plugin should place its application in the area of `SetArea`.
    virtual TPluginResult SetAutoArrange(TPluginBool Value) = 0;
    virtual TPluginResult Reserved9() = 0;
    // The screen area, in pixels, offered to the application before each show or add.
    virtual TPluginResult SetArea(int32_t Left, int32_t Top, int32_t Width, int32_t Height) = 0;
    // Whether the application was placed in the offered area.
    virtual TPluginResult GetArranged(TPluginBool& Arranged) = 0;
    // Whether `AddLocation` can be called now.
    virtual TPluginResult GetCanAdd(TPluginBool& CanAdd) = 0;
};

// A start for a plugin whose application is not placed on the screen: the reserved operations
// succeed, the offered area is taken note of, and nothing is ever arranged.
class TPluginBase : public IPluginBase {
public:
    TPluginResult Reserved4() override { return TPluginResult::Ok(); }
    TPluginResult Reserved7() override { return TPluginResult::Ok(); }
    TPluginResult Reserved9() override { return TPluginResult::Ok(); }
    TPluginResult SetAutoArrange(TPluginBool) override { return TPluginResult::Ok(); }
    TPluginResult SetArea(int32_t, int32_t, int32_t, int32_t) override
    {
        return TPluginResult::Ok();
    }
    TPluginResult GetArranged(TPluginBool& Arranged) override
    {
        Arranged = PluginFalse;
        return TPluginResult::Ok();
    }
};

#define IPluginBase_iid "{997FA278-1FE0-4184-B3B9-4F5D3DF8BF3D}"
Q_DECLARE_INTERFACE(IPluginBase, IPluginBase_iid)
