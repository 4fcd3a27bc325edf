#include "config/ui/srvlistbox.h"

#include "framework/bytetext.h"

CServerListBox::CServerListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

std::optional<std::size_t> CServerListBox::Selected() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(rows.front().row());
}

void CServerListBox::SetEntries(ServerList entries) {
    m_entries = std::move(entries);
    ShowRows(std::nullopt);
}

void CServerListBox::Add(ServerEntry entry) {
    ShowRows(m_entries.Add(std::move(entry)));
}

void CServerListBox::Replace(std::size_t index, ServerEntry entry) {
    ShowRows(m_entries.Replace(index, std::move(entry)));
}

void CServerListBox::Remove(std::size_t index) {
    m_entries.Remove(index);
    ShowRows(std::nullopt);
}

void CServerListBox::ClearEntries() {
    m_entries.Clear();
    ShowRows(std::nullopt);
}

void CServerListBox::ShowRows(std::optional<std::size_t> selection) {
    clear();
    for (const ServerEntry& entry : m_entries.Entries()) {
        addItem(ShownText(entry.name));
    }
    if (selection) {
        setCurrentRow(static_cast<int>(*selection));
    }
}
