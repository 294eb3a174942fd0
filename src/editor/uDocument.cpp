#include "editor/uDocument.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <exception>
#include <numeric>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "convert/uConvertBase.h"
#include "core/uEntryRows.h"
#include "core/uNumbers.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "editor/uCollation.h"
#include "editor/uUndoCommands.h"
#include "locations/uLocations.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

QString LocationExt(const QString& location) { return LocationFileExt(location).toLower(); }

namespace {

// The names of the steps in a document's history, as "Undo" and "Redo" show them.
constexpr char StepInsert[] = QT_TRANSLATE_NOOP("Marivel", "Insert");
constexpr char StepRename[] = QT_TRANSLATE_NOOP("Marivel", "Rename");
constexpr char StepEdit[] = QT_TRANSLATE_NOOP("Marivel", "Edit");
constexpr char StepPosition[] = QT_TRANSLATE_NOOP("Marivel", "Set Position");
constexpr char StepSort[] = QT_TRANSLATE_NOOP("Marivel", "Sort");
constexpr char StepPaste[] = QT_TRANSLATE_NOOP("Marivel", "Paste");
constexpr char StepMove[] = QT_TRANSLATE_NOOP("Marivel", "Move");
constexpr char StepDrop[] = QT_TRANSLATE_NOOP("Marivel", "Drop");
constexpr char StepAppend[] = QT_TRANSLATE_NOOP("Marivel", "Append");
// By `TDocument::TRemoval`.
constexpr const char* RemovalSteps[] = { QT_TRANSLATE_NOOP("Marivel", "Delete"),
    QT_TRANSLATE_NOOP("Marivel", "Cut"), QT_TRANSLATE_NOOP("Marivel", "Delete Duplicates") };

// A history long enough for any session, short enough that the entries its steps hold do not
// pile up without end.
constexpr int HistorySteps = 100;

// Entries read in an order unrelated to where they lie are asked for this many rows early, so
// that the memory is not waited for row by row.
constexpr int FetchAhead = 32;

// Sorting a million entries takes twenty million comparisons: each entry's key is made once,
// the rows are sorted on the keys, and their rows in that order are the order of the entries.
// The row breaks ties, so equal keys keep their order.
template <typename TKeyed> std::vector<int> OrderOf(const std::vector<TKeyed>& sorted)
{
    std::vector<int> order;
    order.reserve(sorted.size());
    for (const TKeyed& key : sorted)
        order.push_back(key.Row);
    return order;
}

// Calls `visit` with each row from `first` to before `last` and its entry, in row order. Once
// sorted, the rows lie in the pool in no order of theirs, and each entry (and its description)
// would be waited for in turn: the ones a few rows ahead are asked for early.
template <typename TVisit>
void VisitAhead(const TEntries& entries, int first, int last, bool withDescriptions, TVisit visit)
{
    for (int row = first; row < last; ++row) {
        if (row + 2 * FetchAhead < last)
            __builtin_prefetch(&entries.Items(row + 2 * FetchAhead));
        if (withDescriptions && row + FetchAhead < last)
            __builtin_prefetch(entries.Items(row + FetchAhead).TextsAddress());
        visit(row, entries.Items(row));
    }
}

// Each half of the rows is keyed and sorted by a processor of its own; the halves are merged.
template <typename TValueOf>
std::vector<int> OrderByValue(const TEntries& entries, TValueOf valueOf)
{
    struct TKeyed {
        double Value;
        int Row;
    };
    const auto less = [](const TKeyed& a, const TKeyed& b) {
        return a.Value < b.Value || (!(b.Value < a.Value) && a.Row < b.Row);
    };
    const int count = entries.Count();
    const int half = count / 2;
    std::vector<TKeyed> keyed(static_cast<size_t>(count));
    InTwoParts([&](int part) {
        const auto [first, last] = HalfOfRows(count, part);
        VisitAhead(entries, first, last, false, [&](int row, const TEntry& entry) {
            keyed[static_cast<size_t>(row)] = { valueOf(entry), row };
        });
        std::sort(keyed.begin() + first, keyed.begin() + last, less);
    });
    std::inplace_merge(keyed.begin(), keyed.begin() + half, keyed.end(), less);
    return OrderOf(keyed);
}

// A description's sort key of primary places: its first sixteen bytes as two numbers, whose
// bytes settle most comparisons without reading further; the rest in a shared buffer.
struct TDescriptionKey {
    static constexpr uint32_t HeadSize = 16;
    std::array<uint64_t, 2> Head;
    uint64_t TailStart : 40;
    uint64_t VariantHash : 24; // see `TCharacterPlaces::AppendKey`
    uint32_t Size;
    int Row;

