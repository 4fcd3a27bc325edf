#pragma once
// Where tlvsd gets its admin key: the file named by --key, else DATA/admin.key, made of fresh
// random bytes (mode 0600) at the first start. A server without --data keeps nothing on disk,
// so it needs --key (options.cpp refuses the command line otherwise).

#include <string>

#include "server/options.h"

namespace tlv::server {

// The key file tlvsd reads: --key, else DATA/admin.key.
std::string serverKeyPath(const ServerOptions& options);

// Reads the key, creating DATA/admin.key when it does not exist yet (made then says so). False
// with a message when the file is missing (for --key), a link, a FIFO or anything but a regular
// file, readable by group or others, or not a key.
bool loadServerKey(const ServerOptions& options, std::string& key, std::string& error,
                   bool* made = nullptr);

// What the log says of a key just made: where it is, and the command that gives it to a client
// as the key of its server entry. An operator running tlvsd as themselves copies it; a server
// running as a service account (the package's) needs an administrator to hand it over.
std::string keyHandOverText(const std::string& keyPath);

}  // namespace tlv::server
