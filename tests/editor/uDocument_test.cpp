#include "editor/uDocument.h"

#include <algorithm>
#include <cctype>
#include <random>

#include <QDir>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "testing.h"

namespace {

// A document of `count` entries described "0", "1", ... at latitude = longitude = row.
void Fill(TDocument& document, int count)
{
    for (int i = 0; i < count; ++i)
        document.Entries.AddValues(std::to_string(i), "", i, i);
    document.Entries.ClearChanged();
}

std::string Descriptions(const TDocument& document) { return Descriptions(document.Entries); }

} // namespace

TEST(TDocument, DragAndDropMovesWithinAndCopiesBetween)
{
    TDocument list;
    Fill(list, 10);
    list.Drop(list, { 2 }, 7);
    EXPECT_EQ(Descriptions(list), "0 1 3 4 5 6 7 2 8 9 ") << "right after the former row 7";
    EXPECT_TRUE(list.Changed());

    TDocument again;
    Fill(again, 10);
    again.Drop(again, { 2 }, 0);
    EXPECT_EQ(Descriptions(again), "2 0 1 3 4 5 6 7 8 9 ") << "before the former row 0";
    again.Drop(again, { 0, 1 }, -1);
    EXPECT_EQ(Descriptions(again), "1 3 4 5 6 7 8 9 2 0 ") << "no row under the drop: the end";

    TDocument target;
    Fill(target, 3);
    list.History.setClean();
    target.Drop(list, { 8, 9 }, 1);
    EXPECT_EQ(Descriptions(target), "0 8 9 1 2 ");
    EXPECT_EQ(Descriptions(list), "0 1 3 4 5 6 7 2 8 9 ");
    EXPECT_FALSE(list.Changed()) << "a copy leaves the source alone";
}

// The target row grows by the dragged rows only when the first of them lies above it.
TEST(TDocument, DropsAtTheEdgesOfTheSelection)
{
    const auto withinList = [](const std::vector<int>& rows, int targetRow) {
        TDocument list;
        Fill(list, 10);
        list.Drop(list, rows, targetRow);
        return Descriptions(list);
    };
    EXPECT_EQ(withinList({ 3, 6 }, 3), "0 1 2 3 6 4 5 7 8 9 ") << "onto the first dragged row";
    EXPECT_EQ(withinList({ 3, 4 }, 3), "0 1 2 3 4 5 6 7 8 9 ");
    EXPECT_EQ(withinList({ 3, 4 }, 5), "0 1 2 5 6 3 4 7 8 9 ") << "onto the row just below";
    EXPECT_EQ(withinList({ 3, 4 }, 9), "0 1 2 5 6 7 8 9 3 4 ") << "onto the last row";
    EXPECT_EQ(withinList({ 2 }, 9), "0 1 3 4 5 6 7 8 9 2 ");

    // Between documents the rows are compared just the same.
    TDocument source;
    Fill(source, 10);
    const auto intoOther = [&](const std::vector<int>& rows, int targetRow) {
        TDocument target;
        for (const char* description : { "a", "b", "c", "d", "e", "f" })
            target.Entries.AddValues(description, "", 0, 0);
        target.Drop(source, rows, targetRow);
        return Descriptions(target);
    };
    EXPECT_EQ(intoOther({ 1, 2 }, 1), "a 1 2 b c d e f ") << "onto the first dragged row";
    EXPECT_EQ(intoOther({ 1, 2 }, 3), "a b c d e 1 2 f ") << "onto the row just below";
    EXPECT_EQ(intoOther({ 1, 2 }, 5), "a b c d e f 1 2 ") << "onto the last row";
    EXPECT_EQ(intoOther({ 8, 9 }, 5), "a b c d e 8 9 f ");
    EXPECT_EQ(Descriptions(source), "0 1 2 3 4 5 6 7 8 9 ");
}

// A name sorts right before the longer names it begins, whatever their case and accents.
TEST(TDocument, DescriptionSortPutsAPrefixBeforeItsLongerNames)
{
    TDocument document;
    for (const char* description :
        { "ABCD", "\xe9t\xe9", "abc", "\xc9", "a", "\xc9T", "AB", "e", "" })
        document.Entries.AddValues(description, "", 0, 0);
    document.Sort(TDocument::colDescription);
    EXPECT_EQ(Descriptions(document), " a AB abc ABCD e \xc9 \xc9T \xe9t\xe9 ");
}