    // 0 once the description has ended, else its key byte at `depth` (in the head) plus one.
    unsigned BucketAt(uint32_t depth) const
    {
        return depth < Size ? unsigned(Head[depth / 8] >> (8 * (7 - depth % 8)) & 0xff) + 1 : 0;
    }
};

// Sorts description keys by their bytes, ties by row: first by the heads' bytes, a byte
// at a time, moving keys among buckets in place; the few keys left in a bucket, and those whose
// heads are equal, are compared as a whole.
class TDescriptionSorter {
public:
    explicit TDescriptionSorter(const std::string& tails)
        : Tails(tails)
    {
    }

    // The keys are split where they first differ, and the buckets are sorted by two
    // processors at once, largest first, so that neither is left with a big one at the end.
    void Sort(std::vector<TDescriptionKey>& keys)
    {
        std::vector<TKeys> buckets;
        Split({ keys.data(), keys.size(), 0 }, [&](TKeys bucket) { buckets.push_back(bucket); });
        std::sort(buckets.begin(), buckets.end(),
            [](const TKeys& a, const TKeys& b) { return a.Count > b.Count; });
        std::atomic<size_t> next = 0;
        InTwoParts([&](int) {
            for (size_t i = next++; i < buckets.size(); i = next++)
                SortKeys(buckets[i]);
        });
    }

private:
    static constexpr size_t FewKeys = 32;

    // Keys that agree in their first `Depth` key bytes.
    struct TKeys {
        TDescriptionKey* First;
        size_t Count;
        uint32_t Depth;
    };
    const std::string& Tails;

    std::string_view Tail(const TDescriptionKey& key) const
    {
        return key.Size <= TDescriptionKey::HeadSize
            ? std::string_view()
            : std::string_view(Tails).substr(key.TailStart, key.Size - TDescriptionKey::HeadSize);
    }

    // With equal heads the texts differ first in their tails; equal tails leave the shorter
    // text first (it can only be a prefix of the other).
    bool Less(const TDescriptionKey& a, const TDescriptionKey& b) const
    {
        if (a.Head[0] != b.Head[0])
            return a.Head[0] < b.Head[0];
        if (a.Head[1] != b.Head[1])
            return a.Head[1] < b.Head[1];
        if (const int compared = Tail(a).compare(Tail(b)); compared != 0)
            return compared < 0;
        return a.Size != b.Size ? a.Size < b.Size : a.Row < b.Row;
    }

    void SortKeys(TKeys keys)
    {
        Split(keys, [this](TKeys bucket) { SortKeys(bucket); });
    }

    // Moves the keys into buckets by their byte at the first depth where they differ, and
    // hands each bucket of more than one key to `sortBucket`; where buckets no longer help, the
    // keys are sorted whole.
    template <typename TSortBucket> void Split(TKeys keys, const TSortBucket& sortBucket)
    {
        const auto sortWhole = [&] {
            // The tails lie in row order, far apart: asked for all at once, their cache
            // misses overlap instead of following one another through the comparisons.
            for (size_t i = 0; i < keys.Count; ++i)
                if (keys.First[i].Size > TDescriptionKey::HeadSize)
                    __builtin_prefetch(Tails.data() + keys.First[i].TailStart);
            std::sort(keys.First, keys.First + keys.Count,
                [this](const TDescriptionKey& a, const TDescriptionKey& b) { return Less(a, b); });
        };
        for (;; ++keys.Depth) {
            if (keys.Count < FewKeys || keys.Depth == TDescriptionKey::HeadSize)
                return sortWhole();
            std::array<size_t, 257> sizes {};
            for (size_t i = 0; i < keys.Count; ++i)
                ++sizes[keys.First[i].BucketAt(keys.Depth)];
            const unsigned first = keys.First[0].BucketAt(keys.Depth);
            if (sizes[first] != keys.Count) {
                MoveIntoBuckets(keys, sizes);
                size_t start = 0;
                for (size_t bucket = 0; bucket < sizes.size(); start += sizes[bucket++])
                    if (sizes[bucket] > 1)
                        sortBucket({ keys.First + start, sizes[bucket],
                            bucket == 0 ? TDescriptionKey::HeadSize : keys.Depth + 1 });
                return;
            }
            if (first == 0) // all the same text: rows decide
                return sortWhole();
        }
    }

