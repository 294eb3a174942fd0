#include "editor/fMDIChild.h"

#include <algorithm>
#include <span>
#include <tuple>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QVBoxLayout>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "editor/uEntryListModel.h"
#include "editor/uUndoCommands.h"
#include "locations/uLocations.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "plugins/uPluginActions.h"
#include "widgets/uBrowser.h"
#include "widgets/uCursors.h"

namespace {

// Rows travel by reference: the drop asks the source window for its selection, so a drag of
// a million rows costs nothing until it lands.
const QString RowsMimeType = QStringLiteral("application/x-marivel-rows");
TMDIChild* DragSource = nullptr;

constexpr int FreeWithProgressAbove = 2000;
constexpr int HourglassAbove = 1000;
constexpr int DescriptionLength = 64;

// Both read the selection's ranges: asking the selection model for its selected rows costs a
// second and a hundred megabytes when a million rows are selected.
int FirstRow(const QItemSelection& selection)
{
    int first = -1;
    for (const QItemSelectionRange& range : selection)
        if (first < 0 || range.top() < first)
            first = range.top();
    return first;
}

bool HoldsSeveralRows(const QItemSelection& selection)
{
    int seen = -1;
    for (const QItemSelectionRange& range : selection) {
        if (range.height() > 1 || (seen >= 0 && range.top() != seen))
            return true;
        seen = range.top();
    }
    return false;
}

// Wide enough to show `widest` whole in `edit`'s font, with its frame and margins.
int FittingWidth(const QLineEdit& edit, const QString& widest)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
    // The line edit's own text margins and its cursor.
    const QSize text(edit.fontMetrics().horizontalAdvance(widest) + 6, edit.fontMetrics().height());
    return edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, &edit).width();
}

// The focus frame goes round the whole current row, which the list draws, not round one cell.
class TRowFocusDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

TEntryListView::TEntryListView(TMDIChild& owner)
    : QTableView(&owner)
    , Owner(owner)
{
    // Shown as a list: whole rows, no grid, no row numbers, rows as high as a line of text.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height());
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setItemDelegate(new TRowFocusDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
}

// The keys walk the rows only, as in a list: Home and End go to the first and last row.
QModelIndex TEntryListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    switch (action) {
    case MoveLeft:
    case MoveRight:
        return currentIndex();
    case MoveHome:
    case MoveEnd:
        return QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

void TEntryListView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !hasFocus())
        return;
    QStyleOptionFocusRect option;
    option.initFrom(this);
    // As an item's own focus frame is drawn, whatever moved the focus.
    option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    option.rect = QRect(-horizontalOffset(), rowViewportPosition(current.row()),
        horizontalHeader()->length(), rowHeight(current.row()));
    option.backgroundColor = palette().color(
        selectionModel()->isSelected(current) ? QPalette::Highlight : QPalette::Base);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void TEntryListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    viewport()->update();
}

void TEntryListView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TEntryListView::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

// A description edited in place is an edit like any other: caption and fields follow.
void TEntryListView::commitData(QWidget* editor)
{
    QTableView::commitData(editor);
    Owner.UpdateView();
}

// What may be done with the row depends on the focus, which is back on the list only now.
void TEntryListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    Owner.UpdateView();
}

void TEntryListView::startDrag(Qt::DropActions)
{
    auto* mime = new QMimeData;
    mime->setData(RowsMimeType, QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    DragSource = &Owner;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    DragSource = nullptr;
}

void TEntryListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (DragSource && event->mimeData()->hasFormat(RowsMimeType))
        event->acceptProposedAction();
}

void TEntryListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (DragSource && event->mimeData()->hasFormat(RowsMimeType))
        event->acceptProposedAction();
}

void TEntryListView::dropEvent(QDropEvent* event)
{
    if (!DragSource || !event->mimeData()->hasFormat(RowsMimeType))
        return;
    const QModelIndex target = indexAt(event->position().toPoint());
    Owner.DropFrom(*DragSource, target.isValid() ? target.row() : -1);
    event->setDropAction(Qt::CopyAction); // the move, if any, is done; the source keeps its rows
    event->accept();
}

