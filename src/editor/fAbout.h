#pragma once

#include <QDialog>

// The program's name, version and maker, with a link to its home page.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
};
