#pragma once
// The user's language and locale, as the platform's locale queries give them, taken from the
// POSIX locale of the environment (LC_ALL, then LC_MESSAGES, then LANG): "de_DE.UTF-8" is German
// (Germany), 0x0407. An unset, "C" or "POSIX" locale is US English; a language not known here is
// the neutral language 0, whose ANSI code page is "0" (none), like the platform's Unicode-only
// locales.

#include "platform/registry/regapi.h"

using LANGID = unsigned short;
using LCID = DWORD;

inline constexpr DWORD LOCALE_IDEFAULTANSICODEPAGE = 0x1004;

LANGID GetUserDefaultLangID();
LCID GetUserDefaultLCID();

// Writes the item of the locale as text into data and returns its length with the NUL; with
// size 0 only returns that length. 0 for an item not known here or a buffer too small.
int GetLocaleInfoA(LCID locale, DWORD item, LPSTR data, int size);

// The language id of a POSIX locale name ("de_DE.UTF-8@euro", "fr", "C").
LANGID LangIdOfLocaleName(const char* name);
