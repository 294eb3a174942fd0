#include "convert/uConvertBase.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "platform/uExceptions.h"
#include "platform/uRegistry.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

template <size_t N> struct TId {
    constexpr TId(const char (&text)[N]) { std::copy_n(text, N, Text); }
    char Text[N];
};

template <TId Id, class TBase> class TFake : public TBase {
public:
    QString FormatId() const override { return QString::fromLatin1(Id.Text); }
    void Execute(TEntries&, TStream&) override { }
};

template <TId Id> using TFakeExporter = TFake<Id, TConvertToBase>;
template <TId Id> using TFakeImporter = TFake<Id, TConvertFromBase>;

// A format with one option, as the formats that have options answer.
class TOptionExporter : public TFakeExporter<"genasc"> {
public:
    int OptionCount() const override { return 1; }
    QString OptionCaption(int index) const override
    {
        return index == 0 ? QStringLiteral("Save using maximum precision")
                          : TConvertBase::OptionCaption(index);
    }
};

// Registers converters standing for the program's formats, in the program's order and with
// its positions, and removes them again.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest()
    {
        Exporter<TFakeExporter<"ttov2">>("TomTom Binary", "ov2", rpFirst);
        Importer<TFakeImporter<"ttov2">>("TomTom Binary", "ov2", rpFirst);
        Exporter<TFakeExporter<"ttitn">>("TomTom Itinerary", "itn", rpLast);
        Importer<TFakeImporter<"ttitn">>("TomTom Itinerary", "itn", rpLast);
        Importer<TFakeImporter<"ttcfg">>("TomTom 5 configuration", "cfg", rpLast);
        Exporter<TFakeExporter<"ttovr">>("Smartpath Binary", "ovr", rpLast);
        Importer<TFakeImporter<"ttovr">>("Smartpath Binary", "ovr", rpLast);
        Exporter<TOptionExporter>("Generic Ascii", "asc", rpBeforeSameExt);
        Importer<TFakeImporter<"genasc">>("Generic Ascii", "asc", rpBeforeSameExt);
        Both<"navmancsv">("Navman Comma Separated", "csv", rpLast);
        Both<"navioasc">("Navio Ascii", "asc", rpLast);
        Both<"naviocsv">("Navio Comma Separated", "csv", rpLast);
        Both<"garmincsv">("Garmin Comma Separated", "csv", rpLast);
        Both<"dstcsv">("Destinator Comma Separated", "csv", rpBeforeSameExt);
        Both<"destdat">("Destinator Binary", "dat", rpLast);
        Importer<TFakeImporter<"gdb">>("Garmin Mapsource", "gdb", rpBeforeSameExt);
        Both<"miomapcsv">("MioMap Comma Separated", "csv", rpLast);
        Both<"gengpx">("GPS eXchange Format", "gpx", rpLast);
        Importer<TFakeImporter<"excelxml">>("Excel XML Format", "xml", rpLast);
        Both<"genkml">("Google Earth", "kml", rpLast);
    }
    ~RegistryTest() override
    {
        for (auto unregister : Unregisters)
            unregister();
    }

    template <class T> void Exporter(const char* name, const char* ext, TRegisterPosition position)
    {
        RegisterExporter(ExporterClassOf<T>(), QLatin1String(name), QLatin1String(ext), position);
        Unregisters.push_back([] { UnregisterExporter(ExporterClassOf<T>()); });
    }
    template <class T> void Importer(const char* name, const char* ext, TRegisterPosition position)
    {
        RegisterImporter(ImporterClassOf<T>(), QLatin1String(name), QLatin1String(ext), position);
        Unregisters.push_back([] { UnregisterImporter(ImporterClassOf<T>()); });
    }
    template <TId Id> void Both(const char* name, const char* ext, TRegisterPosition position)
    {
        Exporter<TFakeExporter<Id>>(name, ext, position);
        Importer<TFakeImporter<Id>>(name, ext, position);
    }

    static QStringList Names(void (*fill)(QStringList&))
    {
        QStringList names;
        fill(names);
        return names;
    }

    std::vector<void (*)()> Unregisters;
};

} // namespace

