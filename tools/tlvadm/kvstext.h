#pragma once
// KV sets as text files, in the text notation of the S.100 library.

#include <string>

#include "s100/s100.h"

// Reads a file holding a KV set in the text notation, or a profile file (name, class, then the
// set); copies its pairs into set. False with a message naming the file on failure.
bool ReadKvSetFile(const std::string& path, CTkvs set, std::string& error);

// The text notation of the set.
bool KvSetText(CTkvs set, std::string& text);
