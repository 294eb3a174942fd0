#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/uEntryPool.h"

class TStream;

// One point of interest. The position is kept per axis as the decimal value it was given, or
// as degrees, minutes, seconds and a sub-second rest once a part is given, so values typed in
// either notation survive unchanged; the decimal view is rounded to the user's precision.
class TEntry final {
public:
    TEntry();
    // The entry a fresh one becomes when each value is given through its setter; importers
    // build millions of entries this way, without the setters' comparisons.
    TEntry(std::string_view description, std::string_view extra, double longitude, double latitude);
    // Entries live in a pool of their own, as files hold millions of them.
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

    double Longitude() const;
    double Latitude() const;
    void SetLongitude(double value);
    void SetLatitude(double value);
    // The decimal value with exactly `Precision` decimals and the locale's separator.
    QString LongitudeStr() const;
    QString LatitudeStr() const;

    std::string_view Description() const { return FTexts.Description(); }
    std::string_view Extra() const { return FTexts.Extra(); }
    // Where the texts lie, so that a pass over many entries can ask for them early.
    const void* TextsAddress() const { return FTexts.Address(); }
    void SetDescription(std::string_view value);
    void SetExtra(std::string_view value);

    uint8_t LonDeg() const { return Split(Lon).Deg; }
    uint8_t LonMin() const { return Split(Lon).Min; }
    uint8_t LonSec() const { return Split(Lon).Sec; }
    double LonSecFrac() const { return Split(Lon).SecFrac; }
    bool LonWest() const { return Lon.Negative; }
    uint8_t LatDeg() const { return Split(Lat).Deg; }
    uint8_t LatMin() const { return Split(Lat).Min; }
    uint8_t LatSec() const { return Split(Lat).Sec; }
    double LatSecFrac() const { return Split(Lat).SecFrac; }
    bool LatSouth() const { return Lat.Negative; }
    void SetLonDeg(uint8_t value);
    void SetLonMin(uint8_t value);
    void SetLonSec(uint8_t value);
    void SetLonWest(bool value);
    void SetLatDeg(uint8_t value);
    void SetLatMin(uint8_t value);
    void SetLatSec(uint8_t value);
    void SetLatSouth(bool value);
    // The decimal values as whole numbers of 10^-digits degrees (digits 0..9), rounded as
    // Longitude and Latitude round them at the user's precision: what writers make text of.
    int64_t LongitudeUnits(int digits) const { return Units(Lon, digits); }
    int64_t LatitudeUnits(int digits) const { return Units(Lat, digits); }

    // Itinerary flags; writing them directly does not mark the entry changed.
    bool IpEnabled() const { return FTexts.Mark(mkIpEnabled); }
    bool IpStopOver() const { return FTexts.Mark(mkIpStopOver); }
    bool IpDeparture() const { return FTexts.Mark(mkIpDeparture); }
    void SetIpEnabled(bool value) { FTexts.SetMark(mkIpEnabled, value); }
    void SetIpStopOver(bool value) { FTexts.SetMark(mkIpStopOver, value); }
    void SetIpDeparture(bool value) { FTexts.SetMark(mkIpDeparture, value); }
    // The three flags packed: 1 enabled, 2 stop-over, 4 departure.
    int Flag() const;
    void SetFlag(int value);

    bool Changed() const { return FTexts.Mark(mkChanged); }
    void ClearChanged() { FTexts.SetMark(mkChanged, false); }
    // Copies everything but the change mark, and marks `dest` changed.
    void AssignTo(TEntry& dest) const;

private:
    // Packed, so that the two axes and the texts' address fill 32 bytes; a file of millions
    // of entries takes correspondingly less memory.
#pragma pack(push, 4)
    struct TAxis {
        double SecFrac = 0; // rest below one second, in sixtieths of a second; or see Unsplit
        uint8_t Deg = 0;
        uint8_t Min = 0;
        uint8_t Sec = 0;
        bool Negative = false;
    };
#pragma pack(pop)
    // A decimal value is kept as it came until its parts are asked for, as splitting it costs
    // more than reading or writing a point: this Deg, which no axis reaches, marks such an
    // axis, whose SecFrac holds the value's magnitude within the limit.
    static constexpr uint8_t Unsplit = 0xFF;

