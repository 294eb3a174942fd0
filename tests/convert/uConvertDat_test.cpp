#include "convert/uConvertDat.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "testing.h"

TEST(TConvertDat, ReadsAFileUpToWhereItEnds)
{
    const std::string file = TestData("gpsbabel/points.dat");

    const size_t lastRecord = file.rfind(std::string("D\0y\0n", 5));
    for (size_t cut = lastRecord + 1; cut < file.size(); ++cut)
        EXPECT_EQ(ReadOutcome<TConvertFromDat>(file.substr(0, cut)),
            "Invalid dat file | kept Dam Square Opera, Sydney Liberty ")
            << "the records before stay; cut at " << cut;
    EXPECT_EQ(ReadOutcome<TConvertFromDat>(""), "no error | kept ");
}
