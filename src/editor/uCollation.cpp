#include "editor/uCollation.h"

#include <algorithm>
#include <numeric>

#include <QLocale>

#include "platform/uCodePage.h"

namespace {

QString Character(char32_t code) { return QString::fromUcs4(&code, 1); }

} // namespace

QCollator DescriptionCollator()
{
    const QLocale locale = QLocale().language() == QLocale::C
        ? QLocale(QLocale::English, QLocale::UnitedStates)
        : QLocale();
    return QCollator(locale);
}

TCharacterPlaces::TCharacterPlaces(const std::vector<char32_t>& others)
{
    std::vector<char32_t> characters(0x80);
    std::iota(characters.begin(), characters.end(), char32_t(0));
    characters.insert(characters.end(), others.begin(), others.end());
    // Each character alone in the locale's full order, case and accents included; letters
    // that differ only so lie side by side in it.
    const QCollator collator = DescriptionCollator();
    LocaleName = collator.locale().name();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(characters.size());
    for (const char32_t code : characters)
        keys.push_back(collator.sortKey(Character(code)));
    std::vector<size_t> order(characters.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    // Two neighbours share a primary place when what follows them decides between two texts
    // that start with them: "ab" after "Ba" says "a" and "B" differ in more than case.
    std::vector<std::pair<char32_t, TPlace>> placed;
    TPlace place { 1, 0 };
    for (size_t i = 0; i < order.size(); ++i) {
        const char32_t code = characters[order[i]];
        if (i > 0) {
            const char32_t before = characters[order[i - 1]];
            const bool samePrimary =
                collator.compare(Character(before) + 'b', Character(code) + 'a') > 0;
            if (samePrimary && place.Variant < UINT8_MAX)
                ++place.Variant;
            else if (place.Primary < UINT16_MAX)
                place = { static_cast<uint16_t>(place.Primary + 1), 0 };
        }
        if (code < 0x80)
            Ascii[code] = place;
        else
            placed.emplace_back(code, place);
    }
    Wide = place.Primary > UINT8_MAX;
    for (size_t c = 0; c < Ascii.size(); ++c) {
        AsciiPrimary[c] = static_cast<uint8_t>(Ascii[c].Primary);
        AsciiVariant[c] = Ascii[c].Variant;
    }
    std::sort(placed.begin(), placed.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    Others = std::move(placed);
}

bool TCharacterPlaces::Current() const
{
    return LocaleName == DescriptionCollator().locale().name();
}

TCharacterPlaces::TPlace TCharacterPlaces::PlaceOf(char32_t code) const
{
    if (code < 0x80)
        return Ascii[code];
    const auto found = std::lower_bound(Others.begin(), Others.end(), code,
        [](const std::pair<char32_t, TPlace>& entry, char32_t c) { return entry.first < c; });
    return found != Others.end() && found->first == code ? found->second : TPlace { UINT16_MAX, 0 };
}

void TCharacterPlaces::AppendPlace(std::string& out, uint16_t primary) const
{
    if (Wide)
        out.push_back(static_cast<char>(primary >> 8));
    out.push_back(static_cast<char>(primary));
}

namespace {

uint32_t HashedOn(uint32_t hash, uint8_t variant) { return (hash ^ variant) * 16777619u; }

} // namespace

uint32_t TCharacterPlaces::AppendAsciiKey(
    std::string& out, std::string_view ascii, bool withVariants) const
{
    const size_t start = out.size();
    out.resize(start + ascii.size());
    uint32_t hash = 2166136261u;
    uint8_t variants = 0;
    for (size_t i = 0; i < ascii.size(); ++i) {
        const auto c = static_cast<uint8_t>(ascii[i]);
        out[start + i] = static_cast<char>(AsciiPrimary[c]);
        variants |= AsciiVariant[c];
        hash = HashedOn(hash, AsciiVariant[c]);
    }
    if (!variants || !withVariants)
        return hash;
    out.push_back('\0');
    const size_t variantsStart = out.size();
    out.resize(variantsStart + ascii.size());
    for (size_t i = 0; i < ascii.size(); ++i)
        out[variantsStart + i] = static_cast<char>(AsciiVariant[static_cast<uint8_t>(ascii[i])]);
    return hash;
}

uint32_t TCharacterPlaces::AppendKey(
    std::string& out, std::string_view utf8, bool withVariants) const
{
    if (!Wide && IsAscii(utf8))
        return AppendAsciiKey(out, utf8, withVariants);
    uint32_t hash = 2166136261u;
    bool variants = false;
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const TUtf8Char next = byte < 0x80 ? TUtf8Char { byte, 1 } : Utf8CharAt(utf8.substr(i));
        const TPlace place = PlaceOf(next.Code);
        AppendPlace(out, place.Primary);
        variants = variants || place.Variant;
        hash = HashedOn(hash, place.Variant);
        i += next.Length ? next.Length : 1;
    }
    if (!variants || !withVariants)
        return hash;
    // A zero, below every place: a text whose places are a prefix of another's goes first.
    AppendPlace(out, 0);
    for (size_t i = 0; i < utf8.size();) {
        const TUtf8Char next = Utf8CharAt(utf8.substr(i));
        out.push_back(static_cast<char>(PlaceOf(next.Code).Variant));
        i += next.Length ? next.Length : 1;
    }
    return hash;
}

void NoteCharactersBeyondAscii(std::string_view utf8, std::vector<bool>& found)
{
    for (size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const TUtf8Char next = Utf8CharAt(utf8.substr(i));
        if (next.Length)
            found[next.Code] = true;
        i += next.Length ? next.Length : 1;
    }
}
