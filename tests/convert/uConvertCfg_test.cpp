#include "convert/uConvertCfg.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "platform/uBytes.h"
#include "testing.h"

namespace {

const std::string Signature("\x04\0\x7f\0\0\0\x04\0\x01\0\0\0\x08\0anything\x08\0", 24);

// Three strings, the last the name, each led by 27 + its length.
std::string Favourite(
    int32_t longitude, int32_t latitude, const std::string& name, char firstLength = 27 + 3)
{
    std::string favourite = Signature;
    AppendInt32(favourite, longitude);
    AppendInt32(favourite, latitude);
    return favourite + firstLength + "one" + static_cast<char>(27)
        + static_cast<char>(27 + name.size()) + name;
}

} // namespace

TEST(TConvertFromCfg, FindsFavouritesInFileOrder)
{
    TEntries entries;
    ImportInto<TConvertFromCfg>(entries,
        std::string("settings\x04\0\x04", 11) + Favourite(488969, 5237403, "Home")
            + Favourite(1, 2, "rejected", 26)
            // a bare signature: the next favourite starts within its coordinates
            + Signature + Favourite(-100, -200, "Work") + std::string(30, '\0'));
    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "Home", 4.88969, 52.37403 }, { "Work", -0.001, -0.002 } }));
}

TEST(TConvertFromCfg, FavouriteCutOffAtTheEndIsPassedOver)
{
    const std::string favourite = Favourite(1, 2, "Home");
    for (size_t cut = 0; cut < favourite.size(); ++cut) {
        EXPECT_EQ(ReadOutcome<TConvertFromCfg>(favourite.substr(0, cut)),
            "No items found in this TomTom Navigator configuration file. Are you sure you are "
            "opening a configuration file that belongs to version 5 of TomTom Navigator? | kept ");
        EXPECT_EQ(ReadOutcome<TConvertFromCfg>(favourite + favourite.substr(0, cut)),
            "no error | kept Home ");
    }
}
