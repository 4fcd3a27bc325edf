// Reading and rewriting a server entry table in a real registry file.

#include "config/srvtable.h"

#include <gtest/gtest.h>

#include "resources/stringids.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const std::string kTable = kStandardTableKey;

ServerList ListOf(std::initializer_list<ServerEntry> entries) {
    ServerList list;
    for (const ServerEntry& entry : entries) {
        list.Add(entry);
    }
    return list;
}

RegValue Text(std::string name, std::string data) {
    return {std::move(name), REG_SZ, std::move(data)};
}

RegValue Number(std::string name, DWORD number) {
    return {std::move(name), REG_DWORD,
            std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

TEST(ServerTableRead, KeepsStringValuesSortedAndSkipsOthers) {
    TempRegistry registry;
    SetString(kTable, "zeta", "tcp:z:2019");
    SetNumber(kTable, "Flags", 7);
    SetString(kTable, "Alpha", "tcp:a:2019");
    // Longer than an entry should be, but stored: it is shown, not lost.
    SetString(kTable, "Long", "tcp:" + std::string(200, 'h') + ":2019");

    ServerList list = ListOf({{"stale", "tcp:s:1"}});
    ReadServerTable(kTable.c_str(), list);
    ASSERT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.At(0), (ServerEntry{"Alpha", "tcp:a:2019"}));
    EXPECT_EQ(list.At(1).connection.size(), 209u);
    EXPECT_EQ(list.At(2), (ServerEntry{"zeta", "tcp:z:2019"}));
}

TEST(ServerTableRead, MissingKeyReadsEmptyAndIsNotCreatedBySaving) {
    TempRegistry registry;
    ServerList list = ListOf({{"stale", "tcp:s:1"}});
    ReadServerTable(kTable.c_str(), list);
    EXPECT_EQ(list.Size(), 0u);

    EXPECT_EQ(WriteServerTable(kTable.c_str(), ListOf({{"New", "tcp:n:2019"}})),
              IDS_REGISTRY_ACCESS_FAILED);
    EXPECT_FALSE(KeyExists(kTable));
}

TEST(ServerTableWrite, ReplacesStringValuesAndKeepsEveryOtherType) {
    TempRegistry registry;
    // A value of another type in front used to stop the old entries from being deleted.
    SetNumber(kTable, "Flags", 7);
    SetString(kTable, "Old", "tcp:o:2019");
    SetNumber(kTable, "Count", 2);
    SetString(kTable, "Kept", "tcp:k:1");

    const ServerList list = ListOf({{"Kept", "tcp:k:2019"}, {"Beta", "tcp:b:2019"}});
    ASSERT_EQ(WriteServerTable(kTable.c_str(), list), 0u);
    EXPECT_EQ(ValuesOf(kTable),
              (std::vector<RegValue>{Number("Flags", 7), Number("Count", 2),
                                     Text("Beta", "tcp:b:2019"), Text("Kept", "tcp:k:2019")}));

    ASSERT_EQ(WriteServerTable(kTable.c_str(), ServerList{}), 0u);
    EXPECT_EQ(ValuesOf(kTable), (std::vector<RegValue>{Number("Flags", 7), Number("Count", 2)}));
}

TEST(ServerTableWrite, AFailureHalfWayLeavesTheTableAsItWas) {
    TempRegistry registry;
    SetString(kTable, "First", "tcp:f:2019");
    SetNumber(kTable, "Flags", 7);
    SetString(kTable, "Second", "tcp:s:2019");
    const std::vector<RegValue> before = ValuesOf(kTable);

    // The last entry's name is over the store's limit for value names: its write fails after
    // the old entries were deleted and the first new ones written.
    const ServerList list = ListOf({{"Aa", "tcp:a:2019"},
                                    {"Bb", "tcp:b:2019"},
                                    {"Z" + std::string(REG_MAX_VALUE_NAME, 'z'), "tcp:z:2019"}});
    EXPECT_EQ(WriteServerTable(kTable.c_str(), list), IDS_REGISTRY_UPDATE_FAILED);
    EXPECT_EQ(ValuesOf(kTable), before);

    // The registry is usable afterwards: no transaction was left open.
    ASSERT_EQ(WriteServerTable(kTable.c_str(), ListOf({{"Aa", "tcp:a:2019"}})), 0u);
    EXPECT_EQ(ValuesOf(kTable),
              (std::vector<RegValue>{Number("Flags", 7), Text("Aa", "tcp:a:2019")}));
}

TEST(ServerTableWrite, ReadBackGivesTheSameList) {
    TempRegistry registry;
    CreateKey(kTable);
    const ServerList list = ListOf({{"b", "tcp:b:1"}, {"A", "tcp:a:2"}, {"C", "udp:c:3"}});
    ASSERT_EQ(WriteServerTable(kTable.c_str(), list), 0u);
    ServerList read;
    ReadServerTable(kTable.c_str(), read);
    EXPECT_EQ(read.Entries(), list.Entries());
}

}  // namespace
