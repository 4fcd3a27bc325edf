#include "config/srventry.h"

#include <algorithm>

#include "platform/text/nocase.h"
#include "resources/stringids.h"

namespace {

constexpr std::string_view kTcpPrefix = "tcp:";
constexpr std::string_view kReservedName = "TLVS_Default_Server";
constexpr std::size_t kShortestConnection = 7;

bool SortsBefore(const ServerEntry& a, const ServerEntry& b) {
    const int order = CompareNoCase(a.name, b.name);
    return order != 0 ? order < 0 : a.name < b.name;
}

// The store behind the tables compares value names without regard to case, so two names that
// differ only in case would end up as one value when the table is saved.
bool HasOtherEntryNamed(const ServerList& list, std::string_view name,
                        std::optional<std::size_t> editedIndex) {
    for (std::size_t i = 0; i < list.Size(); ++i) {
        if (i != editedIndex && EqualNoCase(list.At(i).name, name)) {
            return true;
        }
    }
    return false;
}

bool HasSpace(std::string_view text) {
    return text.find(' ') != std::string_view::npos;
}

unsigned NameError(const ServerList& list, std::string_view name,
                   std::optional<std::size_t> editedIndex) {
    if (HasOtherEntryNamed(list, name, editedIndex)) {
        return IDS_SERVER_EXISTS;
    }
    if (name.empty()) {
        return IDS_SERVER_NAME_BLANK;
    }
    if (HasSpace(name)) {
        return IDS_SERVER_NAME_HAS_SPACE;
    }
    if (name == kReservedName) {
        return IDS_SERVER_NAME_RESERVED;
    }
    if (name.size() > kMaxServerField) {
        return IDS_SERVER_NAME_TOO_LONG;
    }
    return 0;
}

unsigned PortWarning(ServerTable table, std::string_view connection) {
    const std::string ending = std::string(":") + DefaultPortOf(table);
    if (connection.ends_with(ending)) {
        return 0;
    }
    return table == ServerTable::Standard ? IDS_STANDARD_PORT_WARNING : IDS_ADMIN_PORT_WARNING;
}

}  // namespace

unsigned CheckConnectionString(std::string_view connection) {
    if (HasSpace(connection)) {
        return IDS_CONNECTION_STRING_HAS_SPACE;
    }
    if (connection.size() < kShortestConnection) {
        return IDS_CONNECTION_STRING_TOO_SHORT;
    }
    if (!EqualNoCase(connection.substr(0, kTcpPrefix.size()), kTcpPrefix)) {
        return IDS_CONNECTION_STRING_NO_TCP;
    }
    if (connection.size() > kMaxServerField) {
        return IDS_CONNECTION_STRING_TOO_LONG;
    }
    return 0;
}

ServerTable TableOfKeyPath(std::string_view keyPath) {
    return keyPath.find("KSTV_Standard") != std::string_view::npos ? ServerTable::Standard
                                                                   : ServerTable::Administration;
}

const char* DefaultPortOf(ServerTable table) {
    return table == ServerTable::Standard ? "2019" : "2020";
}

std::size_t ServerList::Add(ServerEntry entry) {
    const auto place = std::upper_bound(m_entries.begin(), m_entries.end(), entry, SortsBefore);
    const auto index = static_cast<std::size_t>(place - m_entries.begin());
    m_entries.insert(place, std::move(entry));
    return index;
}

std::size_t ServerList::Replace(std::size_t index, ServerEntry entry) {
    ServerEntry& old = m_entries.at(index);
    if (old.name == entry.name) {
        old.connection = std::move(entry.connection);
        return index;
    }
    Remove(index);
    return Add(std::move(entry));
}

void ServerList::Remove(std::size_t index) {
    if (index < m_entries.size()) {
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

bool SplitConnectionString(std::string_view connection, std::string& computer, std::string& port) {
    const std::size_t first = connection.find(':');
    if (first == std::string_view::npos) {
        return false;
    }
    const std::size_t second = connection.find(':', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    computer = connection.substr(first + 1, second - first - 1);
    port = connection.substr(second + 1);
    return true;
}

std::string BuildConnectionString(std::string_view computer, std::string_view port) {
    std::string connection(kTcpPrefix);
    connection.append(computer).append(":").append(port);
    return connection;
}

unsigned ProposeNewEntry(ServerTable table, const ServerEntry* templateEntry,
                         ServerEntryFields& fields) {
    ServerEntryFields proposed{"Untitled", "localhost", DefaultPortOf(table)};
    if (templateEntry != nullptr &&
        !SplitConnectionString(templateEntry->connection, proposed.computer, proposed.port)) {
        return IDS_CONNECTION_STRING_INVALID;
    }
    fields = std::move(proposed);
    return 0;
}

unsigned FieldsOfEntry(const ServerEntry& entry, ServerEntryFields& fields) {
    ServerEntryFields current{entry.name, {}, {}};
    if (!SplitConnectionString(entry.connection, current.computer, current.port)) {
        return IDS_CONNECTION_STRING_INVALID;
    }
    fields = std::move(current);
    return 0;
}

ServerEntryCheck CheckServerEntry(const ServerList& list, ServerTable table,
                                  const ServerEntryFields& fields,
                                  std::optional<std::size_t> editedIndex) {
    ServerEntryCheck check;
    check.entry = {fields.name, BuildConnectionString(fields.computer, fields.port)};
    check.error = NameError(list, check.entry.name, editedIndex);
    if (check.error == 0) {
        check.error = CheckConnectionString(check.entry.connection);
    }
    if (check.error == 0) {
        check.warning = PortWarning(table, check.entry.connection);
    }
    return check;
}
