// The user's registry over the machine's: reading through, writing only to the user's file,
// deleting what the machine has for this user alone, and reading with no user's file at all.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "config/srventry.h"
#include "config/srvtable.h"
#include "platform/registry/regapi.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kServers = "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";
constexpr const char* kEnvironment = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";

// Runs the writes as the administrator does: on the machine's file itself.
template <typename Writes>
void AsAdministrator(const TempRegistry& registry, Writes writes) {
    std::string message;
    ASSERT_EQ(RegUseRegistryFile(registry.MachineFile(), &message), ERROR_SUCCESS) << message;
    writes();
    ASSERT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
}

std::vector<std::string> Names(const std::vector<RegValue>& values) {
    std::vector<std::string> names;
    for (const RegValue& value : values)
        names.push_back(value.name);
    return names;
}

std::string JournalMode(const std::string& file) {
    sqlite3* db = nullptr;
    std::string mode;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr);
        if (sqlite3_step(statement) == SQLITE_ROW)
            mode = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return mode;
}

TEST(RegistryLayers, TheUsersFileReadsThroughAndLaterMachineEntriesReachIt) {
    TempRegistry registry;
    AsAdministrator(registry, [] {
        SetString(kServers, "Default_Server", "tcp:localhost:2020");
        SetString(kEnvironment, "RootPath", "/opt/kestrova");
    });
    // The user's own entry and an override of the machine's root, in the user's file only.
    SetString(kServers, "Lab", "tcp:lab:2020");
    SetString(kEnvironment, "ROOTPATH", "/home/alice/telvane");
    AsAdministrator(registry, [] { SetString(kServers, "Site2", "tcp:site2:2020"); });

    // The user's first, in their order, then the machine's; one value per name whatever the
    // letter case.
    EXPECT_EQ(ValuesOf(kServers), (std::vector<RegValue>{{"Lab", REG_SZ, "tcp:lab:2020"},
                                                         {"Default_Server", REG_SZ, "tcp:localhost:2020"},
                                                         {"Site2", REG_SZ, "tcp:site2:2020"}}));
    EXPECT_EQ(ValuesOf(kEnvironment),
              (std::vector<RegValue>{{"RootPath", REG_SZ, "/home/alice/telvane"}}));
    EXPECT_EQ(SubKeysOf("SOFTWARE\\Kestrova\\TLVS Client\\Servers"),
              std::vector<std::string>{"KSTV_Administration"});

    // RegQueryInfoKeyA counts the merged key.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServers, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 0;
    DWORD longestName = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               &longestName, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(longestName, 14u);

    // Nothing the user wrote reached the machine's file.
    AsAdministrator(registry, [] {
        EXPECT_EQ(Names(ValuesOf(kServers)), (std::vector<std::string>{"Default_Server", "Site2"}));
        EXPECT_EQ(ValuesOf(kEnvironment),
                  (std::vector<RegValue>{{"RootPath", REG_SZ, "/opt/kestrova"}}));
    });
    // Users who only read need no shared-memory file beside the machine's.
    EXPECT_EQ(JournalMode(registry.MachineFile()), "delete");
}

