// Server entry rules: the order of the checks, the exact boundaries, the connection-string
// split and rebuild, and the sorted list.

#include "config/srventry.h"

#include <gtest/gtest.h>

#include "resources/stringids.h"

namespace {

ServerList ListOf(std::initializer_list<ServerEntry> entries) {
    ServerList list;
    for (const ServerEntry& entry : entries) {
        list.Add(entry);
    }
    return list;
}

unsigned ErrorOf(const ServerList& list, ServerEntryFields fields,
                 std::optional<std::size_t> edited = std::nullopt) {
    return CheckServerEntry(list, ServerTable::Administration, fields, edited).error;
}

TEST(ServerEntryCheck, ReportsTheFirstBrokenRuleInOrder) {
    const ServerList list = ListOf({{"Alpha", "tcp:alpha:2020"}});
    // Each case also breaks every later rule, so only the order decides the message.
    EXPECT_EQ(ErrorOf(list, {"Alpha", "a b", ""}), IDS_SERVER_EXISTS);
    EXPECT_EQ(ErrorOf(list, {"", "a b", ""}), IDS_SERVER_NAME_BLANK);
    EXPECT_EQ(ErrorOf(list, {"a b", "a b", ""}), IDS_SERVER_NAME_HAS_SPACE);
    EXPECT_EQ(ErrorOf(list, {"TLVS_Default_Server", "a b", ""}), IDS_SERVER_NAME_RESERVED);
    EXPECT_EQ(ErrorOf(list, {std::string(100, 'n'), "a b", ""}), IDS_SERVER_NAME_TOO_LONG);
    EXPECT_EQ(ErrorOf(list, {"Beta", "a b", ""}), IDS_CONNECTION_STRING_HAS_SPACE);
    EXPECT_EQ(ErrorOf(list, {"Beta", "a", ""}), IDS_CONNECTION_STRING_TOO_SHORT);
    EXPECT_EQ(ErrorOf(list, {"Beta", std::string(91, 'c'), "2020"}),  // 100
              IDS_CONNECTION_STRING_TOO_LONG);
}

TEST(ServerEntryCheck, BoundariesOfNameAndConnectionString) {
    const ServerList empty;
    EXPECT_EQ(ErrorOf(empty, {"tlvs_default_server", "host", "2020"}), 0u);
    EXPECT_EQ(ErrorOf(empty, {std::string(99, 'n'), "host", "2020"}), 0u);
    // "tcp:" and a colon make 5: one more character is 6, two are 7.
    EXPECT_EQ(ErrorOf(empty, {"Beta", "a", ""}), IDS_CONNECTION_STRING_TOO_SHORT);
    EXPECT_EQ(ErrorOf(empty, {"Beta", "ab", ""}), 0u);
    EXPECT_EQ(ErrorOf(empty, {"Beta", std::string(93, 'c'), "2"}), 0u);  // 99 characters

    EXPECT_EQ(CheckConnectionString("TCP:host:2020"), 0u);
    EXPECT_EQ(CheckConnectionString("Tcp:h:2"), 0u);
    EXPECT_EQ(CheckConnectionString("tcp:h:"), IDS_CONNECTION_STRING_TOO_SHORT);
    EXPECT_EQ(CheckConnectionString("udp:host:2020"), IDS_CONNECTION_STRING_NO_TCP);
    EXPECT_EQ(CheckConnectionString("tcp :host:2020"), IDS_CONNECTION_STRING_HAS_SPACE);
}

TEST(ServerEntryCheck, DuplicatesAndTheEntryBeingEdited) {
    const ServerList list = ListOf({{"Alpha", "tcp:a:2020"}, {"Beta", "tcp:b:2020"}});
    const std::size_t alpha = 0;
    EXPECT_EQ(ErrorOf(list, {"Alpha", "a", "2021"}, alpha), 0u);
    EXPECT_EQ(ErrorOf(list, {"Beta", "a", "2020"}, alpha), IDS_SERVER_EXISTS);
    // The table's store does not tell "beta" from "Beta": saving both would keep only one.
    EXPECT_EQ(ErrorOf(list, {"beta", "a", "2020"}, alpha), IDS_SERVER_EXISTS);
    EXPECT_EQ(ErrorOf(list, {"ALPHA", "a", "2020"}, alpha), 0u);
    EXPECT_EQ(ErrorOf(list, {"Alpha", "a", "2020"}), IDS_SERVER_EXISTS);
}

TEST(ServerEntryCheck, PortWarningsFollowTheTableAndDoNotRefuse) {
    const ServerList empty;
    const ServerEntryCheck admin =
        CheckServerEntry(empty, ServerTable::Administration, {"S", "host", "2019"}, {});
    EXPECT_EQ(admin.error, 0u);
    EXPECT_EQ(admin.warning, IDS_ADMIN_PORT_WARNING);
    EXPECT_EQ(admin.entry, (ServerEntry{"S", "tcp:host:2019"}));

    EXPECT_EQ(CheckServerEntry(empty, ServerTable::Standard, {"S", "host", "2020"}, {}).warning,
              IDS_STANDARD_PORT_WARNING);
    EXPECT_EQ(CheckServerEntry(empty, ServerTable::Standard, {"S", "host", "12019"}, {}).warning,
              IDS_STANDARD_PORT_WARNING);
    EXPECT_EQ(CheckServerEntry(empty, ServerTable::Standard, {"S", "host", "2019"}, {}).warning,
              0u);
    EXPECT_EQ(CheckServerEntry(empty, ServerTable::Administration, {"S", "h", "2020"}, {}).warning,
              0u);
    // No warning for an entry that is refused anyway.
    EXPECT_EQ(CheckServerEntry(empty, ServerTable::Standard, {"", "host", "1"}, {}).warning, 0u);
}

TEST(ConnectionString, SplitsAtTheFirstTwoColonsAndRebuildsWithTcp) {
    std::string computer = "kept";
    std::string port = "kept";
    EXPECT_FALSE(SplitConnectionString("host", computer, port));
    EXPECT_FALSE(SplitConnectionString("tcp:host", computer, port));
    EXPECT_EQ(computer, "kept");
    EXPECT_EQ(port, "kept");

    ASSERT_TRUE(SplitConnectionString("udp:box:20:21", computer, port));
    EXPECT_EQ(computer, "box");
    EXPECT_EQ(port, "20:21");
    EXPECT_EQ(BuildConnectionString(computer, port), "tcp:box:20:21");

    ServerEntryFields fields;
    ASSERT_EQ(FieldsOfEntry({"Old", "xyz:host:7000"}, fields), 0u);
    EXPECT_EQ(fields, (ServerEntryFields{"Old", "host", "7000"}));
    EXPECT_EQ(FieldsOfEntry({"Bad", "tcp-host-7000"}, fields), IDS_CONNECTION_STRING_INVALID);
    EXPECT_EQ(fields.name, "Old");
}

TEST(ConnectionString, NewEntryProposals) {
    ServerEntryFields fields;
    ASSERT_EQ(ProposeNewEntry(ServerTable::Standard, nullptr, fields), 0u);
    EXPECT_EQ(fields, (ServerEntryFields{"Untitled", "localhost", "2019"}));
    ASSERT_EQ(ProposeNewEntry(ServerTable::Administration, nullptr, fields), 0u);
    EXPECT_EQ(fields, (ServerEntryFields{"Untitled", "localhost", "2020"}));

    const ServerEntry templateEntry{"Main", "tcp:box:7000"};
    ASSERT_EQ(ProposeNewEntry(ServerTable::Standard, &templateEntry, fields), 0u);
    EXPECT_EQ(fields, (ServerEntryFields{"Untitled", "box", "7000"}));

    const ServerEntry malformed{"Bad", "box"};
    EXPECT_EQ(ProposeNewEntry(ServerTable::Standard, &malformed, fields),
              IDS_CONNECTION_STRING_INVALID);
    EXPECT_EQ(fields.computer, "box");

    EXPECT_EQ(TableOfKeyPath(kStandardTableKey), ServerTable::Standard);
    EXPECT_EQ(TableOfKeyPath(kAdministrationTableKey), ServerTable::Administration);
}

TEST(ServerListOrder, SortedWithoutCaseAndReplacedInPlaceOrMoved) {
    ServerList list = ListOf({{"delta", "tcp:d:1"}, {"Bravo", "tcp:b:1"}, {"charlie", "tcp:c:1"}});
    EXPECT_EQ(list.Add({"Alpha", "tcp:a:1"}), 0u);
    ASSERT_EQ(list.Size(), 4u);
    EXPECT_EQ(list.At(1).name, "Bravo");
    EXPECT_EQ(list.At(2).name, "charlie");

    EXPECT_EQ(list.Replace(1, {"Bravo", "tcp:b:2"}), 1u);
    EXPECT_EQ(list.At(1), (ServerEntry{"Bravo", "tcp:b:2"}));
    EXPECT_EQ(list.Replace(0, {"zulu", "tcp:z:1"}), 3u);
    EXPECT_EQ(list.At(0).name, "Bravo");
    EXPECT_EQ(list.At(3), (ServerEntry{"zulu", "tcp:z:1"}));

    list.Remove(7);  // no such row: nothing happens
    list.Remove(0);
    EXPECT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.At(0).name, "charlie");
}

}  // namespace
