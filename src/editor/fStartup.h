#pragma once

#include <QDialog>

class IUserPrompt;
class QCheckBox;

// What the user chose on the startup screen.
enum class TStartupChoice { None, NewFile, AutoUpdateNow, Wizard, Manager };

// "Marivel Startup...": the first steps a user may want, shown at start unless turned off.
// "AutoUpdate Now" needs AutoUpdate items; closing stores whether to show it next time.
class TfmMarivelStartup : public QDialog {
    Q_OBJECT
public:
    TfmMarivelStartup(IUserPrompt& prompt, QWidget* parent = nullptr);

    TStartupChoice Choice() const { return FChoice; }
    void done(int result) override;

private:
    void Choose(TStartupChoice choice);

    IUserPrompt& Prompt;
    QCheckBox* cbDontShow;
    TStartupChoice FChoice = TStartupChoice::None;
};
