#pragma once

#include <QApplication>

#include "editor/fReport.h"
#include "editor/uFaultReport.h"

// Shown when the program ran into a fault: what failed and where, with the report to save.
class TfmCrashReport : public TfmReport {
    Q_OBJECT
public:
    explicit TfmCrashReport(const TFaultReport& report, QWidget* parent = nullptr);
};

// Shows failures the way the program's user sees them: a user error in a message box, a
// fault in the crash report window. While a crash report is open, further faults (a paint
// handler that fails again and again) only go to the log.
class TDialogFaultSink : public IFaultSink {
public:
    void ShowUserError(const QString& text) override;
    void ShowFault(const TFaultReport& report) override;

private:
    bool ShowingFault = false;
};

// The program's application object: an exception escaping an event handler abandons that
// handler's command and is shown through the fault sink, instead of ending the program.
class TMarivelApplication : public QApplication {
    Q_OBJECT
public:
    TMarivelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
    // Tests put a recording sink here; the dialogs are the default.
    void SetFaultSink(IFaultSink* sink) { Sink = sink ? sink : &Dialogs; }

private:
    TDialogFaultSink Dialogs;
    IFaultSink* Sink = &Dialogs;
};