    static void MoveIntoBuckets(TKeys keys, const std::array<size_t, 257>& sizes)
    {
        std::array<size_t, 257> next, end;
        size_t start = 0;
        for (size_t bucket = 0; bucket < sizes.size(); ++bucket) {
            next[bucket] = start;
            end[bucket] = start += sizes[bucket];
        }
        // Each key is swapped straight into its bucket's next free place.
        for (size_t bucket = 0; bucket < sizes.size(); ++bucket)
            while (next[bucket] < end[bucket]) {
                TDescriptionKey key = keys.First[next[bucket]];
                for (unsigned home = key.BucketAt(keys.Depth); home != bucket;
                     home = key.BucketAt(keys.Depth))
                    std::swap(key, keys.First[next[home]++]);
                keys.First[next[bucket]++] = key;
            }
    }
};

// Eight bytes as a number that compares as they do.
uint64_t BigEndian64(const uint8_t* bytes)
{
    uint64_t number;
    std::memcpy(&number, bytes, sizeof number);
    return std::endian::native == std::endian::little ? __builtin_bswap64(number) : number;
}

// The rows' description keys by `places`, each half of the rows by a processor of its own into
// a buffer of its own, the second buffer then put after the first. With `beyondAscii`, the
// places are those of ASCII alone: once a description holds more, keying stops, and the
// characters beyond ASCII of every description are noted there instead (one set a processor),
// so that the keys can be made again in one more pass; false then.
bool KeyDescriptions(const TEntries& entries, const TCharacterPlaces& places,
    std::array<TCharacterSet, 2>* beyondAscii, std::vector<TDescriptionKey>& keyed,
    std::string& tails)
{
    const int count = entries.Count();
    const int half = count / 2;
    keyed.resize(static_cast<size_t>(count));
    std::array<std::string, 2> ownTails;
    std::atomic<bool> foundBeyondAscii = false;
    InTwoParts([&](int part) {
        std::string& own = ownTails[static_cast<size_t>(part)];
        // Room for tails as long as the heads, which spares most lists the buffer's regrowth.
        own.reserve(static_cast<size_t>(count - half) * TDescriptionKey::HeadSize);
        const auto keyOf = [&](int row, const TEntry& entry) {
            const std::string_view description = entry.Description();
            if (beyondAscii && (foundBeyondAscii || !IsAscii(description))) {
                foundBeyondAscii = true;
                (*beyondAscii)[static_cast<size_t>(part)].AddBeyondAscii(description);
                return;
            }
            // The whole key goes to the tails; its head is then taken back out of them.
            const size_t start = own.size();
            const uint32_t variantHash = places.AppendKey(own, description, false);
            const size_t size = own.size() - start;
            const size_t headSize = std::min<size_t>(size, TDescriptionKey::HeadSize);
            std::array<uint8_t, TDescriptionKey::HeadSize> head {};
            std::memcpy(head.data(), own.data() + start, headSize);
            own.erase(start, headSize);
            TDescriptionKey& keyOfRow = keyed[static_cast<size_t>(row)];
            keyOfRow = { { BigEndian64(head.data()), BigEndian64(head.data() + 8) }, start,
                variantHash & 0xFFFFFF, static_cast<uint32_t>(size), row };
        };
        const auto [first, last] = HalfOfRows(count, part);
        VisitAhead(entries, first, last, true, keyOf);
    });
    if (foundBeyondAscii)
        return false;
    for (size_t row = static_cast<size_t>(half); row < keyed.size(); ++row)
        keyed[row].TailStart += ownTails[0].size();
    tails = std::move(ownTails[0]);
    tails += ownTails[1];
    return true;
}

// Sorted keys of equal places whose variants differ ("Paris" and "PARIS") are left in row
// order: each such run is ordered by the whole keys, made again from the descriptions. Runs
// of the same text, the common case, are passed over without reading a description.
void OrderVariants(std::vector<TDescriptionKey>& keyed, const std::string& tails,
    const TEntries& entries, const TCharacterPlaces& places)
{
    const auto tailOf = [&](const TDescriptionKey& key) {
        return key.Size <= TDescriptionKey::HeadSize
            ? std::string_view()
            : std::string_view(tails).substr(key.TailStart, key.Size - TDescriptionKey::HeadSize);
    };
    const auto samePlaces = [&](const TDescriptionKey& a, const TDescriptionKey& b) {
        return a.Head == b.Head && a.Size == b.Size && tailOf(a) == tailOf(b);
    };
    for (size_t first = 0; first < keyed.size();) {
        size_t last = first + 1;
        bool variantsDiffer = false;
        for (; last < keyed.size() && samePlaces(keyed[first], keyed[last]); ++last)
            variantsDiffer = variantsDiffer || keyed[last].VariantHash != keyed[first].VariantHash;
        if (variantsDiffer) {
            std::vector<std::pair<std::string, TDescriptionKey>> run;
            for (size_t i = first; i < last; ++i) {
                std::string key;
                places.AppendKey(key, entries.Items(keyed[i].Row).Description(), true);
                run.emplace_back(std::move(key), keyed[i]);
            }
            std::stable_sort(run.begin(), run.end(),
                [](const auto& a, const auto& b) { return a.first < b.first; });
            for (size_t i = first; i < last; ++i)
                keyed[i] = run[i - first].second;
        }
        first = last;
    }
}

// In the locale's order. Lists of ASCII descriptions, the most common, are keyed with the
// places of ASCII alone, made once; other lists are keyed again once their characters are
// placed.
std::vector<int> OrderByDescription(const TEntries& entries)
{
    static TCharacterPlaces ascii;
    if (!ascii.Current())
        ascii = TCharacterPlaces();
    std::vector<TDescriptionKey> keyed;
    std::string tails;
    std::optional<TCharacterPlaces> others;
    std::array<TCharacterSet, 2> beyondAscii;
    if (!KeyDescriptions(entries, ascii, &beyondAscii, keyed, tails)) {
        beyondAscii[0].Add(beyondAscii[1]);
        others.emplace(beyondAscii[0].Characters());
        KeyDescriptions(entries, *others, nullptr, keyed, tails);
    }
    TDescriptionSorter(tails).Sort(keyed);
    OrderVariants(keyed, tails, entries, others ? *others : ascii);
    return OrderOf(keyed);
}

// The platform's general number text: up to 15 significant digits, the locale's separator.
QString GeneralNumber(double value)
{
    std::string text;
    AppendGeneral(text, value);
    const char separator = LocaleDecimalSeparator();
    if (separator)
        std::replace(text.begin(), text.end(), '.', separator);
    return QString::fromStdString(text);
}

// The order that takes `rows` (ascending) of a list of `count` out and puts them in before row
// `at` of the list as it was.
std::vector<int> MovedOrder(int count, const std::vector<int>& rows, int at)
{
    std::vector<bool> moved(static_cast<size_t>(count));
    for (int row : rows)
        moved[static_cast<size_t>(row)] = true;
    std::vector<int> order;
    order.reserve(static_cast<size_t>(count));
    const auto keep = [&](int from, int to) {
        for (int row = from; row < to; ++row)
            if (!moved[static_cast<size_t>(row)])
                order.push_back(row);
    };
    keep(0, at);
    order.insert(order.end(), rows.begin(), rows.end());
    keep(at, count);
    return order;
}

} // namespace

