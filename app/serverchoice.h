#pragma once
// The names offered by the connect command: the value names of the administration server
// table, in registry order, each unreadable one as "***RegistryError***", ended by "". An
// unnamed value is left out.

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kRegistryErrorName = "***RegistryError***";

// The table's key, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kAdministrationTableKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";

// The names and the terminating ""; or the message id to show (4133, 4123) when the table
// cannot be read or the lists cannot be allocated.
struct ServerChoice {
    std::vector<std::string> names;
    unsigned failureMessage = 0;
};

ServerChoice ReadServerChoice();
