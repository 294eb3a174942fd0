#include "editor/uLanguage.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include "core/uUtils.h"
#include "platform/uRegistry.h"
#include "testing.h"

namespace {

// The smallest translation file Qt accepts: its signature and a block of messages holding
// only the end mark.
const std::string EmptyTranslation = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd"
                                                         "690000000101")
                                         .toStdString();

} // namespace

// Without a usable translation the texts stay English; with one, Qt's own texts follow too.
TEST(Language, QtsOwnTextsFollowTheProgramsLanguage)
{
    QTemporaryDir dir;
    EXPECT_TRUE(LoadTranslation("NLD", { dir.path() }).empty()) << "no file";
    WriteFileBytes(dir.filePath("marivel_NLD.qm"), "not a translation");
    EXPECT_TRUE(LoadTranslation("NLD", { dir.path() }).empty()) << "a damaged file";

    WriteFileBytes(dir.filePath("marivel_NLD.qm"), EmptyTranslation);
    WriteFileBytes(dir.filePath("marivel_XYZ.qm"), EmptyTranslation);
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    EXPECT_EQ(LoadTranslation("XYZ", { dir.path() }).size(), 1u) << "a language Qt is not told of";
    {
        const TTranslations dutch = LoadTranslation("NLD", { dir.path() });
        ASSERT_EQ(dutch.size(), 2u) << "Qt's Dutch texts are installed with the program";
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuleren");
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel)
        << "removed with the translations";
}

// A translation is looked for in each folder in turn, the program's own first. Only a language
// the program can speak is chosen; the code is kept per program file in the locales key.
TEST(Language, TranslationsAreLookedForInEachFolderInTurnAndTheChoiceKeptPerProgramFile)
{
    QTemporaryDir beside, installed;
    const QStringList folders { beside.path(), installed.path() };
    EXPECT_FALSE(ChooseLanguage(LanguageDutch, folders));
    EXPECT_EQ(GetLanguageExtension(), "") << "without its translation nothing changes";

    WriteFileBytes(installed.filePath("marivel_NLD.qm"), EmptyTranslation);
    WriteFileBytes(installed.filePath("marivel_ENG.qm"), EmptyTranslation);
    EXPECT_EQ(FindTranslation("nld", folders), installed.filePath("marivel_NLD.qm"));
    EXPECT_EQ(FindTranslation("ENG", folders), "") << "English is built in";
    EXPECT_EQ(FindTranslation("DEU", folders), "");
    WriteFileBytes(beside.filePath("marivel_NLD.qm"), EmptyTranslation);
    EXPECT_EQ(FindTranslation("NLD", folders), beside.filePath("marivel_NLD.qm"));
    EXPECT_EQ(TranslationFolders().first(), QCoreApplication::applicationDirPath());

    EXPECT_TRUE(ChooseLanguage(LanguageDutch, folders));
    EXPECT_EQ(GetLanguageExtension(), "NLD");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Borland\\Locales"));
    EXPECT_EQ(reg.GetValueNames(), QStringList({ QCoreApplication::applicationFilePath() }));
    EXPECT_EQ(reg.ReadString(QCoreApplication::applicationFilePath()), "NLD");
}
