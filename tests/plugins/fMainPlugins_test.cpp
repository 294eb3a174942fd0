#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/uSettings.h"
#include "editor/fMain.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

QStringList MenuTexts(QMainWindow& form, const QString& menu)
{
    QStringList texts;
    for (QAction* title : form.menuBar()->actions())
        if (title->text() == menu)
            for (QAction* item : title->menu()->actions())
                texts.append(item->text());
    return texts;
}

// The main window loads the plugins of the program's folder when it is made, and says once
// that some could not be loaded, naming those it did not trust and why.
TEST(TMainWindowPlugins, LoadsTheProgramsPluginsAndTellsOnceOfThoseLeftOut)
{
    Settings().ShowStartupScreen = false;
    Settings().CheckEveryWeek = false;
    const QString plugins = qEnvironmentVariable("MARIVEL_HOME") + "/plugins/"; // fresh, main.cpp
    QDir().mkpath(plugins);
    const auto install = [&](const QString& library, const char* name) {
        QFile::link(library, plugins + name);
    };
    install(ExamplePlugin(), "a.so");
    install(FaultyPlugin("stale"), "b.so");
    install(FaultyPlugin("no_interface"), "c.so");
    install(ShippedPlugin("openstreetmap"), "d.so");
    QTemporaryDir shared;
    QFile::copy(ShippedPlugin("josm"), shared.filePath(QStringLiteral("josm.so")));
    chmod(QFile::encodeName(shared.path()), 0770);
    install(shared.filePath(QStringLiteral("josm.so")), "e.so");
    QStringList messages;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.append(box->text());
            box->accept();
        }
    });
    closer.start(10);

    TfmMarivelMainForm form({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages,
        QStringList { "One or more plugins could not be loaded\n\nThe plugin " + plugins + "e.so"
            + " was not loaded: others can write to " + shared.path() });
    ASSERT_EQ(form.LoadedPlugins().Count(), 2);
    EXPECT_EQ(form.LoadedPlugins()[0].Name(), QStringLiteral("Example"));
    EXPECT_EQ(form.LoadedPlugins()[1].Name(), QStringLiteral("OpenStreetMap"));
    EXPECT_TRUE(MenuTexts(form, "&Tools").contains("&Preferences..."));
    EXPECT_FALSE(MenuTexts(form, "&File").contains("Device Folder..."));
}

// Where the plugins place the main window is not where the user put it; a later resize is.
TEST(TMainWindowPlugins, APlacementIsNotTheUsersMoveButAResizeIs)
{
    Settings().ShowStartupScreen = false;
    Settings().CheckEveryWeek = false;
    TfmMarivelMainForm form({});
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
