// What key holders can make tlvsd hold, measured on a real tlvsd from the outside:
// - a status call naming one service 100,000 times: how much tlvsd grows (its peak resident
//   memory, VmHWM, over what it held before);
// - four clients that ask for 300 profiles of 1 MiB with contents and never read: tlvsd's peak
//   resident memory meanwhile, and how long a level call of another client takes (the slowest
//   of 20).
// Run from a release build (scripts/build --release); filling the store takes most of the time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/peakresident.h"
#include "tests/server/admin_calls.h"
#include "tests/support/tls_test_client.h"
#include "tests/support/tlvsd_process.h"

namespace {

using namespace std::chrono_literals;
using tlv::test::call;

constexpr int kStatusNames = 100000;
constexpr int kProfiles = 300;
constexpr int kStalledClients = 4;
constexpr int kLevelCalls = 20;

double tlvsdMB(const tlv::test::TlvsdProcess& server, const char* line) {
    return statusMB(line, std::to_string(server.pid()));
}

void BM_StatusOfOneName100000Times(benchmark::State& state) {
    tlv::test::TlvsdProcess server;
    if (!server.start({"--key", tlv::test::testAdminKeyFile()})) {
        state.SkipWithError("tlvsd did not start");
        return;
    }
    auto client = server.connect(30s);
    tlv::test::ServiceSetup dll;
    dll.kind = SVC_KindDLL;
    if (client == nullptr || call(*client, tlv::test::addService("Core", tlv::test::serviceDefinition(dll))) != CTerr_NoError) {
        state.SkipWithError("no service to ask for");
        return;
    }
    const std::vector<std::string> names(kStatusNames, "Core");
    const double before = tlvsdMB(server, "VmRSS");
    for (auto _ : state) {
        tlv::wire::Response response;
        if (call(*client, tlv::test::getServiceStatus(names), &response) != CTerr_NoError ||
            response.statuses_size() != 1) {
            state.SkipWithError("the status call failed");
            return;
        }
    }
    state.counters["tlvsd_growth_MB"] = tlvsdMB(server, "VmHWM") - before;
}
BENCHMARK(BM_StatusOfOneName100000Times)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_FourStalledReadersOf300Profiles(benchmark::State& state) {
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    if (!server.start({"--data", data.path(), "--key", tlv::test::testAdminKeyFile()})) {
        state.SkipWithError("tlvsd did not start");
        return;
    }
    auto client = server.connect(30s);
    const auto contents = tlv::test::stringSet(KEY_AsiName, std::string((1u << 20) - 100, 'c'));
    for (int i = 0; client != nullptr && i < kProfiles; ++i) {
        if (call(*client, tlv::test::addProfile("P" + std::to_string(i), "Application",
                                                contents)) != CTerr_NoError) {
            client.reset();
        }
    }
    if (client == nullptr) {
        state.SkipWithError("the store could not be filled");
        return;
    }
    const double before = tlvsdMB(server, "VmRSS");
    double slowestMs = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<tlv::test::TlsTestClient>> stalled;
        tlv::wire::ClientFrame frame;
        *frame.mutable_request() = tlv::test::getProfileInfo("", "", true);
        frame.mutable_request()->set_id(1);
        for (int i = 0; i < kStalledClients; ++i) {
            stalled.push_back(std::make_unique<tlv::test::TlsTestClient>(
                server.port(), tlv::test::TlsTestClient::Options{.key = tlv::test::testAdminKey()}));
            if (!stalled.back()->open() || !stalled.back()->send(frame)) {
                state.SkipWithError("a stalled client could not ask");
                return;
            }
        }
        std::this_thread::sleep_for(1s);  // their first parts are out, the rest wait
        for (int i = 0; i < kLevelCalls; ++i) {
            const auto asked = std::chrono::steady_clock::now();
            if (call(*client, tlv::test::getServerLevel()) != CTerr_NoError) {
                state.SkipWithError("a level call failed");
                return;
            }
            slowestMs = std::max(
                slowestMs, std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - asked)
                               .count());
        }
    }
    state.counters["tlvsd_peak_MB"] = tlvsdMB(server, "VmHWM");
    state.counters["tlvsd_before_MB"] = before;
    state.counters["level_slowest_ms"] = slowestMs;
}
BENCHMARK(BM_FourStalledReadersOf300Profiles)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
