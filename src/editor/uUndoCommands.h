#pragma once

#include <span>
#include <vector>

#include <QUndoCommand>

#include "core/uEntryRows.h"

// The steps of a document's undo history. Each is made once its change is done and holds
// what takes the change back; undo and redo both swap the entries between the two states, so
// the first redo, which the history runs when it takes the step, has nothing to do.
class TDocumentCommand : public QUndoCommand {
public:
    TDocumentCommand(const QString& text, TEntries& entries);
    void undo() override { Swap(); }
    void redo() override;
    // The rows (ascending) that the step, taken or taken back, left changed or brought back:
    // a window marks them, so the user sees what the step did.
    virtual std::span<const int> RowsToShow() const { return {}; }

protected:
    virtual void Swap() = 0;
    TEntries& Entries;

private:
    bool Done = true;
};

// Rows added to the list or removed from it. The removed entries themselves wait here, so
// neither way copies an entry.
class TRowsCommand final : public TDocumentCommand {
public:
    // The entries at `rows` (ascending) were added.
    TRowsCommand(const QString& text, TEntries& entries, std::vector<int> rows);
    // `removed` stood at `rows` (ascending).
    TRowsCommand(
        const QString& text, TEntries& entries, std::vector<int> rows, TOwnedEntries removed);
    // The rows while they are in the list.
    std::span<const int> RowsToShow() const override;

private:
    void Swap() override;

    std::vector<int> Rows;
    TOwnedEntries Held; // empty while the rows are in the list
};

// The rows put in another order (a sort, a move within the list).
class TOrderCommand final : public TDocumentCommand {
public:
    // `applied` is the order the rows were put in, as `Reorder` takes it.
    TOrderCommand(const QString& text, TEntries& entries, const std::vector<int>& applied);

private:
    void Swap() override;

    std::vector<int> Order; // the one that takes the rows to the other state
};

// Values of entries changed in place; the entries stay where they are.
class TValuesCommand final : public TDocumentCommand {
public:
    // `before` holds the values the entries at `rows` had.
    TValuesCommand(
        const QString& text, TEntries& entries, std::vector<int> rows, std::vector<TEntry> before);
    std::span<const int> RowsToShow() const override { return Rows; }

private:
    void Swap() override;

    std::vector<int> Rows;
    std::vector<TEntry> Values; // those of the other state
};
