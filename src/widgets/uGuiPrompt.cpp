#include "widgets/uGuiPrompt.h"

#include <QApplication>
#include <QMessageBox>

TGuiPrompt::TGuiPrompt(QWidget* parent, std::function<QString()> subject)
    : Parent(parent)
    , Subject(std::move(subject))
{
}

QString TGuiPrompt::Title() const
{
    const QString subject = Subject ? Subject() : QString();
    return subject.isEmpty()
        ? QApplication::applicationDisplayName()
        : QApplication::applicationDisplayName() + QStringLiteral(" - ") + subject;
}

void TGuiPrompt::ShowMessage(const QString& text)
{
    QMessageBox::information(Parent, Title(), ForDisplay(text));
}

void TGuiPrompt::ShowError(const QString& text)
{
    QMessageBox::critical(Parent, Title(), ForDisplay(text));
}

IUserPrompt::TAnswer TGuiPrompt::Ask(const QString& question, bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    switch (QMessageBox::question(Parent, Title(), ForDisplay(question), buttons)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}
