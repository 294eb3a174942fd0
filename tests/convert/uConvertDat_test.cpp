#include "convert/uConvertDat.h"

#include <gtest/gtest.h>

#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertDat, ReadsAFileUpToWhereItEnds)
{
    const std::string file = TestData("gpsbabel/points.dat");

    const size_t lastRecord = file.rfind(std::string("D\0y\0n", 5));
    for (size_t cut = lastRecord + 1; cut < file.size(); ++cut) {
        TEntries before;
        EXPECT_EQ(
            ErrorOf<EUserError>([&] { ImportInto<TConvertFromDat>(before, file.substr(0, cut)); }),
            "Invalid dat file");
        EXPECT_EQ(before.Count(), 3) << "the records before stay; cut at " << cut;
    }
    TEntries none;
    ImportInto<TConvertFromDat>(none, "");
    EXPECT_EQ(none.Count(), 0);
}
