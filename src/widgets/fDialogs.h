#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

// Small pieces the program's dialogs share.

// A wrapped label whose text the user can select and copy (file names, error messages).
QLabel* SelectableLabel(const QString& text, QWidget* parent);
// A lone OK button that accepts `dialog`.
QDialogButtonBox* OkButton(QDialog* dialog);
// OK and Cancel, accepting or rejecting `dialog`.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

// A file to open, the filter chosen for it and the code page of its 8-bit text, chosen in
// the open dialog as text editors offer it; the file is empty when the user cancelled.
struct TOpenChoice {
    QString File;
    QString Filter;
    QString CodePage;
};
TOpenChoice ChooseFileToOpen(
    QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters);

// A file dialog's name filters from a filter text of "name|patterns" pairs. Qt reads the
// patterns in a row's parentheses, separated by blanks: a ";"-joined list would be one pattern
// that matches no file. Each pattern is listed once per row.
QStringList DialogNameFilters(const QString& filter);
