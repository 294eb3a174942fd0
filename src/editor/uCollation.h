#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QCollator>

// The collator of the user's locale; under the C locale, which orders by code point and case,
// English, whose order suits most scripts.
QCollator DescriptionCollator();

// Where each character stands in the order of the user's locale (`QCollator`), so that a sort
// key made of places compares as plain bytes do: sorting a million descriptions by their keys
// takes a fraction of the time the collator would take comparing them. A key holds each
// character's primary place, where letters that differ only by accent or case share one, then,
// when any character is not the first of its place, a zero and each character's variant: so
// "Ölberg" sorts between "Oder" and "Opera", and after "ölberg" as the locale has it.
class TCharacterPlaces {
public:
    // The places of ASCII and of `others`, characters beyond ASCII, each given once.
    explicit TCharacterPlaces(const std::vector<char32_t>& others = {});

    // Whether the places came from the collator of the current locale.
    bool Current() const;
    // Appends the key of `utf8`, whose characters beyond ASCII must be among `others`: its
    // primary places, then with `withVariants` the variants when any is not 0. Returns a hash
    // of the variants: texts of equal primary places and equal hashes are, but for a rare
    // collision, the same text, which no variant needs to order.
    uint32_t AppendKey(std::string& out, std::string_view utf8, bool withVariants) const;

private:
    struct TPlace {
        uint16_t Primary = 0; // from 1
        uint8_t Variant = 0;
    };
    void AppendPlace(std::string& out, uint16_t primary) const;
    TPlace PlaceOf(char32_t code) const;

    QString LocaleName; // of the collator the places came from
    uint32_t AppendAsciiKey(std::string& out, std::string_view ascii, bool withVariants) const;

    std::array<TPlace, 0x80> Ascii;
    // The same in bytes, for ASCII text while places take one byte: most text, keyed fast.
    std::array<uint8_t, 0x80> AsciiPrimary {};
    std::array<uint8_t, 0x80> AsciiVariant {};
    std::vector<std::pair<char32_t, TPlace>> Others; // by character
    bool Wide = false; // two bytes a primary place, as there are more than 255
};

// Adds the characters beyond ASCII in `utf8` to `found`, by code point.
void NoteCharactersBeyondAscii(std::string_view utf8, std::vector<bool>& found);
