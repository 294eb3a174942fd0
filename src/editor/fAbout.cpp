#include "editor/fAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "editor/fDialogs.h"
#include "editor/uSysInfo.h"

namespace {

const QString WebSite = QStringLiteral("https://www.marivel.example");

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
    QLabel* link = Centred(QStringLiteral("<a href=\"%1\">%1</a>").arg(WebSite), this);
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    layout->addWidget(link);
    layout->addWidget(OkButton(this));
    setMinimumWidth(320);
}
