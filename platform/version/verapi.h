#pragma once
// The version-resource calls over the version note of a program file
// (platform/version/versionnote.h).
//
// A block of version information is a 4-byte little-endian length of the whole block, then the
// note's descriptor: value paths and values as pairs of NUL-terminated texts.

#include "platform/registry/regapi.h"

using UINT = unsigned int;
using LPVOID = void*;
using LPCVOID = const void*;

// Size of the file's version information; 0 when the file cannot be read, is not a program
// file, or carries no version. handle is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);

// Copies the version information into data (size bytes at most); 0 when it does not fit or
// the file cannot be read any more.
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);

// Looks up the value at the path (e.g. "\StringFileInfo\040904b0\ProductVersion", compared
// without regard to case) in a block of version information. On success buffer points into the
// block at the value's text and length is its size in characters with the NUL.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);
