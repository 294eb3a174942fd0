#include "editor/fFindDups.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/uModel.h"
#include "core/uSettings.h"
#include "platform/uCodePage.h"
#include "platform/uMessages.h"
#include "sites/fProgress.h"

namespace {

// The search in a progress window over `parent`, with its percentage and Cancel.
TProgressRunner ProgressWindowOver(QWidget* parent)
{
    return [parent](const QString& text, const std::function<void(const TSearchProgress&)>& work) {
        TfmProgress progress(
            text,
            [&](TfmProgress& window) {
                work([&](int percent) { return !window.Progress(percent, 100); });
            },
            true, parent);
        progress.Execute();
    };
}

const TEntry* EntryOf(const QTreeWidgetItem* item)
{
    return reinterpret_cast<const TEntry*>(item->data(0, Qt::UserRole).value<quintptr>());
}

std::vector<const TEntry*> EntriesOf(const std::vector<QTreeWidgetItem*>& nodes)
{
    std::vector<const TEntry*> entries;
    for (const QTreeWidgetItem* node : nodes)
        entries.push_back(EntryOf(node));
    return entries;
}

QTreeWidgetItem* NodeOf(const TEntry* entry)
{
    auto* node = new QTreeWidgetItem({ Utf8ToUnicode(entry->Description()) });
    node->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
    return node;
}

} // namespace

TfmFindDups::TfmFindDups(
    TDocument& document, std::function<void()> documentChanged, QWidget* parent)
    : QDialog(parent)
    , Tool(document)
    , DocumentChanged(std::move(documentChanged))
    , MessageBoxes(this)
    , Run(ProgressWindowOver(this))
    , edTolerance(new QSpinBox(this))
    , tvResults(new QTreeWidget(this))
{
    setWindowTitle(Tr(Msg::FindDupsCaption));
    acFind = AddAction(tr("Find"), {}, tr("Find duplicates"), &TfmFindDups::Find);
    acCut = AddAction(tr("Cut"), QKeySequence(tr("Ctrl+X")),
        tr("Cuts the selected duplicates to the clipboard"), &TfmFindDups::Cut);
    acCopy = AddAction(tr("Copy"), QKeySequence(tr("Ctrl+C")),
        tr("Copies the selected duplicates to the clipboard"), &TfmFindDups::Copy);
    acDelete = AddAction(tr("Delete"), QKeySequence::Delete, tr("Deletes the selected duplicates"),
        &TfmFindDups::Delete);

    tvResults->setHeaderHidden(true);
    tvResults->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvResults->setUniformRowHeights(true); // no layout pass over every node of a large result
    connect(tvResults, &QTreeWidget::itemSelectionChanged, this, &TfmFindDups::UpdateActions);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateToolBar());
    layout->addWidget(tvResults, 1);
    layout->addWidget(buttons);
    // Wide enough for the whole tool bar, whose texts are longer in some languages.
    resize(std::max(420, sizeHint().width()), 480);
    UpdateActions();
}

// The tool opens ready for a tolerance, the one thing to fill in before Enter searches.
void TfmFindDups::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    edTolerance->setFocus();
}

QToolBar* TfmFindDups::CreateToolBar()
{
    auto* toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar->addAction(acFind);
    toolBar->addSeparator();
    toolBar->addActions({ acCut, acCopy, acDelete });
    toolBar->addSeparator();
    const QString hint = tr("Distance tolerance to use when comparing items");
    auto* label = new QLabel(tr("Tolerance: "), this);
    edTolerance->setRange(0, 1000000);
    edTolerance->setValue(Settings().FindDupsTolerance);
    edTolerance->setToolTip(hint);
    label->setBuddy(edTolerance);
    toolBar->addWidget(label);
    toolBar->addWidget(edTolerance);
    toolBar->addWidget(new QLabel(tr("m "), this));
    return toolBar;
}

// Enter after typing a tolerance searches with it, rather than closing the tool.
void TfmFindDups::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == edTolerance)
        Find();
    else
        QDialog::keyPressEvent(event);
}

QAction* TfmFindDups::AddAction(const QString& caption, const QKeySequence& shortcut,
    const QString& hint, void (TfmFindDups::*slot)())
{
    auto* action = new QAction(caption, this);
    action->setShortcut(shortcut);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

void TfmFindDups::Find()
{
    tvResults->clear();
    const auto groups = Tool.Find(edTolerance->value(), Run, *Prompt);
    ShowGroups(groups);
}

void TfmFindDups::ShowGroups(const std::vector<TFindDupsTool::TGroup>& groups)
{
    const TWaitCursor hourglass;
    QList<QTreeWidgetItem*> heads;
    for (const TFindDupsTool::TGroup& group : groups) {
        QTreeWidgetItem* head = NodeOf(group.Head);
        for (const TEntry* duplicate : group.Duplicates)
            head->addChild(NodeOf(duplicate));
        heads.append(head);
    }
    tvResults->addTopLevelItems(heads);
    tvResults->expandAll();
    UpdateActions();
}

std::vector<QTreeWidgetItem*> TfmFindDups::SelectedDuplicates() const
{
    std::vector<QTreeWidgetItem*> selected;
    for (int g = 0; g < tvResults->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* head = tvResults->topLevelItem(g);
        for (int d = 0; d < head->childCount(); ++d)
            if (head->child(d)->isSelected())
                selected.push_back(head->child(d));
    }
    return selected;
}

void TfmFindDups::Copy()
{
    const std::vector<const TEntry*> entries = EntriesOf(SelectedDuplicates());
    if (!entries.empty())
        QApplication::clipboard()->setText(Tool.CopyText(entries));
}

void TfmFindDups::Cut()
{
    Copy();
    Delete();
}

void TfmFindDups::Delete()
{
    const std::vector<QTreeWidgetItem*> nodes = SelectedDuplicates();
    if (nodes.empty())
        return;
    Tool.Delete(EntriesOf(nodes));
    for (QTreeWidgetItem* node : nodes)
        delete node;
    DocumentChanged();
    UpdateActions();
}

void TfmFindDups::UpdateActions()
{
    bool duplicateSelected = false;
    for (const QTreeWidgetItem* node : tvResults->selectedItems())
        duplicateSelected = duplicateSelected || node->parent();
    for (QAction* action : { acCut, acCopy, acDelete })
        action->setEnabled(duplicateSelected);
}