TEST_F(RegistryTest, PositionsGiveTheProgramsOrder)
{
    QStringList exporters = Names(FillExporterNames);
    EXPECT_EQ(exporters.size(), 13);
    EXPECT_EQ(exporters.first(), QStringLiteral("TomTom Binary (*.ov2)"));
    EXPECT_EQ(exporters.mid(3, 3),
        QStringList({ "Generic Ascii (*.asc)", "Destinator Comma Separated (*.csv)",
            "Navman Comma Separated (*.csv)" }));
    QStringList importers = Names(FillImporterNames);
    EXPECT_EQ(importers.size(), 16);
    EXPECT_EQ(importers.at(11), QStringLiteral("Garmin Mapsource (*.gdb)"));
    EXPECT_EQ(ImporterFormatId(15), QStringLiteral("genkml"));
    EXPECT_EQ(ImporterFormatId(16), QString());
    EXPECT_EQ(ImporterFormatId(-1), QString());
    EXPECT_EQ(ExporterFormatId(-1), QString());
    EXPECT_EQ(ImporterClass(16), nullptr);
}

TEST_F(RegistryTest, LookupPrefersTheFormatIdWithinTheExtension)
{
    EXPECT_EQ(ImporterFormatId(FindImporter(QStringLiteral(".CSV"), QStringLiteral("navioasc"))),
        QStringLiteral("dstcsv"))
        << "a format id never selects another extension";
    EXPECT_EQ(ImporterFormatId(FindImporter(QStringLiteral("csv"), QStringLiteral("GARMINCSV"))),
        QStringLiteral("garmincsv"));
    EXPECT_EQ(
        ImporterFormatId(FindImporter(QStringLiteral("asc"), QString())), QStringLiteral("genasc"));
    EXPECT_EQ(FindImporter(QStringLiteral("xyz"), QStringLiteral("ttov2")), -1);
    EXPECT_EQ(FindExporter(QStringLiteral("gdb"), QString()), -1) << "read-only format";

    EXPECT_EQ(ImporterFilterIndex(QStringLiteral("xyz"), QString()), 1);
    EXPECT_EQ(ExporterFilterIndex(QStringLiteral(".csv"), QStringLiteral("garmincsv")), 9);
    EXPECT_EQ(IndexOfExporterFormat(QStringLiteral("GenGpx")), 11);
    EXPECT_EQ(IndexOfExporterFormat(QStringLiteral("gdb")), -1);
    EXPECT_EQ(ImporterCountForExt(QStringLiteral(".csv")), 5);
    EXPECT_TRUE(ImporterMatchesExt(0, QStringLiteral(".OV2")));

    QString name = QStringLiteral("unchanged");
    ImporterNameFor(QStringLiteral("xyz"), QString(), name);
    EXPECT_EQ(name, QStringLiteral("unchanged"));
    ExporterNameFor(QStringLiteral("asc"), QStringLiteral("navioasc"), name);
    EXPECT_EQ(name, QStringLiteral("Navio Ascii"));
}

TEST_F(RegistryTest, UnknownExtensionsCannotBeLoadedOrSaved)
{
    try {
        CreateImporter(QStringLiteral(".xyz"), QString());
        FAIL();
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(),
            QStringLiteral(
                "Currently it is not possible to load files from this format (extension xyz)"));
    }
    try {
        CreateExporter(QStringLiteral("gdb"), QStringLiteral("gdb"));
        FAIL();
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(),
            QStringLiteral(
                "Currently it is not possible to save files in this format (extension gdb)"));
    }
    EXPECT_EQ(CreateImporter(QStringLiteral("CSV"), QStringLiteral("miomapcsv"))->FormatId(),
        QStringLiteral("miomapcsv"));
    EXPECT_EQ(CreateExporterAt(0)->Section(), QStringLiteral("Exporters"));
}

