#pragma once
// Server entries: a server name and its connection string "tcp:computer:port", the sorted list
// of one table's entries, and the rules an entry must meet before it joins a list.
//
// The rules return the string-table id of the message to show, or 0 when there is nothing to
// say, so the dialogs only show what these functions decide.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The two tables of server entries, told apart by their key path.
enum class ServerTable { Administration, Standard };

inline constexpr const char* kAdministrationTableKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";
inline constexpr const char* kStandardTableKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Standard";

// Names and connection strings longer than this (in bytes) are refused: the entries are held in
// 100-byte buffers by the programs that read the tables.
inline constexpr std::size_t kMaxServerField = 99;

// A key path naming "KSTV_Standard" is the standard table; any other the administration table.
ServerTable TableOfKeyPath(std::string_view keyPath);
// "2020" for the administration table, "2019" for the standard table.
const char* DefaultPortOf(ServerTable table);

struct ServerEntry {
    std::string name;
    std::string connection;

    bool operator==(const ServerEntry&) const = default;
};

// What the entry dialog edits.
struct ServerEntryFields {
    std::string name;
    std::string computer;
    std::string port;

    bool operator==(const ServerEntryFields&) const = default;
};

// One table's entries, kept sorted by name without regard to letter case, as a sorted list box
// shows them.
class ServerList final {
public:
    std::size_t Size() const { return m_entries.size(); }
    const ServerEntry& At(std::size_t index) const { return m_entries.at(index); }
    const std::vector<ServerEntry>& Entries() const { return m_entries; }

    // Inserts at the sorted place; returns that index.
    std::size_t Add(ServerEntry entry);
    // Same name (exact): the connection string changes in place; another name: the old entry
    // goes and the new one is added at its sorted place. Returns the entry's new index.
    std::size_t Replace(std::size_t index, ServerEntry entry);
    void Remove(std::size_t index);
    void Clear() { m_entries.clear(); }

private:
    std::vector<ServerEntry> m_entries;
};

// Splits "prefix:computer:port": the computer lies between the first and the second colon, the
// port is everything after the second. False (IDS_CONNECTION_STRING_INVALID) when a colon is
// missing; the fields are then untouched.
bool SplitConnectionString(std::string_view connection, std::string& computer, std::string& port);
// "tcp:" + computer + ":" + port; whatever stood before the first colon is not kept.
std::string BuildConnectionString(std::string_view computer, std::string_view port);

// The fields a new entry starts with: "Untitled" and either the computer and port of the
// template entry or "localhost" and the table's default port. Returns 0, or
// IDS_CONNECTION_STRING_INVALID when the template's connection string cannot be split.
unsigned ProposeNewEntry(ServerTable table, const ServerEntry* templateEntry,
                         ServerEntryFields& fields);
// The fields of an existing entry; 0 or IDS_CONNECTION_STRING_INVALID.
unsigned FieldsOfEntry(const ServerEntry& entry, ServerEntryFields& fields);

struct ServerEntryCheck {
    unsigned error = 0;    // the first rule broken; the entry must not be added
    unsigned warning = 0;  // a port other than the table's default; the entry is still added
    ServerEntry entry;     // the name and the rebuilt connection string
};

// The rules for a connection string alone: no space, at least 7 characters, "tcp:" at the start
// in any letter case, at most kMaxServerField characters. 0 or the id of the first rule broken.
unsigned CheckConnectionString(std::string_view connection);

// Checks the dialog's fields for the list, in the order the operator is told about them. The
// entry at editedIndex (when given) is the one being edited and is no duplicate of itself.
ServerEntryCheck CheckServerEntry(const ServerList& list, ServerTable table,
                                  const ServerEntryFields& fields,
                                  std::optional<std::size_t> editedIndex);
