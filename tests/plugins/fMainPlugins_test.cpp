#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/uSettings.h"
#include "editor/fMain.h"
#include "modal.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The main window loads the plugins, telling of those left out (which, is the plugin
// list's test), and tells where the plugins place it from where the user put it.
TEST(TMainWindowPlugins, LoadsThePluginsAndTellsTheirPlacementFromTheUsersMove)
{
    Settings().ShowStartupScreen = false;
    Settings().CheckEveryWeek = false;
    const QString plugins = qEnvironmentVariable("MARIVEL_HOME") + "/plugins/"; // fresh, main.cpp
    QDir().mkpath(plugins);
    QFile::link(ExamplePlugin(), plugins + "a.so");
    QFile::copy(ShippedPlugin("josm"), plugins + "e.so");
    chmod(QFile::encodeName(plugins + "e.so"), 0666);
    TfmMarivelMainForm form({});
    QString told;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        told = box.text();
        box.accept();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }));
    EXPECT_EQ(told,
        "One or more plugins could not be loaded\n\nThe plugin " + plugins
            + "e.so was not loaded: others can write to " + plugins + "e.so");
    ASSERT_EQ(form.LoadedPlugins().Count(), 1);
    EXPECT_EQ(form.LoadedPlugins()[0].Name(), QStringLiteral("Example"));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Settings().BoundsUserSet = false;
    form.PlaceMainWindow(QRect(700, 0, 300, 600));
    // A window manager confirms the placement later, with events of its own.
    QResizeEvent lateResize(form.size(), QSize(800, 600));
    QApplication::sendEvent(&form, &lateResize);
    QMoveEvent lateMove(form.pos(), QPoint(0, 0));
    QApplication::sendEvent(&form, &lateMove);
    EXPECT_EQ(form.MainWindowBounds().size(), QSize(300, 600));
    EXPECT_FALSE(Settings().BoundsUserSet);
    form.resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Settings().BoundsUserSet);
}

} // namespace
