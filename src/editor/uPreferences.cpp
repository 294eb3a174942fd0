#include "editor/uPreferences.h"

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "platform/uExceptions.h"
#include "plugins/uPluginUtils.h"

namespace {

std::unique_ptr<TConvertBase> CreateConverter(TPreferences::TConverters kind, int row)
{
    if (kind == TPreferences::TConverters::Exporters)
        return CreateExporterAt(row);
    return CreateImporterAt(row);
}

} // namespace

TPreferences::TPreferences(TPluginList& plugins)
    : Plugins(plugins)
{
}

TPreferences::TGeneral TPreferences::Load()
{
    const TSettings& settings = Settings();
    return { settings.ShowStartupScreen, settings.CloseMinimizes, settings.Precision != 5,
        settings.PluginAutoArrange, settings.DeviceFolder, settings.CodePage, settings.TileUrl };
}

bool TPreferences::Store(const TGeneral& general)
{
    TSettings& settings = Settings();
    settings.ShowStartupScreen = general.ShowStartupScreen;
    settings.CloseMinimizes = general.CloseMinimizes;
    settings.Precision = general.SixDecimals ? 6 : 5;
    settings.PluginAutoArrange = general.AutoArrange;
    const bool deviceChanged = settings.DeviceFolder != general.DeviceFolder;
    settings.DeviceFolder = general.DeviceFolder;
    settings.TileUrl =
        general.TileUrl.trimmed().isEmpty() ? DefaultTileUrl() : general.TileUrl.trimmed();
    if (SelectCodePage(general.CodePage))
        settings.CodePage = CodePageName();
    return deviceChanged;
}

QStringList TPreferences::PluginNames() const
{
    QStringList names;
    for (int i = 0; i < Plugins.Count(); ++i)
        names.append(Plugins[i].Name());
    return names;
}

int TPreferences::DefaultPlugin() const { return Plugins.DefaultIndex(Settings().DefaultPlugin); }

bool TPreferences::CanSetDefault(int row) const
{
    return CanShowSettings(row) && row != DefaultPlugin();
}

void TPreferences::SetDefault(int row) { Settings().DefaultPlugin = Plugins[row].Name(); }

bool TPreferences::CanShowSettings(int row) const { return row >= 0 && row < Plugins.Count(); }

void TPreferences::ShowSettings(int row, QWidget* parent) { Plugins[row].ShowSettings(parent); }

std::vector<TPreferences::TConverterRow> TPreferences::Rows(TConverters kind)
{
    const bool exporters = kind == TConverters::Exporters;
    const int count = exporters ? ExporterCount() : ImporterCount();
    std::vector<TConverterRow> rows;
    for (int i = 0; i < count; ++i) {
        TConverterRow row;
        row.Name = exporters ? ExporterName(i) : ImporterName(i);
        row.Ext = exporters ? ExporterExt(i) : ImporterExt(i);
        row.FormatId = exporters ? ExporterFormatId(i) : ImporterFormatId(i);
        row.HasOptions = CreateConverter(kind, i)->OptionCount() > 0;
        // Only importers have a default: it chooses how a file of the extension is read.
        row.Default = !exporters
            && Settings().DefaultFormats.ValueOf(row.Ext).compare(row.FormatId, Qt::CaseInsensitive)
                == 0;
        rows.push_back(row);
    }
    return rows;
}

std::vector<TPreferences::TOption> TPreferences::Options(TConverters kind, int row)
{
    const std::unique_ptr<TConvertBase> converter = CreateConverter(kind, row);
    std::vector<TOption> options;
    for (int i = 0; i < converter->OptionCount(); ++i) {
        const TConvertOption& declared = converter->OptionAt(i);
        TOption option;
        option.Caption = converter->OptionLabel(i);
        option.Hint = converter->OptionHint(i);
        option.Kind = declared.Kind;
        switch (declared.Kind) {
        case okCheckBox:
            option.Checked = converter->GetOption(i, false);
            break;
        case okText:
            option.Text = converter->GetText(i);
            break;
        case okNumber:
            option.Number = converter->GetNumber(i);
            option.Minimum = declared.Minimum;
            option.Maximum = declared.Maximum;
            break;
        }
        options.push_back(option);
    }
    return options;
}

void TPreferences::SetOption(TConverters kind, int row, int option, bool checked)
{
    CreateConverter(kind, row)->SetOption(option, checked);
}

void TPreferences::SetOption(TConverters kind, int row, int option, const QString& text)
{
    CreateConverter(kind, row)->SetText(option, text);
}

void TPreferences::SetOption(TConverters kind, int row, int option, int number)
{
    CreateConverter(kind, row)->SetNumber(option, number);
}
