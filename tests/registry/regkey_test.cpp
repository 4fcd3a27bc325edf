#include "config/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/registry/temp_registry.h"

namespace {

constexpr const char* kClasses = "SOFTWARE\\Kestrova\\TLVS Client\\Admin\\Profile Classes";

void WriteRaw(const char* path, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace

TEST(NtRegKey, KeyFromAnInvalidParentFailsEveryOperation) {
    TempRegistry registry;
    NT_RegKey missing(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", KEY_ALL_ACCESS);
    ASSERT_FALSE(missing.IsValid());
    NT_RegKey child(missing, "Child", KEY_ALL_ACCESS);
    EXPECT_FALSE(child.IsValid());

    char buffer[16] = "untouched";
    DWORD number = 7;
    DWORD count = 9;
    DWORD longestName = 9;
    DWORD longestData = 9;
    EXPECT_EQ(child.GetValue("v", buffer, sizeof buffer), 0);
    EXPECT_EQ(child.GetValue("v", &number), 0);
    EXPECT_EQ(child.SetValue("v", "text"), 0);
    EXPECT_EQ(child.SetValue("v", DWORD{1}), 0);
    EXPECT_EQ(child.DelValue("v"), 0);
    EXPECT_EQ(child.DeleteSubKey("x"), 0);
    EXPECT_EQ(child.CreateSubKey("x", KEY_ALL_ACCESS), nullptr);
    EXPECT_EQ(child.GetNumberOfSubKeys(count), 0);
    EXPECT_EQ(child.GetSubKeyName(0, buffer, sizeof buffer), 0);
    EXPECT_EQ(child.GetValueDetails(count, longestName, longestData), 0);
    EXPECT_EQ(child.GetStringValue(0, buffer, sizeof buffer, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(longestName, 9u);
    NT_RegKey root(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ);
    EXPECT_FALSE(root.IsValid());  // nothing was created on the way
}

TEST(NtRegKey, StringReadsAreAlwaysTerminatedOrFail) {
    TempRegistry registry;
    WriteRaw("SOFTWARE\\Text", "short", REG_SZ, "tcp:localhost:2020");  // no NUL stored
    WriteRaw("SOFTWARE\\Text", "exact", REG_SZ, "12345678");
    WriteRaw("SOFTWARE\\Text", "exactWithNul", REG_SZ, std::string("1234567\0", 8));
    NT_RegKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Text", KEY_READ);
    ASSERT_TRUE(key.IsValid());

    char large[2048];
    std::memset(large, 'x', sizeof large);
    ASSERT_EQ(key.GetValue("short", large, sizeof large), 1);
    EXPECT_STREQ(large, "tcp:localhost:2020");

    char exact[8];
    std::memset(exact, 'x', sizeof exact);
    EXPECT_EQ(key.GetValue("exact", exact, sizeof exact), 0);  // would be unterminated
    EXPECT_EQ(key.GetValue("exactWithNul", exact, sizeof exact), 1);
    EXPECT_STREQ(exact, "1234567");
    char small[4];
    EXPECT_EQ(key.GetValue("short", small, sizeof small), 0);
    EXPECT_EQ(key.GetValue("missing", large, sizeof large), 0);
}

TEST(NtRegKey, NumbersAreReadOnlyFromFourByteDwords) {
    TempRegistry registry;
    NT_RegKey parent(HKEY_LOCAL_MACHINE, "", KEY_ALL_ACCESS);
    NT_RegKey key(parent.CreateSubKey("SOFTWARE\\Numbers", KEY_ALL_ACCESS));
    ASSERT_EQ(key.SetValue("count", DWORD{0x01020304}), 1);
    ASSERT_EQ(key.SetValue("text", "42"), 1);
    WriteRaw("SOFTWARE\\Numbers", "short", REG_DWORD, "\x05\x06");

    DWORD number = 99;
    EXPECT_EQ(key.GetValue("text", &number), 0);
    EXPECT_EQ(number, 99u);
    EXPECT_EQ(key.GetValue("short", &number), 0);
    EXPECT_EQ(number, 99u);
    EXPECT_EQ(key.GetValue("count", &number), 1);
    EXPECT_EQ(number, 0x01020304u);

    char text[8];
    ASSERT_EQ(key.GetValue("text", text, sizeof text), 1);
    EXPECT_STREQ(text, "42");
    EXPECT_EQ(key.DelValue("text"), 1);
    EXPECT_EQ(key.DelValue("text"), 0);
}

TEST(NtRegKey, EnumeratesATableTheWayTheServerTableIsRead) {
    TempRegistry registry;
    const char* table = "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";
    WriteRaw(table, "Default_Server", REG_SZ, std::string("tcp:localhost:2020\0", 19));
    WriteRaw(table, "Counter", REG_DWORD, std::string(4, '\0'));
    WriteRaw(table, "Bare", REG_SZ, "tcp:bare:2020");
    NT_RegKey key(HKEY_LOCAL_MACHINE, table, GENERIC_READ);

    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    ASSERT_EQ(key.GetValueDetails(count, longestName, longestData), 1);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(longestName, 14u);
    EXPECT_EQ(longestData, 19u);

    char name[100];
    char data[100];
    ASSERT_EQ(key.GetStringValue(0, name, sizeof name, data, sizeof data), 1);
    EXPECT_STREQ(name, "Default_Server");
    EXPECT_STREQ(data, "tcp:localhost:2020");
    EXPECT_EQ(key.GetStringValue(1, name, sizeof name, data, sizeof data), 0);  // a REG_DWORD
    std::memset(data, 'x', sizeof data);
    ASSERT_EQ(key.GetStringValue(2, name, sizeof name, data, sizeof data), 1);
    EXPECT_STREQ(data, "tcp:bare:2020");
    EXPECT_EQ(key.GetStringValue(3, name, sizeof name, data, sizeof data), 0);
}

TEST(NtRegKey, SubKeysCountAndNameEvenWithAClassOnTheKey) {
    TempRegistry registry;
    HKEY created = nullptr;
    char className[] = "Associations";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kClasses, 0, className, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    NT_RegKey classes(created);
    NT_RegKey application(classes.CreateSubKey("Application", KEY_WRITE));
    ASSERT_EQ(application.SetValue("Editor", "/usr/bin/appedit"), 1);
    NT_RegKey service(classes.CreateSubKey("ASI Map", KEY_WRITE));
    ASSERT_TRUE(service.IsValid());

    NT_RegKey reader(HKEY_LOCAL_MACHINE, kClasses, 0x3001F);
    DWORD count = 0;
    ASSERT_EQ(reader.GetNumberOfSubKeys(count), 1);
    EXPECT_EQ(count, 2u);
    char name[256];
    ASSERT_EQ(reader.GetSubKeyName(0, name, sizeof name), 1);
    EXPECT_STREQ(name, "Application");
    ASSERT_EQ(reader.GetSubKeyName(1, name, sizeof name), 1);
    EXPECT_STREQ(name, "ASI Map");
    EXPECT_EQ(reader.GetSubKeyName(2, name, sizeof name), 0);

    NT_RegKey classKey(reader, "application", KEY_READ);
    char editor[2048];
    ASSERT_EQ(classKey.GetValue("Editor", editor, sizeof editor), 1);
    EXPECT_STREQ(editor, "/usr/bin/appedit");
    EXPECT_EQ(reader.DeleteSubKey("Application"), 1);
    EXPECT_EQ(reader.DeleteSubKey("Application"), 0);
}

TEST(NtRegKey, ValueExistsWhateverTheValueSize) {
    TempRegistry registry;
    WriteRaw(kClasses, "DefaultEditor", REG_SZ, std::string(300, 'p'));
    NT_RegKey root(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova", KEY_READ);
    EXPECT_EQ(root.ValueExists("TLVS Client\\Admin\\Profile Classes", "DefaultEditor"), 1);
    EXPECT_EQ(root.ValueExists("TLVS Client\\Admin\\Profile Classes", "Other"), 0);
    EXPECT_EQ(root.ValueExists("TLVS Client\\Missing", "DefaultEditor"), 0);

    NT_RegKey readOnly(HKEY_LOCAL_MACHINE, kClasses, KEY_READ);
    EXPECT_EQ(readOnly.SetValue("DefaultEditor", "x"), 0);  // opened for reading only
    EXPECT_EQ(readOnly.CreateSubKey("New", KEY_WRITE), nullptr);
}
