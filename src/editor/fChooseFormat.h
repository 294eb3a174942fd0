#pragma once

#include <optional>

#include <QDialog>
#include <QStringList>

#include "editor/uFileCommands.h"

class QCheckBox;
class QComboBox;

// "File open error...": tells why a file could not be read and offers the other formats of
// its extension. Which formats and which one is preselected is the caller's rule.
class TfmChooseFormat : public QDialog {
    Q_OBJECT
public:
    TfmChooseFormat(const QString& location, const QString& errorMessage,
        const QStringList& importerNames, int preselected, QWidget* parent = nullptr);

    TFormatChoice Choice() const;

    // Runs the dialog; nothing when the user cancels.
    static std::optional<TFormatChoice> Ask(QWidget* parent, const QString& location,
        const QString& errorMessage, const QStringList& importerNames, int preselected);

private:
    QComboBox* Formats;
    QCheckBox* UseAsDefault;
};
