#pragma once

#include <vector>

#include <QTableView>
#include <QWidget>

#include "editor/uDocument.h"
#include "map/fMapPanel.h"
#include "tools/uEntryEditSync.h"
#include "widgets/uGuiPrompt.h"

class IPluginWindows;
class QAction;
class QLineEdit;
class QPushButton;
class TEntryListModel;
class QSplitter;
class TMDIChild;
class TPlugin;
class TPluginList;

// The list of a document: rows can be dragged within it and to the list of another document.
// A table view rather than a tree view, which keeps a layout record for every row: 67 MB at a
// million rows, and a pass over all of them whenever the rows change.
class TEntryListView : public QTableView {
    Q_OBJECT

public:
    explicit TEntryListView(TMDIChild& owner);

    // A row's description is being edited in place.
    bool Editing() const { return state() == EditingState; }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // The focus frame spans the current row: these draw it again where it was and where it is.
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TMDIChild& Owner;
};

// A document window: the entries in a list of three columns and the current entry in a row
// of edit fields, with the map beside them. The main window routes its document commands here.
class TMDIChild : public QWidget, public IMapDocument {
    Q_OBJECT

public:
    explicit TMDIChild(QWidget* parent = nullptr);
    ~TMDIChild() override;

    TDocument Document;
    // Questions (save changes, precision, file extension) go to `prompt` from now on instead
    // of message boxes; it must outlive the window.
    void SetPrompt(IUserPrompt& prompt) { Prompt = &prompt; }
    // The plugins the document's "Show" and "Add" commands send entries to, and the windows
    // they arrange; both must outlive the window.
    void SetPlugins(TPluginList& plugins, IPluginWindows& windows);

    void LoadFromList(TEntries& source, const QString& location, TDocument::TLoadMode mode,
        const QString& formatId);
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString& location, const QString& formatId);
    // Whether the window may close, asking to save changes.
    bool AskSave();

    void CopySelection();
    void Cut();
    void Paste();
    void CopyAsText();
    // Sorts by `column`, keeping the selected and the current entries so.
    void Sort(TDocument::TColumn column, Qt::SortOrder direction);
    void SelectAll();
    void InvertSelection();
    void Find(const QString& text);
    void FindNext(const QString& text);
    void Insert();
    void Delete();
    void Undo();
    void Redo();
    // False while a text field has the focus, nothing is selected or a row is being edited.
    bool CanCopy() const;
    // The rows selected, ascending.
    std::vector<int> SelectedRows() const;
    int CurrentRow() const override;
    bool HasSelection() const;
    bool OneRowSelected() const;
    void SelectOnly(int row);
    // Refreshes the list, the caption and the edit fields; tells the main window.
    void UpdateView();
    // Rows of `source`'s list dropped on `row` of this one (-1: below the last).
    void DropFrom(TMDIChild& source, int row);

    TMapPanel& MapPanel() const { return *Map; }
    // Shows or hides the map, remembering the choice for new documents.
    void ShowMap(bool visible);

    // What the map reads and does.
    const TEntries& MapEntries() const override { return Document.Entries; }
    TRowRanges SelectedRanges() const override;
    void SelectRanges(const TRowRanges& rows) override;
    void SetCurrentPosition(double lon, double lat) override;
    IUserPrompt& MapPrompt() override { return *Prompt; }

    QAction* InsertAction() const { return acInsert; }
    QAction* DeleteAction() const { return acDelete; }
    QAction* PluginGotoAction() const { return acPluginGoto; }
    QAction* PluginAddAction() const { return acPluginAdd; }
    QAction* ShowInAction() const { return actShowIn; }
    QAction* AddToAction() const { return actAddTo; }
    // Commands of the main window that the list's context menu offers too.
    void AddListCommands(const QList<QAction*>& commands);
    // Fills the submenus as the context menu does before it opens.
    void UpdatePluginCommands(bool withSubmenus);

signals:
    // Caption, entry count or change state may have changed.
    void ViewChanged();
    void SelectionChanged();
    // The status text of the pointer over the map.
    void MapPointerMoved(const QString& text);
    // A message of the map for the status bar.
    void MapMessage(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    QWidget* CreateListSide();
    void CreateMap();
    QWidget* CreateEditFields();
    QWidget* ScrollingWhenNarrow(QWidget* fields);
    void RenameSelected();
    void Remove(TDocument::TRemoval why);
    void StepHistory(void (QUndoStack::*step)());
    void CommitEdits();
    void ApplyField(TEditField field, const QString& text);
    void ShowCurrentEntry();
    bool DescriptionKey(int key);
    bool DecimalFieldKey(QLineEdit* field, int key);
    TEditField FieldOf(QObject* widget) const;
    void FreeEntries();
    void ShowInPlugin(TPlugin* plugin);
    void AddToPlugin(TPlugin* plugin);

    TGuiPrompt MessageBoxes;
    IUserPrompt* Prompt = &MessageBoxes;
    TEntryListModel* Model;
    TEntryListView* List;
    QAction* acInsert;
    QAction* acDelete;
    QAction* acRenameSelected;
    QAction* acPluginGoto;
    QAction* acPluginAdd;
    QAction* actShowIn;
    QAction* actAddTo;
    TPluginList* Plugins = nullptr;
    IPluginWindows* PluginWindows = nullptr;
    QAction* acShowMap;
    TMapPanel* Map = nullptr;
    QSplitter* MapSplitter = nullptr;
    std::vector<std::pair<QWidget*, TEditField>> Fields;
    QLineEdit* edDescription;
    QLineEdit* edLatitude;
    QLineEdit* edLongitude;
    QPushButton* buLatSign;
    QPushButton* buLonSign;
    bool Updating = false; // a bulk selection change runs
    // What the list was last sorted by, which the header shows.
    int SortColumn = -1;
    Qt::SortOrder SortDirection = Qt::AscendingOrder;
};
