// Opening and closing sessions: resolving the entry, the connection string, the handshake.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "s100/client/entry_key.h"
#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/fake_server.h"

namespace tlv::e2e {
namespace {

using tlv::test::FakeServer;

void expectDestroyed(CTsession session) {
    Record record;
    EXPECT_EQ(CTses_Destroy(session, CT_kvsEmpty, record.get(), nullptr), CT_SUCCESS);
    EXPECT_EQ(record.error(), CTerr_NoError);
}

TEST(SessionTest, EntryNamesResolveWithoutRegardToCaseAndUnknownOnesAreRefused) {
    ServerTable table;
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    table.setEntry("Lab_Server", "TCP:127.0.0.1:" + std::to_string(server.port()));
    table.setDwordEntry("NotAString", 2020);

    CTsession session = 0;
    ASSERT_EQ(openSession("lab_server", session), CTerr_NoError);
    EXPECT_NE(session, 0u);
    expectDestroyed(session);

    EXPECT_EQ(openSession("Other_Server", session), CTerr_UnknownServer);
    EXPECT_EQ(session, 0u);
    EXPECT_EQ(openSession("NotAString", session), CTerr_UnknownServer);
    EXPECT_EQ(openSession("", session), CTerr_UnknownServer);
}

// A server and the entry "Keyed" naming it, with the test key as its key file.
class KeyedEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start({"--data", m_data.path()}));
        m_table.setEntry("Keyed", "tcp:127.0.0.1:" + std::to_string(m_server.port()));
        m_keyFile = tlv::client::entryKeyPath("Keyed");
        ASSERT_FALSE(m_keyFile.empty());
    }

    ServerTable m_table;
    tlv::test::TempDir m_data;
    tlv::test::TlvsdProcess m_server;
    std::string m_keyFile;
};

TEST_F(KeyedEntryTest, AnEntryWithoutItsPrivateKeyFileDoesNotConnect) {
    CTsession session = 0;
    ASSERT_EQ(chmod(m_keyFile.c_str(), 0644), 0);
    EXPECT_EQ(openSession("Keyed", session), CTerr_NoAdminKey) << "others can read it";
    ASSERT_EQ(chmod(m_keyFile.c_str(), 0600), 0);
    ASSERT_EQ(openSession("Keyed", session), CTerr_NoError);
    expectDestroyed(session);

    {
        std::ofstream other(m_keyFile, std::ios::binary | std::ios::trunc);
        other << std::string(tlv::wire::kAdminKeyBytes, 'w');
    }
    EXPECT_EQ(openSession("Keyed", session), CTerr_KeyRejected) << "another server's key";
    ASSERT_EQ(unlink(m_keyFile.c_str()), 0);
    EXPECT_EQ(openSession("Keyed", session), CTerr_NoAdminKey);
    EXPECT_EQ(session, 0u);
}

// As ssh does with a private key: a FIFO would hang the client, and a link, a key of another
// user or a folder others may write to could put someone else's key in its place.
TEST_F(KeyedEntryTest, AKeyFileThatIsNotPlainlyTheUsersOwnIsRefusedNamingTheReason) {
    const std::string folder = m_keyFile.substr(0, m_keyFile.rfind('/'));
    const auto refusal = [&]() {
        CTsession session = 0;
        EXPECT_EQ(openSession("Keyed", session), CTerr_NoAdminKey);
        std::string key;
        std::string problem;
        tlv::client::loadEntryKey("Keyed", key, problem);
        return problem;
    };

    ASSERT_EQ(chmod(folder.c_str(), 0770), 0);
    EXPECT_EQ(refusal(), m_keyFile + ": others may write to the folder " + folder);
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(m_keyFile.c_str(), 4321, 4321), 0);
        EXPECT_EQ(refusal(), m_keyFile + ": owned by another user");
        ASSERT_EQ(chown(m_keyFile.c_str(), 0, 0), 0);
    }
    const std::string saved = m_keyFile + ".saved";
    ASSERT_EQ(rename(m_keyFile.c_str(), saved.c_str()), 0);
    ASSERT_EQ(symlink(saved.c_str(), m_keyFile.c_str()), 0);
    EXPECT_EQ(refusal(), m_keyFile + ": a symbolic link; name the key file itself");
    ASSERT_EQ(unlink(m_keyFile.c_str()), 0);
    ASSERT_EQ(mkfifo(m_keyFile.c_str(), 0600), 0);
    EXPECT_EQ(refusal(), m_keyFile + ": not a regular file");
    ASSERT_EQ(unlink(m_keyFile.c_str()), 0);
    ASSERT_EQ(rename(saved.c_str(), m_keyFile.c_str()), 0);
    CTsession session = 0;
    ASSERT_EQ(openSession("Keyed", session), CTerr_NoError);
    expectDestroyed(session);
}

