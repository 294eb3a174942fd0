#include "editor/fPreferences.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "device/Rapi.h"
#include "map/uTileFetcher.h"
#include "platform/uCodePage.h"
#include "platform/uMessages.h"
#include "plugins/uPluginUtils.h"

namespace {

using TConverters = TPreferences::TConverters;

constexpr int MarkSize = 16;
constexpr int64_t MiB = 1024 * 1024;

// The list marks side by side, each in its own place, so the names line up whichever an
// item carries.
QIcon MarksIcon(const QStyle& style, bool isDefault, bool hasOptions)
{
    QPixmap pixmap(2 * MarkSize, MarkSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (isDefault)
        painter.drawPixmap(0, 0, style.standardIcon(QStyle::SP_DialogApplyButton).pixmap(MarkSize));
    if (hasOptions)
        painter.drawPixmap(
            MarkSize, 0, style.standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(MarkSize));
    return QIcon(pixmap);
}

QTreeWidget* NewList(QWidget* parent, const QStringList& columns, const char* name)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setIconSize(QSize(2 * MarkSize, MarkSize));
    return list;
}

QPushButton* ButtonFor(QAction* action, QWidget* parent)
{
    auto* button = new QPushButton(action->text(), parent);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
        [button, action] { button->setEnabled(action->isEnabled()); });
    button->setEnabled(action->isEnabled());
    return button;
}

} // namespace

TfmPluginSettings::TfmPluginSettings(TPluginList& plugins, QWidget* parent)
    : QDialog(parent)
    , Preferences(plugins)
{
    setWindowTitle(tr("Preferences..."));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(CreateGeneralTab(), tr("General"));
    tabs->addTab(CreatePluginsTab(), tr("Map Plugins"));
    tabs->addTab(CreateConvertersTab(TConverters::Importers), tr("File Importers"));
    tabs->addTab(CreateConvertersTab(TConverters::Exporters), tr("File Exporters"));
    tabs->setCurrentIndex(0);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    const TPreferences::TGeneral general = TPreferences::Load();
    cbShowStartupScreen->setChecked(general.ShowStartupScreen);
    cbCloseMinimizes->setChecked(general.CloseMinimizes);
    (general.SixDecimals ? rbPrecision6 : rbPrecision5)->setChecked(true);
    cbAutoArrange->setChecked(general.AutoArrange);
    edDeviceFolder->setText(general.DeviceFolder);
    cbCodePage->setCurrentText(general.CodePage);
    edTileUrl->setText(general.TileUrl);
    FillPlugins();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TfmPluginSettings::~TfmPluginSettings() = default;

void TfmPluginSettings::done(int result)
{
    const QString tileUrl = edTileUrl->text().trimmed();
    if (!tileUrl.isEmpty() && !IsTileUrl(tileUrl)) {
        lbTileTest->setText(Tr(Msg::TileUrlPlaceholders));
        edTileUrl->setFocus();
        return;
    }
    DeviceChanged = TPreferences::Store({ cbShowStartupScreen->isChecked(),
        cbCloseMinimizes->isChecked(), rbPrecision6->isChecked(), cbAutoArrange->isChecked(),
        edDeviceFolder->text(), cbCodePage->currentText(), tileUrl });
    QDialog::done(result);
}

QWidget* TfmPluginSettings::CreateTileBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("Web map tiles"), parent);
    edTileUrl = new QLineEdit(box);
    edTileUrl->setObjectName(QStringLiteral("edTileUrl"));
    edTileUrl->setPlaceholderText(DefaultTileUrl());
    edTileUrl->setToolTip(tr("The address of a tile, {z}, {x} and {y} standing for its zoom, "
                             "column and row; empty for OpenStreetMap's tiles"));
    auto* test = new QPushButton(tr("Test"), box);
    test->setObjectName(QStringLiteral("btTestTileUrl"));
    connect(test, &QPushButton::clicked, this, &TfmPluginSettings::TestTileUrl);
    lbTileTest = new QLabel(box);
    lbTileTest->setObjectName(QStringLiteral("lbTileTest"));
    lbTileTest->setWordWrap(true);
    auto* layout = new QGridLayout(box);
    layout->addWidget(edTileUrl, 0, 0);
    layout->addWidget(test, 0, 1);
    layout->addWidget(lbTileTest, 1, 0, 1, 2);
    return box;
}

void TfmPluginSettings::TestTileUrl()
{
    const QString url =
        edTileUrl->text().trimmed().isEmpty() ? DefaultTileUrl() : edTileUrl->text().trimmed();
    if (!IsTileUrl(url)) {
        lbTileTest->setText(Tr(Msg::TileUrlPlaceholders));
        return;
    }
    lbTileTest->setText(tr("Asking the tile server..."));
    TileTest =
        std::make_unique<TTileFetcher>(url, TileCacheFolder(), Settings().TileCacheMiB * MiB);
    connect(TileTest.get(), &TTileFetcher::TileArrived, lbTileTest,
        [this] { lbTileTest->setText(tr("The tile server sent a tile.")); });
    connect(TileTest.get(), &TTileFetcher::Failed, lbTileTest, &QLabel::setText);
    TileTest->Tile({});
}

