#include "convert/uConvertMio.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertMioMap, ReadsFieldsOneThreeAndFourFromEveryLineNotBlank)
{
    TLocale german(QLocale::German);
    TEntries entries;
    TMemoryStream stream("\r\n\"Dam\",x,4.8897,52.374,,,\r\n  \t\r\n;Opera,,\"-1,25\",0.5,e\n");
    TConvertFromMioMap importer;
    std::vector<int> progress;
    importer.OnProgress = [&](int percent) { progress.push_back(percent); };
    importer.Execute(entries, stream);
    EXPECT_EQ(progress, std::vector<int>({ 25, 50, 75 })) << "as each line is read";

    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "Dam", 4.8897, 52.374 }, { ";Opera", -1.25, 0.5 } }))
        << "a \";\" starts no comment; the locale's separator is read too";
    EXPECT_EQ(stream.Position(), stream.Size());

    TMemoryStream shortLine("a,,1,2\r\n\r\nb,c,3\r\n");
    EXPECT_EQ(ErrorOf<EUserError>([&] { TConvertFromMioMap().Execute(entries, shortLine); }),
        "Line 3 does not fit this format: at least 4 values expected, 3 found. Open the file in "
        "the format it was written in, or correct that line");
    EXPECT_EQ(entries.Count(), 3) << "entries read before the fault stay";
}