TDocument::TDocument() { History.setUndoLimit(HistorySteps); }

void TDocument::Record(QUndoCommand* step) { History.push(step); }

void TDocument::Added(const char* step, int firstRow, int count)
{
    if (count <= 0)
        return;
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), firstRow);
    Record(new TRowsCommand(Tr(step), Entries, std::move(rows)));
}

QString TDocument::Name() const
{
    return FileName.isEmpty() ? Tr(Msg::Untitled) : LocationFileName(FileName);
}

QString TDocument::Caption() const { return Changed() ? Name() + '*' : Name(); }

QString TDocument::CountText() const
{
    return QStringLiteral("%1 %2").arg(Entries.Count()).arg(Tr(Msg::Items));
}

int TDocument::Insert()
{
    Entries.AddEntry(std::make_unique<TEntry>(), true);
    const int row = Entries.Count() - 1;
    Entries.Items(row).SetDescription(
        QStringLiteral("%1 #%2").arg(Tr(Msg::NewEntry)).arg(Entries.Count()).toStdString());
    Added(StepInsert, row, 1);
    return row;
}

int TDocument::Delete(const std::vector<int>& rows, int selectedRow, TRemoval why)
{
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (!sorted.empty()) {
        TOwnedEntries removed = Entries.TakeRows(sorted);
        Record(new TRowsCommand(
            Tr(RemovalSteps[why]), Entries, std::move(sorted), std::move(removed)));
    }
    if (Entries.Count() == 0)
        return -1;
    return std::clamp(selectedRow, 0, Entries.Count() - 1);
}

