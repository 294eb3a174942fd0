#include "sites/fAutoUpdateWizard.h"

#include <QComboBox>
#include <QPushButton>

#include "platform/uMessages.h"
#include "sitefixture.h"

using TAnswer = IUserPrompt::TAnswer;

TEST_F(SiteTest, WizardWindowAsksBeforeCancellingAndWalksALocalSite)
{
    Settings().Sites = { LocalSite("site.xml",
        "<poi><description>Fixed</description><url>http://x/f.ov2</url><map>Holland</map>"
        "<group>speed</group></poi>") };
    TScriptedPrompt prompt;
    TfmAutoUpdateWizard wizard(prompt);
    wizard.show();
    auto* next = wizard.findChild<QPushButton*>("buNext");

    prompt.Answers = { TAnswer::No };
    wizard.findChild<QPushButton*>("buCancel")->click();
    EXPECT_EQ(prompt.Asked, QStringList { Tr(Msg::CancelWizard) });
    EXPECT_TRUE(wizard.isVisible());

    next->click(); // to "Sites"
    next->click(); // to "Groups", no account needed
    auto* countries = wizard.findChild<QComboBox*>("cbCountries");
    ASSERT_EQ(countries->count(), 1);
    EXPECT_EQ(countries->currentText(), "Holland");
    EXPECT_EQ(wizard.findChild<QComboBox*>("cbGroups")->currentText(), "speed");
    wizard.findChild<QPushButton*>("buBack")->click();
    EXPECT_EQ(wizard.findChild<QPushButton*>("buBack")->isEnabled(), true);
    EXPECT_TRUE(prompt.Shown.empty()) << prompt.Shown.join("|").toStdString();
}
