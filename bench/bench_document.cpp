// One periodic tick's list refreshes of CAdminDoc against a real tlvsd (in-memory store) holding
// 10,000 profiles and 1,000 services, when nothing changed between refreshes: the query, the
// row building and the chain comparison. Also the bytes the document's two chains hold.
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <QString>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"
#include "s100/s100.h"
#include "services/svcdef.h"
#include "session/admindoc.h"
#include "tests/support/tlvsd_process.h"

namespace {

constexpr int kProfileCount = 10000;
constexpr int kServiceCount = 1000;
constexpr const char* kEntryName = "BenchServer";

bool WriteEntry(std::uint16_t port) {
    const std::string connect = "tcp:127.0.0.1:" + std::to_string(port);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExA(key, kEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(connect.c_str()),
                       static_cast<DWORD>(connect.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool Seed(ECTF_AdminSession& session) {
    CTkvs set = 0;
    if (CTkvs_Create(&set, nullptr) != CT_SUCCESS)
        return false;
    bool ok = CTkvs_PutString(set, KEY_AsiName, "A1", nullptr) == CT_SUCCESS;
    for (int i = 0; ok && i < kProfileCount; ++i) {
        const std::string name = "Profile" + std::to_string(100000 + i);
        ok = session.AddProfile(name.c_str(), "Application", set) != 0;
    }
    DllServiceFields fields;
    fields.dllPath = "/opt/tlvs/services/bench.so";
    ok = ok && WriteDllService(set, fields);
    for (int i = 0; ok && i < kServiceCount; ++i) {
        const std::string name = "Service" + std::to_string(10000 + i);
        ok = session.AddService(name.c_str(), set) != 0;
    }
    CTkvs_Destroy(set, nullptr);
    return ok;
}

// Heap bytes of a chain: the rows and the text of every cell in use.
std::size_t ChainBytes(const CViewLine* chain) {
    std::size_t bytes = 0;
    for (const CViewLine* row = chain; row != nullptr; row = row->Next()) {
        bytes += sizeof(CViewLine);
        for (int c = 0; c < row->NumberOfItems(); ++c) {
            const QString& cell = row->GetItem(c);
            if (!cell.isNull())
                bytes += sizeof(QArrayData) + static_cast<std::size_t>(cell.capacity() + 1) * 2;
        }
    }
    return bytes;
}

// The server, the registry naming it and an open document, made once for every benchmark.
class Setup final {
public:
    static Setup& Get() {
        static Setup setup;
        return setup;
    }
    CAdminDoc* Doc() { return m_doc.get(); }

private:
    Setup() {
        setenv("TLV_REGISTRY", (m_folder.path() + "/registry.db").c_str(), 1);
        if (RegUseRegistryFile("") != ERROR_SUCCESS || !m_server.start({}) ||
            !WriteEntry(m_server.port()) || CT_Initialize(nullptr) != CT_SUCCESS)
            return;
        auto doc = std::make_unique<CAdminDoc>();
        if (!doc->OnOpenDocument(kEntryName) || !Seed(*doc->GetSession()))
            return;
        m_doc = std::move(doc);
    }

    tlv::test::TempDir m_folder;
    tlv::test::TlvsdProcess m_server;
    std::unique_ptr<CAdminDoc> m_doc;
};

void BM_RefreshProfileInfoUnchanged(benchmark::State& state) {
    CAdminDoc* doc = Setup::Get().Doc();
    if (doc == nullptr || !doc->RefreshProfileInfo(0)) {
        state.SkipWithError("no server or no profiles");
        return;
    }
    for (auto _ : state) {
        if (!doc->RefreshProfileInfo(0))
            state.SkipWithError("refresh failed");
    }
    const auto rows = doc->GetProfiles();
    state.counters["rows"] = rows ? rows->Count() : 0;
    state.counters["chain_bytes"] = static_cast<double>(ChainBytes(rows.get()));
}

void BM_RefreshServiceInfoUnchanged(benchmark::State& state) {
    CAdminDoc* doc = Setup::Get().Doc();
    if (doc == nullptr || !doc->RefreshServiceInfo(0)) {
        state.SkipWithError("no server or no services");
        return;
    }
    for (auto _ : state) {
        if (!doc->RefreshServiceInfo(0))
            state.SkipWithError("refresh failed");
    }
    const auto rows = doc->GetServices();
    state.counters["rows"] = rows ? rows->Count() : 0;
    state.counters["chain_bytes"] = static_cast<double>(ChainBytes(rows.get()));
}

// What a view pays for its copy of the profile list after a change.
void BM_GetProfilesCopy(benchmark::State& state) {
    CAdminDoc* doc = Setup::Get().Doc();
    if (doc == nullptr || !doc->RefreshProfileInfo(0)) {
        state.SkipWithError("no server or no profiles");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->GetProfiles());
}

}  // namespace

BENCHMARK(BM_RefreshProfileInfoUnchanged)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshServiceInfoUnchanged)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetProfilesCopy)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
