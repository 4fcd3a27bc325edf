#include "config/ui/editsrve.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/ui/qtext.h"

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
        m_fields = {ToStdString(m_wndServerName->text()), ToStdString(m_wndComputerName->text()),
                    ToStdString(m_wndPortNumber->text())};
        return;
    }
    m_wndServerName->setText(ToQString(m_fields.name));
    m_wndComputerName->setText(ToQString(m_fields.computer));
    m_wndPortNumber->setText(ToQString(m_fields.port));
}
