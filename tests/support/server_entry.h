#pragma once
// An entry of the administration server table in the process's registry, for tests and
// benchmarks that name their own servers.

#include <string>

namespace tlv::test {

// Names the connection string under the entry (creating the table when missing); no key file
// is written. False when the registry refuses.
bool writeServerEntry(const std::string& name, const std::string& connectString);

}  // namespace tlv::test