TMDIChild::TMDIChild(QWidget* parent)
    : QWidget(parent)
    , MessageBoxes(this, [this] { return Document.Name(); })
    , Model(new TEntryListModel(Document, this))
    , List(new TEntryListView(*this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    CreateActions();
    List->setModel(Model);
    List->horizontalHeader()->setSectionsClickable(true);
    List->horizontalHeader()->setStretchLastSection(false);
    List->horizontalHeader()->setSectionResizeMode(TDocument::colDescription, QHeaderView::Stretch);
    List->horizontalHeader()->resizeSection(TDocument::colLatitude, 92);
    List->horizontalHeader()->resizeSection(TDocument::colLongitude, 92);
    List->addActions(
        { acInsert, acDelete, acRenameSelected, acPluginGoto, acPluginAdd, actShowIn, actAddTo });
    // The plugin submenus are filled as the menu opens.
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdatePluginCommands(true);
        QMenu::exec(List->actions(), List->viewport()->mapToGlobal(at), nullptr, List);
    });
    connect(List, &QAbstractItemView::doubleClicked, acPluginGoto, &QAction::trigger);
    List->installEventFilter(this);
    // A second click on the column sorted by sorts it the other way.
    connect(List->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const bool again = column == SortColumn && SortDirection == Qt::AscendingOrder;
        Sort(static_cast<TDocument::TColumn>(column),
            again ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(List->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!Updating)
            ShowCurrentEntry();
    });
    connect(List->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { ShowCurrentEntry(); });

    CreateMap();
    UpdateView();
}