// Every column sorts as a plain stable sort comparing the values themselves would: the
// description by its characters folded to one case in the code page (in UTF-8 only ASCII folds),
// the coordinates by value. Rows with equal keys abound and must keep their order.
TEST(TDocument, SortsEachColumnAsAStableSortOfItsValues)
{
    // Letters in both cases, accented pairs of the single-byte code pages, and bytes with no
    // other case.
    const std::string bytes = "aAbBz 0\xc9\xe9\xdf\xff\x9f\xc4\xe4\x8a\x9a\xb5";
    const double coordinates[] = { -45.5, -0.00001, 0, 0.00001, 12.25, 12.25001, -12.25 };
    const auto foldedText = [](const TEntry& entry) {
        if (CodePageTable())
            return CodePageToUnicode(entry.Description()).toCaseFolded();
        // UTF-8: ASCII folds, every other byte ranks above ASCII by its value.
        QString text;
        for (char byte : entry.Description())
            text += QChar(static_cast<uint8_t>(byte) < 0x80
                    ? char16_t(QChar::toCaseFolded(char32_t(byte)))
                    : char16_t(0x100 + static_cast<uint8_t>(byte)));
        return text;
    };
    const std::pair<TDocument::TColumn, std::function<bool(const TEntry*, const TEntry*)>>
        orders[] = {
            { TDocument::colLatitude,
                [](const TEntry* a, const TEntry* b) { return a->Latitude() < b->Latitude(); } },
            { TDocument::colLongitude,
                [](const TEntry* a, const TEntry* b) { return a->Longitude() < b->Longitude(); } },
            { TDocument::colDescription,
                [&](const TEntry* a, const TEntry* b) { return foldedText(*a) < foldedText(*b); } },
        };
    std::mt19937 random(7);
    for (const char* codePage : { "windows-1252", "windows-1251", "koi8-r", "utf-8" }) {
        SCOPED_TRACE(codePage);
        const TCodePageSwitch switched(codePage);
        TDocument document;
        for (int row = 0; row < 3000; ++row) {
            // Half begin alike for longer than most comparisons look ahead.
            std::string description =
                random() % 2 ? "Speed camera \xc9t\xe9 station" : std::string();
            for (char& byte : description)
                if (random() % 2)
                    byte = static_cast<char>(std::toupper(static_cast<uint8_t>(byte)));
            for (int length = random() % 5; length > 0; --length)
                description += bytes[random() % bytes.size()];
            document.Entries.AddValues(
                description, "", coordinates[random() % 7], coordinates[random() % 7]);
        }
        document.Entries.ClearChanged();
        for (int round = 0; round < 2; ++round)
            for (const auto& [column, less] : orders) {
                SCOPED_TRACE(column);
                std::vector<const TEntry*> expected;
                for (int row = 0; row < document.Entries.Count(); ++row)
                    expected.push_back(&document.Entries.Items(row));
                std::stable_sort(expected.begin(), expected.end(), less);
                document.Sort(column);
                std::vector<const TEntry*> sorted;
                for (int row = 0; row < document.Entries.Count(); ++row)
                    sorted.push_back(&document.Entries.Items(row));
                ASSERT_EQ(sorted, expected);
                EXPECT_TRUE(document.Changed());
            }
    }
}

TEST(TDocument, SortFindAndRename)
{
    TDocument document;
    document.Entries.AddValues("beta", "", 3, -1);
    document.Entries.AddValues("Alpha", "", 1, 2);
    document.Entries.AddValues("\xe9t\xe9", "", 2, 0);
    document.Entries.AddValues("ALPHA", "", 0, 1);
    document.Sort(TDocument::colDescription);
    EXPECT_EQ(Descriptions(document), "Alpha ALPHA beta \xe9t\xe9 ")
        << "equal keys keep their order";
    document.Sort(TDocument::colLongitude);
    EXPECT_EQ(Descriptions(document), "ALPHA Alpha \xe9t\xe9 beta ");
    document.Sort(TDocument::colLatitude);
    EXPECT_EQ(Descriptions(document), "beta \xe9t\xe9 ALPHA Alpha ");

    EXPECT_EQ(document.FindFirst(QStringLiteral("alp")), 2);
    EXPECT_EQ(document.FindNext(QStringLiteral("alp"), 2), 3);
    EXPECT_EQ(document.FindFirst(QString::fromUtf8("ÉT")), 1);
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.FindNext(QStringLiteral("alp"), 3); }),
        "No more items found")
        << "no wrapping";
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.FindFirst(QStringLiteral("gamma")); }),
        "No items found");

    document.Rename({ 0, 3 }, "");
    EXPECT_EQ(Descriptions(document), " \xe9t\xe9 ALPHA  ");
}

