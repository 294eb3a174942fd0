#include "editor/uUndoCommands.h"

#include <cstdio>
#include <functional>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "editor/uDocument.h"
#include "editor/uEntryListModel.h"
#include "editor/uFindDupsTool.h"
#include "testing.h"
#include "tools/uEntryEditSync.h"

namespace {

// Every value of one entry, the fractions of seconds to the last bit.
std::string ValuesOf(const TEntry& entry)
{
    char fractions[64];
    std::snprintf(fractions, sizeof fractions, "%a %a", entry.LatSecFrac(), entry.LonSecFrac());
    return std::string(entry.Description()) + '|' + std::string(entry.Extra()) + '|'
        + std::to_string(entry.LatDeg()) + ' ' + std::to_string(entry.LatMin()) + ' '
        + std::to_string(entry.LatSec()) + ' ' + std::to_string(entry.LatSouth()) + ' '
        + std::to_string(entry.LonDeg()) + ' ' + std::to_string(entry.LonMin()) + ' '
        + std::to_string(entry.LonSec()) + ' ' + std::to_string(entry.LonWest()) + ' ' + fractions
        + ' ' + std::to_string(entry.Flag()) + ' ' + std::to_string(entry.Changed());
}

// The entries of a document: each one's values, and which entry object holds them, so that
// an undo that copied entries instead of giving back the ones it took shows.
struct TState {
    std::vector<std::string> Values;
    std::vector<const TEntry*> Objects;
    bool operator==(const TState&) const = default;
};

TState StateOf(const TDocument& document)
{
    TState state;
    for (int row = 0; row < document.Entries.Count(); ++row) {
        state.Values.push_back(ValuesOf(document.Entries.Items(row)));
        state.Objects.push_back(&document.Entries.Items(row));
    }
    return state;
}

// Entries whose every value differs from the next one's, in no order of any column; some of
// them marked changed, some not.
void Fill(TDocument& document)
{
    const char* const names[] = { "kiwi", "Apple", "fig", "banana", "Cherry", "date" };
    for (int i = 0; i < 6; ++i) {
        TEntry& entry = document.Entries.AddValues(
            names[i], i % 2 ? "<ele>1</ele>" : "", (i * 37 % 11 - 5) * 1.23456789, 40.5 - i * i);
        entry.SetFlag(i % 8);
        if (i % 3 == 0)
            entry.ClearChanged();
    }
}

} // namespace

// Each kind of step, undone and redone twice over, leaves every entry as it was before and
// after the step, held by the same entry objects; and each is one step, named as the Edit
// menu shows it. A change that changes nothing is no step: undo would seem to do nothing.
TEST(TDocumentHistory, EveryStepUndoesAndRedoesExactlyAndNoChangeIsNoStep)
{
    TBuiltInFormats formats;
    TDocument source;
    Fill(source);
    const QString gpx = source.GpxTextOf({ 1, 4 });
    const auto removing = [](std::vector<int> rows, TDocument::TRemoval why = TDocument::rmDelete) {
        return [=](TDocument& d) { d.Delete(rows, 0, why); };
    };
    const auto dropping = [](TDocument* from, std::vector<int> rows, int targetRow) {
        return [=](TDocument& d) { d.Drop(from ? *from : d, rows, targetRow); };
    };
    const auto editing = [](int row, TEditField field, const char* text) {
        return [=](TDocument& d) {
            d.Edit(row, [=](TEntry& e) { return TEntryEditSync::ToEntry(e, field, text); });
        };
    };
    const struct {
        const char* Step;
        std::function<void(TDocument& document)> Change;
    } steps[] = {
        { "Insert", [](TDocument& d) { d.Insert(); } },
        { "Delete", removing({ 4, 1, 2 }) },
        { "Delete", removing({ 0, 1, 2, 3, 4, 5 }) },
        { "Delete", removing({ 5, 0, 4, 1 }) }, // runs at either end, in any order
        { "Cut", removing({ 0, 5 }, TDocument::rmCut) },
        { "Delete Duplicates",
            [](TDocument& d) {
                TFindDupsTool(d).Delete({ &d.Entries.Items(5), &d.Entries.Items(2) });
            } },
        { "Rename",
            [](TDocument& d) {
                d.Rename({ 0, 2, 3 }, "Renamed");
            } },
        { "Rename",
            [](TDocument& d) {
                TEntryListModel model(d);
                model.setData(model.index(3, TDocument::colDescription), "In place", Qt::EditRole);
            } },
        { "Edit", editing(1, TEditField::LonSec, "7") },
        { "Set Position", [](TDocument& d) { d.SetPosition(4, -70.123456789, -33.5); } },
        { "Sort", [](TDocument& d) { d.Sort(TDocument::colLatitude); } },
        { "Paste", [&](TDocument& d) { d.Paste(gpx); } },
        { "Move", dropping(nullptr, { 0, 3, 4 }, 2) },
        { "Drop", dropping(&source, { 0, 5 }, 1) },
        { "Append",
            [](TDocument& d) {
                TEntries more;
                more.AddValues("more", "", 3, 4);
                more.AddValues("most", "", 5, 6);
                d.LoadFromList(more, "FILE:///elsewhere/more.ov2", TDocument::lmAppend, "ttov2");
            } },
    };
    const TState sourceState = StateOf(source);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Step);
        TDocument document;
        Fill(document);
        const TState before = StateOf(document);
        step.Change(document);
        const TState after = StateOf(document);
        ASSERT_NE(after, before);
        ASSERT_EQ(document.History.count(), 1);
        EXPECT_EQ(document.History.undoText(), step.Step);
        for (int round = 0; round < 2; ++round) {
            document.History.undo();
            EXPECT_EQ(StateOf(document), before);
            document.History.redo();
            EXPECT_EQ(StateOf(document), after);
        }
    }
    EXPECT_EQ(StateOf(source), sourceState) << "a drop copies from the other document";
    EXPECT_EQ(source.History.count(), 0);

    source.Rename({ 1 }, "Apple");
    source.Edit(0, [](TEntry& e) { return TEntryEditSync::ToEntry(e, TEditField::LatDeg, "40"); });
    source.SetPosition(2, source.Entries.Items(2).Longitude(), source.Entries.Items(2).Latitude());
    source.Delete({}, 0);
    EXPECT_EQ(source.History.count(), 0);
    EXPECT_FALSE(source.Changed());
}