QWidget* TfmPluginSettings::CreateGeneralTab()
{
    auto* tab = new QWidget(this);
    cbShowStartupScreen = new QCheckBox(tr("Show startup choices screen"), tab);
    cbShowStartupScreen->setObjectName(QStringLiteral("cbShowStartupScreen"));
    cbCloseMinimizes = new QCheckBox(tr("Close button hides Marivel in system tray"), tab);
    cbCloseMinimizes->setObjectName(QStringLiteral("cbCloseMinimizes"));
    auto* precision = new QGroupBox(tr("Coordinate precision"), tab);
    rbPrecision5 = new QRadioButton(tr("5 decimals"), precision);
    rbPrecision5->setObjectName(QStringLiteral("rbPrecision5"));
    rbPrecision6 = new QRadioButton(tr("6 decimals"), precision);
    rbPrecision6->setObjectName(QStringLiteral("rbPrecision6"));
    auto* precisionLayout = new QVBoxLayout(precision);
    precisionLayout->addWidget(rbPrecision5);
    precisionLayout->addWidget(rbPrecision6);
    // The folder that stands for the handheld device: a mounted navigator or memory card.
    auto* device = new QGroupBox(tr("Device folder"), tab);
    edDeviceFolder = new QLineEdit(device);
    edDeviceFolder->setObjectName(QStringLiteral("edDeviceFolder"));
    // Empty, the folder the device library finds is used: show which, or that there is none.
    const QString found = FoundDeviceFolder();
    edDeviceFolder->setPlaceholderText(
        found.isEmpty() ? tr("(none found)") : tr("Found: %1").arg(found));
    auto* browse = new QPushButton(tr("Device Folder..."), device);
    connect(browse, &QPushButton::clicked, this, &TfmPluginSettings::ChooseDeviceFolder);
    auto* deviceLayout = new QHBoxLayout(device);
    deviceLayout->addWidget(edDeviceFolder, 1);
    deviceLayout->addWidget(browse);
    cbCodePage = new QComboBox(tab);
    cbCodePage->setObjectName(QStringLiteral("cbCodePage"));
    cbCodePage->addItems(CodePageNames());
    auto* codePage = new QFormLayout;
    codePage->addRow(Tr(Msg::TextEncoding), cbCodePage);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(cbShowStartupScreen);
    layout->addWidget(cbCloseMinimizes);
    layout->addWidget(precision);
    layout->addWidget(device);
    layout->addLayout(codePage);
    layout->addWidget(CreateTileBox(tab));
    layout->addStretch(1);
    return tab;
}

void TfmPluginSettings::ChooseDeviceFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Device Folder..."), edDeviceFolder->text());
    if (!folder.isEmpty())
        edDeviceFolder->setText(folder);
}

