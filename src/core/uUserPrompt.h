#pragma once

#include <QString>

// What logic needs shown to the user. The desktop program answers with message boxes, tests
// with scripted answers, so no rule depends on a window.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    // Shows `text` and returns once the user has read it.
    virtual void ShowMessage(const QString& text) = 0;
    // Shows `text` as the report of something that went wrong.
    virtual void ShowError(const QString& text) { ShowMessage(text); }

    enum class TAnswer { Yes, No, Cancel };
    // Asks `question`; with `withCancel` the user may also cancel.
    virtual TAnswer Ask(const QString& question, bool withCancel) = 0;
};
