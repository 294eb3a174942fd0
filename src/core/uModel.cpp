#include "core/uModel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include <QLocale>

#include "convert/uConvertBase.h"
#include "core/uEntryPool.h"
#include "core/uNumbers.h"
#include "core/uSettings.h"
#include "platform/uCodePage.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

constexpr int LatitudeLimit = 90;
constexpr int LongitudeLimit = 180;

} // namespace

static_assert(sizeof(TEntry) == 32, "entries are meant to take 32 bytes each");

TEntry::TEntry() = default;

// A fresh entry's axes read 0 and its texts are empty, which is all its setters compare with.
TEntry::TEntry(
    std::string_view description, std::string_view extra, double longitude, double latitude)
{
    if (longitude != 0)
        SetAxis(Lon, LongitudeLimit, longitude);
    if (latitude != 0)
        SetAxis(Lat, LatitudeLimit, latitude);
    if (!description.empty() || !extra.empty()) {
        FTexts.Assign(description, extra);
        MarkChanged();
    }
}

void* TEntry::operator new(std::size_t) { return EntryPool::Allocate(); }
void TEntry::operator delete(void* block) noexcept { EntryPool::Free(block); }

// The axis's degrees, minutes, seconds and rest summed and rounded to `digits` decimals,
// without the sign; a value not yet split rounds the same way, found without splitting it.
int64_t TEntry::MagnitudeUnits(const TAxis& axis, int digits)
{
    if (axis.Deg != Unsplit || digits > 6) {
        const TAxis parts = Split(axis);
        return DecimalUnits({ parts.Deg, parts.Min, parts.Sec, parts.SecFrac }, digits);
    }
    // The parts sum to the value but for far less than the product's own rounding, which up
    // to 6 decimals stays far below this doubt: beyond it, the value rounds as its parts do.
    constexpr double Doubt = 1e-6;
    const double scaled = axis.SecFrac * static_cast<double>(WholePowerOf10(digits));
    const auto below = static_cast<int64_t>(scaled); // as floor, the magnitude not negative
    const double fraction = scaled - static_cast<double>(below);
    if (std::fabs(fraction - 0.5) < Doubt)
        return MagnitudeUnits(SplitValue(axis), digits);
    return below + (fraction > 0.5 ? 1 : 0);
}

int64_t TEntry::Units(const TAxis& axis, int digits)
{
    const int64_t units = MagnitudeUnits(axis, digits);
    return axis.Negative ? -units : units;
}

double TEntry::AxisValue(const TAxis& axis)
{
    const int precision = Settings().Precision;
    // The exact power of ten gives the double nearest the decimal number.
    const double value = static_cast<double>(MagnitudeUnits(axis, precision))
        / static_cast<double>(PowerOf10(precision));
    return axis.Negative ? -value : value;
}

double TEntry::Longitude() const { return AxisValue(Lon); }
double TEntry::Latitude() const { return AxisValue(Lat); }

void TEntry::SetLongitude(double value)
{
    if (value != Longitude())
        SetAxis(Lon, LongitudeLimit, value);
}

void TEntry::SetLatitude(double value)
{
    if (value != Latitude())
        SetAxis(Lat, LatitudeLimit, value);
}

void TEntry::SetAxis(TAxis& axis, int limit, double value)
{
    if (std::isnan(value)) // no position at all: take the origin rather than garbage
        value = 0;
    axis = { std::min(std::fabs(value), static_cast<double>(limit)), Unsplit, 0, 0, value < 0 };
    MarkChanged();
}

// Splits the unrounded value, so decimals beyond the user's precision are kept; each step's
// rest is rounded to a double before it is multiplied again.
TEntry::TAxis TEntry::SplitValue(const TAxis& axis)
{
    const double magnitude = axis.SecFrac;
    TAxis parts;
    parts.Negative = axis.Negative;
    parts.Deg = static_cast<uint8_t>(static_cast<int>(magnitude));
    const TSixtieths minutes = SplitSixtieths(magnitude - parts.Deg);
    parts.Min = static_cast<uint8_t>(minutes.Whole);
    const TSixtieths seconds = SplitSixtieths(minutes.Rest);
    parts.Sec = static_cast<uint8_t>(seconds.Whole);
    // Summed up again, the parts of a value within the limit stay within it, so there is
    // nothing to normalize here.
    parts.SecFrac = seconds.Rest * 60.0;
    return parts;
}

// Minutes and seconds are not limited to 59, so a sum can pass the pole or the date line.
void TEntry::NormalizeAxis(TAxis& axis, int limit)
{
    if (std::fabs(AxisValue(axis)) > limit)
        axis = { 0, static_cast<uint8_t>(limit), 0, 0, axis.Negative };
}

void TEntry::Normalize()
{
    NormalizeAxis(Lat, LatitudeLimit);
    NormalizeAxis(Lon, LongitudeLimit);
}

