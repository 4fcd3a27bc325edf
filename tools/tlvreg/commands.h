#pragma once
// The commands of tlvreg. Each writes its result to out and its error messages to err, and
// returns the tool's exit status.

#include <ostream>
#include <string>

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;  // the registry refused: not found, has sub-keys, ...
inline constexpr int kExitUsage = 2;    // bad arguments or input, a file that cannot be used

struct CommandStreams {
    std::ostream& out;
    std::ostream& err;
};

// A path is below HKEY_LOCAL_MACHINE, without the root's name (ParseKeyArgument); an empty
// name is the unnamed value.
//
// query prints the sub-keys, one "NAME\" a line, then the values, one "NAME<TAB>TYPE<TAB>DATA"
// a line; the unnamed value shows as "(Default)". REG_SZ and REG_EXPAND_SZ show as their text
// (without the final NUL), a REG_DWORD as a decimal number, anything else as hex bytes "0a,ff".
int QueryKey(const std::string& path, CommandStreams streams);
int QueryValue(const std::string& path, const std::string& name, CommandStreams streams);
int AddKey(const std::string& path, CommandStreams streams);
int AddValue(const std::string& path, const std::string& name, const std::string& type,
             const std::string& data, CommandStreams streams);
int DeleteKey(const std::string& path, CommandStreams streams);
int DeleteValue(const std::string& path, const std::string& name, CommandStreams streams);
int ExportKey(const std::string& file, const std::string& path, CommandStreams streams);
int ImportFile(const std::string& file, CommandStreams streams);
