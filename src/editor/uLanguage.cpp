#include "editor/uLanguage.h"

#include <functional>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/uUtils.h"

namespace {

// The language of each code the program offers, for Qt's own translations.
QLocale::Language LanguageOf(const QString& code)
{
    return code.compare(QLatin1String(LanguageDutch), Qt::CaseInsensitive) == 0
        ? QLocale::Dutch
        : QLocale::AnyLanguage;
}

// Loads and installs one translation; null when the file is missing or damaged.
std::unique_ptr<QTranslator> Installed(const std::function<bool(QTranslator&)>& load)
{
    auto translator = std::make_unique<QTranslator>();
    if (!load(*translator) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

QString TranslationFileName(const QString& code)
{
    return QStringLiteral("marivel_") + code.toUpper() + QStringLiteral(".qm");
}

} // namespace

QStringList TranslationFolders()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return { programDir, InstallDataDir() + QStringLiteral("/translations") };
}

QString FindTranslation(const QString& code, const QStringList& folders)
{
    if (code.isEmpty() || code.compare(QLatin1String(LanguageEnglish), Qt::CaseInsensitive) == 0)
        return QString();
    for (const QString& folder : folders) {
        const QString file = QDir(folder).filePath(TranslationFileName(code));
        if (QFileInfo(file).isFile())
            return file;
    }
    return QString();
}

TTranslations LoadTranslation(const QString& code, const QStringList& folders)
{
    TTranslations translations;
    const QString file = FindTranslation(code, folders);
    if (file.isEmpty())
        return translations;
    // A damaged file leaves the program in English rather than keeping it from starting.
    auto own = Installed([&](QTranslator& t) { return t.load(file); });
    if (!own)
        return translations;
    translations.push_back(std::move(own));
    const QLocale::Language language = LanguageOf(code);
    if (language == QLocale::AnyLanguage)
        return translations;
    auto qt = Installed([&](QTranslator& t) {
        return t.load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
    if (qt)
        translations.push_back(std::move(qt));
    return translations;
}

bool ChooseLanguage(const QString& code, const QStringList& folders)
{
    if (code.compare(QLatin1String(LanguageEnglish), Qt::CaseInsensitive) != 0
        && FindTranslation(code, folders).isEmpty())
        return false;
    SetLanguageExtension(code);
    return true;
}
