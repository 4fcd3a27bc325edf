#pragma once
// Wildcard enumeration of a folder's entries, as the platform's FindFirstFileA, FindNextFileA
// and FindClose give it, in the order the file system returns the entries.
//
// The pattern is a folder, "/", then a wildcard for the names. Two wildcards name kinds of
// program file of this platform rather than file names: "*.dll" is a shared library (a regular
// file whose name ends in ".so" or holds ".so."), "*.exe" a regular file with an execute
// permission that is not a shared library; FIFOs, sockets and devices are neither. Any other
// wildcard is matched against the names as the shell would ("*", "?",
// "[...]"). Folders are returned too, with their directory attribute, as the platform does.

#include <cstdint>

#include "platform/registry/regapi.h"

using HANDLE = void*;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD MAX_PATH = 260;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    char cFileName[MAX_PATH] = {};
};

// The first matching entry; INVALID_HANDLE_VALUE when the folder cannot be read or nothing
// matches. A valid handle must be closed with FindClose.
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData);
// The next matching entry; 0 when there is none.
BOOL FindNextFileA(HANDLE findFile, WIN32_FIND_DATAA* findData);
BOOL FindClose(HANDLE findFile);
