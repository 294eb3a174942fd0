#include "convert/uConvertOvr.h"

#include <gtest/gtest.h>

#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertFromOvr, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = std::string("\x01\x09", 2) + std::string(8, '\0') + "a";
    auto expectInvalid = [](const std::string& bytes, int entriesBefore) {
        TEntries entries;
        TMemoryStream stream(bytes);
        EXPECT_EQ(ErrorOf<EUserError>([&] { TConvertFromOvr().Execute(entries, stream); }),
            "Invalid ovr file");
        EXPECT_EQ(entries.Count(), entriesBefore);
    };
    expectInvalid("\x02" + good, 0);
    expectInvalid(good + std::string("\x01\x07", 2) + std::string(8, '\0'), 1);
    for (size_t cut = 1; cut < good.size(); ++cut)
        expectInvalid(good + good.substr(0, cut), 1);
}
