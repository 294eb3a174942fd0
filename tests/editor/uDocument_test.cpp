#include "editor/uDocument.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <tuple>

#include <QCollator>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "editor/uCollation.h"
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

// Rows dropped within a document move, from another they are copied. The target row grows by
// the dragged rows only when the first of them lies above it; no row under the drop is the end.
TEST(TDocument, DropsMoveWithinADocumentAndCopyFromAnother)
{
    using TDrop = std::tuple<std::vector<int>, int, const char*>;
    const char* const unchanged = "0 1 2 3 4 5 6 7 8 9 ";
    for (const auto& [rows, targetRow, expected] : std::initializer_list<TDrop> {
             { { 2 }, 7, "0 1 3 4 5 6 7 2 8 9 " }, { { 2 }, 0, "2 0 1 3 4 5 6 7 8 9 " },
             { { 0, 1 }, -1, "2 3 4 5 6 7 8 9 0 1 " }, { { 3, 6 }, 3, "0 1 2 3 6 4 5 7 8 9 " },
             { { 3, 4 }, 3, unchanged }, { { 3, 4 }, 5, "0 1 2 5 6 3 4 7 8 9 " },
             { { 3, 4 }, 9, "0 1 2 5 6 7 8 9 3 4 " }, { { 2 }, 9, "0 1 3 4 5 6 7 8 9 2 " } }) {
        SCOPED_TRACE(testing::PrintToString(rows) + " onto " + std::to_string(targetRow));
        TDocument list;
        Fill(list, 10);
        list.Drop(list, rows, targetRow);
        EXPECT_EQ(Descriptions(list), expected);
        EXPECT_EQ(list.Changed(), std::string(expected) != unchanged);
    }

    TDocument source;
    Fill(source, 10);
    for (const auto& [rows, targetRow, expected] :
        std::initializer_list<TDrop> { { { 1, 2 }, 1, "a 1 2 b c d e f " },
            { { 1, 2 }, 3, "a b c d e 1 2 f " }, { { 1, 2 }, 5, "a b c d e f 1 2 " },
            { { 8, 9 }, 5, "a b c d e 8 9 f " }, { { 8, 9 }, 1, "a 8 9 b c d e f " } }) {
        SCOPED_TRACE(testing::PrintToString(rows) + " into " + std::to_string(targetRow));
        TDocument target;
        for (const char* description : { "a", "b", "c", "d", "e", "f" })
            target.Entries.AddValues(description, "", 0, 0);
        target.Drop(source, rows, targetRow);
        EXPECT_EQ(Descriptions(target), expected);
    }
    EXPECT_EQ(Descriptions(source), unchanged);
    EXPECT_FALSE(source.Changed()) << "a copy leaves the source alone";
}

