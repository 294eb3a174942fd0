#include "editor/fReport.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/uSysInfo.h"
#include "widgets/fDialogs.h"

TfmReport::TfmReport(const QString& title, const QString& intro, const QString& text,
    const QString& suggestedFileName, QWidget* parent)
    : QDialog(parent)
    , ReportText(text)
    , SuggestedFileName(suggestedFileName)
    , Save(new QAction(tr("&Save..."), this))
{
    setWindowTitle(title);
    Save->setShortcut(QKeySequence::Save);
    addAction(Save);
    connect(Save, &QAction::triggered, this, &TfmReport::AskAndSave);

    auto* view = new QPlainTextEdit(text, this);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* saveButton = buttons->addButton(Save->text(), QDialogButtonBox::ActionRole);
    connect(saveButton, &QPushButton::clicked, Save, &QAction::trigger);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    if (!intro.isEmpty())
        layout->addWidget(SelectableLabel(intro, this));
    layout->addWidget(view);
    layout->addWidget(buttons);
    setMinimumSize(560, 360);
    resize(680, 480);
}

void TfmReport::SaveTo(const QString& path) const { SaveReportText(path, ReportText); }

void TfmReport::AskAndSave()
{
    const QString path = QFileDialog::getSaveFileName(this, Save->text().remove(QLatin1Char('&')),
        QDir::home().filePath(SuggestedFileName), tr("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        SaveTo(path);
}

TfmSysInfo::TfmSysInfo(QWidget* parent)
    : TfmReport(tr("System Information"), QString(), SystemDetailsText(SystemDetails()),
        QStringLiteral("marivel-system.txt"), parent)
{
    setObjectName(QStringLiteral("fmSysInfo"));
}
