#include "config/ui/editsrve.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/widgets/bytefield.h"

namespace {

QLineEdit* AddField(QFormLayout& form, const char* label, const char* objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    form.addRow(QString::fromLatin1(label), field);
    return field;
}

}  // namespace

CEditSrvEntry::CEditSrvEntry(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Edit Server Entry"));
    auto* form = new QFormLayout;
    m_wndServerName = AddField(*form, "Server Name:", "serverName");
    m_wndComputerName = AddField(*form, "Computer Name:", "computerName");
    m_wndPortNumber = AddField(*form, "Port Number:", "portNumber");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditSrvEntry::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditSrvEntry::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CEditSrvEntry::SetFields(const ServerEntryFields& fields) {
    m_fields = fields;
    DoDataExchange(false);
}

void CEditSrvEntry::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CEditSrvEntry::DoDataExchange(bool save) {
    if (save) {
        m_fields = {FieldBytes(*m_wndServerName), FieldBytes(*m_wndComputerName),
                    FieldBytes(*m_wndPortNumber)};
        return;
    }
    ShowBytes(*m_wndServerName, m_fields.name);
    ShowBytes(*m_wndComputerName, m_fields.computer);
    ShowBytes(*m_wndPortNumber, m_fields.port);
}
