#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QTranslator;

// The user-interface languages the program offers. English is built in; every other language
// is a Qt translation file named by its code.
inline constexpr char LanguageEnglish[] = "ENG";
inline constexpr char LanguageDutch[] = "NLD";

// The language chosen for this executable, empty when none was chosen. It is kept per
// program file, so two installations may speak different languages.
QString ReadLanguageCode();
// Chooses the language of the next start; the running program keeps its language, so the
// caller asks Msg::RestartForLanguage afterwards.
void WriteLanguageCode(const QString& code);

// Where translations are looked for, in order: beside the executable, then the data folder
// of the installation ("../share/marivel/translations" from the executable).
QStringList TranslationFolders();
// The translation file of `code` in the first folder that holds one; empty for English, for
// no code and when no folder holds it.
QString FindTranslation(const QString& code, const QStringList& folders);
// Installs the translation of `code` into the application for as long as the result lives;
// null when the built-in English texts stay.
std::unique_ptr<QTranslator> LoadTranslation(
    const QString& code, const QStringList& folders = TranslationFolders());