QWidget* TfmPluginSettings::CreatePluginsTab()
{
    auto* tab = new QWidget(this);
    lvPlugins = NewList(tab, { tr("Name") }, "lvPlugins");
    actSettings = new QAction(tr("Settings..."), this);
    actSetDefault = new QAction(tr("Set Default"), this);
    connect(actSettings, &QAction::triggered, this, &TfmPluginSettings::ShowPluginSettings);
    connect(actSetDefault, &QAction::triggered, this, [this] {
        Preferences.SetDefault(lvPlugins->currentIndex().row());
        FillPlugins();
    });
    connect(lvPlugins, &QTreeWidget::itemSelectionChanged, this,
        &TfmPluginSettings::UpdatePluginActions);
    connect(lvPlugins, &QTreeWidget::itemDoubleClicked, this, [this] { actSettings->trigger(); });
    cbAutoArrange = new QCheckBox(tr("Arrange external applications automatically"), tab);
    cbAutoArrange->setObjectName(QStringLiteral("cbAutoArrange"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ButtonFor(actSettings, tab));
    buttons->addWidget(ButtonFor(actSetDefault, tab));
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(lvPlugins, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(row, 1);
    layout->addWidget(cbAutoArrange);
    return tab;
}

void TfmPluginSettings::FillPlugins()
{
    const int selected = lvPlugins->currentIndex().row();
    const int defaultRow = Preferences.DefaultPlugin();
    lvPlugins->clear();
    const QStringList names = Preferences.PluginNames();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QTreeWidgetItem(lvPlugins, { names[i] });
        item->setIcon(0, MarksIcon(*style(), i == defaultRow, false));
    }
    if (selected >= 0)
        lvPlugins->setCurrentItem(lvPlugins->topLevelItem(selected));
    UpdatePluginActions();
}

void TfmPluginSettings::UpdatePluginActions()
{
    const int row = lvPlugins->selectedItems().isEmpty() ? -1 : lvPlugins->currentIndex().row();
    actSettings->setEnabled(Preferences.CanShowSettings(row));
    actSetDefault->setEnabled(Preferences.CanSetDefault(row));
}

void TfmPluginSettings::ShowPluginSettings()
{
    const int row = lvPlugins->currentIndex().row();
    if (Preferences.CanShowSettings(row))
        Preferences.ShowSettings(row, this);
}

QWidget* TfmPluginSettings::CreateConvertersTab(TConverters kind)
{
    const bool importers = kind == TConverters::Importers;
    auto* tab = new QWidget(this);
    QTreeWidget* list =
        NewList(tab, { tr("Name"), tr("Ext"), tr("ID") }, importers ? "lvImport" : "lvExport");
    for (const TPreferences::TConverterRow& row : TPreferences::Rows(kind)) {
        auto* item = new QTreeWidgetItem(list, { row.Name, row.Ext, row.FormatId });
        item->setIcon(0, MarksIcon(*style(), row.Default, row.HasOptions));
    }
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->setMinimumWidth(list->header()->length() + 2 * list->frameWidth() + 20);
    // Every format at a glance, without scrolling.
    list->setMinimumHeight(list->sizeHintForRow(0) * (list->topLevelItemCount() + 2));
    auto* options = new QGroupBox(tr("Options"), tab);
    options->setObjectName(
        importers ? QStringLiteral("gbImportOptions") : QStringLiteral("gbExportOptions"));
    options->setMinimumHeight(90);
    new QVBoxLayout(options);
    (importers ? lvImport : lvExport) = list;
    (importers ? gbImportOptions : gbExportOptions) = options;
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, kind] { ShowOptions(kind); });
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(list, 1);
    if (importers) {
        auto* legend = new QLabel(tr("= Default format for extension"), tab);
        auto* mark = new QLabel(tab);
        mark->setPixmap(MarksIcon(*style(), true, false).pixmap(2 * MarkSize, MarkSize));
        auto* legendRow = new QHBoxLayout;
        legendRow->addWidget(mark);
        legendRow->addWidget(legend, 1);
        layout->addLayout(legendRow);
    }
    layout->addWidget(options);
    return tab;
}

QTreeWidget* TfmPluginSettings::ListOf(TConverters kind) const
{
    return kind == TConverters::Importers ? lvImport : lvExport;
}

QGroupBox* TfmPluginSettings::OptionsBoxOf(TConverters kind) const
{
    return kind == TConverters::Importers ? gbImportOptions : gbExportOptions;
}

void TfmPluginSettings::ShowOptions(TConverters kind)
{
    QGroupBox* box = OptionsBoxOf(kind);
    qDeleteAll(box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    const QList<QTreeWidgetItem*> selected = ListOf(kind)->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = ListOf(kind)->indexOfTopLevelItem(selected.first());
    const std::vector<TPreferences::TOption> options = TPreferences::Options(kind, row);
    for (int i = 0; i < static_cast<int>(options.size()); ++i)
        box->layout()->addWidget(OptionField(kind, row, i, options[i], box));
}

QWidget* TfmPluginSettings::OptionField(
    TConverters kind, int row, int index, const TPreferences::TOption& option, QWidget* parent)
{
    // Each stored at once, for the converter the option belongs to.
    if (option.Kind == okCheckBox) {
        auto* check = new QCheckBox(option.Caption, parent);
        check->setToolTip(option.Hint);
        check->setChecked(option.Checked);
        connect(check, &QCheckBox::toggled, this, [kind, row, index](bool checked) {
            TPreferences::SetOption(kind, row, index, checked);
        });
        return check;
    }
    auto* field = new QWidget(parent);
    field->setToolTip(option.Hint);
    auto* layout = new QHBoxLayout(field);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(option.Caption, field);
    layout->addWidget(label);
    QWidget* editor = nullptr;
    if (option.Kind == okText) {
        auto* text = new QLineEdit(option.Text, field);
        connect(text, &QLineEdit::textChanged, this, [kind, row, index](const QString& value) {
            TPreferences::SetOption(kind, row, index, value);
        });
        editor = text;
    } else {
        auto* number = new QSpinBox(field);
        number->setRange(option.Minimum, option.Maximum);
        number->setValue(option.Number);
        connect(number, &QSpinBox::valueChanged, this,
            [kind, row, index](int value) { TPreferences::SetOption(kind, row, index, value); });
        editor = number;
    }
    label->setBuddy(editor);
    layout->addWidget(editor, 1);
    return field;
}
