// The profile checker's real path and its memory: tlvsd (in-memory store) holding 16,000
// application profiles of 100 ASIs as bench_checker generates them, an ASI map with one mapping
// per profile naming 10 of its ASIs (a map naming all of them would not fit one frame, so 90
// ASIs a profile are findings) and one inbound rule per mapping. One ProfileChecker::Check, which
// takes the application profiles part by part, and the process's peak resident memory (VmHWM)
// beside the 1 GiB limit; then the same data checked the old way, the whole application query
// at once and CheckQueried, for comparison. About half a minute from a release build
// (scripts/build --release), most of it filling the server.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/benchserver.h"
#include "bench/checkerdata.h"
#include "bench/checkruns.h"
#include "bench/peakresident.h"
#include "session/admindoc.h"
#include "session/admsess.h"

namespace {

constexpr int kProfiles = 16000;
constexpr int kDestinationsPerMapping = 10;
constexpr double kLimitMB = 1024.0;

bool Fill(ECTF_AdminSession& session) {
    // Every generated application profile has the same contents: made once, added under each name.
    const s100::OwnedSet contents;
    benchdata::BuildApplication(contents.Handle());
    for (int p = 0; p < kProfiles; ++p) {
        if (session.AddProfile(benchdata::Numbered("App", p).c_str(), "Application", contents.Handle()) ==
            0) {
            return false;
        }
    }
    const s100::OwnedSet asiMap;
    const s100::OwnedSet rules;
    benchdata::BuildMapAndRules(kProfiles, kDestinationsPerMapping, asiMap.Handle(),
                                rules.Handle());
    return session.AddProfile("SCR_ASIMap", "SCR_ASIMap", asiMap.Handle()) != 0 &&
           session.AddProfile("SCR_RoutingRules", "SCR_RoutingRules", rules.Handle()) != 0;
}

struct Measured {
    CheckRunOutcome run;
    double seconds = 0;
    double peakMB = 0;
};

Measured Measure(CheckRunOutcome (*run)(ECTF_AdminSession&), ECTF_AdminSession& session) {
    resetPeakResident();
    const auto start = std::chrono::steady_clock::now();
    Measured measured;
    measured.run = run(session);
    measured.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.peakMB = statusMB("VmHWM");
    return measured;
}

std::unique_ptr<BenchServer> g_server;
Measured g_inParts;
Measured g_whole;

void Report(benchmark::State& state, const Measured& measured) {
    state.counters["findings"] = measured.run.findings;
    state.counters["peak_MB"] = measured.peakMB;
    state.counters["seconds"] = measured.seconds;
    if (measured.run.result != 1) {
        state.SkipWithError("the run failed");
    }
}

// Runs the work on the document's session (on its own thread); false without one.
bool OnSession(const std::function<void(ECTF_AdminSession&)>& work) {
    return g_server != nullptr && g_server->Doc() != nullptr &&
           g_server->Doc()->RunOnSession(work) != 0;
}

void BM_Check(benchmark::State& state, CheckRunOutcome (*run)(ECTF_AdminSession&),
              Measured* measured) {
    for (auto _ : state) {
        if (!OnSession([&](ECTF_AdminSession& session) { *measured = Measure(run, session); })) {
            state.SkipWithError("the server could not be filled");
            return;
        }
    }
    Report(state, *measured);
}

// In this order: the run in parts first, on a process that never held the whole answer.
BENCHMARK_CAPTURE(BM_Check, InParts, CheckInParts, &g_inParts)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Check, WholeAnswer, CheckWholeAnswer, &g_whole)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void PrintTargets() {
    std::printf(
        "%d profiles, part by part: peak resident (VmHWM) %.0f MB; limit %.0f MB, "
        "ratio %.2f; %d findings in %.1f s\n",
        kProfiles, g_inParts.peakMB, kLimitMB, g_inParts.peakMB / kLimitMB, g_inParts.run.findings,
        g_inParts.seconds);
    if (g_whole.run.result >= 0) {
        std::printf(
            "%d profiles, whole answer (before): peak resident (VmHWM) %.0f MB; "
            "%d findings in %.1f s\n",
            kProfiles, g_whole.peakMB, g_whole.run.findings, g_whole.seconds);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    g_server = std::make_unique<BenchServer>("BenchServer");
    const auto start = std::chrono::steady_clock::now();
    bool bFilled = false;
    if (!OnSession([&bFilled](ECTF_AdminSession& session) { bFilled = Fill(session); }) ||
        !bFilled) {
        g_server.reset();
    }
    std::printf("filled the server with %d profiles in %.0f s\n", kProfiles,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    benchmark::RunSpecifiedBenchmarks();
    PrintTargets();
    g_server.reset();
    benchmark::Shutdown();
    return 0;
}
