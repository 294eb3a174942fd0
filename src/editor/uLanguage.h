#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

class QTranslator;

// The user-interface languages the program offers. English is built in; every other language
// is a Qt translation file named by its code.
inline constexpr char LanguageEnglish[] = "ENG";
inline constexpr char LanguageDutch[] = "NLD";

// The language chosen for this executable is kept per program file (GetLanguageExtension and
// SetLanguageExtension of the location services), so two installations may speak different
// languages; the running program keeps its language, so a caller that sets it asks
// Msg::RestartForLanguage afterwards.

// Where translations are looked for, in order: beside the executable, then the data folder
// of the installation ("../share/marivel/translations" from the executable).
QStringList TranslationFolders();
// The translation file of `code` in the first folder that holds one; empty for English, for
// no code and when no folder holds it.
QString FindTranslation(const QString& code, const QStringList& folders);
// The translations installed into the application, for as long as they live: the program's
// own, then Qt's standard texts (buttons, file dialogs) of the same language when Qt has them.
using TTranslations = std::vector<std::unique_ptr<QTranslator>>;
// Empty when the built-in English texts stay: for English, or when the program has no
// usable translation of `code` (Qt's texts alone would only mix two languages).
TTranslations LoadTranslation(
    const QString& code, const QStringList& folders = TranslationFolders());

// Stores `code` as the language of the next start and answers true when the program can
// speak it: English always, another language when its translation is installed. Otherwise
// nothing changes, as a restart would only bring the program back in English.
bool ChooseLanguage(const QString& code, const QStringList& folders = TranslationFolders());
