#include "editor/uCollation.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <utility>

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
        placed.emplace_back(code, place);
    }
    Wide = place.Primary > UINT8_MAX;
    PageOfBlock.assign(0x110000 / PageSize, 0);
    Pages.assign(1, {});
    Pages[0].fill({ UINT16_MAX, 0 });
    for (const auto& [code, placeOfCode] : placed) {
        uint16_t& page = PageOfBlock[code / PageSize];
        if (page == 0) {
            page = static_cast<uint16_t>(Pages.size());
            Pages.push_back(Pages[0]);
        }
        Pages[page][code % PageSize] = placeOfCode;
    }
    for (char32_t c = 0; c < AsciiPrimary.size(); ++c) {
        AsciiPrimary[c] = static_cast<uint8_t>(PlaceOf(c).Primary);
        AsciiVariant[c] = PlaceOf(c).Variant;
    }
}

bool TCharacterPlaces::Current() const
{
    return LocaleName == DescriptionCollator().locale().name();
}

namespace {

// The variants' hash is a sum of each variant times a number for its position: unlike a hash
// that runs through the text one multiplication after another, its terms are worked out side
// by side, which keeps the keying of ASCII text at the speed of its table lookups.
constexpr std::array<uint32_t, 64> PositionFactors = [] {
    std::array<uint32_t, 64> factors {};
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (uint32_t& factor : factors) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        factor = static_cast<uint32_t>(state >> 32) | 1;
    }
    return factors;
}();

uint32_t VariantTerm(size_t position, uint8_t variant)
{
    return variant * PositionFactors[position % PositionFactors.size()];
}

// Calls `visit` with each code point of `utf8`, 0 for a byte of no valid character. Letters of
// two and three bytes, most of what is not ASCII, are decoded here without a call.
template <typename TVisit> void ForEachCharacter(std::string_view utf8, const TVisit& visit)
{
    const auto* next = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = next + utf8.size();
    const auto continues = [&](ptrdiff_t at) { return (next[at] & 0xC0) == 0x80; };
    while (next < end) {
        const unsigned lead = *next;
        const ptrdiff_t left = end - next;
        if (lead < 0x80) {
            visit(char32_t(lead));
            ++next;
        } else if (lead >= 0xC2 && lead < 0xE0 && left >= 2 && continues(1)) {
            visit(char32_t((lead & 0x1F) << 6 | (next[1] & 0x3F)));
            next += 2;
        } else if (lead >= 0xE1 && lead < 0xF0 && lead != 0xED && left >= 3 && continues(1)
            && continues(2)) {
            visit(char32_t((lead & 0x0F) << 12 | (next[1] & 0x3F) << 6 | (next[2] & 0x3F)));
            next += 3;
        } else {
            const TUtf8Char character = Utf8CharAt(
                std::string_view(reinterpret_cast<const char*>(next), static_cast<size_t>(left)));
            visit(character.Code);
            next += character.Length ? character.Length : 1;
        }
    }
}

} // namespace

uint32_t TCharacterPlaces::AppendAsciiKey(
    std::string& out, std::string_view ascii, bool withVariants) const
{
    const size_t start = out.size();
    out.resize(start + ascii.size());
    // Through a pointer of its own, which the compiler need not reload after each byte.
    char* const key = out.data() + start;
    const auto* const text = reinterpret_cast<const uint8_t*>(ascii.data());
    uint32_t hash = 0;
    uint8_t variants = 0;
    for (size_t i = 0; i < ascii.size(); ++i) {
        key[i] = static_cast<char>(AsciiPrimary[text[i]]);
        variants |= AsciiVariant[text[i]];
        hash += VariantTerm(i, AsciiVariant[text[i]]);
    }
    if (!variants || !withVariants)
        return hash;
    out.push_back('\0');
    for (size_t i = 0; i < ascii.size(); ++i)
        out.push_back(static_cast<char>(AsciiVariant[text[i]]));
    return hash;
}

uint32_t TCharacterPlaces::AppendKey(
    std::string& out, std::string_view utf8, bool withVariants) const
{
    if (!Wide && IsAscii(utf8))
        return AppendAsciiKey(out, utf8, withVariants);
    // A byte of text makes at most one two-byte place.
    const size_t start = out.size();
    out.resize(start + 2 * utf8.size());
    auto* key = reinterpret_cast<uint8_t*>(out.data() + start);
    uint32_t hash = 0;
    uint8_t variants = 0;
    size_t position = 0;
    ForEachCharacter(utf8, [&](char32_t code) {
        const TPlace place = PlaceOf(code);
        if (Wide)
            *key++ = static_cast<uint8_t>(place.Primary >> 8);
        *key++ = static_cast<uint8_t>(place.Primary);
        variants |= place.Variant;
        hash += VariantTerm(position++, place.Variant);
    });
    out.resize(static_cast<size_t>(key - reinterpret_cast<uint8_t*>(out.data())));
    if (!variants || !withVariants)
        return hash;
    // A zero, below every place: a text whose places are a prefix of another's goes first.
    out.append(Wide ? 2 : 1, '\0');
    ForEachCharacter(
        utf8, [&](char32_t code) { out.push_back(static_cast<char>(PlaceOf(code).Variant)); });
    return hash;
}

void TCharacterSet::AddBeyondAscii(std::string_view utf8)
{
    if (IsAscii(utf8))
        return;
    ForEachCharacter(utf8, [&](char32_t code) {
        if (code >= 0x80)
            Words[code / 64] |= uint64_t(1) << code % 64;
    });
}

void TCharacterSet::Add(const TCharacterSet& other)
{
    for (size_t i = 0; i < Words.size(); ++i)
        Words[i] |= other.Words[i];
}

std::vector<char32_t> TCharacterSet::Characters() const
{
    std::vector<char32_t> characters;
    for (size_t i = 0; i < Words.size(); ++i)
        for (uint64_t word = Words[i]; word; word &= word - 1)
            characters.push_back(static_cast<char32_t>(i * 64 + std::countr_zero(word)));
    return characters;
}