// The map on the left, the list with its toolbar and edit fields on the right.
void TMDIChild::CreateMap()
{
    Map = new TMapPanel(*this,
        { LoadCursor(QStringLiteral("CURHANDOVER")), LoadCursor(QStringLiteral("CURHANDGRAB")),
            LoadCursor(QStringLiteral("CURSETPOS")) },
        this);
    connect(Map, &TMapPanel::PointerMoved, this, &TMDIChild::MapPointerMoved);
    connect(Map, &TMapPanel::PageRequested, this,
        [this](const QString& address) { ShowInBrowser(address, *Prompt); });
    connect(Map, &TMapPanel::TilesUnavailable, this, &TMDIChild::MapMessage);
    MapSplitter = new QSplitter(this);
    MapSplitter->addWidget(Map);
    MapSplitter->addWidget(CreateListSide());
    MapSplitter->setStretchFactor(1, 1);
    MapSplitter->setChildrenCollapsible(false);
    // The map keeps its share of the window, so a window opened smaller than the last one
    // still shows its list.
    connect(MapSplitter, &QSplitter::splitterMoved, this, [this] {
        if (MapSplitter->width() > 0)
            Settings().MapPanelShare = std::clamp(Map->width() * 100 / MapSplitter->width(), 1, 99);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MapSplitter);
    ShowMap(Settings().MapVisible);
}

QWidget* TMDIChild::CreateListSide()
{
    auto* side = new QWidget(this);
    auto* toolBar = new QToolBar(side);
    toolBar->addActions({ acInsert, acDelete, acRenameSelected });
    toolBar->addSeparator();
    toolBar->addActions({ acPluginGoto, acPluginAdd });
    toolBar->addSeparator();
    toolBar->addAction(acShowMap);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(toolBar);
    layout->addWidget(List, 1);
    layout->addWidget(ScrollingWhenNarrow(CreateEditFields()));
    return side;
}

void TMDIChild::ShowMap(bool visible)
{
    Settings().MapVisible = visible;
    acShowMap->setChecked(visible);
    Map->setVisible(visible);
    if (visible)
        Map->FillMapList();
}

// A window narrower than the edit fields (tiled beside others) scrolls them sideways rather
// than squeezing them over each other.
QWidget* TMDIChild::ScrollingWhenNarrow(QWidget* fields)
{
    auto* area = new QScrollArea(this);
    area->setWidget(fields);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFixedHeight(
        fields->sizeHint().height() + area->horizontalScrollBar()->sizeHint().height());
    return area;
}

TMDIChild::~TMDIChild()
{
    // Child widgets outlive the members, but the list reads the entries while it is taken
    // down (a window deleted while shown lays out its rows once more).
    delete List;
}

void TMDIChild::CreateActions()
{
    const auto action = [this](const QString& caption, const QKeySequence& shortcut) {
        auto* created = new QAction(caption, this);
        created->setShortcut(shortcut);
        created->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        return created;
    };
    acInsert = action(tr("&Insert"), Qt::Key_Insert);
    acDelete = action(tr("&Delete"), QKeySequence::Delete);
    acRenameSelected = action(tr("&Rename Selected"), {});
    // Plugins show and collect entries in map programs.
    acPluginGoto = action(tr("&Show"), {});
    acPluginAdd = action(tr("&Add"), {});
    actShowIn = action(tr("Sho&w in"), {});
    actAddTo = action(tr("Add &to"), {});
    actShowIn->setMenu(new QMenu(this));
    actAddTo->setMenu(new QMenu(this));
    connect(acPluginGoto, &QAction::triggered, this,
        [this] { ShowInPlugin(Plugins ? Plugins->Default() : nullptr); });
    connect(acPluginAdd, &QAction::triggered, this,
        [this] { AddToPlugin(Plugins ? Plugins->Default() : nullptr); });
    connect(acInsert, &QAction::triggered, this, &TMDIChild::Insert);
    connect(acDelete, &QAction::triggered, this, &TMDIChild::Delete);
    connect(acRenameSelected, &QAction::triggered, this, &TMDIChild::RenameSelected);
    acShowMap = action(tr("Map"), {});
    acShowMap->setCheckable(true);
    acShowMap->setToolTip(tr("Shows or hides the map"));
    connect(acShowMap, &QAction::toggled, this, [this](bool on) { ShowMap(on); });
}

QWidget* TMDIChild::CreateEditFields()
{
    // The description on a line of its own, so it stays wide in a narrow window, and one line
    // per axis, so a tiled window shows every field; labels keep to their fields in a wide one.
    enum TColumn { cLabel, cDecimal, cSign, cDegrees, cStretch = cDegrees + 6 };
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setColumnStretch(cStretch, 1);
    const auto label = [&](const QString& text, int row, int column) {
        auto* shown = new QLabel(text, panel);
        grid->addWidget(shown, row, column, column == cLabel ? Qt::AlignRight : Qt::AlignLeft);
    };
    // Named as the fields of the entry they show, for tests and style sheets.
    static const char* const names[] = { "edDescription", "edLatitude", "edLongitude", "edLatDeg",
        "edLatMin", "edLatSec", "edLonDeg", "edLonMin", "edLonSec", "buLatSign", "buLonSign" };
    const auto named = [&](QWidget* widget, TEditField kind) {
        widget->setObjectName(QLatin1String(names[static_cast<size_t>(kind)]));
        Fields.emplace_back(widget, kind);
    };
    const auto field = [&](TEditField kind, const QString& widest) {
        auto* edit = new QLineEdit(panel);
        if (!widest.isEmpty())
            edit->setFixedWidth(FittingWidth(*edit, widest));
        edit->installEventFilter(this);
        named(edit, kind);
        return edit;
    };
    const auto sign = [&](TEditField kind) {
        auto* button = new QPushButton(panel);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QLatin1Char('W')) + 16);
        named(button, kind);
        connect(button, &QPushButton::clicked, this, [this, button, kind] {
            CommitEdits();
            ApplyField(kind, button->text());
        });
        return button;
    };
    edDescription = field(TEditField::Description, QString());
    edDescription->setMaxLength(DescriptionLength);
    label(tr("Description"), 0, cLabel);
    grid->addWidget(edDescription, 0, cDecimal, 1, cStretch - cDecimal + 1);
    // One axis: its decimal field, its hemisphere button, then degrees, minutes and seconds.
    const auto axis = [&](int row, const QString& caption, TEditField decimal,
                          TEditField hemisphere, TEditField degreesField) {
        label(caption, row, cLabel);
        QLineEdit* edit = field(decimal, QStringLiteral("-180.000000"));
        grid->addWidget(edit, row, cDecimal);
        QPushButton* button = sign(hemisphere);
        grid->addWidget(button, row, cSign);
        static const QString units[] = { QStringLiteral("\u00b0"), QStringLiteral("\u2032"),
            QStringLiteral("\u2033") };
        // Degrees and minutes alike, so the boxes line up.
        static const QString widest[] = { QStringLiteral("180"), QStringLiteral("180"),
            QStringLiteral("59.99") };
        for (int part = 0; part < 3; ++part) {
            const auto kind = static_cast<TEditField>(static_cast<int>(degreesField) + part);
            QLineEdit* box = field(kind, widest[part]);
            box->setValidator(new TDegreePartValidator(kind, box));
            grid->addWidget(box, row, cDegrees + 2 * part);
            label(units[part], row, cDegrees + 2 * part + 1);
        }
        return std::pair { edit, button };
    };
    std::tie(edLatitude, buLatSign) =
        axis(1, tr("Lat"), TEditField::Latitude, TEditField::LatSign, TEditField::LatDeg);
    std::tie(edLongitude, buLonSign) =
        axis(2, tr("Lon"), TEditField::Longitude, TEditField::LonSign, TEditField::LonDeg);
    return panel;
}

