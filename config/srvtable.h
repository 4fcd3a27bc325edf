#pragma once
// Reading and writing one server entry table in the registry: one REG_SZ value per entry, named
// by the server with its connection string as data. Values of other types belong to someone
// else and are left where they are.

#include <vector>

#include "config/srventry.h"

// Fills the list with the table's string values; a table that cannot be opened or counted
// reads as empty, without a message.
void ReadServerTable(const char* keyPath, ServerList& list);

// The table's string values in the store's order, the order the connect command offers them;
// false when the table cannot be opened or counted.
bool ReadServerEntries(const char* keyPath, std::vector<ServerEntry>& entries);

// Replaces the table's string values by the list's entries, in list order, as one transaction:
// either all of it is kept or the table stays as it was. Returns 0, IDS_REGISTRY_ACCESS_FAILED
// when the table's key cannot be opened (it is never created here), or
// IDS_REGISTRY_UPDATE_FAILED when the rewrite fails.
unsigned WriteServerTable(const char* keyPath, const ServerList& list);