    static TAxis Split(const TAxis& axis) { return axis.Deg == Unsplit ? SplitValue(axis) : axis; }
    static TAxis SplitValue(const TAxis& axis);
    static int64_t MagnitudeUnits(const TAxis& axis, int digits);
    static int64_t Units(const TAxis& axis, int digits);
    static double AxisValue(const TAxis& axis);
    static void NormalizeAxis(TAxis& axis, int limit);
    void SetAxis(TAxis& axis, int limit, double value);
    void SetPart(TAxis& axis, uint8_t TAxis::*part, uint8_t value);
    void SetSec(TAxis& axis, uint8_t value);
    void Normalize();

    void MarkChanged() { FTexts.SetMark(mkChanged, true); }

    enum TMark { mkIpEnabled, mkIpStopOver, mkIpDeparture, mkChanged };

    // Both texts in one block of the text arena: millions of entries take much less room so
    // than with a heap string each. Entries without either text have no block. The marks and
    // the length of a short description without extra text ride in bits of the block's
    // address that no user-space address uses, so that they take no room of their own; such
    // a block holds just the description. Any other block holds both lengths, then the bytes.
    // A short description lying in input the arena borrows from is not copied at all: its
    // block is where it lies, and a bit says so.
    class TTexts {
    public:
        TTexts() = default;
        TTexts(const TTexts& other);
        TTexts& operator=(const TTexts& other);
        ~TTexts();
        std::string_view Description() const;
        std::string_view Extra() const;
        const char* Address() const { return Block(); }
        void Assign(std::string_view description, std::string_view extra);

        bool Mark(TMark mark) const { return Bits & MarkBit(mark); }
        void SetMark(TMark mark, bool on)
        {
            Bits = on ? Bits | MarkBit(mark) : Bits & ~MarkBit(mark);
        }

    private:
        static constexpr int FirstMarkBit = 60;
        static constexpr int LengthShift = 48;
        static constexpr std::uintptr_t LengthBits = std::uintptr_t(0xFF) << LengthShift;
        static constexpr std::uintptr_t MarkBits = ~((std::uintptr_t(1) << FirstMarkBit) - 1);
        static constexpr std::uintptr_t BorrowedBit = std::uintptr_t(1) << (FirstMarkBit - 1);
        static constexpr std::uintptr_t AddressBits = ~(LengthBits | BorrowedBit | MarkBits);
        static constexpr size_t LengthsInBlock = 0xFF; // the address bits' length says so
        static constexpr std::uintptr_t MarkBit(TMark mark)
        {
            return std::uintptr_t(1) << (FirstMarkBit + mark);
        }

        struct TParts {
            std::string_view Description, Extra;
        };
        TParts Parts() const;
        char* Block() const { return reinterpret_cast<char*>(Bits & AddressBits); }
        void SetBlock(char* block, size_t length, bool borrowed);
        void FreeBlock() noexcept;

        std::uintptr_t Bits = MarkBit(mkIpEnabled); // a new entry is part of the itinerary
    } FTexts;
    TAxis Lon;
    TAxis Lat;
};

using TProgressEvent = std::function<void(int percent)>;

// Entries taken out of a list, owned until they go back or are freed.
using TOwnedEntries = std::vector<std::unique_ptr<TEntry>>;

// The ordered entries of one document. It owns them, knows whether they changed since the
// last load or save, and loads and saves itself through the converters.
class TEntries {
public:
    TEntries();
    ~TEntries();
    TEntries(const TEntries&) = delete;
    TEntries& operator=(const TEntries&) = delete;

    int Count() const { return static_cast<int>(List.size()); }
    // Makes room for `count` more entries at once. Importers ask for as many as their input
    // could hold at most: room never filled costs address space only, while growing step by
    // step would copy the list and touch new memory each time.
    void Reserve(size_t count);
    TEntry& Items(int index) const { return *EntryAt(List[static_cast<size_t>(index)]); }

