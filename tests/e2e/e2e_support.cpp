#include "tests/e2e/e2e_support.h"

#include <stdlib.h>

#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"

namespace tlv::e2e {
namespace {

HKEY openTable() {
    HKEY key = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    return key;
}

void setValue(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = openTable();
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace

ServerTable::ServerTable() {
    const std::string file = m_folder.path() + "/registry.db";
    setenv("TLV_REGISTRY", file.c_str(), 1);
    std::string message;
    EXPECT_EQ(RegUseRegistryFile("", &message), ERROR_SUCCESS) << message;
}

void ServerTable::setEntry(const std::string& name, const std::string& connectString) {
    setValue(name, REG_SZ, connectString.c_str(), static_cast<DWORD>(connectString.size() + 1));
    EXPECT_TRUE(tlv::test::installEntryKey(name)) << name;
}

void ServerTable::setDwordEntry(const std::string& name, std::uint32_t value) {
    setValue(name, REG_DWORD, &value, sizeof value);
}

KvSet::KvSet() {
    CTerror error = CTerr_NoError;
    EXPECT_EQ(CTkvs_Create(&m_handle, &error), CT_SUCCESS) << std::hex << error;
}

KvSet::~KvSet() {
    CTkvs_Destroy(m_handle, nullptr);
}

Record::Record() {
    m_info.size = sizeof m_info;
    m_info.kvs = m_results.get();
    m_info.error = CTerr_NoError;
}

CTerror outcome(CTstatus status, const Record& record) {
    EXPECT_EQ(status == CT_SUCCESS, record.error() == CTerr_NoError)
        << "status " << status << " with error " << std::hex << record.error();
    return record.error();
}

std::vector<std::string> stringArray(CTkvs set, CTsymbol key) {
    const char* const* elements = nullptr;
    std::uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetStringArray(set, key, &elements, &count, &error) != CT_SUCCESS) {
        ADD_FAILURE() << "no string array under " << std::hex << key << ": " << error;
        return {};
    }
    return {elements, elements + count};
}

std::vector<CTsymbol> symbolArray(CTkvs set, CTsymbol key) {
    const CTsymbol* elements = nullptr;
    std::uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetSymbolArray(set, key, &elements, &count, &error) != CT_SUCCESS) {
        ADD_FAILURE() << "no symbol array under " << std::hex << key << ": " << error;
        return {};
    }
    return {elements, elements + count};
}

std::vector<CTbool> boolArray(CTkvs set, CTsymbol key) {
    const CTbool* elements = nullptr;
    std::uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetBoolArray(set, key, &elements, &count, &error) != CT_SUCCESS) {
        ADD_FAILURE() << "no bool array under " << std::hex << key << ": " << error;
        return {};
    }
    return {elements, elements + count};
}

CTerror openSession(const std::string& entryName, CTsession& session) {
    session = 0;
    KvSet options;
    CTerror error = CTerr_NoError;
    if (CTkvs_PutString(options.get(), KEY_ServerName, entryName.c_str(), &error) != CT_SUCCESS) {
        return error;
    }
    Record record;
    if (CTses_Create(&session, "", 0, options.get(), record.get(), nullptr) != CT_SUCCESS) {
        session = 0;
        return record.error();
    }
    return CTerr_NoError;
}

void ServerTest::SetUp() {
    startServer({});
}

void ServerTest::TearDown() {
    closeSession();
}

void ServerTest::startServer(const std::vector<std::string>& extraArgs) {
    closeSession();
    if (m_server.running()) {
        m_server.kill();
    }
    std::vector<std::string> args{"--data", m_data.path()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    ASSERT_TRUE(m_server.start(args));
    m_table.setEntry(kEntryName, "tcp:127.0.0.1:" + std::to_string(m_server.port()));
    ASSERT_EQ(openSession(kEntryName, m_session), CTerr_NoError);
}

void ServerTest::closeSession() {
    if (m_session != 0) {
        Record record;
        EXPECT_EQ(CTses_Destroy(m_session, CT_kvsEmpty, record.get(), nullptr), CT_SUCCESS);
        m_session = 0;
    }
}

}  // namespace tlv::e2e
