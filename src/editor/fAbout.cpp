#include "editor/fAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "editor/uSysInfo.h"
#include "widgets/fDialogs.h"
#include "widgets/uBrowser.h"
#include "widgets/uGuiPrompt.h"

namespace {

QLabel* Centred(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TfmAbout::TfmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(tr("About Marivel"));
    auto* layout = new QVBoxLayout(this);
    QLabel* name = Centred(QStringLiteral("Marivel"), this);
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    name->setFont(large);
    layout->addWidget(name);
    layout->addWidget(Centred(tr("The POI editor and converter"), this));
    layout->addWidget(Centred(tr("Version %1").arg(ProgramVersionText()), this));
    layout->addSpacing(8);
    layout->addWidget(Centred(tr("Orvik Software"), this));
    const QString home = Settings().HomePageUrl;
    QLabel* link = Centred(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(home.toHtmlEscaped(), tr("Home page")), this);
    link->setObjectName(QStringLiteral("HomePageLink"));
    link->setTextFormat(Qt::RichText);
    link->setToolTip(home);
    connect(link, &QLabel::linkActivated, this, [this, home] {
        TGuiPrompt prompt(this);
        ShowInBrowser(home, prompt);
    });
    layout->addWidget(link);
    layout->addWidget(OkButton(this));
    setMinimumWidth(320);
}
