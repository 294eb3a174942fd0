#pragma once

#include <QString>

// What logic needs shown to the user. The desktop program answers with message boxes, tests
// with scripted answers, so no rule depends on a window.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    // Shows `text` and returns once the user has read it.
    virtual void ShowMessage(const QString& text) = 0;
};
