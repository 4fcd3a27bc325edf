#include "services/ui/svcfields.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>
#include <charconv>

#include "framework/modalseam.h"
#include "framework/widgets/dialogparts.h"
#include "resources/stringtable.h"
#include "services/svcdef.h"

namespace {

// Refuses typing beyond the limit but never touches text set by the program, which a plain
// maximum length would cut.
class LengthLimit final : public QValidator {
public:
    LengthLimit(qsizetype limit, QObject* parent) : QValidator(parent), m_nLimit(limit) {}

    State validate(QString& input, int& /*position*/) const override {
        return input.size() <= m_nLimit ? Acceptable : Invalid;
    }

private:
    qsizetype m_nLimit;
};

}  // namespace

QLineEdit* MakeServiceNameField() {
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("serviceName"));
    field->setValidator(new LengthLimit(s100::kMaxServiceNameLength, field));
    return field;
}

std::optional<int32_t> ParseDialogInteger(const QString& text) {
    const std::string digits = text.trimmed().toStdString();
    const char* first = digits.data();
    const char* last = first + digits.size();
    // from_chars takes a minus but no plus; a plus takes no sign after it.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

bool ReadIntegerField(QLineEdit& field, int32_t& value) {
    const std::optional<int32_t> parsed = ParseDialogInteger(field.text());
    if (!parsed) {
        Modal().MessageBox(StringTable::Load(IDS_ENTER_INTEGER), StringTable::Load(IDS_APP_TITLE),
                           MB_OK | MB_ICONEXCLAMATION, field.window());
        field.setFocus();
        field.selectAll();
        return false;
    }
    value = *parsed;
    return true;
}

void ShowInteger(QLineEdit& field, int32_t value) {
    field.setText(QString::number(value));
}

ServiceTypeControls MakeServiceTypeGroup() {
    ServiceTypeControls controls{new QGroupBox(QStringLiteral("Service Type")),
                                 new QRadioButton(QStringLiteral("Mandatory")),
                                 new QRadioButton(QStringLiteral("Optional")),
                                 MakeCheckBox("Disabled", "disabled")};
    controls.mandatory->setObjectName(QStringLiteral("mandatory"));
    controls.optional->setObjectName(QStringLiteral("optional"));
    auto* layout = new QVBoxLayout(controls.group);
    layout->addWidget(controls.mandatory);
    layout->addWidget(controls.optional);
    layout->addWidget(controls.disabled);
    return controls;
}

void ShowServiceType(const ServiceTypeControls& controls, bool bMandatory, bool bDisabled) {
    (bMandatory ? controls.mandatory : controls.optional)->setChecked(true);
    controls.disabled->setChecked(bDisabled);
}

void ReadServiceType(const ServiceTypeControls& controls, bool& bMandatory, bool& bDisabled) {
    bMandatory = controls.mandatory->isChecked();
    bDisabled = controls.disabled->isChecked();
}

QWidget* MakePathRow(const char* objectName, QLineEdit*& path, QPushButton*& browse) {
    path = MakeTextField(objectName);
    browse = new QPushButton(QStringLiteral("&Browse"));
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(path);
    layout->addWidget(browse);
    return row;
}
