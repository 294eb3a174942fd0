#include "convert/uConvertMio.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "platform/uStreams.h"
#include "testing.h"

namespace {

class TGermanLocale {
public:
    TGermanLocale() { QLocale::setDefault(QLocale(QLocale::German)); }
    ~TGermanLocale() { QLocale::setDefault(Previous); }

private:
    QLocale Previous;
};

void Import(TEntries& entries, const std::string& text)
{
    TMemoryStream stream(text);
    TConvertFromMioMap().Execute(entries, stream);
}

} // namespace

TEST(TConvertToMioMap, WritesFourDecimalsWithAPointInAnyLocale)
{
    TGermanLocale german;
    TEntries entries;
    entries.AddValues("Dam \"Square\"", "", 4.88969, 52.37403);
    entries.AddValues("x", "", -1.5, -0.00004);
    TMemoryStream stream;
    TConvertToMioMap().Execute(entries, stream);
    EXPECT_EQ(stream.Bytes(),
        "\"Dam \"Square\"\",\"Dam \"Square\"\",4.8897,52.3740,,,\r\n"
        "\"x\",\"x\",-1.5000,0.0000,,,\r\n");

    TEntries empty;
    TMemoryStream nothing;
    TConvertToMioMap().Execute(empty, nothing);
    EXPECT_EQ(nothing.Bytes(), "");
}

TEST(TConvertFromMioMap, ReadsFieldsOneThreeAndFourAndSkipsBlankLines)
{
    TGermanLocale german;
    TEntries entries;
    TMemoryStream stream(
        "\r\n\"Dam\",\"x\",4.8897,52.374,,,\r\n  \t\r\n;Opera,,151.2153,-33.8568,e\n");
    TConvertFromMioMap().Execute(entries, stream);

    ASSERT_EQ(entries.Count(), 2);
    EXPECT_EQ(entries.Items(0).Description(), "Dam");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.8897);
    EXPECT_EQ(entries.Items(0).Latitude(), 52.374);
    EXPECT_EQ(entries.Items(1).Description(), ";Opera") << "a \";\" starts no comment";
    EXPECT_EQ(entries.Items(1).Latitude(), -33.8568);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(TConvertFromMioMap, ShortOrBadLinesEndTheImport)
{
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] { Import(entries, "a,,1,2\r\n\r\nb,c,3\r\n"); }),
        "4 values expected on line 2");
    EXPECT_EQ(entries.Count(), 1) << "entries read before the fault stay";
    EXPECT_EQ(ErrorOf<EUserError>([&] { Import(entries, "a,,1,x"); }),
        "'x' is not a valid floating point value");
}
