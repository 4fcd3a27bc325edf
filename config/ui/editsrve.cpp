#include "config/ui/editsrve.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"

namespace {

QLineEdit* AddField(QFormLayout& form, const char* label, const char* objectName) {
    QLineEdit* field = MakeTextField(objectName);
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

    StackFormAndButtons(*this, form, MakeOkCancel(*this, OkDefault::No));
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
