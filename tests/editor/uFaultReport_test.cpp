#include "editor/uFaultReport.h"

#include <stdexcept>

#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

#include "editor/uSysInfo.h"
#include "testing.h"

namespace {

template <class E> TCaughtException Caught(E error)
{
    return Classify(std::make_exception_ptr(error));
}

// The faults that reached the user, instead of dialogs.
struct TRecordingSink : IFaultSink {
    QList<TFaultReport> Faults;
    void ShowUserError(const QString&) override { }
    void ShowFault(const TFaultReport& report) override { Faults << report; }
};

} // namespace

TEST(FaultReport, UserErrorsAreToldEverythingElseIsAFault)
{
    const TCaughtException rapi = Caught(EInitRapi("No device"));
    EXPECT_TRUE(rapi.IsUserError) << "descendants of EUserError too";
    EXPECT_EQ(rapi.Message, "No device");

    const TCaughtException fault = Caught(Exception("Assertion failure"));
    EXPECT_FALSE(fault.IsUserError);
    EXPECT_EQ(fault.Type, "Exception");
    EXPECT_FALSE(Caught(ERegistryException("x")).IsUserError);

    const TCaughtException odd = Caught(42);
    EXPECT_FALSE(odd.IsUserError);
    EXPECT_EQ(odd.Type, "int") << "even what is no exception class says what it was";
}

// What, where (the receiver and the event) and the type reach the user through the
// application's sink; the report adds the stack where the fault was caught and the program's
// version.
TEST(FaultReport, ReportHoldsWhereTheStackAndTheProgramsVersion)
{
    QObject action;
    action.setObjectName("acFileOpen");
    QEvent press(QEvent::MouseButtonPress);
    TRecordingSink sink;
    ReportException(std::make_exception_ptr(std::logic_error("broken rule")),
        EventContext(&action, &press), sink);
    ASSERT_EQ(sink.Faults.size(), 1);
    const TFaultReport& report = sink.Faults.first();
    EXPECT_EQ(report.Where, "QObject \"acFileOpen\", event MouseButtonPress");
    QObject unnamed;
    EXPECT_EQ(EventContext(&unnamed, nullptr), "QObject");
    ASSERT_FALSE(report.Stack.isEmpty());
    EXPECT_TRUE(report.Stack.first().contains("ReportException("))
        << qPrintable(report.Stack.first());

    const QString text = report.Text();
    for (const QString& part :
        { "Program: Marivel " + ProgramVersionText(), QString("Qt: "), report.Stack.last() })
        EXPECT_TRUE(text.contains(part)) << qPrintable(part + "\n" + text);
}