void TDocument::Rename(const std::vector<int>& rows, const std::string& description)
{
    std::vector<int> renamed;
    std::vector<TEntry> before;
    for (int row : rows) {
        TEntry& entry = Entries.Items(row);
        if (entry.Description() == description)
            continue;
        renamed.push_back(row);
        before.push_back(entry);
        entry.SetDescription(description);
    }
    if (!renamed.empty())
        Record(new TValuesCommand(Tr(StepRename), Entries, std::move(renamed), std::move(before)));
}

bool TDocument::Edit(int row, const std::function<bool(TEntry& entry)>& edit)
{
    TEntry before = Entries.Items(row);
    if (!edit(Entries.Items(row)))
        return false;
    Record(new TValuesCommand(Tr(StepEdit), Entries, { row }, { before }));
    return true;
}

void TDocument::SetPosition(int row, double longitude, double latitude)
{
    TEntry& entry = Entries.Items(row);
    if (entry.Longitude() == longitude && entry.Latitude() == latitude)
        return;
    TEntry before = entry;
    entry.SetLongitude(longitude);
    entry.SetLatitude(latitude);
    Record(new TValuesCommand(Tr(StepPosition), Entries, { row }, { before }));
}

std::vector<int> TDocument::Sort(TColumn column, Qt::SortOrder direction)
{
    const auto orderBy = [&] {
        switch (column) {
        case colLatitude:
            return OrderByValue(Entries, [](const TEntry& entry) { return entry.Latitude(); });
        case colLongitude:
            return OrderByValue(Entries, [](const TEntry& entry) { return entry.Longitude(); });
        default:
            return OrderByDescription(Entries);
        }
    };
    std::vector<int> order = orderBy();
    if (direction == Qt::DescendingOrder)
        std::reverse(order.begin(), order.end());
    Reorder(Entries, order);
    Record(new TOrderCommand(Tr(StepSort), Entries, order));
    return order;
}

namespace {

// Text as a search compares it: lower case as the locale has it, then folded, and without the
// dot that a capital "İ" leaves on its small "i" outside Turkish, so "istanbul" finds it.
QString SearchFolded(const QString& text)
{
    return QLocale().toLower(text).toCaseFolded().replace(
        QStringLiteral("i\u0307"), QStringLiteral("i"));
}

} // namespace

int TDocument::Find(const QString& text, int from) const
{
    const QString wanted = SearchFolded(text);
    for (int row = std::max(from, 0); row < Entries.Count(); ++row)
        if (SearchFolded(Utf8ToUnicode(Entries.Items(row).Description())).contains(wanted))
            return row;
    return -1;
}

int TDocument::FindFirst(const QString& text) const
{
    const int row = Find(text, 0);
    if (row < 0)
        throw EUserError(Tr(Msg::NoItemsFound));
    return row;
}

int TDocument::FindNext(const QString& text, int selectedRow) const
{
    const int row = Find(text, selectedRow + 1);
    if (row < 0)
        throw EUserError(Tr(Msg::NoMoreItemsFound));
    return row;
}

QString TDocument::GpxTextOf(const std::vector<int>& rows) const
{
    // Only what the list shows goes along: no extra XML, no itinerary flags.
    TEntries copied;
    for (int row : rows) {
        const TEntry& entry = Entries.Items(row);
        copied.AddValues(entry.Description(), std::string(), entry.Longitude(), entry.Latitude());
    }
    return copied.GpxText();
}

QString TDocument::PlainTextOf(const std::vector<int>& rows) const
{
    QString text;
    for (int row : rows) {
        const TEntry& entry = Entries.Items(row);
        text += Utf8ToUnicode(entry.Description()) + '\t' + GeneralNumber(entry.Longitude()) + '\t'
            + GeneralNumber(entry.Latitude()) + QStringLiteral("\r\n");
    }
    return text;
}

void TDocument::Paste(const QString& gpxText)
{
    const int firstRow = Entries.Count();
    try {
        Entries.AppendGpxText(gpxText);
    } catch (...) {
        AddedSince(StepPaste, firstRow); // what was read before the fault stays
        throw;
    }
    AddedSince(StepPaste, firstRow);
}

std::vector<const TEntry*> TDocument::EntriesAt(const std::vector<int>& rows) const
{
    std::vector<const TEntry*> entries;
    for (int row : rows)
        entries.push_back(&Entries.Items(row));
    return entries;
}

