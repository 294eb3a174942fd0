#pragma once

#include <QDialog>

class QAction;

// A dialog that shows a report's text and saves it to a file through its save action: the
// system information and the crash report.
class TfmReport : public QDialog {
    Q_OBJECT
public:
    TfmReport(const QString& title, const QString& intro, const QString& text,
        const QString& suggestedFileName, QWidget* parent = nullptr);

    QString Text() const { return ReportText; }
    QAction* SaveAction() const { return Save; }
    // Fails with the file's error (EUserError) when it cannot be written.
    void SaveTo(const QString& path) const;

private:
    void AskAndSave();

    QString ReportText;
    QString SuggestedFileName;
    QAction* Save;
};

// Program and system details, for the user to read or to send along with a question.
class TfmSysInfo : public TfmReport {
    Q_OBJECT
public:
    explicit TfmSysInfo(QWidget* parent = nullptr);
};
