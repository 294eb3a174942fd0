#pragma once

#include <QDialog>

class QCheckBox;

// "Minimize To Tray...": tells the user, when the window closes, that the program keeps
// running in the tray and how to end it.
class TfmMinimize : public QDialog {
    Q_OBJECT
public:
    explicit TfmMinimize(QWidget* parent = nullptr);

    bool DoNotShowAgain() const;

    // Shows the notice unless the user asked not to see it again, and remembers that wish in
    // `HideMinimizeToTray`.
    static void ShowUnlessHidden(QWidget* parent);

private:
    QCheckBox* DoNotShow;
};
