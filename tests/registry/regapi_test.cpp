#include "platform/registry/regapi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/registry/temp_registry.h"

namespace {

const BYTE* Bytes(const std::string& data) {
    return reinterpret_cast<const BYTE*>(data.data());
}

HKEY Create(HKEY parent, const char* path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    return key;
}

HKEY Open(const char* path, REGSAM access) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &key), ERROR_SUCCESS) << path;
    return key;
}

LONG SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, Bytes(text), static_cast<DWORD>(text.size() + 1));
}

std::string ReadRaw(HKEY key, const char* name, DWORD* type = nullptr) {
    std::string data(64, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    EXPECT_EQ(
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<LPBYTE>(data.data()), &size),
        ERROR_SUCCESS);
    data.resize(size);
    return data;
}

std::vector<std::string> SubKeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    DWORD length = sizeof name;
    for (DWORD i = 0;
         RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

TEST(RegApi, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    TempRegistry registry;
    HKEY created = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova\\TLVS Client");
    ASSERT_EQ(SetText(created, "DefaultEditor", "/usr/bin/tlvedit"), ERROR_SUCCESS);

    HKEY opened = Open("software\\KESTROVA\\tlvs client", KEY_ALL_ACCESS);
    EXPECT_EQ(ReadRaw(opened, "DEFAULTEDITOR"), std::string("/usr/bin/tlvedit\0", 17));
    ASSERT_EQ(SetText(opened, "defaulteditor", "/opt/editor"), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(created), std::vector<std::string>{"DefaultEditor"});
    EXPECT_EQ(ReadRaw(created, "DefaultEditor"), std::string("/opt/editor\0", 12));

    HKEY software = Open("SOFTWARE", KEY_READ);
    EXPECT_EQ(SubKeyNames(software), std::vector<std::string>{"Kestrova"});
    DWORD disposition = 0;
    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTROVA", 0, nullptr, 0, KEY_READ,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    for (HKEY key : {created, opened, software, again}) {
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
}

TEST(RegApi, SubKeysSortWithoutCaseAndValuesKeepTheirFirstWriteOrder) {
    TempRegistry registry;
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Order");
    for (const char* name : {"b", "_x", "A", "C"}) {
        RegCloseKey(Create(key, name));
    }
    // Upper-cased order, as the platform sorts: '_' comes after the letters.
    EXPECT_EQ(SubKeyNames(key), (std::vector<std::string>{"A", "b", "C", "_x"}));
    char name[8];
    EXPECT_EQ(RegEnumKeyA(key, 4, name, sizeof name), ERROR_NO_MORE_ITEMS);

    for (const char* value : {"zeta", "alpha", "mid"}) {
        ASSERT_EQ(SetText(key, value, value), ERROR_SUCCESS);
    }
    ASSERT_EQ(SetText(key, "ZETA", "rewritten"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "alpha"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, "Alpha", "back"), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "mid", "Alpha"}));
    EXPECT_EQ(RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST(RegApi, RawBytesAndTypesAreKeptExactly) {
    TempRegistry registry;
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Raw");
    const std::string unterminated = "tcp:host:2020";
    const std::string binary("\0\x01\xff\0", 4);
    ASSERT_EQ(RegSetValueExA(key, "text", 0, REG_SZ, Bytes(unterminated),
                             static_cast<DWORD>(unterminated.size())),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "blob", 0, REG_BINARY, Bytes(binary), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, 11, Bytes(binary), 2), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);

    DWORD type = 0;
    EXPECT_EQ(ReadRaw(key, "text", &type), unterminated);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(ReadRaw(key, "blob", &type), binary);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(ReadRaw(key, "", &type), binary.substr(0, 2));
    EXPECT_EQ(type, 11u);
    EXPECT_EQ(ReadRaw(key, "empty"), "");
    EXPECT_EQ(RegSetValueExA(key, "bad", 0, REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST(RegApi, SmallBuffersReportMoreDataWithTheSizeNeeded) {
    TempRegistry registry;
    HKEY key = nullptr;
    char className[] = "ProfileClass";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sizes", 0, className, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, "LongerName", "0123456789"), ERROR_SUCCESS);
    RegCloseKey(Create(key, "SubKeyName"));

    char data[4] = {'x', 'x', 'x', 'x'};
    DWORD size = sizeof data;
    DWORD type = 0;
    EXPECT_EQ(
        RegQueryValueExA(key, "longername", nullptr, &type, reinterpret_cast<LPBYTE>(data), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(type, REG_SZ);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "LongerName", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 11u);

    char name[10];
    DWORD nameLength = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof name), ERROR_MORE_DATA);

    char smallClass[4];
    DWORD classLength = sizeof smallClass;
    DWORD subKeys = 0, values = 0, longestName = 0, longestData = 0, longestSubKey = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, smallClass, &classLength, nullptr, &subKeys, &longestSubKey,
                               nullptr, &values, &longestName, &longestData, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(longestSubKey, 10u);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(longestName, 10u);
    EXPECT_EQ(longestData, 11u);
    char fullClass[16];
    classLength = sizeof fullClass;
    EXPECT_EQ(RegQueryInfoKeyA(key, fullClass, &classLength, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(fullClass, "ProfileClass");
    RegCloseKey(key);
}

TEST(RegApi, AccessMasksAreEnforced) {
    TempRegistry registry;
    HKEY setup = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Access\\Child");
    ASSERT_EQ(SetText(setup, "v", "1"), ERROR_SUCCESS);
    RegCloseKey(setup);

    HKEY reader = Open("SOFTWARE\\Access", KEY_READ);
    EXPECT_EQ(SetText(reader, "v", "2"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(reader, "Child"), ERROR_ACCESS_DENIED);
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "New", 0, nullptr, 0, KEY_READ, nullptr, &created, nullptr),
              ERROR_ACCESS_DENIED);
    char name[16];
    EXPECT_EQ(RegEnumKeyA(reader, 0, name, sizeof name), ERROR_SUCCESS);

    HKEY generic = Open("SOFTWARE\\Access\\Child", GENERIC_READ);
    EXPECT_EQ(ReadRaw(generic, "v"), std::string("1\0", 2));
    EXPECT_EQ(RegDeleteValueA(generic, "v"), ERROR_ACCESS_DENIED);

    HKEY queryOnly = Open("SOFTWARE\\Access", KEY_QUERY_VALUE);
    EXPECT_EQ(RegEnumKeyA(queryOnly, 0, name, sizeof name), ERROR_ACCESS_DENIED);

    HKEY writer = Open("SOFTWARE\\Access\\Child", KEY_WRITE);
    EXPECT_EQ(SetText(writer, "v", "3"), ERROR_SUCCESS);
    DWORD size = sizeof name;
    EXPECT_EQ(
        RegQueryValueExA(writer, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(name), &size),
        ERROR_ACCESS_DENIED);
    for (HKEY key : {reader, generic, queryOnly, writer}) {
        RegCloseKey(key);
    }
}

TEST(RegApi, HandlesAreCheckedAndDeletedKeysStayDeleted) {
    TempRegistry registry;
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Handles\\Leaf");
    HKEY parent = Open("SOFTWARE\\Handles", KEY_ALL_ACCESS);
    ASSERT_EQ(SetText(key, "v", "x"), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Handles"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegDeleteKeyA(parent, "leaf"), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, "v", "y"), ERROR_KEY_DELETED);
    RegCloseKey(Create(parent, "Leaf"));  // a new key of the same name is another key
    EXPECT_EQ(SetText(key, "v", "y"), ERROR_KEY_DELETED);
    HKEY fresh = Open("SOFTWARE\\Handles\\Leaf", KEY_READ);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(fresh, "v", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetText(key, "v", "z"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetText(nullptr, "v", "z"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetText(reinterpret_cast<HKEY>(std::uintptr_t{0xdead}), "v", "z"),
              ERROR_INVALID_HANDLE);
    RegCloseKey(fresh);
    RegCloseKey(parent);
}

TEST(RegApi, MalformedPathsAndOversizedNamesAreRefused) {
    TempRegistry registry;
    HKEY key = nullptr;
    for (const char* path : {"\\SOFTWARE", "SOFTWARE\\\\X", "SOFTWARE\\"}) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_BAD_PATHNAME)
            << path;
    }
    const std::string longName(REG_MAX_KEY_NAME + 1, 'k');
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_INVALID_PARAMETER);
}

TEST(RegApi, TransactionKeepsNothingUnlessCommitted) {
    TempRegistry registry;
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Table");
    ASSERT_EQ(SetText(key, "Old", "kept"), ERROR_SUCCESS);
    {
        RegTransaction transaction;
        ASSERT_EQ(transaction.Status(), ERROR_SUCCESS);
        RegTransaction nested;
        EXPECT_NE(nested.Status(), ERROR_SUCCESS);
        ASSERT_EQ(RegDeleteValueA(key, "Old"), ERROR_SUCCESS);
        ASSERT_EQ(SetText(key, "New", "dropped"), ERROR_SUCCESS);
        RegCloseKey(Create(key, "Sub\\Deeper"));
        // A failing call inside leaves the transaction's earlier work alone.
        EXPECT_EQ(RegDeleteKeyA(key, "Sub"), ERROR_ACCESS_DENIED);
        EXPECT_EQ(ValueNames(key), std::vector<std::string>{"New"});
    }
    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Old"});
    EXPECT_TRUE(SubKeyNames(key).empty());

    RegTransaction transaction;
    ASSERT_EQ(SetText(key, "New", "kept"), ERROR_SUCCESS);
    EXPECT_EQ(transaction.Commit(), ERROR_SUCCESS);
    EXPECT_NE(transaction.Commit(), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Old", "New"}));
    RegCloseKey(key);
}
