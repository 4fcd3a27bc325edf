#pragma once
// ScopedKey: owns one open registry key and closes it on every way out. Every holder of a key,
// NT_RegKey included, keeps it in one of these.

#include "platform/registry/regapi.h"

class ScopedKey final {
public:
    ScopedKey() = default;
    // Adopts a key that is already open.
    explicit ScopedKey(HKEY key) : m_hKey(key) {}
    ~ScopedKey();
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // Where RegOpenKeyExA and RegCreateKeyExA put the key they open; a key held before is
    // closed first.
    PHKEY Out();
    HKEY Get() const { return m_hKey; }

private:
    void Close();

    HKEY m_hKey = nullptr;
};
