#include "convert/uConvertOvr.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"

TEST(TConvertFromOvr, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = std::string("\x01\x09", 2) + std::string(8, '\0') + "a";
    EXPECT_EQ(ReadOutcome<TConvertFromOvr>("\x02" + good), "Invalid ovr file | kept ");
    EXPECT_EQ(
        ReadOutcome<TConvertFromOvr>(good + std::string("\x01\x07", 2) + std::string(8, '\0')),
        "Invalid ovr file | kept a ");
    for (size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_EQ(
            ReadOutcome<TConvertFromOvr>(good + good.substr(0, cut)), "Invalid ovr file | kept a ");
}
