#pragma once
// The UNC form of a folder on a mounted network share, as the multinode setup's container path
// needs it: "\\host\share\path\". The mount table says which share a folder is on: a CIFS mount
// of "//host/share[/sub]" or an NFS mount of "host:/export[/sub]"; the deepest mount that holds
// the folder decides.

#include <optional>
#include <string>
#include <string_view>

// The folder's UNC path with a closing backslash; empty when the folder is on no network share.
// mountTable is in the form of /proc/self/mounts (fields separated by blanks, blanks inside a
// field written \040).
std::optional<std::string> UncPathOfFolder(std::string_view folder, std::string_view mountTable);

// The same with this process's mount table.
std::optional<std::string> UncPathOfFolder(std::string_view folder);
