#include "editor/fCrashReport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include "testing.h"

TEST(ApplicationFaults, EventHandlerFailuresAreShownAndTheProgramGoesOn)
{
    QProcess program;
    program.start(QStringLiteral(MARIVEL_INSTANCE_HELPER), { "--faults" });
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardOutput()),
        "fault: index 7 (std::out_of_range) in QObject \"thrower\", event 1002\n"
        "fault: closed (std::runtime_error) in no receiver, event 1003\n");
}