TEST_F(RegistryTest, FiltersListEveryConverter)
{
    EXPECT_TRUE(ExporterFilter().startsWith(
        QStringLiteral("TomTom Binary (*.ov2)|*.ov2|TomTom Itinerary (*.itn)|*.itn|")));
    EXPECT_TRUE(ImporterFilter().endsWith(QStringLiteral("|Google Earth (*.kml)|*.kml")));
    EXPECT_EQ(OpenFilter(),
        QStringLiteral(
            "All supported filetypes (*.ov2;*.itn;*.cfg;*.ovr;*.asc;*.csv;*.csv;*.asc;*.csv;"
            "*.csv;*.dat;*.gdb;*.csv;*.gpx;*.xml;*.kml)|*.ov2;*.itn;*.cfg;*.ovr;*.asc;"
            "*.csv;*.csv;*.asc;*.csv;*.csv;*.dat;*.gdb;*.csv;*.gpx;*.xml;*.kml|")
            + ImporterFilter() + QStringLiteral("|All files (*.*)|*.*"));
}

TEST_F(RegistryTest, UnregisterRemovesOnlyThatClass)
{
    UnregisterImporter(ImporterClassOf<TFakeImporter<"dstcsv">>());
    EXPECT_EQ(ImporterCount(), 15);
    EXPECT_EQ(ImporterFormatId(FindImporter(QStringLiteral("csv"), QString())),
        QStringLiteral("navmancsv"));
    EXPECT_EQ(ExporterCount(), 13);
}

TEST(ConverterRegistration, RejectsBadPositionsAndExtensions)
{
    auto fake = ExporterClassOf<TFakeExporter<"fake">>();
    try {
        RegisterExporter(
            fake, QStringLiteral("Fake"), QStringLiteral("fk"), static_cast<TRegisterPosition>(3));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Enum error"));
    }
    EXPECT_THROW(RegisterExporter(fake, QStringLiteral("Fake"), QStringLiteral("a=b"), rpLast),
        EAssertionFailed);
    EXPECT_EQ(ExporterCount(), 0);

    RegisterExporter(fake, QStringLiteral("Fake"), QStringLiteral("FK"), rpBeforeSameExt);
    EXPECT_EQ(ExporterExt(0), QStringLiteral(".fk"));
    UnregisterExporter(fake);
    EXPECT_EQ(ExporterCount(), 0);
}

TEST(ConverterOptions, LiveInTheRegistryUnderTheFormat)
{
    TTempConfig config;
    TOptionExporter exporter;
    EXPECT_FALSE(exporter.GetOption(0, false));
    exporter.SetOption(0, true);
    EXPECT_TRUE(exporter.GetOption(0, false));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(
        QStringLiteral("\\Software\\Orvik Software\\Marivel\\Exporters\\genasc")));
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("Save using maximum precision")));

    EXPECT_THROW(exporter.GetOption(1, false), EAssertionFailed);
    TFakeImporter<"plain"> plain;
    try {
        plain.SetOption(0, true);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Assertion failure"));
    }
    EXPECT_EQ(plain.OptionCount(), 0);
    EXPECT_EQ(exporter.Precision(), -1);
}

TEST(ConverterProgress, ReportsWholePercentChangesOnly)
{
    TFakeImporter<"x"> converter;
    std::vector<int> reported;
    converter.OnProgress = [&](int percent) { reported.push_back(percent); };
    for (double percent : { 0.0, 0.5, 1.2, 1.9, 2.0, 99.99, 100.0 })
        converter.SetProgress(percent);
    EXPECT_EQ(reported, (std::vector<int> { 1, 2, 99, 100 }));
    EXPECT_EQ(converter.Progress(), 100);
}

TEST(ReadChars, ReadsWhatTheStreamHas)
{
    TMemoryStream stream(std::string("ab\0cd", 5));
    std::string text;
    ReadChars(stream, 3, text);
    EXPECT_EQ(text, std::string("ab\0", 3));
    ReadChars(stream, -1, text);
    EXPECT_EQ(text, "cd") << "the stream's size asked for, the rest read";
    ReadChars(stream, 4, text);
    EXPECT_EQ(text, "");
}
