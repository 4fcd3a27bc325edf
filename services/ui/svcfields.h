#pragma once
// Controls shared by the two service edit dialogs: the service name field with its input limit,
// the integer fields with the framework's prompt.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// A text field whose typed input stops at s100::kMaxServiceNameLength characters. A longer name set
// by the program is kept as it is, so OK can refuse it with its message.
QLineEdit* MakeServiceNameField();

// A decimal signed 32-bit integer, blanks around it allowed; nothing else is one.
std::optional<int32_t> ParseDialogInteger(const QString& text);

// Reads the field as an integer. When it holds none, the operator is asked to enter one, the
// field gets the focus with its text selected, and value is left as it was.
bool ReadIntegerField(QLineEdit& field, int32_t& value);
void ShowInteger(QLineEdit& field, int32_t value);

// The group "Service Type" of both dialogs: "Mandatory" or "Optional", and "Disabled".
struct ServiceTypeControls {
    QGroupBox* group;
    QRadioButton* mandatory;
    QRadioButton* optional;
    QCheckBox* disabled;
};

ServiceTypeControls MakeServiceTypeGroup();
void ShowServiceType(const ServiceTypeControls& controls, bool bMandatory, bool bDisabled);
void ReadServiceType(const ServiceTypeControls& controls, bool& bMandatory, bool& bDisabled);

// A path field with "&Browse" beside it, as one row.
QWidget* MakePathRow(const char* objectName, QLineEdit*& path, QPushButton*& browse);
