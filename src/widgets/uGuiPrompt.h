#pragma once

#include <functional>

#include <QCursor>
#include <QGuiApplication>

#include "core/uUserPrompt.h"
#include "platform/uMessages.h" // ForDisplay

class QWidget;

// Questions and messages of the logic as message boxes over `parent`, titled with the
// application title followed by what `subject` names, when it names something.
class TGuiPrompt : public IUserPrompt {
public:
    explicit TGuiPrompt(QWidget* parent, std::function<QString()> subject = {});

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    TAnswer Ask(const QString& question, bool withCancel) override;

private:
    QString Title() const;

    QWidget* Parent;
    std::function<QString()> Subject;
};

// The hourglass for as long as it lives.
class TWaitCursor {
public:
    explicit TWaitCursor(bool show = true)
        : Shown(show)
    {
        if (Shown)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TWaitCursor()
    {
        if (Shown)
            QGuiApplication::restoreOverrideCursor();
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    bool Shown;
};
