// One periodic tick's list refreshes of CAdminDoc against a real tlvsd (in-memory store) holding
// 10,000 profiles and 1,000 services, when nothing changed between refreshes: the query, the
// row building and the chain comparison. Also the bytes the document's two chains hold.
#include <benchmark/benchmark.h>

#include <QString>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/benchserver.h"
#include "s100/s100.h"
#include "services/svcdef.h"
#include "session/admindoc.h"

namespace {

constexpr int kProfileCount = 10000;
constexpr int kServiceCount = 1000;
constexpr const char* kEntryName = "BenchServer";

bool Seed(ECTF_AdminSession& session) {
    if (!AddBenchProfiles(session, kProfileCount))
        return false;
    CTkvs set = 0;
    if (CTkvs_Create(&set, nullptr) != CT_SUCCESS)
        return false;
    DllServiceFields fields;
    fields.dllPath = "/opt/tlvs/services/bench.so";
    bool ok = WriteDllService(set, fields);
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

// The server with the lists and a document on it, made once for every benchmark.
class Setup final {
public:
    static Setup& Get() {
        static Setup setup;
        return setup;
    }
    CAdminDoc* Doc() { return m_bSeeded ? m_server.Doc() : nullptr; }

private:
    Setup() {
        m_bSeeded = m_server.Doc() != nullptr &&
                    m_server.Doc()->RunOnSession(
                        [this](ECTF_AdminSession& session) { m_bSeeded = Seed(session); }) &&
                    m_bSeeded;
    }

    BenchServer m_server{kEntryName};
    bool m_bSeeded = false;
};

// Wall milliseconds per unchanged profile refresh, for the ratio printed at the end.
double g_profileRefreshMs = 0;

void BM_RefreshProfileInfoUnchanged(benchmark::State& state) {
    CAdminDoc* doc = Setup::Get().Doc();
    if (doc == nullptr || !doc->RefreshProfileInfo(0)) {
        state.SkipWithError("no server or no profiles");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!doc->RefreshProfileInfo(0))
            state.SkipWithError("refresh failed");
    }
    g_profileRefreshMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count() /
        static_cast<double>(state.iterations());
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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (g_profileRefreshMs > 0) {
        std::printf("refresh of %d unchanged profiles: %.2f ms wall; limit 3 ms, ratio %.2f\n",
                    kProfileCount, g_profileRefreshMs, g_profileRefreshMs / 3.0);
    }
    benchmark::Shutdown();
    return 0;
}
