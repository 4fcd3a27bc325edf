#pragma once
// Comparing names without regard to letter case, the way the registry store compares key and
// value names: ASCII letters fold, every other byte (also each byte of a multibyte character)
// compares as it is, so no sequence is ever split or misread.

#include <string_view>

bool EqualNoCase(std::string_view a, std::string_view b);
// Negative, zero or positive, as a before, equal to or after b.
int CompareNoCase(std::string_view a, std::string_view b);
