#pragma once
// Writing a file so that readers see either the old contents or the whole new ones, never a
// part: the bytes go to a temporary file beside it, are flushed to disk, and replace the file
// by a rename. A failure leaves the old file untouched and no temporary behind.

#include <string>

// False with the reason in why when the file could not be written.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& why);
