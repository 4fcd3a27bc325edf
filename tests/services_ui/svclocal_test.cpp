// Whether the administered server is local, read from a real registry file.

#include "services/ui/svclocal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "config/registry.h"
#include "config/srventry.h"
#include "platform/machine/machine.h"
#include "tests/registry/temp_registry.h"

namespace {

void SetEntry(const char* name, const std::string& connection) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAdministrationTableKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    NT_RegKey table(key);
    ASSERT_TRUE(table.SetValue(name, connection.c_str()));
}

TEST(ServerIsLocalTest, LocalhostAnywhereInTheConnectionString) {
    const TempRegistry registry;
    EXPECT_EQ(IsServerLocal("Main"), 0);  // no table yet

    SetEntry("Main", "tcp:localhost:2020");
    SetEntry("Remote", "tcp:server7:2020");
    // 40 characters: longer than the old 32-byte buffer took.
    const std::string longLocal = "tcp:localhost.telvane-lab.example.n:2020";
    ASSERT_EQ(longLocal.size(), 40u);
    SetEntry("Long", longLocal);
    const std::string longest = "tcp:localhost" + std::string(81, 'x') + ":2020";
    ASSERT_EQ(longest.size(), 99u);
    SetEntry("Longest", longest);
    SetEntry("TooLong", longest + "0");

    EXPECT_EQ(IsServerLocal("Main"), 1);
    EXPECT_EQ(IsServerLocal("main"), 1);  // registry names ignore letter case
    EXPECT_EQ(IsServerLocal("Long"), 1);
    EXPECT_EQ(IsServerLocal("Longest"), 1);
    EXPECT_EQ(IsServerLocal("TooLong"), 0);  // beyond the table's own limit
    EXPECT_EQ(IsServerLocal("Remote"), 0);
    EXPECT_EQ(IsServerLocal("Missing"), 0);
    EXPECT_EQ(IsServerLocal(nullptr), 0);
}

TEST(ServerIsLocalTest, ComputerNameIsTheShortHostName) {
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::optional<std::string> name = tlv::platform::ComputerName();
    ASSERT_TRUE(name.has_value());
    EXPECT_LE(name->size(), tlv::platform::MAX_COMPUTERNAME_LENGTH);
    EXPECT_FALSE(name->empty());
    EXPECT_EQ(std::string(host).rfind(*name, 0), 0u);  // a prefix of the host name
    EXPECT_EQ(name->find('.'), std::string::npos);
}

}  // namespace
