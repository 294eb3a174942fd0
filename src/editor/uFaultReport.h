#pragma once

#include <exception>

#include <QString>
#include <QStringList>

class QEvent;
class QObject;

// A program fault as the crash report shows and saves it: what failed, where, the stack at
// the point it was caught, and the program and system it happened in.
struct TFaultReport {
    QString What;
    QString Type;
    QString Where;
    QStringList Stack;

    QString Text() const;
};

// An exception caught at the top: a user error is only told, anything else is a fault.
struct TCaughtException {
    bool IsUserError = false;
    QString Message;
    QString Type;
};
TCaughtException Classify(std::exception_ptr error);

// The calling thread's stack, innermost frame first, with demangled names where the program
// file has them; the frames of this function itself are left out.
QStringList CurrentStackTrace();

// "the receiver's class "name", event type", for the Where of a fault in an event handler.
QString EventContext(const QObject* receiver, const QEvent* event);

// Where failures of event handlers are shown: message boxes and the crash window in the
// program, a list in tests.
class IFaultSink {
public:
    virtual ~IFaultSink() = default;
    virtual void ShowUserError(const QString& text) = 0;
    virtual void ShowFault(const TFaultReport& report) = 0;
};

// Shows an exception that escaped `where`: a user error's message followed by ".", or the
// crash report of a fault, with the stack as it is now (inside the catch).
void ReportException(std::exception_ptr error, const QString& where, IFaultSink& sink);