// Every column sorts as a plain stable sort comparing the values themselves would: the
// description as the locale's collator orders it, the coordinates by value. Rows with equal
// keys abound and must keep their order.
TEST(TDocument, SortsEachColumnAsAStableSortOfItsValues)
{
    // Letters in both cases, an accented letter, punctuation, digits, scripts beyond Latin;
    // then so many Chinese characters that a place takes two bytes, and one beyond 16 bits.
    std::vector<std::string> pieces = { "a", "A", "b", "B", "z", " ", "0", "-", "é", "ж", "Ж",
        "北" };
    const size_t asciiPieces = 8;
    const size_t scriptPieces = pieces.size();
    pieces.push_back("\U0001F600");
    for (char32_t code = 0x4E00; code < 0x4E00 + 300 * 7; code += 7)
        pieces.push_back(QString::fromUcs4(&code, 1).toStdString());
    const double coordinates[] = { -45.5, -0.00001, 0, 0.00001, 12.25, 12.25001, -12.25 };
    const QCollator collator = DescriptionCollator();
    const std::pair<TDocument::TColumn, std::function<bool(const TEntry*, const TEntry*)>>
        orders[] = {
            { TDocument::colLatitude,
                [](const TEntry* a, const TEntry* b) { return a->Latitude() < b->Latitude(); } },
            { TDocument::colLongitude,
                [](const TEntry* a, const TEntry* b) { return a->Longitude() < b->Longitude(); } },
            { TDocument::colDescription,
                [&](const TEntry* a, const TEntry* b) {
                    return collator.compare(
                               Utf8ToUnicode(a->Description()), Utf8ToUnicode(b->Description()))
                        < 0;
                } },
        };
    std::mt19937 random(7);
    for (const size_t pieceCount : { asciiPieces, scriptPieces, pieces.size() }) {
        SCOPED_TRACE(pieceCount);
        TDocument document;
        for (int row = 0; row < 3000; ++row) {
            // Half begin alike for longer than most comparisons look ahead.
            std::string description = random() % 2 ? "Speed camera Ete station" : std::string();
            for (char& byte : description)
                if (random() % 2)
                    byte = static_cast<char>(std::toupper(static_cast<uint8_t>(byte)));
            for (int length = random() % 5; length > 0; --length)
                description += pieces[random() % pieceCount];
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

// Descriptions sort as the locale has them, small letters first, a name right before the longer
// names it begins whatever their case and accents; a search ignores case in every script and does
// not wrap.
TEST(TDocument, SortsAndFindsAsTheLocaleHasIt)
{
    TDocument document;
    for (const char* name : { "Opera", "ölberg", "Zürich", "Ölberg", "Oder", "zurich", "Σάμος",
             "Αθήνα", "Ärzte", "Bern", "ABCD", "été", "abc", "É", "a", "ÉT", "AB", "e", "" })
        document.Entries.AddValues(name, "", 0, 0);
    document.Sort(TDocument::colDescription);
    EXPECT_EQ(Descriptions(document),
        " a AB abc ABCD Ärzte Bern e É ÉT été Oder ölberg Ölberg Opera zurich Zürich Αθήνα Σάμος ");
    const QString olberg = QString::fromUtf8("ÖLB");
    EXPECT_EQ(document.FindFirst(olberg), 12);
    EXPECT_EQ(document.FindNext(olberg, 12), 13);
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.FindNext(olberg, 13); }), "No more items found")
        << "no wrapping";
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.FindFirst(QStringLiteral("gamma")); }),
        "No items found");
    document.Rename({ 5, 12 }, "");
    EXPECT_EQ(Descriptions(document),
        " a AB abc ABCD  Bern e É ÉT été Oder  Ölberg Opera zurich Zürich Αθήνα Σάμος ");
    struct TCase {
        const char* Name;
        const char* Wanted;
    };
    for (const TCase& c : { TCase { "ÄRZTE", "ärzte" }, { "ΣΆΜΟΣ", "σάμος" }, { "Σάμος", "ΣΆΜΟΣ" },
             { "İstanbul", "istanbul" }, { "İstanbul", "İSTANBUL" } }) {
        TDocument one;
        one.Entries.AddValues(c.Name, "", 0, 0);
        EXPECT_EQ(one.Find(QString::fromUtf8(c.Wanted), 0), 0) << c.Name << " " << c.Wanted;
    }
}

TEST(TDocument, OpenAppendAndSaveWithThePrecisionQuestion)
{
    TBuiltInFormats formats;
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
    document.History.undo();
    EXPECT_EQ(document.Caption(), "points.gpx*") << "a save keeps the steps before it";
    document.History.redo();

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

    // Closing: No closes without saving; an unchanged document closes without a question.
    prompt.Answers = { IUserPrompt::TAnswer::No };
    EXPECT_TRUE(document.AskSave(prompt, [] { return false; }));
    const qsizetype asked = prompt.Asked.size();
    EXPECT_TRUE(TDocument().AskSave(prompt, [] { return false; }));
    EXPECT_EQ(prompt.Asked.size(), asked);
}

