#pragma once
// The built-in symbol table: every symbol of s100/symbols.h by name and by value. The text
// notation and the CTsym_* calls both read it.

#include <optional>
#include <string>
#include <string_view>

#include "s100/symbols.h"

namespace s100 {

// The symbol with this exact name (case-sensitive), or nothing.
std::optional<CTsymbol> symbolByName(std::string_view name);

// The name of a symbol, or null for a symbol without a name.
const char* nameOfSymbol(CTsymbol symbol);

// The name, or "0x" and 8 upper-case hex digits for a symbol without a name.
std::string symbolText(CTsymbol symbol);

}  // namespace s100
