#include "convert/uFormats.h"

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "testing.h"

// Files GPSBabel wrote read as it meant them: block headers, version differences and all.
TEST(GpsBabelFiles, ReadWithEveryNameAndPosition)
{
    const TBuiltInFormats formats;
    const struct {
        const char* File;
        const char* FormatId;
        const char* Opera; // the second point's name, as the format could carry it
        double Tolerance; // OV2 and GDB store fewer decimals, and GPSBabel truncates
    } cases[] = {
        { "points.ov2", "ttov2", "Opera, Sydney", 1.1e-5 },
        { "points.itn", "ttitn", "Opera Sydney", 0 },
        { "points.dat", "destdat", "Opera, Sydney", 0 },
        { "points-garmin.csv", "garmincsv", "Opera Sydney", 0 },
        { "points-v1.gdb", "gdb", "Opera, Sydney", 1e-5 },
        { "points-v2.gdb", "gdb", "Opera, Sydney", 1e-5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TMemoryStream stream(TestData((std::string("gpsbabel/") + c.File).c_str()));
        TEntries entries;
        entries.LoadFromStream(stream, QFileInfo(c.File).suffix(), c.FormatId, false);
        EXPECT_EQ(stream.Position(), stream.Size());
        const std::vector<TReadPoint> expected = { { "Dam Square", 4.88969, 52.37403 },
            { c.Opera, 151.2153, -33.85678 }, { "Liberty", -74.0445, 40.68925 },
            { "Cristo Redentor", -43.21049, -22.95191 } };
        const std::vector<TReadPoint> read = ReadPoints(entries);
        ASSERT_EQ(read.size(), expected.size());
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].Description, expected[i].Description);
            EXPECT_NEAR(read[i].Longitude, expected[i].Longitude, c.Tolerance);
            EXPECT_NEAR(read[i].Latitude, expected[i].Latitude, c.Tolerance);
        }
    }
}