TEST(RegistryLayers, DeletingWhatTheMachineHasHidesItForThisUserOnly) {
    TempRegistry registry;
    AsAdministrator(registry, [] {
        SetString(kServers, "Default_Server", "tcp:localhost:2020");
        SetString(kServers, "Site2", "tcp:site2:2020");
        SetString("SOFTWARE\\Kestrova\\Old\\Leaf", "v", "x");
    });
    HKEY servers = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServers, 0, KEY_ALL_ACCESS, &servers),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(servers, "site2"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(servers, "Site2"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Names(ValuesOf(kServers)), std::vector<std::string>{"Default_Server"});
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(servers, "Site2", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(servers);

    // Keys: a key that shows sub-keys stays; a leaf goes, and so does what was above it once
    // it is empty. Creating it again brings the machine's values back into view.
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova\\Old"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova\\Old\\Leaf"), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists("SOFTWARE\\Kestrova\\Old\\Leaf"));
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrova\\Old"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeysOf("SOFTWARE\\Kestrova"), std::vector<std::string>{"TLVS Client"});
    CreateKey("SOFTWARE\\Kestrova\\Old\\Leaf");
    EXPECT_EQ(Names(ValuesOf("SOFTWARE\\Kestrova\\Old\\Leaf")), std::vector<std::string>{"v"});

    // The server entry dialog's rewrite keeps working with the machine's entries in the table:
    // the list as the operator left it, in its (sorted) order.
    ServerList list;
    list.Add({"Lab", "tcp:lab:2020"});
    list.Add({"Default_Server", "tcp:localhost:2021"});
    EXPECT_EQ(WriteServerTable(kServers, list), 0u);
    EXPECT_EQ(ValuesOf(kServers),
              (std::vector<RegValue>{{"Default_Server", REG_SZ, "tcp:localhost:2021"},
                                     {"Lab", REG_SZ, "tcp:lab:2020"}}));
    // Written again by the user, a hidden name shows the user's value.
    SetString(kServers, "Site2", "tcp:mine:2020");
    EXPECT_EQ(ValuesOf(kServers).back(), (RegValue{"Site2", REG_SZ, "tcp:mine:2020"}));

    AsAdministrator(registry, [] {
        EXPECT_EQ(ValuesOf(kServers),
                  (std::vector<RegValue>{{"Default_Server", REG_SZ, "tcp:localhost:2020"},
                                         {"Site2", REG_SZ, "tcp:site2:2020"}}));
        EXPECT_TRUE(KeyExists("SOFTWARE\\Kestrova\\Old\\Leaf"));
    });
}

TEST(RegistryLayers, ReadingWithoutAUsersFileReadsTheMachinesAndCreatesNothing) {
    TempRegistry registry;
    AsAdministrator(registry, [] { SetString(kEnvironment, "RootPath", "/opt/kestrova"); });
    const fs::path carol = fs::path(registry.Folder()) / "carol/kestrova/registry.db";
    std::string message;
    ASSERT_EQ(RegUseExistingRegistryFile(carol.string(), &message), ERROR_SUCCESS) << message;
    EXPECT_EQ(ValuesOf(kEnvironment), (std::vector<RegValue>{{"RootPath", REG_SZ, "/opt/kestrova"}}));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnvironment, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const char text[] = "x";
    EXPECT_EQ(RegSetValueExA(key, "RootPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 2),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(key, "RootPath"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    {
        // Reads grouped in a transaction, as tlvreg's query and export make them.
        RegTransaction reads;
        ASSERT_EQ(reads.Status(), ERROR_SUCCESS);
        EXPECT_EQ(ValuesOf(kEnvironment).size(), 1u);
        EXPECT_EQ(reads.Commit(), ERROR_SUCCESS);
    }
    EXPECT_FALSE(fs::exists(fs::path(registry.Folder()) / "carol"));

    // Without the machine's either, the missing file is named.
    fs::remove(registry.MachineFile());
    EXPECT_EQ(RegUseExistingRegistryFile(carol.string(), &message), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(message, "the registry " + carol.string() + " does not exist");
    EXPECT_FALSE(fs::exists(fs::path(registry.Folder()) / "carol"));
    ASSERT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
}

TEST(RegistryLayers, AnUnreadableMachineFileLeavesTheUsersOwnRegistry) {
    TempRegistry registry;
    AsAdministrator(registry, [] { SetString(kEnvironment, "RootPath", "/opt/kestrova"); });
    SetString(kEnvironment, "Mine", "yes");
    // Not a registry at all: the user's own values still read, nothing of the machine's.
    fs::remove(registry.MachineFile());
    fs::create_directory(registry.MachineFile());
    std::string message;
    ASSERT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
    EXPECT_EQ(ValuesOf(kEnvironment), (std::vector<RegValue>{{"Mine", REG_SZ, "yes"}}));
}

}  // namespace
