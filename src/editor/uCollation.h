#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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
    static constexpr size_t PageSize = 0x100;
    using TPage = std::array<TPlace, PageSize>;

    TPlace PlaceOf(char32_t code) const
    {
        return Pages[PageOfBlock[code / PageSize]][code % PageSize];
    }
    uint32_t AppendAsciiKey(std::string& out, std::string_view ascii, bool withVariants) const;

    QString LocaleName; // of the collator the places came from
    // The places by code point, a page for each block of 256 code points that holds a placed
    // character: a lookup without search, as keying a million texts needs. Page 0 is of
    // characters never placed.
    std::vector<uint16_t> PageOfBlock;
    std::vector<TPage> Pages;
    // The same in bytes, for ASCII text while places take one byte: most text, keyed fast.
    std::array<uint8_t, 0x80> AsciiPrimary {};
    std::array<uint8_t, 0x80> AsciiVariant {};
    bool Wide = false; // two bytes a primary place, as there are more than 255
};

// Code points found in texts, a bit each.
class TCharacterSet {
public:
    // Adds the characters beyond ASCII in `utf8`.
    void AddBeyondAscii(std::string_view utf8);
    void Add(const TCharacterSet& other);
    std::vector<char32_t> Characters() const;

private:
    std::vector<uint64_t> Words = std::vector<uint64_t>(0x110000 / 64);
};
