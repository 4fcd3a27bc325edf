// The CTsym_* calls over the built-in symbol table. Every session, and session 0, uses it.
#include "s100/s100.h"

#include <cstring>
#include <string>

#include "s100/kvs/capi_common.h"
#include "s100/kvs/symtable.h"

using namespace s100;
using namespace s100::detail;

namespace {

// "0x" and exactly 8 hex digits: the form CTsym_SymbolToName gives a symbol without a name.
bool parseHexSymbol(const char* name, CTsymbol& symbol) {
    if (std::strlen(name) != 10 || name[0] != '0' || name[1] != 'x') {
        return false;
    }
    CTsymbol value = 0;
    for (const char* digit = name + 2; *digit != '\0'; ++digit) {
        const char c = *digit;
        uint32_t nibble;
        if (c >= '0' && c <= '9') {
            nibble = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            nibble = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            nibble = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return false;
        }
        value = (value << 4) | nibble;
    }
    symbol = value;
    return true;
}

}  // namespace

extern "C" {

// The built-in table is always loaded; loading it again is harmless.
CTstatus CTsym_LoadTable(CTsession /*session*/, CTevtinfo* record, void* /*reserved*/) {
    return report(record != nullptr ? &record->error : nullptr, CTerr_NoError);
}

CTstatus CTsym_UnloadTable(CTsession /*session*/, CTerror* error) {
    return report(error, CTerr_NoError);
}

CTstatus CTsym_NameToSymbol(CTsession /*session*/, const char* name, CTsymbol* symbol,
                            CTerror* error) {
    if (name == nullptr || symbol == nullptr ||
        strnlen(name, CT_MAX_SYMBOL_NAME) >= CT_MAX_SYMBOL_NAME) {
        return report(error, CTerr_InvalidArgument);
    }
    if (const auto named = symbolByName(name)) {
        *symbol = *named;
        return report(error, CTerr_NoError);
    }
    return report(error, parseHexSymbol(name, *symbol) ? CTerr_NoError : CTerr_NotFound);
}

CTstatus CTsym_SymbolToName(CTsession /*session*/, CTsymbol symbol, char* buffer, uint32_t size,
                            CTerror* error) {
    if (buffer == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    const std::string text = symbolText(symbol);
    if (text.size() + 1 > size) {
        return report(error, CTerr_BufferTooSmall);
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return report(error, CTerr_NoError);
}

}  // extern "C"
