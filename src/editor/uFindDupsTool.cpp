#include "editor/uFindDupsTool.h"

#include <algorithm>
#include <unordered_map>

#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "editor/uDocument.h"
#include "platform/uMessages.h"

std::vector<TFindDupsTool::TGroup> TFindDupsTool::Find(
    int tolerance, const TProgressRunner& run, IUserPrompt& prompt)
{
    Settings().FindDupsTolerance = tolerance;
    const TEntries& entries = Document.Entries;
    TDuplicateGroups found;
    bool cancelled = false;
    if (entries.Count() > 0)
        run(Tr(Msg::SearchingDuplicates), [&](const TSearchProgress& progress) {
            found = FindDuplicates(entries, tolerance, [&](int percent) {
                cancelled = !progress(percent);
                return !cancelled;
            });
        });
    if (found.Count() == 0 && !cancelled)
        prompt.ShowMessage(Tr(Msg::NoDuplicatesFound));

    std::vector<TGroup> groups;
    for (int g = 0; g < found.Count(); ++g) {
        TGroup& group = groups.emplace_back(TGroup { &entries.Items(found.Head(g)), {} });
        for (int row : found.Duplicates(g))
            group.Duplicates.push_back(&entries.Items(row));
    }
    return groups;
}

QString TFindDupsTool::CopyText(const std::vector<const TEntry*>& duplicates) const
{
    return Document.GpxTextOf(RowsOf(duplicates));
}

void TFindDupsTool::Delete(const std::vector<const TEntry*>& duplicates)
{
    Document.Delete(RowsOf(duplicates), -1, TDocument::rmDuplicates);
}

std::vector<int> TFindDupsTool::RowsOf(const std::vector<const TEntry*>& entries) const
{
    std::unordered_map<const TEntry*, int> rowOf;
    for (const TEntry* entry : entries)
        rowOf.emplace(entry, -1);
    for (int row = 0; row < Document.Entries.Count(); ++row)
        if (auto found = rowOf.find(&Document.Entries.Items(row)); found != rowOf.end())
            found->second = row;
    std::vector<int> rows;
    for (const TEntry* entry : entries)
        rows.push_back(rowOf.at(entry));
    return rows;
}
