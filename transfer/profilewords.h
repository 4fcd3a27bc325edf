#pragma once
// The first two words of a profile file: its profile name and class, proposed to the operator
// before an import. Only the head of the file is read, so a file of gigabytes, or one without
// white space, costs no more than kMaxProfileHeadBytes.
//
// A word starts after any white space and ends at the next white-space byte or at the end of the
// file. A word that cannot be a profile name or class (control bytes, longer than the server
// keeps, s100::kMaxProfileNameBytes, or cut off by the end of the head) is no proposal: the file
// is not a profile file and the operator types the name and class instead.

#include <QIODevice>
#include <cstddef>
#include <string>
#include <string_view>

#include "s100/names.h"

// White space before the words may be generous, a profile file's first line never is.
inline constexpr std::size_t kMaxProfileHeadBytes = 64 * 1024;

struct ProfileWords {
    std::string name;          // empty when the file has no usable first word
    std::string profileClass;  // empty when the file has no usable second word
};

// The proposals from the first bytes of a file. bWholeFile: head is the whole file, so its end
// also ends a word.
ProfileWords FirstTwoWords(std::string_view head, bool bWholeFile);

// Reads at most kMaxProfileHeadBytes from the device, opened for reading, and proposes from
// them; a read error gives what was read before it.
ProfileWords ReadProfileWords(QIODevice& file);