int TMDIChild::CurrentRow() const
{
    const QModelIndex current = List->currentIndex();
    if (current.isValid() && current.row() < Document.Entries.Count())
        return current.row();
    return FirstRow(List->selectionModel()->selection());
}

bool TMDIChild::HasSelection() const { return List->selectionModel()->hasSelection(); }

bool TMDIChild::OneRowSelected() const
{
    return HasSelection() && !HoldsSeveralRows(List->selectionModel()->selection());
}

void TMDIChild::Undo() { StepHistory(&QUndoStack::undo); }

void TMDIChild::Redo() { StepHistory(&QUndoStack::redo); }

void TMDIChild::StepHistory(void (QUndoStack::*step)())
{
    CommitEdits();
    TWaitCursor wait(Document.Entries.Count() > HourglassAbove);
    const int before = Document.History.index();
    (Document.History.*step)();
    UpdateView();
    if (Document.History.index() == before)
        return;
    // The step taken back is the one before the history's new index, the step taken again the
    // one at its old index.
    const auto* taken = dynamic_cast<const TDocumentCommand*>(
        Document.History.command(std::min(before, Document.History.index())));
    TRowRanges ranges;
    for (const int row : taken ? taken->RowsToShow() : std::span<const int>())
        if (!ranges.empty() && ranges.back().second + 1 == row)
            ranges.back().second = row;
        else
            ranges.emplace_back(row, row);
    if (ranges.empty())
        return;
    SelectRanges(ranges);
    // The first of them becomes the current row, so the edit fields show what the step did.
    const QModelIndex first = Model->index(ranges.front().first, 0);
    List->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    List->scrollTo(first);
}

std::vector<int> TMDIChild::SelectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : List->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TMDIChild::SelectOnly(int row)
{
    List->selectionModel()->clearSelection();
    if (row < 0)
        return;
    const QModelIndex index = Model->index(row, 0);
    List->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    List->scrollTo(index);
}

void TMDIChild::UpdateView()
{
    Model->Refresh();
    Map->EntriesChanged();
    setWindowTitle(Document.Caption());
    ShowCurrentEntry();
    emit ViewChanged();
}

void TMDIChild::ShowCurrentEntry()
{
    const int row = CurrentRow();
    TEditTexts texts = TEntryEditSync::FromEntry(row >= 0 ? &Document.Entries.Items(row) : nullptr);
    for (auto& [widget, kind] : Fields) {
        widget->setEnabled(texts.Enabled);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != texts[kind])
                edit->setText(texts[kind]);
        } else {
            static_cast<QPushButton*>(widget)->setText(texts[kind]);
        }
    }
    acRenameSelected->setEnabled(HoldsSeveralRows(List->selectionModel()->selection()));
    // A text field, the in-place editor too, takes the Delete key before the action does.
    acDelete->setEnabled(HasSelection());
    UpdatePluginCommands(false);
    if (Map)
        Map->Refresh();
    emit SelectionChanged();
}

void TMDIChild::AddListCommands(const QList<QAction*>& commands)
{
    List->insertActions(acPluginGoto, commands);
}

void TMDIChild::SetPlugins(TPluginList& plugins, IPluginWindows& windows)
{
    Plugins = &plugins;
    PluginWindows = &windows;
    UpdatePluginCommands(false);
}

