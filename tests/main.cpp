#include <optional>

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "locations/uDownload.h"
#include "sites/uUpdateItems.h"

namespace {

// Every test starts as in a process of its own, which is how ctest runs them: folders of its
// own for settings, cache, home and data, so no test reads what the user has nor what an
// earlier test left; and afterwards the process-wide state is put back as the run found it,
// so the whole suite also passes as one process, in any order.
class TFreshStart : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        Folders.emplace();
        const QString root = Folders->path();
        const auto give = [&](const char* variable, const char* folder) {
            QDir(root).mkdir(folder);
            qputenv(variable, QFile::encodeName(root + '/' + folder));
        };
        give("MARIVEL_CONFIG_DIR", "config");
        give("XDG_CACHE_HOME", "cache");
        give("MARIVEL_HOME", "home");
        // Nor a plugin or map the user installed, nor the world maps installed on the machine,
        // nor a navigator the user has mounted.
        give("XDG_DATA_HOME", "data");
        give("MARIVEL_WORLD_PICTURES", "data");
        give("MARIVEL_MEDIA_ROOTS", "media");
        qputenv(
            "MARIVEL_RAPI_LIBRARY", MARIVEL_RAPI_FULL); // the tests live apart from the programs
        // Nor the internet: the web map asks a port where nobody listens.
        qputenv("MARIVEL_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        AutoUpdateItems().Load(); // the fresh folder's: none
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        ReleaseSettings(false);
        ReleaseRapi();
        ClearOptionOverrides();
        SetDevSwitch(false);
        SetDownloadTimeouts({});
        QLocale::setDefault(Locale);
        QDir::setCurrent(WorkingFolder);
        RestoreEnvironment();
        Folders.reset();
    }

private:
    void RestoreEnvironment() const
    {
        const QProcessEnvironment now = QProcessEnvironment::systemEnvironment();
        for (const QString& name : now.keys())
            if (!Environment.contains(name))
                qunsetenv(name.toLocal8Bit().constData());
        for (const QString& name : Environment.keys())
            if (now.value(name) != Environment.value(name))
                qputenv(name.toLocal8Bit().constData(), Environment.value(name).toLocal8Bit());
    }

    const QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    const QLocale Locale;
    const QString WorkingFolder = QDir::currentPath();
    std::optional<QTemporaryDir> Folders;
};

} // namespace

int main(int argc, char** argv)
{
    // Dialogs are tested too, and test discovery runs without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TFreshStart);
    return RUN_ALL_TESTS();
}
