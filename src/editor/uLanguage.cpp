#include "editor/uLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include "core/uUtils.h"
#include "platform/uRegistry.h"

namespace {

// The key the start-up has always read the language from; one value per program file.
const QString LocalesKey = QStringLiteral("\\software\\borland\\locales");

QString TranslationFileName(const QString& code)
{
    return QStringLiteral("marivel_") + code.toUpper() + QStringLiteral(".qm");
}

} // namespace

QString ReadLanguageCode()
{
    TRegistry reg;
    return ReadRegString(reg, LocalesKey, QCoreApplication::applicationFilePath(), QString());
}

void WriteLanguageCode(const QString& code)
{
    TRegistry reg;
    reg.OpenKey(LocalesKey, true);
    reg.WriteString(QCoreApplication::applicationFilePath(), code);
    reg.CloseKey();
}

QStringList TranslationFolders()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return { programDir,
        QDir::cleanPath(programDir + QStringLiteral("/../share/marivel/translations")) };
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

std::unique_ptr<QTranslator> LoadTranslation(const QString& code, const QStringList& folders)
{
    const QString file = FindTranslation(code, folders);
    if (file.isEmpty())
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // A damaged file leaves the program in English rather than keeping it from starting.
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}