void TEntry::SetPart(TAxis& axis, uint8_t TAxis::*part, uint8_t value)
{
    axis = Split(axis);
    if (axis.*part == value)
        return;
    axis.*part = value;
    Normalize();
    MarkChanged();
}

// A second typed anew drops the rest below it.
void TEntry::SetSec(TAxis& axis, uint8_t value)
{
    axis = Split(axis);
    if (value != axis.Sec)
        axis.SecFrac = 0;
    SetPart(axis, &TAxis::Sec, value);
}

void TEntry::SetLonDeg(uint8_t value)
{
    SetPart(Lon, &TAxis::Deg, std::min<uint8_t>(value, LongitudeLimit));
}
void TEntry::SetLonMin(uint8_t value) { SetPart(Lon, &TAxis::Min, value); }
void TEntry::SetLonSec(uint8_t value) { SetSec(Lon, value); }
void TEntry::SetLatDeg(uint8_t value)
{
    SetPart(Lat, &TAxis::Deg, std::min<uint8_t>(value, LatitudeLimit));
}
void TEntry::SetLatMin(uint8_t value) { SetPart(Lat, &TAxis::Min, value); }
void TEntry::SetLatSec(uint8_t value) { SetSec(Lat, value); }

void TEntry::SetLonWest(bool value)
{
    if (value != Lon.Negative) {
        Lon.Negative = value;
        MarkChanged();
    }
}

void TEntry::SetLatSouth(bool value)
{
    if (value != Lat.Negative) {
        Lat.Negative = value;
        MarkChanged();
    }
}

static QString CoordinateText(double value)
{
    if (value == 0)
        value = 0; // no "-0.00000" for a point on the equator or the prime meridian
    QString text = QString::number(value, 'f', Settings().Precision);
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

QString TEntry::LongitudeStr() const { return CoordinateText(Longitude()); }
QString TEntry::LatitudeStr() const { return CoordinateText(Latitude()); }

void TEntry::SetDescription(std::string_view value)
{
    if (value != Description()) {
        FTexts.Assign(value, Extra());
        MarkChanged();
    }
}

void TEntry::SetExtra(std::string_view value)
{
    if (value != Extra()) {
        FTexts.Assign(Description(), value);
        MarkChanged();
    }
}

namespace {

// The texts' lengths lead a block that holds both, 7 bits a byte from the lowest, the high
// bit saying that more follow.
size_t LengthSize(size_t length)
{
    size_t size = 1;
    for (; length >= 0x80; length >>= 7)
        ++size;
    return size;
}

char* PutLength(char* out, size_t length)
{
    for (; length >= 0x80; length >>= 7)
        *out++ = static_cast<char>((length & 0x7F) | 0x80);
    *out++ = static_cast<char>(length);
    return out;
}

size_t TakeLength(const char*& in)
{
    size_t length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<uint8_t>(*in++);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return length;
    }
}

} // namespace

TEntry::TTexts::TTexts(const TTexts& other)
    : Bits(other.Bits & MarkBits)
{
    Assign(other.Description(), other.Extra());
}

TEntry::TTexts& TEntry::TTexts::operator=(const TTexts& other)
{
    if (this != &other) {
        Assign(other.Description(), other.Extra());
        Bits = (Bits & ~MarkBits) | (other.Bits & MarkBits);
    }
    return *this;
}

TEntry::TTexts::~TTexts() { FreeBlock(); }

void TEntry::TTexts::FreeBlock() noexcept
{
    if (char* block = Block(); block && !(Bits & BorrowedBit))
        TextArena::Free(block);
}

void TEntry::TTexts::SetBlock(char* block, size_t length, bool borrowed)
{
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (address & ~AddressBits)
        throw std::bad_alloc(); // an address space this wide leaves no room for the rest
    Bits = (Bits & MarkBits) | static_cast<std::uintptr_t>(length) << LengthShift
        | (borrowed ? BorrowedBit : 0) | address;
}

TEntry::TTexts::TParts TEntry::TTexts::Parts() const
{
    const char* in = Block();
    if (!in)
        return {};
    if (const size_t length = (Bits & LengthBits) >> LengthShift; length != LengthsInBlock)
        return { { in, length }, {} };
    const size_t description = TakeLength(in);
    const size_t extra = TakeLength(in);
    return { { in, description }, { in + description, extra } };
}

std::string_view TEntry::TTexts::Description() const { return Parts().Description; }
std::string_view TEntry::TTexts::Extra() const { return Parts().Extra; }

