#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "editor/uFindDupsTool.h"
#include "widgets/uGuiPrompt.h"

class QAction;
class QSpinBox;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// "Marivel Find Duplicates...": the tolerance, the groups found as a tree of heads and their
// duplicates, and Find, Cut, Copy and Delete, which act on the selected duplicates only.
class TfmFindDups : public QDialog {
    Q_OBJECT

public:
    // `documentChanged` refreshes the document's window after a delete.
    TfmFindDups(
        TDocument& document, std::function<void()> documentChanged, QWidget* parent = nullptr);

    // The search runs through `run` instead of the progress window from now on.
    void SetProgressRunner(TProgressRunner run) { Run = std::move(run); }
    // Messages go to `prompt` instead of message boxes; it must outlive the window.
    void SetPrompt(IUserPrompt& prompt) { Prompt = &prompt; }

    void Find();
    void Copy();
    void Cut();
    void Delete();

    QSpinBox* ToleranceField() const { return edTolerance; }
    QTreeWidget* ResultTree() const { return tvResults; }
    QAction* FindAction() const { return acFind; }
    QAction* CutAction() const { return acCut; }
    QAction* CopyAction() const { return acCopy; }
    QAction* DeleteAction() const { return acDelete; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QToolBar* CreateToolBar();
    QAction* AddAction(const QString& caption, const QKeySequence& shortcut, const QString& hint,
        void (TfmFindDups::*slot)());
    void ShowGroups(const std::vector<TFindDupsTool::TGroup>& groups);
    // The level-1 nodes selected, in tree order.
    std::vector<QTreeWidgetItem*> SelectedDuplicates() const;
    void UpdateActions();

    TFindDupsTool Tool;
    std::function<void()> DocumentChanged;
    TGuiPrompt MessageBoxes;
    IUserPrompt* Prompt = &MessageBoxes;
    TProgressRunner Run;
    QSpinBox* edTolerance;
    QTreeWidget* tvResults;
    QAction* acFind;
    QAction* acCut;
    QAction* acCopy;
    QAction* acDelete;
};
