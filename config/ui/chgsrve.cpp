#include "config/ui/chgsrve.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/srvtable.h"
#include "config/ui/cfgerror.h"
#include "config/ui/editsrve.h"
#include "config/ui/srvlistbox.h"
#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

ServerEntriesHooks& Hooks() {
    static ServerEntriesHooks hooks;
    return hooks;
}

QPushButton* AddButton(QVBoxLayout& column, const char* text, const QString& objectName) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    column.addWidget(button);
    return button;
}

// Runs the entry dialog on the fields; false when the operator cancels.
bool RunEntryDialog(QWidget* owner, ServerEntryFields& fields) {
    CEditSrvEntry dialog(owner);
    dialog.SetFields(fields);
    if (Modal().RunDialog(dialog) != IDOK) {
        return false;
    }
    fields = dialog.Fields();
    return true;
}

// Shows what the check found; true when the entry may be stored.
bool ReportCheck(const ServerEntryCheck& check, QWidget* owner) {
    if (check.error != 0) {
        ShowConfigError(check.error, owner);
        return false;
    }
    if (check.warning != 0) {
        ShowConfigError(check.warning, owner);
    }
    return true;
}

}  // namespace

void SetServerEntriesHooks(ServerEntriesHooks hooks) {
    Hooks() = std::move(hooks);
}

CChangeSrvEntries::CChangeSrvEntries(QWidget* parent)
    : QDialog(parent), m_wndAdministration(new CServerListBox), m_wndStandard(new CServerListBox) {
    setWindowTitle(QStringLiteral("Change Server Entries"));

    auto* tables = new QHBoxLayout;
    tables->addWidget(MakeTablePane("Administration Connections", kAdministrationTableKey,
                                    "administration", *m_wndAdministration));
    tables->addWidget(
        MakeTablePane("Standard Connections", kStandardTableKey, "standard", *m_wndStandard));

    auto* save = new QPushButton(QStringLiteral("&Save"));
    save->setObjectName(QStringLiteral("save"));
    save->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    auto* help = new QPushButton(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("help"));
    help->setAutoDefault(false);
    help->setEnabled(static_cast<bool>(Hooks().showHelpContents));
    connect(save, &QPushButton::clicked, this, &CChangeSrvEntries::OnSave);
    connect(cancel, &QPushButton::clicked, this, &CChangeSrvEntries::reject);
    connect(help, &QPushButton::clicked, this, [this] { Hooks().showHelpContents(this); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tables);
    layout->addLayout(buttons);

    AddAboutItem();
    LoadServerList(kAdministrationTableKey, *m_wndAdministration);
    LoadServerList(kStandardTableKey, *m_wndStandard);
}

QGroupBox* CChangeSrvEntries::MakeTablePane(const char* title, const char* keyPath,
                                            const char* objectPrefix, CServerListBox& list) {
    const QString prefix = QString::fromLatin1(objectPrefix);
    list.setObjectName(prefix + QStringLiteral("List"));
    auto* column = new QVBoxLayout;
    QPushButton* add = AddButton(*column, "New", prefix + QStringLiteral("New"));
    QPushButton* edit = AddButton(*column, "Edit", prefix + QStringLiteral("Edit"));
    QPushButton* remove = AddButton(*column, "Remove", prefix + QStringLiteral("Remove"));
    column->addStretch();
    connect(add, &QPushButton::clicked, this, [=, this, &list] { NewServer(keyPath, list); });
    connect(edit, &QPushButton::clicked, this, [=, this, &list] { EditServer(keyPath, list); });
    connect(remove, &QPushButton::clicked, this, [=, this, &list] { RemoveServer(keyPath, list); });
    connect(&list, &QListWidget::itemDoubleClicked, this,
            [=, this, &list] { EditServer(keyPath, list); });

    auto* pane = new QGroupBox(QString::fromLatin1(title));
    auto* row = new QHBoxLayout(pane);
    row->addWidget(&list);
    row->addLayout(column);
    return pane;
}

void CChangeSrvEntries::AddAboutItem() {
    const QString text = StringTable::Load(IDS_ABOUT_MENU_ITEM);
    if (text.isEmpty()) {
        return;
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* about = new QAction(text, this);
    about->setObjectName(QStringLiteral("about"));
    about->setEnabled(static_cast<bool>(Hooks().showAbout));
    connect(about, &QAction::triggered, this, [this] { Hooks().showAbout(this); });
    addAction(about);
}

void CChangeSrvEntries::LoadServerList(const char* keyPath, CServerListBox& list) {
    ServerList entries;
    ReadServerTable(keyPath, entries);
    list.SetEntries(std::move(entries));
}

void CChangeSrvEntries::SaveServerList(const char* keyPath, CServerListBox& list) {
    if (const unsigned message = WriteServerTable(keyPath, list.Entries()); message != 0) {
        ShowRegistryError(message, {keyPath}, RegistryUse::Write, this);
    }
}

void CChangeSrvEntries::NewServer(const char* keyPath, CServerListBox& list) {
    const ServerTable table = TableOfKeyPath(keyPath);
    const std::optional<std::size_t> selected = list.Selected();
    ServerEntryFields fields;
    if (const unsigned message =
            ProposeNewEntry(table, selected ? &list.Entries().At(*selected) : nullptr, fields);
        message != 0) {
        ShowConfigError(message, this);
        return;
    }
    if (!RunEntryDialog(this, fields)) {
        return;
    }
    const ServerEntryCheck check = CheckServerEntry(list.Entries(), table, fields, std::nullopt);
    if (ReportCheck(check, this)) {
        list.Add(check.entry);
    }
}

void CChangeSrvEntries::EditServer(const char* keyPath, CServerListBox& list) {
    const std::optional<std::size_t> selected = list.Selected();
    if (!selected) {
        return;
    }
    ServerEntryFields fields;
    if (const unsigned message = FieldsOfEntry(list.Entries().At(*selected), fields);
        message != 0) {
        ShowConfigError(message, this);
        return;
    }
    if (!RunEntryDialog(this, fields)) {
        return;
    }
    const ServerEntryCheck check =
        CheckServerEntry(list.Entries(), TableOfKeyPath(keyPath), fields, selected);
    if (ReportCheck(check, this)) {
        list.Replace(*selected, check.entry);
    }
}

void CChangeSrvEntries::RemoveServer(const char*, CServerListBox& list) {
    if (const std::optional<std::size_t> selected = list.Selected()) {
        list.Remove(*selected);
    }
}

void CChangeSrvEntries::ClearServerList(CServerListBox& list) {
    list.ClearEntries();
}

void CChangeSrvEntries::OnSave() {
    SaveServerList(kAdministrationTableKey, *m_wndAdministration);
    SaveServerList(kStandardTableKey, *m_wndStandard);
    accept();
}

void CChangeSrvEntries::reject() {
    ClearServerList(*m_wndAdministration);
    ClearServerList(*m_wndStandard);
    QDialog::reject();
}

void RunChangeServerEntries(QWidget* parent) {
    CChangeSrvEntries dialog(parent);
    Modal().RunDialog(dialog);
}