// The new block is filled before the old one is freed, as the texts may lie in it.
void TEntry::TTexts::Assign(std::string_view description, std::string_view extra)
{
    char* block = nullptr;
    size_t length = 0;
    bool borrowed = false;
    if (extra.empty() && description.size() < LengthsInBlock) {
        length = description.size();
        borrowed = length > 0 && TextArena::Borrowable(description);
        if (borrowed) {
            block = const_cast<char*>(description.data()); // only ever read
        } else if (length > 0) {
            block = static_cast<char*>(TextArena::Allocate(length));
            description.copy(block, length);
        }
    } else {
        length = LengthsInBlock;
        block = static_cast<char*>(TextArena::Allocate(LengthSize(description.size())
            + LengthSize(extra.size()) + description.size() + extra.size()));
        char* out = PutLength(PutLength(block, description.size()), extra.size());
        out += description.copy(out, description.size());
        extra.copy(out, extra.size());
    }
    FreeBlock();
    SetBlock(block, length, borrowed);
}

int TEntry::Flag() const
{
    return (IpEnabled() ? 1 : 0) | (IpStopOver() ? 2 : 0) | (IpDeparture() ? 4 : 0);
}

void TEntry::SetFlag(int value)
{
    if (value == Flag())
        return;
    SetIpEnabled(value & 1);
    SetIpStopOver(value & 2);
    SetIpDeparture(value & 4);
    MarkChanged();
}

void TEntry::AssignTo(TEntry& dest) const
{
    dest = *this;
    dest.MarkChanged();
}

TEntries::TEntries() = default;
TEntries::~TEntries() { FreeAll(); }

void TEntries::FreeAll()
{
    for (const EntryPool::TIndex index : List)
        delete EntryAt(index);
    List.clear();
}

void TEntries::AddEntry(std::unique_ptr<TEntry> entry, bool markDeparture)
{
    if (markDeparture && List.empty())
        entry->SetIpDeparture(true);
    List.push_back(EntryPool::IndexOf(entry.get()));
    entry.release(); // owned by the list now
}

TEntry& TEntries::AddValues(
    std::string_view description, std::string_view extra, double longitude, double latitude)
{
    auto entry = std::make_unique<TEntry>(description, extra, longitude, latitude);
    TEntry& added = *entry;
    AddEntry(std::move(entry), true);
    return added;
}

void TEntries::Reserve(size_t count) { List.reserve(List.size() + count); }

void TEntries::Insert(int index, std::unique_ptr<TEntry> entry)
{
    List.insert(List.begin() + index, EntryPool::IndexOf(entry.get()));
    entry.release(); // owned by the list now
    StructureChanged = true;
}

void TEntries::Delete(int index)
{
    delete &Items(index);
    List.erase(List.begin() + index);
    StructureChanged = true;
}

TOwnedEntries TEntries::ExtractAll()
{
    StructureChanged = true;
    TOwnedEntries all;
    all.reserve(List.size());
    for (const EntryPool::TIndex index : std::exchange(List, {}))
        all.emplace_back(EntryAt(index));
    return all;
}

TOwnedEntries TEntries::TakeRows(const std::vector<int>& rows)
{
    TOwnedEntries taken;
    if (rows.empty())
        return taken;
    taken.reserve(rows.size());
    auto next = rows.begin();
    size_t kept = static_cast<size_t>(rows.front());
    for (size_t row = kept; row < List.size(); ++row) {
        if (next != rows.end() && static_cast<size_t>(*next) == row) {
            taken.emplace_back(EntryAt(List[row]));
            ++next;
        } else {
            List[kept++] = List[row];
        }
    }
    List.resize(kept);
    StructureChanged = true;
    return taken;
}

void TEntries::PutRows(const std::vector<int>& rows, TOwnedEntries taken)
{
    if (rows.empty())
        return;
    size_t kept = List.size();
    List.resize(kept + taken.size());
    // From the end, each row's entry moves at most once and nothing is overwritten unread.
    auto next = rows.rbegin();
    auto nextTaken = taken.rbegin();
    for (size_t row = List.size(); next != rows.rend();) {
        --row;
        if (static_cast<size_t>(*next) == row) {
            List[row] = EntryPool::IndexOf(nextTaken->release());
            ++next;
            ++nextTaken;
        } else {
            List[row] = List[--kept];
        }
    }
    StructureChanged = true;
}

void TEntries::Sort(const std::function<int(const TEntry&, const TEntry&)>& compare)
{
    std::stable_sort(List.begin(), List.end(), [&](EntryPool::TIndex a, EntryPool::TIndex b) {
        return compare(*EntryAt(a), *EntryAt(b)) < 0;
    });
    StructureChanged = true;
}

void TEntries::Clear()
{
    const double total = static_cast<double>(List.size());
    while (!List.empty()) {
        delete EntryAt(List.back());
        List.pop_back();
        SetProgress(static_cast<int>(static_cast<double>(List.size()) / total * 100));
    }
}