void TMDIChild::UpdatePluginCommands(bool withSubmenus)
{
    static TPluginList none;
    const TPluginCommands commands = PluginCommandsFor(
        Plugins ? *Plugins : none, CanCopy(), List->selectionModel()->hasSelection());
    acPluginGoto->setText(commands.ShowCaption);
    acPluginGoto->setEnabled(commands.ShowEnabled);
    acPluginAdd->setText(commands.AddCaption);
    acPluginAdd->setEnabled(commands.AddEnabled);
    actShowIn->setVisible(commands.SubmenusVisible);
    actAddTo->setVisible(commands.SubmenusVisible);
    if (!withSubmenus)
        return;
    const auto fill = [this](QAction* submenu, const std::vector<TPluginMenuItem>& items,
                          void (TMDIChild::*run)(TPlugin*)) {
        submenu->menu()->clear();
        for (const TPluginMenuItem& item : items) {
            QAction* added = submenu->menu()->addAction(item.Caption, this,
                [this, run, index = item.Plugin] { (this->*run)(&(*Plugins)[index]); });
            added->setEnabled(item.Enabled);
        }
        submenu->setEnabled(!items.empty());
    };
    fill(actShowIn, commands.ShowInItems, &TMDIChild::ShowInPlugin);
    fill(actAddTo, commands.AddToItems, &TMDIChild::AddToPlugin);
}

void TMDIChild::ShowInPlugin(TPlugin* plugin)
{
    const int row = CurrentRow();
    if (!plugin || row < 0)
        return;
    CommitEdits();
    const TWaitCursor busy;
    ShowIn(*plugin, PluginPointOf(Document.Entries.Items(row)), *PluginWindows);
}

void TMDIChild::AddToPlugin(TPlugin* plugin)
{
    if (!plugin)
        return;
    CommitEdits();
    const TWaitCursor busy;
    std::vector<TPluginPoint> points;
    for (int row : SelectedRows())
        points.push_back(PluginPointOf(Document.Entries.Items(row)));
    AddTo(*plugin, points, *PluginWindows);
}

TRowRanges TMDIChild::SelectedRanges() const
{
    TRowRanges ranges;
    for (const QItemSelectionRange& range : List->selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    return NormalizedRanges(std::move(ranges));
}

void TMDIChild::SelectRanges(const TRowRanges& rows)
{
    QItemSelection selection;
    for (const auto& [first, last] : rows)
        selection.select(Model->index(first, 0), Model->index(last, TDocument::colLongitude));
    Updating = true;
    List->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    Updating = false;
    ShowCurrentEntry();
}

void TMDIChild::SetCurrentPosition(double lon, double lat)
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    Document.SetPosition(row, lon, lat); // one step the user can undo
    UpdateView();
}

TEditField TMDIChild::FieldOf(QObject* widget) const
{
    for (const auto& [field, kind] : Fields)
        if (field == widget)
            return kind;
    return TEditField::Description;
}

void TMDIChild::ApplyField(TEditField field, const QString& text)
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    try {
        if (Document.Edit(
                row, [&](TEntry& entry) { return TEntryEditSync::ToEntry(entry, field, text); }))
            UpdateView();
    } catch (const EUserError& e) {
        // The field shows the entry's value again, and the user why the text was refused.
        ShowCurrentEntry();
        Prompt->ShowMessage(AsSentence(e.Message()));
    }
}

// A pending edit of the focused field reaches the entry before a command reads the entries.
void TMDIChild::CommitEdits()
{
    QWidget* focused = focusWidget();
    for (const auto& [widget, kind] : Fields)
        if (widget == focused && qobject_cast<QLineEdit*>(widget))
            ApplyField(kind, static_cast<QLineEdit*>(widget)->text());
}

bool TMDIChild::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List && event->type() == QEvent::KeyPress) {
        // Enter that ends an in-place edit comes on to the list once the editor is done with it.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !List->Editing()) {
            acPluginGoto->trigger();
            return true;
        }
        return false;
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit)
        return false;
    if (event->type() == QEvent::FocusOut) {
        ApplyField(FieldOf(edit), edit->text());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (edit == edDescription)
        return DescriptionKey(key);
    if (edit == edLatitude || edit == edLongitude)
        return DecimalFieldKey(edit, key);
    return false;
}

