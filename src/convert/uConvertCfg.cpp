#include "convert/uConvertCfg.h"

#include <optional>

#include "core/uNumbers.h"
#include "platform/uBytes.h"
#include "platform/uStreams.h"

namespace {

constexpr double Scale = 100000;
constexpr std::string_view Signature(
    "\x04\0\0\0\0\0\x04\0\0\0\0\0\x08\0\0\0\0\0\0\0\0\0\x08\0", 24);
// Each string's length byte holds its length plus this.
constexpr uint8_t LengthBias = 27;
constexpr int StringCount = 3;

// Offsets of the signature that may hold any byte.
bool IsWildcard(size_t offset)
{
    return offset == 2 || offset == 8 || (offset >= 14 && offset < 22);
}

bool SignatureAt(std::string_view data, size_t pos)
{
    for (size_t i = 0; i < Signature.size(); ++i)
        if (!IsWildcard(i) && data[pos + i] != Signature[i])
            return false;
    return true;
}

// The first position from `from` on where the whole signature matches, or npos.
size_t FindSignature(std::string_view data, size_t from)
{
    // Every match starts with the signature's first two bytes, which `find` locates fast.
    const std::string_view lead = Signature.substr(0, 2);
    for (size_t pos = data.find(lead, from);
         pos != std::string_view::npos && data.size() - pos >= Signature.size();
         pos = data.find(lead, pos + 1))
        if (SignatureAt(data, pos))
            return pos;
    return std::string_view::npos;
}

struct TFavourite {
    int32_t Longitude = 0;
    int32_t Latitude = 0;
    std::string_view Name;
    size_t End = 0; // position right after the name
};

// The favourite whose signature matched at `start`; none when a length byte is below the
// bias or the favourite runs past the data.
std::optional<TFavourite> FavouriteAt(std::string_view data, size_t start)
{
    // Every read is checked beforehand, so the cursor's message is never shown.
    TByteCursor cursor(data.substr(start + Signature.size()), Msg::NoCfgItems);
    if (cursor.Remaining() < 2 * sizeof(int32_t))
        return std::nullopt;
    TFavourite favourite;
    favourite.Longitude = cursor.Int32();
    favourite.Latitude = cursor.Int32();
    for (int i = 0; i < StringCount; ++i) {
        if (cursor.AtEnd())
            return std::nullopt;
        const uint8_t lengthByte = cursor.Byte();
        if (lengthByte < LengthBias)
            return std::nullopt;
        const size_t length = lengthByte - LengthBias;
        if (cursor.Remaining() < length)
            return std::nullopt;
        favourite.Name = cursor.Slice(length);
    }
    favourite.End = start + Signature.size() + cursor.Position();
    return favourite;
}

std::unique_ptr<TEntry> EntryOf(const TFavourite& favourite, std::string_view name)
{
    auto entry = std::make_unique<TEntry>();
    entry->SetLongitude(FromFixedPoint(favourite.Longitude, Scale));
    entry->SetLatitude(FromFixedPoint(favourite.Latitude, Scale));
    entry->SetDescription(name);
    return entry;
}

} // namespace

void TConvertFromCfg::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    const std::string_view data = bytes.Bytes();
    const int countBefore = entries.Count();
    size_t pos = FindSignature(data, 0);
    while (pos != std::string_view::npos) {
        const std::optional<TFavourite> favourite = FavouriteAt(data, pos);
        if (favourite)
            entries.AddEntry(EntryOf(*favourite, EntryText(favourite->Name)), true);
        pos = FindSignature(data, favourite ? favourite->End : pos + 1);
    }
    stream.Seek(bytes.Origin() + static_cast<int64_t>(data.size()), TSeekOrigin::Beginning);
    if (entries.Count() == countBefore)
        throw EUserError(Tr(Msg::NoCfgItems));
}

void RegisterCfg()
{
    RegisterImporter(ImporterClassOf<TConvertFromCfg>(), QStringLiteral("TomTom 5 configuration"),
        QStringLiteral("cfg"), rpLast);
}

void UnregisterCfg() { UnregisterImporter(ImporterClassOf<TConvertFromCfg>()); }
