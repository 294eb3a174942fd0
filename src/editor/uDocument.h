#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QUndoStack>

#include "core/uModel.h"
#include "platform/uCodePage.h"

class IUserPrompt;
class QUndoCommand;

// What a document window does with its entries, apart from showing them: every rule of
// inserting, deleting, renaming, sorting, finding, the clipboard texts, drag and drop, loading
// and saving. Rows are positions in `Entries`; the window passes the selected rows in
// ascending order. Every change it makes is a step in `History`, which undoes and redoes it.
class TDocument {
public:
    enum TLoadMode { lmOpen = 0, lmAppend = 1 };
    enum TColumn { colDescription = 0, colLatitude = 1, colLongitude = 2 };
    // Why rows go: the step's name in the history.
    enum TRemoval { rmDelete, rmCut, rmDuplicates };

    TDocument();

    TEntries Entries;
    // The steps that changed the entries since they were loaded; its clean state is the
    // saved one.
    QUndoStack History;
    // Where the document was loaded from or last saved to, as a location; empty when new.
    QString FileName;
    // The format it is saved in; empty means the first exporter of the extension.
    QString FormatId;

    // The file-name part of `FileName`, or "Untitled".
    QString Name() const;
    // Changed since loaded or saved: undoing back to the saved state makes it unchanged.
    bool Changed() const { return !History.isClean(); }
    // The name followed by "*" when changed.
    QString Caption() const;
    // "12 items".
    QString CountText() const;

    // Adds "New entry #n" at the end and returns its row.
    int Insert();
    // Deletes `rows` (in any order) in one step named by `why`; returns the row to select
    // afterwards (`selectedRow`, or the last row when that is past the end), -1 when the list
    // is empty.
    int Delete(const std::vector<int>& rows, int selectedRow, TRemoval why = rmDelete);
    void Rename(const std::vector<int>& rows, const std::string& description);
    // Runs `edit` on the entry at `row`, which answers whether it changed anything.
    bool Edit(int row, const std::function<bool(TEntry& entry)>& edit);
    // Where the entry at `row` lies, as a map sets it.
    void SetPosition(int row, double longitude, double latitude);
    // By the column's value, the description ignoring case; descending is the ascending order
    // read backwards. Returns the order: for each row of the sorted list, its row before.
    std::vector<int> Sort(TColumn column, Qt::SortOrder direction = Qt::AscendingOrder);
    // The first row from `from` on whose description holds `text` ignoring case; -1 for none.
    int Find(const QString& text, int from) const;
    // Fail with "No items found" and "No more items found".
    int FindFirst(const QString& text) const;
    int FindNext(const QString& text, int selectedRow) const;

    // The clipboard texts of `rows`: a GPX document of their descriptions and coordinates,
    // and tab-separated lines.
    QString GpxTextOf(const std::vector<int>& rows) const;
    QString PlainTextOf(const std::vector<int>& rows) const;
    // Adds the points of a GPX text at the end.
    void Paste(const QString& gpxText);

    // Rows of `source` dropped on `targetRow` (-1: below the last row): copies of them go in
    // there, and when `source` is this document the rows themselves go, which makes it a move.
    void Drop(TDocument& source, const std::vector<int>& rows, int targetRow);

    // Takes over `source`'s entries, in place of the document's own (open) or after them
    // (append, which leaves the document changed).
    void LoadFromList(
        TEntries& source, const QString& location, TLoadMode mode, const QString& formatId);
    // Saves through the exporter of (`location`'s extension, `formatId`); an empty location
    // keeps the current one. Asks before a format that keeps fewer decimals than the entries
    // have; false when the user declined.
    bool SaveTo(const QString& location, const QString& formatId, IUserPrompt& prompt);
    // Whether the document may close: asks to save changes, `save` saving them.
    bool AskSave(IUserPrompt& prompt, const std::function<bool()>& save) const;

private:
    std::vector<const TEntry*> EntriesAt(const std::vector<int>& rows) const;
    void Record(QUndoCommand* step);
    // The `count` rows from `firstRow` on were added.
    void Added(const char* step, int firstRow, int count);
    void AddedSince(const char* step, int firstRow)
    {
        Added(step, firstRow, Entries.Count() - firstRow);
    }
    void MoveWithin(const std::vector<int>& rows, int at);
};

// The extension of a location, lower-cased and without its dot.
QString LocationExt(const QString& location);
