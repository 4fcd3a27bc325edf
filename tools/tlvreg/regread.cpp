#include "tools/tlvreg/regread.h"

namespace {

LONG ReadSubKeys(HKEY key, DWORD count, DWORD longestName, std::vector<std::string>& names) {
    std::string buffer(longestName + 1, '\0');
    for (DWORD index = 0; index < count; ++index) {
        if (const LONG rc = RegEnumKeyA(key, index, buffer.data(), longestName + 1);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        names.emplace_back(buffer.c_str());
    }
    return ERROR_SUCCESS;
}

LONG ReadValues(HKEY key, DWORD count, DWORD longestName, DWORD longestData,
                std::vector<RegValue>& values) {
    std::string name(longestName + 1, '\0');
    std::string data(longestData, '\0');
    for (DWORD index = 0; index < count; ++index) {
        DWORD nameLength = longestName + 1;
        DWORD dataLength = longestData;
        RegValue value;
        if (const LONG rc =
                RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &value.type,
                              reinterpret_cast<LPBYTE>(data.data()), &dataLength);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        value.name.assign(name.data(), nameLength);
        value.data.assign(data.data(), dataLength);
        values.push_back(std::move(value));
    }
    return ERROR_SUCCESS;
}

}  // namespace

LONG ReadKeyContents(HKEY key, KeyContents& contents) {
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD longestData = 0;
    if (const LONG rc =
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr,
                             &values, &longestValueName, &longestData, nullptr, nullptr);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    contents = {};
    if (const LONG rc = ReadSubKeys(key, subKeys, longestSubKey, contents.subKeys);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    return ReadValues(key, values, longestValueName, longestData, contents.values);
}
