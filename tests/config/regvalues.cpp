#include "tests/config/regvalues.h"

#include <gtest/gtest.h>

#include "config/registry.h"

std::ostream& operator<<(std::ostream& out, const RegValue& value) {
    out << value.name << " (type " << value.type << "): ";
    if (value.type == REG_SZ) {
        return out << '"' << value.data << '"';
    }
    return out << value.data.size() << " bytes";
}

void CreateKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetString(const std::string& path, const std::string& name, const std::string& text) {
    CreateKey(path);
    NT_RegKey key(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS);
    ASSERT_TRUE(key.SetValue(name.c_str(), text.c_str()));
}

void SetNumber(const std::string& path, const std::string& name, DWORD number) {
    CreateKey(path);
    NT_RegKey key(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS);
    ASSERT_TRUE(key.SetValue(name.c_str(), number));
}

void DeleteKeyTree(const std::string& path) {
    for (const std::string& child : SubKeysOf(path)) {
        DeleteKeyTree(path + "\\" + child);
    }
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()), ERROR_SUCCESS);
}

bool KeyExists(const std::string& path) {
    return NT_RegKey(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ).IsValid() != 0;
}

std::vector<RegValue> ValuesOf(const std::string& path) {
    std::vector<RegValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ADD_FAILURE() << "no key " << path;
        return values;
    }
    for (DWORD index = 0;; ++index) {
        std::vector<char> name(20000);
        std::vector<BYTE> data(4096);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        RegValue value;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &value.type, data.data(),
                          &dataLength) != ERROR_SUCCESS) {
            break;
        }
        value.name.assign(name.data(), nameLength);
        value.data.assign(reinterpret_cast<const char*>(data.data()), dataLength);
        if (value.type == REG_SZ && !value.data.empty() && value.data.back() == '\0') {
            value.data.pop_back();
        }
        values.push_back(std::move(value));
    }
    RegCloseKey(key);
    return values;
}

std::vector<std::string> SubKeysOf(const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
}
