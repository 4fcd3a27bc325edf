#pragma once
// Setting up and reading back registry tables in tests, below HKEY_LOCAL_MACHINE.

#include <ostream>
#include <string>
#include <vector>

#include "platform/registry/regapi.h"

struct RegValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;  // the stored bytes; string values without their NUL

    bool operator==(const RegValue&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RegValue& value);

void CreateKey(const std::string& path);
void SetString(const std::string& path, const std::string& name, const std::string& text);
void SetNumber(const std::string& path, const std::string& name, DWORD number);
// Deletes the key with everything below it.
void DeleteKeyTree(const std::string& path);
bool KeyExists(const std::string& path);
// Every value of the key, in the store's order.
std::vector<RegValue> ValuesOf(const std::string& path);
std::vector<std::string> SubKeysOf(const std::string& path);