// A save that fails halfway, at an entry it cannot export, writes nothing: the old file stays as
// it was, nothing is left beside it, and the document keeps its changes, so the user can save
// elsewhere. A disk that fills up fails in the writer the convert command's test pins.
TEST(TDocument, ASaveThatFailsHalfwayKeepsTheOldFileAndTheChanges)
{
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const QString gpx = dir.filePath("poi.gpx");
    WriteFileBytes(gpx, "old local file");
    TDocument document;
    Fill(document, 300);
    document.Edit(200, [](TEntry& entry) {
        entry.SetExtra("<wpt"); // no XML: a GPX export stops there
        return true;
    });
    TScriptedPrompt prompt;
    EXPECT_EQ(ErrorOf<EUserError>([&] { document.SaveTo("FILE://" + gpx, "gengpx", prompt); }),
        "Invalid xml: <wpt...");
    EXPECT_TRUE(document.Changed());
    EXPECT_EQ(FileBytes(gpx), "old local file");
    EXPECT_EQ(FilesIn(dir.path()), QStringList({ "poi.gpx" }));
}

// Names in every script survive the clipboard, which leaves extra XML out and writes decimals as
// the locale has them, and the Unicode formats untold; an 8-bit format asks first, and can keep
// them in UTF-8.
TEST(TDocument, NamesInEveryScriptSurviveTheClipboardAndSavesOr8BitFilesAskFirst)
{
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const TCodePageScope restore(DefaultCodePage);
    const std::string names = "Αθήνα Москва 北京 Łódź İstanbul 서울 Tōkyō ";
    TDocument source;
    for (const QString& name : QString::fromStdString(names).split(' ', Qt::SkipEmptyParts))
        source.Entries.AddValues(name.toStdString(), "<wpt><ele>1</ele></wpt>", 4.3, 52.1);
    TDocument document;
    document.Paste(source.GpxTextOf({ 0, 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(Descriptions(document), names);
    EXPECT_FALSE(source.GpxTextOf({ 0 }).contains("ele")) << "extra XML is not copied";
    EXPECT_EQ(source.PlainTextOf({ 1 }), QString::fromUtf8("Москва\t4.3\t52.1\r\n"));
    {
        TLocale dutch(QLocale::Dutch);
        EXPECT_EQ(source.PlainTextOf({ 1 }), QString::fromUtf8("Москва\t4,3\t52,1\r\n"));
    }

    TScriptedPrompt prompt;
    const auto reread = [&](const QString& file, const char* ext) {
        TEntries entries;
        TMemoryStream stream(FileBytes(dir.filePath(file)));
        entries.LoadFromStream(stream, ext, "", false);
        return Descriptions(entries);
    };
    // What the Unicode formats write of these names, the output digests pin.
    for (const char* file : { "a.gpx", "a.kml", "a.dat" })
        ASSERT_TRUE(document.SaveTo("FILE://" + dir.filePath(file), "", prompt)) << file;
    EXPECT_EQ(prompt.Asked, QStringList()) << "nothing to ask";

    // Cancel saves nothing; Yes writes "?"; No writes UTF-8, which keeps every name.
    const QString ov2 = "FILE://" + dir.filePath("a.ov2");
    prompt.Answers = { IUserPrompt::TAnswer::Cancel, IUserPrompt::TAnswer::Yes,
        IUserPrompt::TAnswer::No };
    EXPECT_FALSE(document.SaveTo(ov2, "", prompt));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.ov2")));
    ASSERT_TRUE(document.SaveTo(ov2, "", prompt));
    EXPECT_EQ(reread("a.ov2", "ov2"), "????? ?????? ?? ?ód? ?stanbul ?? T?ky? ");
    ASSERT_TRUE(document.SaveTo(ov2, "", prompt));
    EXPECT_TRUE(prompt.Asked.value(0).startsWith(QString::fromUtf8(
        "7 of 7 entries hold characters that the code page windows-1252 lacks: Αθήνα, Москва")));
    const TCodePageScope utf8("utf-8");
    EXPECT_EQ(reread("a.ov2", "ov2"), names);
}
