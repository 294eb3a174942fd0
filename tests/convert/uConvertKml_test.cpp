#include "convert/uConvertKml.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "testing.h"

TEST(TConvertFromKml, FindsPlacemarksAtAnyDepthWithAPoint)
{
    const std::string kml = TestData("convert/nested.kml");
    TEntries entries;
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ImportInto<TConvertFromKml>(entries, kml); }),
        "'caf\u00e9-free' is not a valid floating point value");
    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "top", 1.5, 2.5 }, { "by description", 3, 4 }, { "", 5, 6 },
            { "outer", 7, 8 }, { "inner", 9, 10 }, { "outer 2", 11, 12 },
            { "inner & first", 13, 14 }, { "", 15, 16 } }));
    entries.Clear();
    ImportInto<TConvertFromKml>(
        entries, "<Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>");
    EXPECT_EQ(entries.Count(), 0) << "not below another element";
    EXPECT_EQ(ReadOutcome<TConvertFromKml>(
                  "<kml><Placemark><Point><coordinates>3</coordinates></Point></Placemark></kml>"),
        "Invalid value found in coordinates node | kept ");
}