TEST(TDocument, ClipboardTexts)
{
    TBuiltInFormats formats;
    TDocument document;
    document.Entries.AddValues("Home", "<wpt><ele>1</ele></wpt>", 4.3, 52.1);
    document.Entries.AddValues("Work", "", 5, 6);
    EXPECT_EQ(document.PlainTextOf({ 0 }), "Home\t4.3\t52.1\r\n");
    {
        TLocale dutch(QLocale::Dutch);
        EXPECT_EQ(document.PlainTextOf({ 0 }), "Home\t4,3\t52,1\r\n");
    }
    const QString gpx = document.GpxTextOf({ 0 });
    EXPECT_FALSE(gpx.contains("ele")) << "extra XML is not copied";

    TDocument other;
    Fill(other, 1);
    TScriptedPrompt prompt;
    other.Paste(gpx, prompt);
    EXPECT_EQ(Descriptions(other), "0 Home ");
    EXPECT_EQ(ErrorOf<EUserError>([&] { other.Paste("not gpx", prompt); }),
        "Invalid xml: not gpx... (no element at line 1, column 8)");
    EXPECT_EQ(other.Entries.Count(), 2);
}

TEST(TDocument, OpenAppendAndSaveWithThePrecisionQuestion)
{
    TBuiltInFormats formats;
    TTempConfig config;
    QTemporaryDir dir;
    TEntries loaded;
    loaded.AddValues("a", "", 1.1234567, 2);
    TDocument document;
    const QString gpx = "FILE://" + dir.filePath("points.gpx");
    document.LoadFromList(loaded, gpx, TDocument::lmOpen, QString());
    EXPECT_EQ(document.Caption(), "points.gpx");
    EXPECT_EQ(document.FormatId, "gengpx");
    EXPECT_EQ(Settings().InitialDir, dir.path());
    EXPECT_EQ(loaded.Count(), 0);

    TEntries more;
    more.AddValues("b", "", 3, 4);
    document.LoadFromList(more, "FILE:///elsewhere/more.ov2", TDocument::lmAppend, "ttov2");
    EXPECT_EQ(document.FileName, gpx) << "append keeps name and format";
    EXPECT_EQ(document.FormatId, "gengpx");
    EXPECT_EQ(document.Caption(), "points.gpx*");
    EXPECT_EQ(document.CountText(), "2 items");

    TPrecision precision(6);
    TScriptedPrompt prompt;
    EXPECT_TRUE(document.SaveTo(QString(), QString(), prompt));
    EXPECT_TRUE(prompt.Asked.isEmpty()) << "GPX keeps every decimal";
    EXPECT_EQ(document.Caption(), "points.gpx");

    const QString ov2 = "FILE://" + dir.filePath("points.ov2");
    document.Rename({ 0 }, "changed");
    prompt.Answers = { IUserPrompt::TAnswer::No };
    EXPECT_FALSE(document.SaveTo(ov2, "ttov2", prompt));
    EXPECT_EQ(prompt.Asked.value(0),
        "When the data is saved as \"TomTom Binary\", one or more coordinates lose their "
        "precision, because this format uses a precision of 5 decimals.\r\rDo you want to "
        "continue the save?");
    EXPECT_FALSE(QFile::exists(dir.filePath("points.ov2")));
    EXPECT_TRUE(document.Changed());
    prompt.Answers = { IUserPrompt::TAnswer::Yes };
    EXPECT_TRUE(document.SaveTo(ov2, "ttov2", prompt));
    EXPECT_TRUE(QFile::exists(dir.filePath("points.ov2")));
    EXPECT_EQ(document.Caption(), "points.ov2");

    document.Rename({ 0 }, "again");
    EXPECT_EQ(ErrorOf([&] { document.SaveTo("FILE://" + dir.filePath("a.unknown"), "", prompt); }),
        "Currently it is not possible to save files in this format (extension unknown)");
    EXPECT_TRUE(document.Changed());
}

