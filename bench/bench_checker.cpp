// The profile checker's run over generated server data: N application profiles with 100 ASIs,
// 100 group sets and 100 resources each, an ASI map with one mapping per profile (99 of its
// ASIs as destinations, so each profile has one unmapped ASI) and one inbound routing rule per
// mapping. N runs from 1,000 / 16 to 16 x 1,000; the reported complexity shows how the time
// grows. Reading the profiles hands out about 300 KV set and array handles per profile.
//
// Each size runs ten times over the same generated data: once to measure its memory, then
// nine times for the ratios, which use the medians. On this shared machine one run of the
// largest size varied by a third from one process to the next.
//
// Memory is the run's own: the generated query results stand for what the server sent and are
// resident before the run starts, so the peak is taken from a high-water mark reset after
// generating them, less what was resident then.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/checkerdata.h"
#include "bench/peakresident.h"
#include "checker/array.h"
#include "checker/checkmessage.h"
#include "checker/profchck.h"
#include "s100/s100.h"

namespace {

using benchdata::BuildApplication;
using benchdata::BuildMapAndRules;
using benchdata::Numbered;
using benchdata::PutKVSetArray;
using benchdata::PutStringArray;

// The three query results of a server with `profiles` application profiles, as they arrive:
// each profile decoded from the wire.
struct GeneratedServer {
    s100::OwnedSet applications;
    s100::OwnedSet asiMapResult;
    s100::OwnedSet rulesResult;

    explicit GeneratedServer(int profiles) {
        std::string application;
        {
            const s100::OwnedSet built;
            BuildApplication(built.Handle());
            application = benchdata::Encoded(built.Handle());
        }
        std::vector<s100::OwnedSet> contents(profiles);
        std::vector<CTkvs> contentHandles;
        std::vector<std::string> names;
        for (int p = 0; p < profiles; ++p) {
            benchdata::DecodeInto(application, contents[p].Handle());
            contentHandles.push_back(contents[p].Handle());
            names.push_back(Numbered("App", p));
        }
        PutStringArray(applications.Handle(), KEY_ProfileNames, names);
        PutKVSetArray(applications.Handle(), KEY_ProfileContents, contentHandles);

        const s100::OwnedSet asiMap;
        const s100::OwnedSet rules;
        BuildMapAndRules(profiles, benchdata::kAsisPerProfile - 1, asiMap.Handle(),
                         rules.Handle());
        benchdata::PassThroughTheWire(asiMap.Handle());
        benchdata::PassThroughTheWire(rules.Handle());
        PutStringArray(asiMapResult.Handle(), KEY_ProfileNames, {"SCR_ASIMap"});
        PutKVSetArray(asiMapResult.Handle(), KEY_ProfileContents, {asiMap.Handle()});
        PutStringArray(rulesResult.Handle(), KEY_ProfileNames, {"SCR_RoutingRules"});
        PutKVSetArray(rulesResult.Handle(), KEY_ProfileContents, {rules.Handle()});
    }
};

// The generated server of the size running now, kept for its runs. main frees it before the
// library's handle table goes.
std::unique_ptr<GeneratedServer>& currentServer() {
    static std::unique_ptr<GeneratedServer> server;
    return server;
}

// The one of the size before is freed first, so that each size runs with only its own data.
const GeneratedServer& serverOf(int profiles) {
    static int serverProfiles = 0;
    std::unique_ptr<GeneratedServer>& server = currentServer();
    if (server == nullptr || serverProfiles != profiles) {
        server.reset();
        server = std::make_unique<GeneratedServer>(profiles);
        serverProfiles = profiles;
    }
    return *server;
}

// Seconds per run of each repetition by profile count, for the ratios printed at the end.
std::map<int, std::vector<double>>& secondsPerRun() {
    static std::map<int, std::vector<double>> byCount;
    return byCount;
}

double medianSeconds(int profiles) {
    std::vector<double> runs = secondsPerRun().at(profiles);
    std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end());
    return runs[runs.size() / 2];
}

// The run's own peak resident memory, in MB, by profile count.
std::map<int, double>& runPeakByCount() {
    static std::map<int, double> byCount;
    return byCount;
}

// Repetitions made so far, by profile count.
std::map<int, int>& repetitionsByCount() {
    static std::map<int, int> byCount;
    return byCount;
}

// The first repetition of a size measures the run's peak memory: it starts from a heap that
// gave its free pages back, so that no page an earlier run left hides what this one needs. The
// others time the runs as they follow one another. Trimming before each of them would make
// every 16,000 run (one a repetition) fault all its memory in again, and a 1,000 run only once
// in the five or six of a repetition.
void BM_CheckRun(benchmark::State& state) {
    const int profiles = static_cast<int>(state.range(0));
    const GeneratedServer& server = serverOf(profiles);
    const bool measuresMemory = repetitionsByCount()[profiles]++ == 0;
    double residentBefore = 0;
    if (measuresMemory) {
        resetPeakResident();
        residentBefore = statusMB("VmRSS");
    }
    int findings = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        Array<CheckMessage> messages;
        const int result = ProfileChecker::CheckQueried(
            {QueryOutcome::Found, server.applications.Handle()},
            {QueryOutcome::Found, server.asiMapResult.Handle()},
            {QueryOutcome::Found, server.rulesResult.Handle()}, messages);
        benchmark::DoNotOptimize(result);
        findings = messages.Size();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
    // Each profile's unmapped last ASI, and the ASI map's source profile SCR_AppProfile once
    // per mapping.
    if (findings != 2 * profiles) {
        state.SkipWithError("unexpected number of findings");
    }
    state.counters["findings"] = findings;
    state.SetComplexityN(profiles);
    if (measuresMemory) {
        const double runPeak = statusMB("VmHWM") - residentBefore;
        state.counters["data_MB"] = residentBefore;
        state.counters["run_peak_MB"] = runPeak;
        runPeakByCount()[profiles] = runPeak;
    } else {
        secondsPerRun()[profiles].push_back(seconds);
    }
}

void printTargets() {
    const auto& runs = secondsPerRun();
    if (runs.count(1000) != 0) {
        const double small = medianSeconds(1000);
        std::printf("1,000 profiles: median %.0f ms per run; limit 300 ms, ratio %.2f\n",
                    small * 1e3, small / 0.3);
    }
    if (runs.count(1000) != 0 && runs.count(16000) != 0) {
        const double small = medianSeconds(1000);
        const double large = medianSeconds(16000);
        std::printf(
            "16,000 profiles: median %.0f ms per run = %.1f x the 1,000 time; limit 17 x, "
            "ratio %.2f\n",
            large * 1e3, large / small, large / small / 17.0);
    }
    if (const auto largest = runPeakByCount().rbegin(); largest != runPeakByCount().rend()) {
        std::printf(
            "%d profiles: run's own peak resident %.0f MB (above the generated data); "
            "limit 1024 MB, ratio %.2f\n",
            largest->first, largest->second, largest->second / 1024.0);
    }
}

BENCHMARK(BM_CheckRun)
    ->Arg(62)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->Complexity();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    currentServer().reset();
    printTargets();
    benchmark::Shutdown();
    return 0;
}
