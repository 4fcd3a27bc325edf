#pragma once
// Shared pieces of the end-to-end tests: a temporary registry holding the administration server
// table, owned KV sets and records, readers of result arrays, and a fixture that runs a real
// tlvsd with a session open to it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "s100/s100.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::e2e {

inline constexpr const char* kEntryName = "TestServer";

// A registry file in a temporary folder, made the process's registry.
class ServerTable final {
public:
    ServerTable();
    ServerTable(const ServerTable&) = delete;
    ServerTable& operator=(const ServerTable&) = delete;

    // Writes the entry as a REG_SZ value of the administration table, and the test key for it.
    void setEntry(const std::string& name, const std::string& connectString);
    // Writes a value of another type under the entry's name.
    void setDwordEntry(const std::string& name, std::uint32_t value);

private:
    tlv::test::TempDir m_folder;
};

// A KV set created on construction, destroyed with the object.
class KvSet final {
public:
    KvSet();
    ~KvSet();
    KvSet(const KvSet&) = delete;
    KvSet& operator=(const KvSet&) = delete;
    CTkvs get() const { return m_handle; }

private:
    CTkvs m_handle = 0;
};

// An event-information record with its own result set.
class Record final {
public:
    Record();
    CTevtinfo* get() { return &m_info; }
    CTkvs results() const { return m_results.get(); }
    CTerror error() const { return m_info.error; }

private:
    KvSet m_results;
    CTevtinfo m_info{};
};

// The record's error after a call, checking that the status agrees with it.
CTerror outcome(CTstatus status, const Record& record);

std::vector<std::string> stringArray(CTkvs set, CTsymbol key);
std::vector<CTsymbol> symbolArray(CTkvs set, CTsymbol key);
std::vector<CTbool> boolArray(CTkvs set, CTsymbol key);

// Opens a session to the entry; the record's error when that fails (session left 0).
CTerror openSession(const std::string& entryName, CTsession& session);

// A tlvsd process on its own data folder, entered in the server table as kEntryName, with one
// session open to it.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the server with extra arguments (restarting it when it runs) and opens m_session.
    void startServer(const std::vector<std::string>& extraArgs);
    void closeSession();

    ServerTable m_table;
    tlv::test::TempDir m_data;
    tlv::test::TlvsdProcess m_server;
    CTsession m_session = 0;
};

}  // namespace tlv::e2e
