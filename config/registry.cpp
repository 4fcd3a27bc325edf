#include "config/registry.h"

#include <cstring>

namespace {

// Makes data of length bytes read into a buffer of size bytes a C string: a NUL goes behind
// data shorter than the buffer; data filling it must already hold one.
bool TerminateText(char* buffer, DWORD length, DWORD size) {
    if (length < size) {
        buffer[length] = '\0';
        return true;
    }
    return size > 0 && std::memchr(buffer, '\0', size) != nullptr;
}

bool SucceededIgnoringClass(LONG rc) {
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

}  // namespace

NT_RegKey::NT_RegKey(HKEY key) : m_key(key), m_bValid(1) {}

NT_RegKey::NT_RegKey(HKEY root, const char* subKey, REGSAM access) : m_bValid(0) {
    m_bValid = RegOpenKeyExA(root, subKey, 0, access, m_key.Out()) == ERROR_SUCCESS ? 1 : 0;
}

NT_RegKey::NT_RegKey(const NT_RegKey& parent, const char* subKey, REGSAM access) : m_bValid(0) {
    if (parent.m_bValid) {
        m_bValid =
            RegOpenKeyExA(parent.m_key.Get(), subKey, 0, access, m_key.Out()) == ERROR_SUCCESS;
    }
}

int NT_RegKey::GetValue(const char* name, char* buffer, DWORD size) {
    if (!m_bValid || buffer == nullptr) {
        return 0;
    }
    DWORD length = size;
    if (RegQueryValueExA(m_key.Get(), name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer),
                         &length) != ERROR_SUCCESS) {
        return 0;
    }
    return TerminateText(buffer, length, size) ? 1 : 0;
}

int NT_RegKey::GetValue(const char* name, DWORD* number) {
    if (!m_bValid || number == nullptr) {
        return 0;
    }
    DWORD type = REG_NONE;
    if (RegQueryValueExA(m_key.Get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return 0;
    }
    // Read into a local so a short value cannot leave the number half written.
    DWORD value = 0;
    DWORD length = sizeof value;
    if (RegQueryValueExA(m_key.Get(), name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value),
                         &length) != ERROR_SUCCESS ||
        length != sizeof value) {
        return 0;
    }
    *number = value;
    return 1;
}

int NT_RegKey::SetValue(const char* name, const char* text) {
    if (!m_bValid || text == nullptr) {
        return 0;
    }
    const std::size_t length = std::strlen(text) + 1;
    if (length > REG_MAX_VALUE_DATA) {
        return 0;
    }
    return RegSetValueExA(m_key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(length)) == ERROR_SUCCESS;
}

int NT_RegKey::SetValue(const char* name, DWORD number) {
    if (!m_bValid) {
        return 0;
    }
    return RegSetValueExA(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

int NT_RegKey::DelValue(const char* name) {
    return m_bValid && RegDeleteValueA(m_key.Get(), name) == ERROR_SUCCESS;
}

int NT_RegKey::DeleteSubKey(const char* name) {
    return m_bValid && RegDeleteKeyA(m_key.Get(), name) == ERROR_SUCCESS;
}

HKEY NT_RegKey::CreateSubKey(const char* name, REGSAM access) {
    if (!m_bValid) {
        return nullptr;
    }
    char emptyClass[] = "";
    HKEY created = nullptr;
    if (RegCreateKeyExA(m_key.Get(), name, 0, emptyClass, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &created, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return created;
}

bool NT_RegKey::QueryCounts(DWORD* subKeys, DWORD* values, DWORD* longestName, DWORD* longestData) {
    char className[1];
    DWORD classSize = sizeof className;
    return SucceededIgnoringClass(RegQueryInfoKeyA(m_key.Get(), className, &classSize, nullptr,
                                                   subKeys, nullptr, nullptr, values, longestName,
                                                   longestData, nullptr, nullptr));
}

int NT_RegKey::GetNumberOfSubKeys(DWORD& count) {
    DWORD subKeys = 0;
    if (!m_bValid || !QueryCounts(&subKeys, nullptr, nullptr, nullptr)) {
        return 0;
    }
    count = subKeys;
    return 1;
}

int NT_RegKey::GetSubKeyName(DWORD index, char* buffer, DWORD size) {
    return m_bValid && RegEnumKeyA(m_key.Get(), index, buffer, size) == ERROR_SUCCESS;
}

int NT_RegKey::GetValueDetails(DWORD& count, DWORD& longestName, DWORD& longestData) {
    DWORD values = 0;
    DWORD name = 0;
    DWORD data = 0;
    if (!m_bValid || !QueryCounts(nullptr, &values, &name, &data)) {
        return 0;
    }
    count = values;
    longestName = name;
    longestData = data;
    return 1;
}

int NT_RegKey::GetStringValue(DWORD index, char* name, DWORD nameSize, char* data, DWORD dataSize) {
    if (!m_bValid || data == nullptr) {
        return 0;
    }
    DWORD nameLength = nameSize;
    DWORD dataLength = dataSize;
    DWORD type = REG_NONE;
    if (RegEnumValueA(m_key.Get(), index, name, &nameLength, nullptr, &type,
                      reinterpret_cast<LPBYTE>(data), &dataLength) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return 0;
    }
    return TerminateText(data, dataLength, dataSize) ? 1 : 0;
}

int NT_RegKey::ValueExists(const char* subKey, const char* name) {
    ScopedKey key;
    if (RegOpenKeyExA(m_key.Get(), subKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) {
        return 0;
    }
    // No data buffer: existence must not depend on the value's size.
    return RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
