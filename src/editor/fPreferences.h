#pragma once

#include <memory>

#include <QDialog>

#include "editor/uPreferences.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class TPluginList;
class TTileFetcher;

// "Preferences...": the general settings, the plugins and the converters' options. The
// settings are stored when it closes, however it is closed; an option check box stores its
// option at once.
class TfmPluginSettings : public QDialog {
    Q_OBJECT

public:
    TfmPluginSettings(TPluginList& plugins, QWidget* parent = nullptr);
    ~TfmPluginSettings() override;

    // Stays open while the tile address lacks a placeholder, saying so.
    void done(int result) override;
    // Whether closing changed the device folder.
    bool DeviceFolderChanged() const { return DeviceChanged; }

private:
    QWidget* CreateGeneralTab();
    QWidget* CreatePluginsTab();
    QWidget* CreateConvertersTab(TPreferences::TConverters kind);
    QWidget* CreateTileBox(QWidget* parent);
    void ChooseDeviceFolder();
    // Asks the tile address for the world's one tile, without waiting for the answer.
    void TestTileUrl();
    void FillPlugins();
    void UpdatePluginActions();
    void ShowPluginSettings();
    void ShowOptions(TPreferences::TConverters kind);
    // The widget that shows and edits option `index` of the converter in `row`: a check box,
    // or a caption beside a text or number field.
    QWidget* OptionField(TPreferences::TConverters kind, int row, int index,
        const TPreferences::TOption& option, QWidget* parent);
    QTreeWidget* ListOf(TPreferences::TConverters kind) const;
    QGroupBox* OptionsBoxOf(TPreferences::TConverters kind) const;

    TPreferences Preferences;
    bool DeviceChanged = false;
    QCheckBox* cbShowStartupScreen;
    QCheckBox* cbCloseMinimizes;
    QRadioButton* rbPrecision5;
    QRadioButton* rbPrecision6;
    QLineEdit* edDeviceFolder;
    QComboBox* cbCodePage;
    QLineEdit* edTileUrl;
    QLabel* lbTileTest;
    std::unique_ptr<TTileFetcher> TileTest;
    QTreeWidget* lvPlugins;
    QAction* actSettings;
    QAction* actSetDefault;
    QCheckBox* cbAutoArrange;
    QTreeWidget* lvImport;
    QTreeWidget* lvExport;
    QGroupBox* gbImportOptions;
    QGroupBox* gbExportOptions;
};
