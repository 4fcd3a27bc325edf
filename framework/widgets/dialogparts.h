#pragma once
// The parts the program's small dialogs are made of: fields named for the tests that find them,
// the OK and Cancel row, and the usual stack of a form above that row.

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QLayout;
class QLineEdit;

QLineEdit* MakeTextField(const char* objectName);
QCheckBox* MakeCheckBox(const char* text, const char* objectName);

// Whether Enter presses OK from any field, or the dialog's own choice of default applies.
enum class OkDefault { Yes, No };

// OK and Cancel, wired to the dialog's accept and reject.
QDialogButtonBox* MakeOkCancel(QDialog& dialog, OkDefault okDefault);

// The dialog's layout: the form, and the buttons under it.
void StackFormAndButtons(QDialog& dialog, QLayout* form, QDialogButtonBox* buttons);
