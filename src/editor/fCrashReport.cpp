#include "editor/fCrashReport.h"

#include <QMessageBox>
#include <QPointer>
#include <QScopedValueRollback>

TfmCrashReport::TfmCrashReport(const TFaultReport& report, QWidget* parent)
    : TfmReport(tr("Program fault"),
        tr("Marivel ran into a fault it did not expect, and the command was abandoned: "
           "%1\n\nPlease save this report and send it to Orvik Software, with what you did just "
           "before. It is wise to save your documents under a new name and restart the program.")
            .arg(report.What),
        report.Text(), QStringLiteral("marivel-crash-report.txt"), parent)
{
    setObjectName(QStringLiteral("fmCrashReport"));
}

void TDialogFaultSink::ShowUserError(const QString& text)
{
    QMessageBox::critical(
        QApplication::activeWindow(), QGuiApplication::applicationDisplayName(), text);
}

void TDialogFaultSink::ShowFault(const TFaultReport& report)
{
    if (ShowingFault) {
        qWarning("%s", qPrintable(report.Text()));
        return;
    }
    const QScopedValueRollback<bool> showing(ShowingFault, true);
    TfmCrashReport window(report, QApplication::activeWindow());
    window.exec();
}

TMarivelApplication::TMarivelApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TMarivelApplication::notify(QObject* receiver, QEvent* event)
{
    // The handler may have deleted its receiver before it failed (a socket it closed).
    const QPointer<QObject> alive(receiver);
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception(), EventContext(alive, event), *Sink);
        return false;
    }
}
