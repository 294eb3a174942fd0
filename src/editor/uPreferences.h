#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "convert/uConvertBase.h"

class QWidget;
class TPluginList;

// What the preferences dialog shows and stores: the general settings, the plugins with the
// default one, and the converters with their options.
class TPreferences {
public:
    // The settings of the "General" and "Map Plugins" tabs.
    struct TGeneral {
        bool ShowStartupScreen = true;
        bool CloseMinimizes = true;
        bool SixDecimals = false;
        bool AutoArrange = true;
        QString DeviceFolder;
        QString CodePage; // of 8-bit files
        QString TileUrl; // the web map's; empty for OpenStreetMap's
    };
    enum class TConverters { Importers, Exporters };
    struct TConverterRow {
        QString Name;
        QString Ext; // with its dot
        QString FormatId;
        bool Default = false; // the format the user chose for its extension
        bool HasOptions = false;
    };
    // A converter's option as the user reads and edits it; the value of its kind is set.
    struct TOption {
        QString Caption;
        QString Hint;
        int Kind = okCheckBox;
        bool Checked = false;
        QString Text;
        int Number = 0;
        int Minimum = 0;
        int Maximum = 0;
    };

    explicit TPreferences(TPluginList& plugins);

    static TGeneral Load();
    // Stores every setting; true when the device folder changed. The tile address must name
    // {z}, {x} and {y} (`IsTileUrl`), or be empty.
    static bool Store(const TGeneral& general);

    QStringList PluginNames() const;
    // The default plugin's row, -1 when there are no plugins.
    int DefaultPlugin() const;
    bool CanSetDefault(int row) const;
    void SetDefault(int row);
    bool CanShowSettings(int row) const;
    void ShowSettings(int row, QWidget* parent);

    static std::vector<TConverterRow> Rows(TConverters kind);
    // The options of the converter in `row`.
    static std::vector<TOption> Options(TConverters kind, int row);
    // Stores option `option` of the converter in `row`, of the kind the value is.
    static void SetOption(TConverters kind, int row, int option, bool checked);
    static void SetOption(TConverters kind, int row, int option, const QString& text);
    static void SetOption(TConverters kind, int row, int option, int number);

private:
    TPluginList& Plugins;
};