// A disk that fills up during Save keeps the old file, and the document stays changed, so
// the user can save elsewhere.
TEST(TDocument, SaveOnAFullDiskKeepsTheOldFileAndTheChanges)
{
    TBuiltInFormats formats;
    TTempConfig config;
    QTemporaryDir dir;
    const QString path = dir.filePath("points.asc");
    TDocument document;
    Fill(document, 300);
    TScriptedPrompt prompt;
    ASSERT_TRUE(document.SaveTo(path, "genasc", prompt));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray old = saved.readAll();
    saved.close();

    document.Rename({ 0 }, "changed");
    TFileSizeLimit limit(4096);
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.SaveTo(QString(), QString(), prompt); }),
        QStringLiteral("Cannot write file %1: File too large").arg(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), old);
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "points.asc" });
    EXPECT_TRUE(document.Changed());
}

// An export that fails halfway writes nothing: the old file, local or on the device, stays
// as it was, nothing is left beside it, and the document keeps its changes.
TEST(TDocument, AnExportThatFailsHalfwayKeepsTheOldFile)
{
    TBuiltInFormats formats;
    TTempConfig config;
    TTempDevice device;
    QTemporaryDir dir;
    device.Put("poi.gpx", "old device file");
    QFile local(dir.filePath("poi.gpx"));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.write("old local file");
    local.close();

    TDocument document;
    Fill(document, 300);
    document.Edit(200, [](TEntry& entry) {
        entry.SetExtra("<wpt"); // no XML: the export stops there
        return true;
    });
    TScriptedPrompt prompt;
    for (const QString& location :
        { "FILE://" + local.fileName(), QString("MOBILE://\\poi.gpx") }) {
        SCOPED_TRACE(location.toStdString());
        EXPECT_EQ(ErrorOf<EUserError>([&] { document.SaveTo(location, "gengpx", prompt); }),
            "Invalid xml: <wpt...");
        EXPECT_TRUE(document.Changed());
    }
    EXPECT_EQ(FileBytes(local.fileName()), "old local file");
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "poi.gpx" });
    EXPECT_EQ(device.Get("poi.gpx"), "old device file");
    EXPECT_EQ(FilesIn(device.Path()), QStringList { "poi.gpx" });
}

TEST(TDocument, CharactersTheCodePageLacksAreToldOncePerSaveAndPaste)
{
    TBuiltInFormats formats;
    TTempConfig config;
    QTemporaryDir dir;
    const TCodePageSwitch restore(DefaultCodePage);
    TDocument document;
    TScriptedPrompt prompt;
    document.Entries.AddValues("", "", 1, 2);
    document.Entries.Items(0).SetDescription(document.Narrow(QString::fromUtf8("Zürich Москва")));
    EXPECT_EQ(document.Entries.Items(0).Description(), "Z\xfcrich ??????");
    ASSERT_TRUE(document.SaveTo("FILE://" + dir.filePath("a.gpx"), "", prompt));
    EXPECT_EQ(prompt.Shown,
        QStringList {
            "6 characters that the code page windows-1252 lacks were replaced by \"?\"." });
    ASSERT_TRUE(document.SaveTo(QString(), QString(), prompt));
    EXPECT_EQ(prompt.Shown.size(), 1) << "told once";

    // The clipboard's text is Unicode, whatever its declaration says.
    prompt.Shown.clear();
    document.Paste(QString::fromUtf8("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx>"
                                     "<wpt lat=\"1\" lon=\"2\"><name>Zürich</name></wpt>"
                                     "<wpt lat=\"1\" lon=\"2\"><name>Ζυρίχη €</name></wpt></gpx>"),
        prompt);
    EXPECT_EQ(Descriptions(document), "Z\xfcrich ?????? Z\xfcrich ?????? \x80 ");
    EXPECT_EQ(prompt.Shown,
        QStringList {
            "6 characters that the code page windows-1252 lacks were replaced by \"?\"." });
    ASSERT_TRUE(document.SaveTo(QString(), QString(), prompt));
    EXPECT_EQ(prompt.Shown.size(), 1) << "a paste is told at once, not again at the save";

    // In UTF-8 nothing is lost, through the clipboard either.
    const TCodePageSwitch utf8("utf-8");
    TDocument cyrillic;
    cyrillic.Entries.AddValues(cyrillic.Narrow(QString::fromUtf8("Москва")), "", 1, 2);
    TDocument pasted;
    pasted.Paste(cyrillic.GpxTextOf({ 0 }), prompt);
    EXPECT_EQ(pasted.Entries.Items(0).Description(), QString::fromUtf8("Москва").toStdString());
    EXPECT_EQ(prompt.Shown.size(), 1);
}
