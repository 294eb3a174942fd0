#pragma once

#include <QDialog>

class IUserPrompt;

// The program's name, version and maker, with a link to its home page.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
};

// Shows `address` in the user's web browser, and tells the user when there is no address or
// no browser could be started, rather than leaving a click without an answer.
void ShowInBrowser(const QString& address, IUserPrompt& prompt);