TEST(SessionTest, MalformedConnectStringsAreRefusedBeforeConnecting) {
    ServerTable table;
    const std::vector<std::string> malformed{"udp:127.0.0.1:2020",
                                             "tcp:127.0.0.1",
                                             "tcp::2020",
                                             "tcp:127.0.0.1:",
                                             "tcp:127.0.0.1:0",
                                             "tcp:127.0.0.1:65536",
                                             "tcp:127.0.0.1:20a0",
                                             "tcp:my host:2020",
                                             "tcp:127.0.0.1:-1",
                                             "tcp:",
                                             "",
                                             "tcp:127.0.0.1:123456"};
    for (const std::string& text : malformed) {
        table.setEntry("Bad", text);
        CTsession session = 0;
        EXPECT_EQ(openSession("Bad", session), CTerr_BadConnectString) << text;
    }
}

TEST(SessionTest, NothingListeningIsARefusedConnection) {
    ServerTable table;
    table.setEntry("Closed", "tcp:127.0.0.1:" + std::to_string(tlv::test::unusedLoopbackPort()));
    CTsession session = 0;
    EXPECT_EQ(openSession("Closed", session), CTerr_ConnectRefused);
}

TEST(SessionTest, AServerOfAnotherProtocolVersionIsAMismatch) {
    ServerTable table;
    FakeServer fake([](const tlv::wire::ClientFrame&) {
        return FakeServer::helloReply(false, tlv::wire::kProtocolVersion + 1);
    });
    table.setEntry("Future", "tcp:127.0.0.1:" + std::to_string(fake.port()));
    CTsession session = 0;
    EXPECT_EQ(openSession("Future", session), CTerr_ProtocolMismatch);
}

TEST(SessionTest, BadOptionsAndHandlesAreRefusedAndARecordIsOptional) {
    ServerTable table;
    Record record;
    CTsession session = 0;
    KvSet noName;
    EXPECT_EQ(CTses_Create(&session, "", 0, noName.get(), record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidArgument);

    KvSet wrongType;
    ASSERT_EQ(CTkvs_PutInt(wrongType.get(), KEY_ServerName, 7, nullptr), CT_SUCCESS);
    EXPECT_EQ(CTses_Create(&session, "", 0, wrongType.get(), record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidArgument);

    EXPECT_EQ(CTses_Create(&session, "", 0, 0xDEAD, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidHandle);
    EXPECT_EQ(CTses_Create(&session, "", 0, noName.get(), nullptr, nullptr), CT_FAILURE);
    EXPECT_EQ(CTses_Create(nullptr, "", 0, noName.get(), record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidArgument);

    EXPECT_EQ(CTses_Destroy(0x7777, CT_kvsEmpty, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidHandle);
    std::int32_t level = 0;
    EXPECT_EQ(CTadm_GetServerLevel(0x7777, &level, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidHandle);
}

TEST(SessionTest, ADestroyedSessionIsGoneAndTheSymbolTableLoadsForIt) {
    ServerTable table;
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    table.setEntry(kEntryName, "tcp:127.0.0.1:" + std::to_string(server.port()));
    CTsession session = 0;
    ASSERT_EQ(openSession(kEntryName, session), CTerr_NoError);

    Record record;
    EXPECT_EQ(CTsym_LoadTable(session, record.get(), nullptr), CT_SUCCESS);
    CTsymbol symbol = 0;
    EXPECT_EQ(CTsym_NameToSymbol(session, "KEY_ProfileNames", &symbol, nullptr), CT_SUCCESS);
    EXPECT_EQ(symbol, KEY_ProfileNames);
    CTerror error = CTerr_NoError;
    EXPECT_EQ(CTsym_UnloadTable(session, &error), CT_SUCCESS);

    expectDestroyed(session);
    EXPECT_EQ(CTses_Destroy(session, CT_kvsEmpty, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidHandle);
    std::int32_t level = 0;
    EXPECT_EQ(CTadm_GetServerLevel(session, &level, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidHandle);
}

}  // namespace
}  // namespace tlv::e2e
