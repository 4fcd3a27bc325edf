#pragma once
// NT_RegKey: one open registry key, the only way the client reads and writes its configuration.
//
// Every operation returns 1 on success and 0 on failure, and does nothing but return 0 (or a
// null handle) when the key is not valid; ValueExists and IsValid are the exceptions. The
// platform's error code is dropped: callers turn a 0 into their own message.

#include "platform/registry/regapi.h"
#include "platform/registry/scopedkey.h"

class NT_RegKey final {
public:
    // Adopts a handle that is already open (normally from CreateSubKey) without checking it.
    explicit NT_RegKey(HKEY key);
    NT_RegKey(HKEY root, const char* subKey, REGSAM access);
    // Opens below an open parent; from an invalid parent the key is invalid.
    NT_RegKey(const NT_RegKey& parent, const char* subKey, REGSAM access);
    NT_RegKey(const NT_RegKey&) = delete;
    NT_RegKey& operator=(const NT_RegKey&) = delete;

    // Reads the data as it is stored, whatever its type. Data shorter than the buffer gets a
    // NUL behind it; data that fills the buffer must hold a NUL of its own, or the read fails.
    int GetValue(const char* name, char* buffer, DWORD size);
    // Only a REG_DWORD of 4 bytes is read; otherwise the number is left untouched.
    int GetValue(const char* name, DWORD* number);
    int SetValue(const char* name, const char* text);
    int SetValue(const char* name, DWORD number);
    int DelValue(const char* name);
    int DeleteSubKey(const char* name);
    // The caller owns the returned handle (null on failure).
    HKEY CreateSubKey(const char* name, REGSAM access);
    int GetNumberOfSubKeys(DWORD& count);
    int GetSubKeyName(DWORD index, char* buffer, DWORD size);
    // Longest name in characters without NUL, longest data in bytes.
    int GetValueDetails(DWORD& count, DWORD& longestName, DWORD& longestData);
    // Succeeds only for a REG_SZ value; its data is terminated as GetValue terminates it.
    int GetStringValue(DWORD index, char* name, DWORD nameSize, char* data, DWORD dataSize);
    // Whether the value exists below the sub-key, whatever its size; works on an invalid key.
    int ValueExists(const char* subKey, const char* name);
    int IsValid() const { return m_bValid; }

private:
    // The counts of RegQueryInfoKeyA; success also when only the unwanted class did not fit.
    bool QueryCounts(DWORD* subKeys, DWORD* values, DWORD* longestName, DWORD* longestData);

    ScopedKey m_key;
    int m_bValid;
};
