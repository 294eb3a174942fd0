#include "editor/fStartup.h"

#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "platform/uMessages.h"
#include "testing.h"

TEST(StartupScreen, AutoUpdateNeedsItemsAndClosingRemembersTheCheckBox)
{
    TScriptedPrompt prompt;
    TfmMarivelStartup startup(prompt);
    startup.show();
    EXPECT_FALSE(startup.findChild<QCheckBox*>("cbDontShow")->isChecked());

    startup.findChild<QPushButton*>("buAutoUpdate")->click();
    EXPECT_EQ(prompt.Shown, QStringList { Tr(Msg::SetupItemsFirst) + "." });
    EXPECT_TRUE(startup.isVisible()) << "the screen stays for another choice";
    EXPECT_EQ(startup.Choice(), TStartupChoice::None);

    startup.findChild<QCheckBox*>("cbDontShow")->setChecked(true);
    startup.findChild<QPushButton*>("buWizard")->click();
    EXPECT_FALSE(startup.isVisible());
    EXPECT_EQ(startup.Choice(), TStartupChoice::Wizard);
    EXPECT_FALSE(Settings().ShowStartupScreen);
}