// Up and Down walk the list from the description field, so a list of names can be typed in
// one go.
bool TMDIChild::DescriptionKey(int key)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const int caret = edDescription->cursorPosition();
    const bool atEnd = caret == edDescription->text().size();
    ApplyField(TEditField::Description, edDescription->text());
    const int row = CurrentRow();
    const int next =
        std::clamp(row + (key == Qt::Key_Up ? -1 : 1), 0, Document.Entries.Count() - 1);
    if (row >= 0 && next != row)
        SelectOnly(next);
    edDescription->setCursorPosition(atEnd ? edDescription->text().size() : caret);
    return true;
}

bool TMDIChild::DecimalFieldKey(QLineEdit* field, int key)
{
    if (key != Qt::Key_Minus && key != Qt::Key_Plus)
        return false;
    field->setText(TEntryEditSync::WithSign(field->text(), key == Qt::Key_Minus));
    ApplyField(FieldOf(field), field->text());
    return true;
}

void TMDIChild::Insert()
{
    if (List->Editing())
        return; // Ins belongs to a row's description being edited in place
    CommitEdits();
    const int row = Document.Insert();
    UpdateView();
    SelectOnly(row);
    edDescription->setFocus();
    edDescription->selectAll();
}

void TMDIChild::Delete() { Remove(TDocument::rmDelete); }

void TMDIChild::Remove(TDocument::TRemoval why)
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    // The first selected row's place, not the focused row's: deleting a block selected
    // downwards selects the row that followed it.
    const int next = Document.Delete(rows, rows.front(), why);
    UpdateView();
    SelectOnly(next);
    UpdateView();
}

void TMDIChild::RenameSelected()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QApplication::applicationDisplayName(),
        Tr(Msg::RenamePrompt), QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    Document.Rename(SelectedRows(), text.toStdString());
    UpdateView();
}

bool TMDIChild::CanCopy() const
{
    // An in-place edit of a row is a text field too.
    return !qobject_cast<QLineEdit*>(QApplication::focusWidget())
        && List->selectionModel()->hasSelection();
}

void TMDIChild::CopySelection()
{
    QApplication::clipboard()->setText(Document.GpxTextOf(SelectedRows()));
}

void TMDIChild::Cut()
{
    CopySelection();
    Remove(TDocument::rmCut);
}

void TMDIChild::Paste()
{
    if (qobject_cast<QLineEdit*>(
            QApplication::focusWidget())) // a text field, or a row edited in place
        return;
    const QString text = QApplication::clipboard()->text();
    try {
        Document.Paste(text);
    } catch (...) {
        UpdateView(); // what was read before the fault stays
        throw;
    }
    List->selectionModel()->clearSelection();
    UpdateView();
}

void TMDIChild::CopyAsText()
{
    QApplication::clipboard()->setText(Document.PlainTextOf(SelectedRows()));
}

void TMDIChild::Sort(TDocument::TColumn column, Qt::SortOrder direction)
{
    CommitEdits();
    TWaitCursor wait(Document.Entries.Count() > HourglassAbove);
    const int current = CurrentRow();
    const TRowRanges selected = SelectedRanges();
    const std::vector<int> order = Document.Sort(column, direction);
    std::vector<int> sortedRow(order.size());
    for (size_t row = 0; row < order.size(); ++row)
        sortedRow[static_cast<size_t>(order[row])] = static_cast<int>(row);
    TRowRanges moved;
    for (const auto& [first, last] : selected)
        for (int row = first; row <= last; ++row)
            moved.emplace_back(
                sortedRow[static_cast<size_t>(row)], sortedRow[static_cast<size_t>(row)]);
    SortColumn = column;
    SortDirection = direction;
    List->horizontalHeader()->setSortIndicatorShown(true);
    List->horizontalHeader()->setSortIndicator(column, direction);
    UpdateView();
    SelectRanges(NormalizedRanges(std::move(moved)));
    if (current >= 0) {
        const QModelIndex index = Model->index(sortedRow[static_cast<size_t>(current)], 0);
        List->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        List->scrollTo(index);
    }
}

void TMDIChild::SelectAll()
{
    TWaitCursor wait(Document.Entries.Count() > HourglassAbove);
    Updating = true;
    List->selectAll();
    List->setFocus();
    Updating = false;
    ShowCurrentEntry();
}

