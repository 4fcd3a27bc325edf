#pragma once
// CServerListBox: one table's entries in a sorted single-selection list. Each row shows a server
// name; the entries themselves, with their connection strings, are kept here beside the rows.

#include <QListWidget>
#include <optional>

#include "config/srventry.h"

class CServerListBox final : public QListWidget {
    Q_OBJECT

public:
    explicit CServerListBox(QWidget* parent = nullptr);

    const ServerList& Entries() const { return m_entries; }
    std::optional<std::size_t> Selected() const;

    // Each change shows the rows again; the entry added or changed becomes the selection.
    void SetEntries(ServerList entries);
    void Add(ServerEntry entry);
    void Replace(std::size_t index, ServerEntry entry);
    void Remove(std::size_t index);
    void ClearEntries();

private:
    void ShowRows(std::optional<std::size_t> selection);

    ServerList m_entries;
};
