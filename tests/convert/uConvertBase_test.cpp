#include "convert/uConvertBase.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "convert/uConvertAsc.h"
#include "convert/uFormats.h"
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

} // namespace

// The program's order of formats, how a file's extension and format id find one, and the
// dialogs' filters.
TEST(Registry, OrdersFindsAndListsTheFormats)
{
    const TBuiltInFormats formats;
    QStringList names;
    FillExporterNames(names);
    FillImporterNames(names);
    EXPECT_EQ(names.size(), 19);
    EXPECT_EQ(names.at(11), "Garmin Mapsource (*.gdb)");
    EXPECT_EQ(ImporterFormatId(19) + ExporterFormatId(-1), QString());

    EXPECT_EQ(ImporterFormatId(FindImporter(".CSV", "navioasc")), "dstcsv")
        << "a format id never selects another extension";
    EXPECT_EQ(ImporterFormatId(FindImporter("csv", "GARMINCSV")), "garmincsv");
    EXPECT_EQ(ImporterFormatId(FindImporter("asc", "")), "genasc");
    EXPECT_EQ(FindExporter("gdb", ""), -1) << "read-only format";
    EXPECT_EQ(IndexOfExporterFormat("GenGpx"), 11);
    EXPECT_EQ(ImporterCountForExt(".csv"), 5);

    QString name;
    ExporterNameFor("asc", "navioasc", name);
    EXPECT_EQ(name, "Navio Ascii");

    // The open dialog's filters are checked where the dialog shows them.
    EXPECT_TRUE(
        ExporterFilter().startsWith("TomTom Binary (*.ov2)|*.ov2|TomTom Itinerary (*.itn)|"));
}

TEST(ConverterRegistration, RejectsBadPositionsAndExtensions)
{
    auto fake = ExporterClassOf<TFake<"fake", TConvertToBase>>();
    EXPECT_EQ(
        ErrorOf([&] { RegisterExporter(fake, "Fake", "fk", TRegisterPosition(3)); }), "Enum error");
    EXPECT_THROW(RegisterExporter(fake, "Fake", "a=b", rpLast), EAssertionFailed);
    EXPECT_EQ(ExporterCount(), 0);
    RegisterExporter(fake, "Fake", "FK", rpBeforeSameExt);
    RegisterExporter(ExporterClassOf<TFake<"other", TConvertToBase>>(), "Other", "fk", rpLast);
    EXPECT_EQ(ExporterExt(0), ".fk");
    UnregisterExporter(fake);
    EXPECT_EQ(ExporterFormatId(0), "other") << "only that class is removed";
    UnregisterExporter(ExporterClassOf<TFake<"other", TConvertToBase>>());
}

TEST(ConverterOptions, LiveInTheRegistryUnderTheFormat)
{
    TTempConfig config;
    TConvertToAsc exporter;
    EXPECT_FALSE(exporter.GetOption(0, false));
    exporter.SetOption(0, true);
    EXPECT_TRUE(exporter.GetOption(0, false));
    const QString key = "\\Software\\Orvik Software\\Marivel\\Exporters\\genasc";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(key));
    EXPECT_TRUE(reg.ReadBool("Save using maximum precision"));
    ASSERT_TRUE(reg.OpenKey(key, false));
    reg.WriteString("Save using maximum precision", "yes");
    EXPECT_FALSE(exporter.GetOption(0, false)) << "a value of another type counts as missing";

    EXPECT_THROW(exporter.GetOption(1, false), EAssertionFailed);
    TFake<"plain", TConvertFromBase> plain;
    EXPECT_EQ(ErrorOf([&] { plain.SetOption(0, true); }), "Assertion failure");
}

// A stream that keeps each write apart, and fails the write numbered `FailingWrite` (from 1).
class TWriteLog : public TMemoryStream {
public:
    void Write(const void* buffer, int64_t count) override
    {
        Writes.emplace_back(static_cast<const char*>(buffer), static_cast<size_t>(count));
        if (Writes.size() == FailingWrite)
            throw EUserError(QStringLiteral("Cannot write file x: No space left on device"));
        TMemoryStream::Write(buffer, count);
    }
    using TStream::Write;

    std::vector<std::string> Writes;
    size_t FailingWrite = 0;
};

// Records go out in blocks of a mebibyte, written by a second thread: each block must end with
// a whole record, and none may be lost at a block's end or at the end of the list. A failed
// block fails the writer, at its flush or at the next full block, and nothing is written after.
TEST(EntryRecords, GoOutWholeInFewWritesAndStopAtTheFirstFailure)
{
    TEntries entries;
    constexpr int Count = 150000;
    std::string expected = "head;";
    for (int i = 0; i < Count; ++i) {
        entries.AddValues(std::to_string(i), std::string(), 0, 0);
        expected += std::to_string(i) + std::string(26, '.') + ';';
    }
    TFake<"x", TConvertFromBase> converter;
    std::vector<int> reported;
    converter.OnProgress = [&](int percent) { reported.push_back(percent); };
    for (double percent : { 0.0, 0.5, 1.2, 1.9, 2.0, 99.99, 100.0 })
        converter.SetProgress(percent);
    EXPECT_EQ(reported, (std::vector<int> { 1, 2, 99, 100 })) << "whole percent changes only";
    for (const size_t failing : { 0, 1, 3 }) {
        SCOPED_TRACE(failing);
        reported.clear();
        TWriteLog stream;
        stream.FailingWrite = failing;
        TBlockWriter out(stream);
        out.Text() = "head;";
        EXPECT_EQ(ErrorOf<EUserError>([&] {
            WriteEntryRecords(converter, entries, out, [](std::string& text, const TEntry& entry) {
                text.append(entry.Description()).append(26, '.') += ';';
            });
            out.Flush();
        }),
            failing ? "Cannot write file x: No space left on device" : "no error");
        ASSERT_EQ(stream.Writes.size(), failing ? failing : 5U);
        std::string beforeFailure;
        for (size_t i = 0; i + 1 < failing; ++i)
            beforeFailure += stream.Writes[i];
        EXPECT_EQ(stream.Bytes(), failing ? beforeFailure : expected);
        for (size_t i = 0; !failing && i + 1 < stream.Writes.size(); ++i)
            EXPECT_TRUE(stream.Writes[i].size() >= 1 << 20 && stream.Writes[i].ends_with(';'));
        EXPECT_TRUE(failing || reported.size() == 4U) << "progress as each block goes";
    }
}
