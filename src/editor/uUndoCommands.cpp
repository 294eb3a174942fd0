#include "editor/uUndoCommands.h"

#include <utility>

TDocumentCommand::TDocumentCommand(const QString& text, TEntries& entries)
    : QUndoCommand(text)
    , Entries(entries)
{
}

void TDocumentCommand::redo()
{
    if (Done)
        Done = false;
    else
        Swap();
}

TRowsCommand::TRowsCommand(const QString& text, TEntries& entries, std::vector<int> rows)
    : TDocumentCommand(text, entries)
    , Rows(std::move(rows))
{
}

TRowsCommand::TRowsCommand(
    const QString& text, TEntries& entries, std::vector<int> rows, TOwnedEntries removed)
    : TDocumentCommand(text, entries)
    , Rows(std::move(rows))
    , Held(std::move(removed))
{
}

void TRowsCommand::Swap()
{
    if (Held.empty()) {
        Held = Entries.TakeRows(Rows);
    } else {
        Entries.PutRows(Rows, std::move(Held));
        Held.clear();
    }
}

std::span<const int> TRowsCommand::RowsToShow() const
{
    return Held.empty() ? std::span<const int>(Rows) : std::span<const int>();
}

TOrderCommand::TOrderCommand(
    const QString& text, TEntries& entries, const std::vector<int>& applied)
    : TDocumentCommand(text, entries)
    , Order(InverseOrder(applied))
{
}

void TOrderCommand::Swap()
{
    Reorder(Entries, Order);
    Order = InverseOrder(Order);
}

TValuesCommand::TValuesCommand(
    const QString& text, TEntries& entries, std::vector<int> rows, std::vector<TEntry> before)
    : TDocumentCommand(text, entries)
    , Rows(std::move(rows))
    , Values(std::move(before))
{
}

void TValuesCommand::Swap()
{
    for (size_t i = 0; i < Rows.size(); ++i) {
        TEntry& entry = Entries.Items(Rows[i]);
        const TEntry current = entry;
        entry = Values[i];
        Values[i] = current;
    }
}
