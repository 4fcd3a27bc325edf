#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <memory>
#include <string>

#include "config/registry.h"
#include "platform/registry/regapi.h"
#include "tests/registry/child_process.h"
#include "tests/registry/temp_registry.h"

namespace {

constexpr const char* kTable = "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Standard";

DWORD ValueCount(const char* path) {
    NT_RegKey key(HKEY_LOCAL_MACHINE, path, KEY_READ);
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    EXPECT_EQ(key.GetValueDetails(count, longestName, longestData), 1);
    return count;
}

std::string IntegrityCheck(const std::string& file) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &statement, nullptr);
    std::string result = "no result";
    if (sqlite3_step(statement) == SQLITE_ROW) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return result;
}

}  // namespace

TEST(RegistryProcesses, TwoWritersAtOnceLoseNothing) {
    TempRegistry registry;
    constexpr int kValuesEach = 200;
    const std::string count = std::to_string(kValuesEach);
    ChildProcess first({REGISTRY_TEST_WRITER, "write", registry.File(), kTable, "a", count});
    ChildProcess second({REGISTRY_TEST_WRITER, "write", registry.File(), kTable, "b", count});
    ASSERT_TRUE(first.IsRunning() && second.IsRunning());
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);

    EXPECT_EQ(ValueCount(kTable), 2u * kValuesEach);
    NT_RegKey key(HKEY_LOCAL_MACHINE, kTable, KEY_READ);
    char data[16];
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kValuesEach; ++i) {
            const std::string name = prefix + std::to_string(i);
            ASSERT_EQ(key.GetValue(name.c_str(), data, sizeof data), 1) << name;
            EXPECT_EQ(name, data);
        }
    }
}

TEST(RegistryProcesses, WriterKilledInsideATransactionLeavesEarlierDataIntact) {
    TempRegistry registry;
    {
        NT_RegKey root(HKEY_LOCAL_MACHINE, "", KEY_ALL_ACCESS);
        NT_RegKey table(root.CreateSubKey(kTable, KEY_ALL_ACCESS));
        ASSERT_EQ(table.SetValue("Default_Server", "tcp:localhost:2019"), 1);
    }
    ChildProcess writer({REGISTRY_TEST_WRITER, "hold", registry.File(), kTable, "50"});
    ASSERT_EQ(writer.ReadLine(), "ready");
    const int status = writer.KillAndWait(SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(IntegrityCheck(registry.File()), "ok");
    std::string message;
    ASSERT_EQ(RegUseRegistryFile(registry.File(), &message), ERROR_SUCCESS) << message;
    EXPECT_EQ(ValueCount(kTable), 1u);
    NT_RegKey table(HKEY_LOCAL_MACHINE, kTable, KEY_ALL_ACCESS);
    char data[32];
    ASSERT_EQ(table.GetValue("Default_Server", data, sizeof data), 1);
    EXPECT_STREQ(data, "tcp:localhost:2019");
    EXPECT_EQ(table.SetValue("After", "written"), 1);  // the dead writer's lock is gone
}
