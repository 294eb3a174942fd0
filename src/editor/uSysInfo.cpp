#include "editor/uSysInfo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>
#include <QThread>

#include <unistd.h>

#include "platform/uRegistry.h"
#include "platform/uStreams.h"
#include "platform/uVersion.h"

namespace {

QString MegaBytes(qint64 bytes) { return QStringLiteral("%1 MB").arg(bytes / (1024 * 1024)); }

qint64 PhysicalMemory()
{
    return static_cast<qint64>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
}

} // namespace

QString ProgramVersionText()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ProgramVersion.Major)
        .arg(ProgramVersion.Minor)
        .arg(ProgramVersion.Release)
        .arg(ProgramVersion.Build);
}

QList<TSystemDetail> SystemDetails()
{
    return {
        { QStringLiteral("Program"), QStringLiteral("Marivel ") + ProgramVersionText() },
        { QStringLiteral("Program file"), QCoreApplication::applicationFilePath() },
        { QStringLiteral("Qt"),
            QStringLiteral("%1 (built with %2)")
                .arg(QLatin1String(qVersion()), QLatin1String(QT_VERSION_STR)) },
        { QStringLiteral("Operating system"), QSysInfo::prettyProductName() },
        { QStringLiteral("Kernel"),
            QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion() },
        { QStringLiteral("Processor"), QSysInfo::currentCpuArchitecture() },
        { QStringLiteral("Processors"), QString::number(QThread::idealThreadCount()) },
        { QStringLiteral("Memory"), MegaBytes(PhysicalMemory()) },
        { QStringLiteral("Language"), QLocale::system().name() },
        { QStringLiteral("Settings"),
            QFileInfo(TRegistry::FileName(TRegRoot::CurrentUser)).absolutePath() },
        { QStringLiteral("Time"), QDateTime::currentDateTime().toString(Qt::ISODate) },
    };
}

QString SystemDetailsText(const QList<TSystemDetail>& details)
{
    QString text;
    for (const TSystemDetail& detail : details)
        text += detail.Name + QStringLiteral(": ") + detail.Value + QLatin1Char('\n');
    return text;
}

void SaveReportText(const QString& path, const QString& text)
{
    TSafeFileStream file(path);
    file.Write(text.toUtf8().toStdString());
    file.Commit();
}
