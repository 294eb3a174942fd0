#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "tools/uFindDups.h"

class IUserPrompt;
class TDocument;
class TEntry;

// Runs `work` with `text`, its progress and a way to cancel shown; the progress function
// `work` is given answers false once the user has cancelled.
using TProgressRunner = std::function<void(
    const QString& text, const std::function<void(const TSearchProgress& progress)>& work)>;

// What the duplicate search tool does with a document, apart from showing it: the search,
// which remembers its tolerance, and copying and deleting the duplicates found. Entries are
// held by address, which stays put while other entries are deleted.
class TFindDupsTool {
public:
    struct TGroup {
        const TEntry* Head;
        std::vector<const TEntry*> Duplicates;
    };

    explicit TFindDupsTool(TDocument& document)
        : Document(document)
    {
    }

    // Stores `tolerance` for the next search and searches through `run`. Tells `prompt` "No
    // duplicate items found" when there are none, unless the user cancelled.
    std::vector<TGroup> Find(int tolerance, const TProgressRunner& run, IUserPrompt& prompt);
    // A GPX text of `duplicates` in the order given, as the document's copy makes it.
    QString CopyText(const std::vector<const TEntry*>& duplicates) const;
    // Removes `duplicates` from the document, in one step of its history.
    void Delete(const std::vector<const TEntry*>& duplicates);

private:
    // The rows of `entries` in the document, in the order given.
    std::vector<int> RowsOf(const std::vector<const TEntry*>& entries) const;

    TDocument& Document;
};
