// The program's application object with a failing event handler, for the fault tests: each
// posted event throws one kind of exception; what reached the user is printed, one line each.
// The program must survive every one of them and end normally.

#include <cstdio>
#include <stdexcept>

#include <QCoreApplication>
#include <QEvent>

#include "editor/fCrashReport.h"
#include "platform/uExceptions.h"

namespace {

const QEvent::Type UserErrorEvent = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type FaultEvent = static_cast<QEvent::Type>(QEvent::User + 2);
// As a socket that its handler closes and deletes before the handler fails.
const QEvent::Type DeleteThenFaultEvent = static_cast<QEvent::Type>(QEvent::User + 3);

class TThrower : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == UserErrorEvent)
            throw EUserError("No search string entered");
        if (event->type() == FaultEvent)
            throw std::out_of_range("index 7");
        if (event->type() == DeleteThenFaultEvent) {
            delete this;
            throw std::runtime_error("closed");
        }
        return QObject::event(event);
    }
};

struct TPrintingSink : IFaultSink {
    void ShowUserError(const QString& text) override
    {
        std::printf("user error: %s\n", qPrintable(text));
    }
    void ShowFault(const TFaultReport& report) override
    {
        std::printf("fault: %s (%s) in %s\n", qPrintable(report.What), qPrintable(report.Type),
            qPrintable(report.Where));
    }
};

} // namespace

int main(int argc, char** argv)
{
    TMarivelApplication app(argc, argv);
    TPrintingSink sink;
    app.SetFaultSink(&sink);
    TThrower thrower;
    thrower.setObjectName("thrower");
    QCoreApplication::postEvent(&thrower, new QEvent(UserErrorEvent));
    QCoreApplication::postEvent(&thrower, new QEvent(FaultEvent));
    QCoreApplication::postEvent(new TThrower, new QEvent(DeleteThenFaultEvent));
    // Queued behind the events, so the program ends only after all of them failed.
    QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