void TDocument::Drop(TDocument& source, const std::vector<int>& rows, int targetRow)
{
    if (rows.empty())
        return;
    // Rows dragged from above the target make room first: the target moves past them.
    int target = targetRow;
    if (target >= 0 && rows.front() < target)
        target += static_cast<int>(rows.size());
    const bool below = target < 0 || target > Entries.Count();
    const int at = below ? Entries.Count() : target;
    if (&source == this) {
        MoveWithin(rows, at);
        return;
    }
    for (const TEntry* entry : source.EntriesAt(rows)) {
        auto copy = std::make_unique<TEntry>();
        entry->AssignTo(*copy);
        if (below)
            Entries.AddEntry(std::move(copy), true);
        else
            Entries.Insert(target++, std::move(copy));
    }
    Added(StepDrop, at, static_cast<int>(rows.size()));
}

// The entries themselves move, in one step that puts them back.
void TDocument::MoveWithin(const std::vector<int>& rows, int at)
{
    const std::vector<int> order = MovedOrder(Entries.Count(), rows, at);
    if (std::is_sorted(order.begin(), order.end()))
        return; // dropped where they were
    Reorder(Entries, order);
    Record(new TOrderCommand(Tr(StepMove), Entries, order));
}

void TDocument::LoadFromList(
    TEntries& source, const QString& location, TLoadMode mode, const QString& formatId)
{
    const int firstRow = mode == lmOpen ? 0 : Entries.Count();
    if (mode == lmOpen) {
        History.clear();
        Entries.Clear();
    }
    for (std::unique_ptr<TEntry>& entry : source.ExtractAll())
        Entries.AddEntry(std::move(entry), true);
    if (mode == lmOpen)
        Entries.ClearChanged();
    else
        AddedSince(StepAppend, firstRow);
    if (!IsMobileLocation(location))
        Settings().InitialDir = QFileInfo(StripLocationPrefixes(location)).absolutePath();
    if (mode == lmOpen) {
        FileName = location;
        const int exporter = FindExporter(LocationExt(location), formatId);
        FormatId = exporter >= 0 ? ExporterFormatId(exporter) : QString();
    }
}

bool TDocument::SaveTo(const QString& location, const QString& formatId, IUserPrompt& prompt)
{
    const QString before = FileName;
    if (!location.isEmpty()) {
        FileName = location;
        FormatId = formatId;
    }
    const QString ext = LocationExt(FileName);
    const auto exporter = CreateExporter(ext, FormatId);
    const int precision = exporter->Precision();
    if (precision != -1 && !Entries.FitsPrecision(precision)) {
        QString name;
        ExporterNameFor(ext, FormatId, name);
        if (prompt.Ask(Tr(Msg::PrecisionLoss).arg(name).arg(precision), false)
            != IUserPrompt::TAnswer::Yes)
            return false;
    }
    std::optional<TCodePageScope> utf8;
    if (!exporter->WritesUnicode())
        if (const TEntries::TUnencodable found = Entries.Unencodable(); found.Entries) {
            const IUserPrompt::TAnswer answer =
                prompt.Ask(Tr(Msg::SaveUnencodable)
                               .arg(found.Entries)
                               .arg(Entries.Count())
                               .arg(CodePageName(), found.Names.join(QStringLiteral(", "))),
                    true);
            if (answer == IUserPrompt::TAnswer::Cancel)
                return false;
            if (answer == IUserPrompt::TAnswer::No)
                utf8.emplace(Utf8CodePage().Name);
        }
    exporter->SetTarget(LocationFileName(FileName));
    GiveIconBeside(before.isEmpty() ? FileName : before, *exporter);
    exporter->OnProgress = Entries.OnProgress;
    TMemoryStream stream;
    exporter->Execute(Entries, stream);
    SaveStreamToLocation(FileName, stream);
    if (!IsMobileLocation(FileName))
        Settings().InitialDir = QFileInfo(StripLocationPrefixes(FileName)).absolutePath();
    Entries.ClearChanged();
    History.setClean();
    return true;
}

bool TDocument::AskSave(IUserPrompt& prompt, const std::function<bool()>& save) const
{
    if (!Changed())
        return true;
    switch (prompt.Ask(Tr(Msg::SaveChanges), true)) {
    case IUserPrompt::TAnswer::Yes:
        return save();
    case IUserPrompt::TAnswer::No:
        return true;
    default:
        return false;
    }
}
