#pragma once

#include <QString>

class IUserPrompt;

// Shows `address` in the user's web browser, and tells the user when there is no address or
// no browser could be started, rather than leaving a click without an answer.
void ShowInBrowser(const QString& address, IUserPrompt& prompt);