    // With `markDeparture`, the first entry of an empty list becomes the departure point.
    void AddEntry(std::unique_ptr<TEntry> entry, bool markDeparture);
    TEntry& AddValues(
        std::string_view description, std::string_view extra, double longitude, double latitude);
    void Insert(int index, std::unique_ptr<TEntry> entry);
    void Delete(int index);
    // Hands every entry over, leaving the list empty; for moving a loaded list into a
    // document without copying millions of entries.
    TOwnedEntries ExtractAll();
    // Takes the entries at `rows` (ascending, distinct) out; the others keep their order. The
    // list closes up in place from the first row taken on, so taking a few rows of millions
    // neither copies the list nor asks for new memory.
    TOwnedEntries TakeRows(const std::vector<int>& rows);
    // Puts `taken` back so that they stand at `rows` (ascending) afterwards: undoes `TakeRows`,
    // in place as it does.
    void PutRows(const std::vector<int>& rows, TOwnedEntries taken);
    // `compare` answers <0, 0 or >0 as for a sort order; equal entries keep their order.
    void Sort(const std::function<int(const TEntry&, const TEntry&)>& compare);
    // Frees every entry, from the last, reporting progress.
    void Clear();

    void ClearChanged();
    bool Changed() const;

    // The four below choose a converter, so they are defined with the converters
    // (convert/uEntryStreams.cpp).

    // Writes every entry with the exporter chosen for (`ext`, `formatId`).
    // `target`, when given, is the name of the file the stream's bytes are for.
    void SaveToStream(TStream& stream, const QString& ext, const QString& formatId,
        const QString& target = QString());
    // Reads entries with the importer chosen for (`ext`, `formatId`), after the existing ones
    // when `append`; an unknown format fails before the list is touched. Returns the
    // importer's warnings, for the command that loads to show. `icon`, when given, receives
    // the picture the importer hands out, a BMP file's bytes, empty for none.
    QStringList LoadFromStream(TStream& stream, const QString& ext, const QString& formatId,
        bool append, std::string* icon = nullptr);

    // The entries as a GPX document: the text that copy and paste exchange.
    QString GpxText();
    // Adds the points of a GPX document after the existing entries; text that is not GPX
    // fails with the GPX importer's message.
    void AppendGpxText(const QString& text);

    // Whether every coordinate survives being written with `digits` decimals.
    bool FitsPrecision(int digits) const;
    // The characters of the descriptions that the current code page lacks, what an 8-bit
    // format would write as "?": how many, in how many entries, and the first entries' names.
    struct TUnencodable {
        size_t Characters = 0;
        int Entries = 0;
        QStringList Names;
    };
    TUnencodable Unencodable() const;

    TProgressEvent OnProgress;
    int Progress() const { return FProgress; }

private:
    static TEntry* EntryAt(EntryPool::TIndex index)
    {
        return static_cast<TEntry*>(EntryPool::At(index));
    }
    void SetProgress(int value);
    void FreeAll();

    // The entries' numbers in the pool, which own them through this list.
    std::vector<EntryPool::TIndex> List;
    int SavedCount = 0;
    bool StructureChanged = false;
    int FProgress = 0;
};

// "12 characters that the code page windows-1252 lacks were replaced by "?", in 3 entries:
// Αθήνα, Москва, 北京", for a warning after a save.
QString UnencodableWarning(const TEntries::TUnencodable& found);

// A list of name=value lines whose names may themselves contain "=" (kept as "%3D").
// Name lookups ignore case.
class TSafeStringList : public QStringList {
public:
    using QStringList::QStringList;

    QString NameAt(int index) const;
    QString ValueAt(int index) const;
    QString ValueOf(const QString& name) const;
    int IndexOfName(const QString& name) const;
    void AddPair(const QString& name, const QString& value);
    void InsertPair(int index, const QString& name, const QString& value);
};