void TMDIChild::InvertSelection()
{
    TWaitCursor wait(Document.Entries.Count() > HourglassAbove);
    Updating = true;
    const int count = Document.Entries.Count();
    if (count > 0) {
        const QItemSelection all(Model->index(0, 0), Model->index(count - 1, 2));
        List->selectionModel()->select(all, QItemSelectionModel::Toggle);
    }
    List->setFocus();
    Updating = false;
    ShowCurrentEntry();
}

void TMDIChild::Find(const QString& text)
{
    SelectOnly(Document.FindFirst(text));
    List->setFocus();
}

void TMDIChild::FindNext(const QString& text)
{
    SelectOnly(Document.FindNext(text, CurrentRow()));
    List->setFocus();
}

void TMDIChild::DropFrom(TMDIChild& source, int row)
{
    source.CommitEdits();
    // Taken before the target's selection is cleared: in a move it is the same selection.
    const std::vector<int> dragged = source.SelectedRows();
    List->selectionModel()->clearSelection();
    Document.Drop(source.Document, dragged, row);
    if (&source != this)
        source.List->selectionModel()->clearSelection();
    UpdateView();
}

void TMDIChild::LoadFromList(
    TEntries& source, const QString& location, TDocument::TLoadMode mode, const QString& formatId)
{
    Document.LoadFromList(source, location, mode, formatId);
    UpdateView();
}

bool TMDIChild::Save()
{
    return Document.FileName.isEmpty() ? SaveAs() : SaveTo(QString(), QString());
}

bool TMDIChild::SaveAs()
{
    QStringList filters;
    FillExporterNames(filters);
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("ov2"));
    dialog.setDirectory(Settings().InitialDir);
    int index = IndexOfExporterFormat(Document.FormatId);
    if (index < 0)
        index = IndexOfExporterFormat(Settings().LastSaveFormat);
    if (index >= 0)
        dialog.selectNameFilter(filters.value(index));
    if (!Document.FileName.isEmpty())
        dialog.selectFile(LocationFileName(Document.FileName));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        const QString file = dialog.selectedFiles().first();
        const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
        bool ok = true;
        CheckFileExtension(file, chosen + 1, ok, *Prompt);
        if (!ok)
            continue;
        const QString formatId = ExporterFormatId(chosen);
        if (!SaveTo(QStringLiteral("FILE://") + file, formatId))
            return false;
        Settings().InitialDir = QFileInfo(file).absolutePath();
        Settings().LastSaveFormat = formatId;
        Settings().AddRecentFile(QStringLiteral("FILE://") + file, formatId);
        return true;
    }
}

bool TMDIChild::SaveTo(const QString& location, const QString& formatId)
{
    CommitEdits();
    TWaitCursor wait;
    try {
        const bool saved = Document.SaveTo(location, formatId, *Prompt);
        UpdateView();
        return saved;
    } catch (...) {
        UpdateView(); // the new name shows even when writing failed
        throw;
    }
}

bool TMDIChild::AskSave()
{
    CommitEdits();
    return Document.AskSave(*Prompt, [this] { return Save(); });
}

void TMDIChild::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int total = MapSplitter->width();
    const int listMinimum = MapSplitter->widget(1)->minimumSizeHint().width();
    const int map = std::max(std::min(total * Settings().MapPanelShare / 100, total - listMinimum),
        Map->minimumSizeHint().width());
    MapSplitter->setSizes({ map, std::max(total - map, 1) });
}

void TMDIChild::closeEvent(QCloseEvent* event)
{
    if (!AskSave()) {
        event->ignore();
        return;
    }
    FreeEntries();
    event->accept();
}

// Freeing millions of entries takes a moment; the user sees why.
void TMDIChild::FreeEntries()
{
    TWaitCursor wait;
    std::unique_ptr<QProgressDialog> progress;
    if (Document.Entries.Count() > FreeWithProgressAbove) {
        progress =
            std::make_unique<QProgressDialog>(Tr(Msg::CleaningUp), QString(), 0, 100, window());
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setMinimumDuration(0);
        Document.Entries.OnProgress = [&](int percent) {
            progress->setValue(percent);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }
    Document.Entries.Clear();
    Document.Entries.OnProgress = nullptr;
    Document.History.clear(); // the entries its steps hold
    Model->Refresh();
}