void TEntries::SetProgress(int value)
{
    if (value == FProgress)
        return;
    FProgress = value;
    if (OnProgress)
        OnProgress(value);
}

void TEntries::ClearChanged()
{
    SavedCount = Count();
    StructureChanged = false;
    for (const EntryPool::TIndex index : List)
        EntryAt(index)->ClearChanged();
}

bool TEntries::Changed() const
{
    return StructureChanged || Count() != SavedCount
        || std::any_of(List.begin(), List.end(),
            [](EntryPool::TIndex index) { return EntryAt(index)->Changed(); });
}

void TEntries::SaveToStream(
    TStream& stream, const QString& ext, const QString& formatId, const QString& target)
{
    auto exporter = CreateExporter(ext, formatId);
    exporter->SetTarget(target);
    exporter->OnProgress = OnProgress;
    exporter->Execute(*this, stream);
}

QStringList TEntries::LoadFromStream(
    TStream& stream, const QString& ext, const QString& formatId, bool append)
{
    auto importer = CreateImporter(ext, formatId);
    if (!append)
        FreeAll();
    importer->OnProgress = OnProgress;
    const size_t invalidBefore = InvalidSequences();
    try {
        importer->Execute(*this, stream);
    } catch (...) {
        stream.CheckUnchanged(); // a file cut short while read fails to parse: the cause is told
        throw;
    }
    stream.CheckUnchanged();
    QStringList warnings = importer->Warnings();
    if (const size_t invalid = InvalidSequences() - invalidBefore)
        warnings.prepend(InvalidSequenceWarning(invalid));
    return warnings;
}

QString TEntries::GpxText()
{
    TMemoryStream stream;
    SaveToStream(stream, QStringLiteral(".gpx"), QString());
    const std::string& bytes = stream.Bytes();
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); // as declared
}

void TEntries::AppendGpxText(const QString& text)
{
    // Marked as UTF-8, whatever its declaration says: the clipboard's text is Unicode already.
    const QByteArray utf8 = text.toUtf8();
    TMemoryStream stream(
        "\xEF\xBB\xBF" + std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
    LoadFromStream(stream, QStringLiteral(".gpx"), QString(), true);
}

TEntries::TUnencodable TEntries::Unencodable() const
{
    constexpr int NamesShown = 3;
    TUnencodable found;
    const TCodePage& page = CurrentCodePage();
    for (const EntryPool::TIndex index : List) {
        const std::string_view description = EntryAt(index)->Description();
        const size_t lacking = UnencodableCharacters(description, page);
        if (!lacking)
            continue;
        found.Characters += lacking;
        if (found.Entries++ < NamesShown)
            found.Names << Utf8ToUnicode(description);
    }
    return found;
}

QString UnencodableWarning(const TEntries::TUnencodable& found)
{
    QString names = found.Names.join(QStringLiteral(", "));
    if (found.Entries > found.Names.size())
        names += QStringLiteral(", …");
    return Tr(found.Entries == 1 ? Msg::UnencodableInEntry : Msg::UnencodableInEntries)
        .arg(ReplacementWarning(found.Characters))
        .arg(found.Entries)
        .arg(names);
}

bool TEntries::FitsPrecision(int digits) const
{
    const long double factor = PowerOf10(digits);
    auto fits = [factor](double degrees) {
        long double scaled = degrees * factor;
        return std::fabs(RoundHalfEven(scaled) - scaled) <= 1e-8L;
    };
    return std::all_of(List.begin(), List.end(), [&](EntryPool::TIndex index) {
        return fits(EntryAt(index)->Longitude()) && fits(EntryAt(index)->Latitude());
    });
}

static QString EscapeName(QString name)
{
    return name.replace(QLatin1Char('='), QStringLiteral("%3D"));
}

QString TSafeStringList::NameAt(int index) const
{
    const QString& line = at(index);
    qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString()
                      : line.left(equals).replace(QStringLiteral("%3D"), QStringLiteral("="));
}

QString TSafeStringList::ValueAt(int index) const
{
    const QString& line = at(index);
    qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.mid(equals + 1);
}

int TSafeStringList::IndexOfName(const QString& name) const
{
    const QString escaped = EscapeName(name);
    for (int i = 0; i < size(); ++i) {
        qsizetype equals = at(i).indexOf(QLatin1Char('='));
        if (equals >= 0
            && QStringView(at(i)).left(equals).compare(escaped, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TSafeStringList::ValueOf(const QString& name) const
{
    int index = IndexOfName(name);
    return index < 0 ? QString() : ValueAt(index);
}

void TSafeStringList::AddPair(const QString& name, const QString& value)
{
    append(EscapeName(name) + QLatin1Char('=') + value);
}

void TSafeStringList::InsertPair(int index, const QString& name, const QString& value)
{
    insert(index, EscapeName(name) + QLatin1Char('=') + value);
}
