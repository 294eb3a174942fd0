#pragma once

#include <QString>

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
