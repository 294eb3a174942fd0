#include <map>
#include <vector>

#include <QAction>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTranslator>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "editor/fFindDups.h"
#include "editor/fMDIChild.h"
#include "editor/fMain.h"
#include "editor/uDocument.h"
#include "editor/uLanguage.h"
#include "editor/uPreferences.h"
#include "platform/uMessages.h"
#include "platform/uXml.h"
#include "sites/uAutoUpdateManager.h"
#include "testing.h"
#include "tools/uEntryEditSync.h"

namespace {

struct TMessage {
    QString Context;
    QString Source;
    QString Translation;
};

// The text of a source or translation; control characters are written as <byte value="xd"/>.
QString MessageText(const TXmlNode& element)
{
    QString text;
    for (const TXmlNode& part : element.Children())
        text += part.Name() == u"byte"
            ? QChar(part.Attribute("value")->mid(1).toUShort(nullptr, 16))
            : part.Text();
    return text;
}

std::vector<TMessage> ReadMessages(const QString& path)
{
    const TXmlDocument file = LoadXmlFile(path);
    std::vector<TMessage> messages;
    for (const TXmlNode& context : file.Root().SelectNodes("TS/context"))
        for (const TXmlNode& message : context.SelectNodes("message"))
            messages.push_back(
                { context.SelectNode("name").Text(), MessageText(message.SelectNode("source")),
                    MessageText(message.SelectNode("translation")) });
    return messages;
}

// What a translation must carry over from its source, in order of sorting: the arguments (%1,
// %L2, %s, ...), the accelerator marks and the line breaks.
QString Markers(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?[0-9]|%[sdn]|&&|&|\r|\n"));
    QStringList markers;
    for (const QRegularExpressionMatch& match : marker.globalMatch(text))
        markers << match.captured().replace('\r', QStringLiteral("\\r")).replace('\n', "\\n");
    markers.sort();
    return markers.join(' ');
}

// The key of each menu entry: the letter after its single "&", none when it has no mark.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = text.indexOf('&'); i >= 0 && i + 1 < text.size();
         i = text.indexOf('&', i + 2))
        if (text[i + 1] != '&')
            return text[i + 1].toLower();
    return QChar();
}

// The shown entries of `actions`, and of their submenus, that have no key or share one with
// another entry of the same menu.
QStringList KeyFaults(const QList<QAction*>& actions)
{
    std::map<QChar, QStringList> byKey;
    QStringList faults;
    for (const QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const QChar key = Mnemonic(action->text());
        if (key.isNull())
            faults << action->text() + QStringLiteral(" (no key)");
        else
            byKey[key] << action->text();
        if (action->menu())
            faults << KeyFaults(action->menu()->actions());
    }
    for (const auto& [key, texts] : byKey)
        if (texts.size() > 1)
            faults << texts.join(QStringLiteral(" / "));
    return faults;
}

const QString DutchFile = QStringLiteral(MARIVEL_TRANSLATIONS "/marivel_nl.ts");

} // namespace

TEST(Translations, EveryDutchEntryKeepsTheArgumentsMarksAndLineBreaksOfItsSource)
{
    const std::vector<TMessage> messages = ReadMessages(DutchFile);
    ASSERT_GT(messages.size(), 400u);
    for (const TMessage& message : messages) {
        SCOPED_TRACE((message.Context + QStringLiteral(": ") + message.Source).toStdString());
        EXPECT_FALSE(message.Translation.isEmpty());
        EXPECT_EQ(Markers(message.Translation), Markers(message.Source));
    }
}

TEST(Translations, TheBuiltDutchTranslationSpeaksForTheProgramAndForQt)
{
    const TTranslations dutch = LoadTranslation(LanguageDutch);
    ASSERT_EQ(dutch.size(), 2u) << "the program's translation is built beside the data folder";
    EXPECT_EQ(Tr(Msg::RestartForLanguage),
        "Om de gekozen taal te activeren, moet het programma opnieuw worden gestart. Wilt u het "
        "programma nu afsluiten?");
    EXPECT_EQ(Tr(Msg::PrecisionLoss).arg("GPX").arg(5),
        "Als de gegevens als \"GPX\" worden opgeslagen, verliezen een of meer coördinaten "
        "nauwkeurigheid, omdat dit formaat een nauwkeurigheid van 5 decimalen gebruikt.\r\r"
        "Wilt u doorgaan met opslaan?");
    EXPECT_EQ(TAutoUpdateManager::DeleteCaption(BuiltInSites().first()), "Verbergen");
    EXPECT_EQ(TAutoUpdateManager::DeleteCaption("http://sites.example/index.xml"), "Wissen");
    // The duplicate search keeps its tolerance field in sight beside the longer Dutch texts.
    TDocument document;
    TfmFindDups tool(document, [] {});
    tool.show();
    EXPECT_TRUE(tool.ToleranceField()->isVisible());
}

TEST(Translations, DutchHemispheresAndConverterOptionsAreDutchAndBothLetterSetsAreRead)
{
    const TBuiltInFormats formats;
    const TTranslations dutch = LoadTranslation(LanguageDutch);
    TEntry entry("a", "", -4.5, -52.5);
    const TEditTexts texts = TEntryEditSync::FromEntry(&entry);
    EXPECT_EQ(texts.LatSign + texts.LonSign, "ZW");
    // A hemisphere button's caption names the hemisphere a click leaves.
    for (const char* south : { "Z", "S" }) {
        entry.SetLatSouth(true);
        TEntryEditSync::ToEntry(entry, TEditField::LatSign, south);
        EXPECT_FALSE(entry.LatSouth()) << south;
    }
    entry.SetLonWest(false);
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).LonSign, "O");
    TEntryEditSync::ToEntry(entry, TEditField::LonSign, "O");
    EXPECT_TRUE(entry.LonWest());

    const auto importers = TPreferences::TConverters::Importers;
    const int garmin = IndexOfImporterFormat("garmincsv");
    EXPECT_EQ(TPreferences::Options(importers, garmin).at(0).Caption,
        "Kolom 3 als omschrijving gebruiken");
    EXPECT_EQ(CreateImporterAt(garmin)->OptionCaption(0), "Treat column 3 as the description")
        << "stored under its English name whatever the language";
}

// Every menu and entry of the main window, and of a document's list, has a key of its own within
// its menu, the Window menu's documents (chosen by digit) included.
TEST(Translations, EveryMenuEntryHasAKeyOfItsOwnInEnglishAndInDutch)
{
    const TBuiltInFormats formats;
    Settings().ShowStartupScreen = false;
    Settings().CheckEveryWeek = false;
    for (const auto& [language, fileMenu] :
        { std::pair { LanguageEnglish, "&File" }, std::pair { LanguageDutch, "&Bestand" } }) {
        SCOPED_TRACE(language);
        const TTranslations translations = LoadTranslation(language);
        TfmMarivelMainForm form({});
        form.NewDocument();
        form.NewDocument();
        const QList<QAction*> menus = form.menuBar()->actions();
        ASSERT_FALSE(menus.isEmpty());
        EXPECT_EQ(menus.first()->text(), fileMenu);
        for (const QAction* menu : menus)
            emit menu->menu()->aboutToShow();
        EXPECT_EQ(KeyFaults(menus), QStringList());
        EXPECT_EQ(
            KeyFaults(form.ActiveDocument()->findChild<QTableView*>()->actions()), QStringList())
            << "the list's menu";
    }
}
