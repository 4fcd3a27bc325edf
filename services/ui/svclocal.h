#pragma once
// Whether the administered server runs on this machine, and this machine's name: what a new
// executable service is proposed to run on.

#include <cstddef>
#include <optional>
#include <string>

// Computer names are NetBIOS names of this length at most.
inline constexpr std::size_t kMaxComputerNameLength = 15;

// The host name up to its first dot, cut to kMaxComputerNameLength characters; empty optional
// when the host name cannot be read.
std::optional<std::string> LocalComputerName();

// 1 when the administration table's connection string of the entry names "localhost", 0 when it
// does not or cannot be read.
int IsServerLocal(const char* entryName);
