// Round trips of CTadm_GetServerLevel and of a 10,000-profile CTadm_GetProfileInfo against a real
// tlvsd (in-memory store). The level call is measured beside a raw loopback TCP ping-pong that
// moves the same bytes each way as the TLS records of the call, and the list beside Redis's
// LRANGE of as many rows of the same size over TLS, timed by Redis's own client (redis-server
// and redis-benchmark from Debian's packages, when installed): in rounds taken in turn, so that
// both meet the same load, the ratio of the medians per round. Beside them: the call's TLS
// records by themselves, a connection's CPU (TCP, TLS, version) on both sides, the unchanged
// list. The ratios are printed at the end with the load average.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/redispeer.h"
#include "bench/tlsrecords.h"
#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"
#include "s100/proto/admin.pb.h"
#include "s100/s100.h"
#include "s100/wire/client.h"
#include "s100/wire/frame.h"
#include "tests/support/tlvsd_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kProfileCount = 10000;
constexpr const char* kEntryName = "BenchServer";
constexpr const char* kRedisList = "profiles";

// The median of each benchmark by name, for the ratios printed at the end.
std::map<std::string, double>& medians() {
    static std::map<std::string, double> byName;
    return byName;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Per-call times of one benchmark; the median is reported as a counter.
class RoundTrips final {
public:
    void add(Clock::duration took) {
        m_micros.push_back(std::chrono::duration<double, std::micro>(took).count());
    }
    double median() const { return m_micros.empty() ? -1 : ::median(m_micros); }
    // Also keeps the median under key for the ratios, when one is given.
    void report(benchmark::State& state, const char* key = nullptr) {
        if (m_micros.empty()) {
            return;
        }
        state.counters["median_us"] = median();
        if (key != nullptr) {
            medians()[key] = median();
        }
    }

private:
    std::vector<double> m_micros;
};

bool sendAll(int socket, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool receiveAll(int socket, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = recv(socket, data, size, 0);
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

void setNoDelay(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// A loopback peer that, per connection, first reads the two sizes (request, answer) and then
// answers every request of that size with an answer of the other size until the client leaves.
class PingPongServer final {
public:
    PingPongServer() {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        listen(m_listener, 4);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PingPongServer() {
        shutdown(m_listener, SHUT_RDWR);
        close(m_listener);
        m_thread.join();
    }
    std::uint16_t port() const { return m_port; }

private:
    void serve() {
        for (;;) {
            const int client = accept(m_listener, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            setNoDelay(client);
            std::uint32_t sizes[2] = {0, 0};
            if (receiveAll(client, reinterpret_cast<char*>(sizes), sizeof sizes)) {
                std::vector<char> request(sizes[0]);
                const std::vector<char> answer(sizes[1], 'a');
                while (receiveAll(client, request.data(), request.size()) &&
                       sendAll(client, answer.data(), answer.size())) {
                }
            }
            close(client);
        }
    }

    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

// The bytes a call moves each way: the TLS records of its request frame and of its answer frame,
// and the frames themselves.
struct FrameSizes {
    std::size_t request = 0;
    std::size_t answer = 0;
    std::size_t requestFrame = 0;
    std::size_t answerFrame = 0;
};

// A frame's bytes on the wire: TLS 1.3 adds to each record of at most 16 KiB a 5-byte header,
// the inner content type and AES-GCM's 16-byte tag.
std::size_t recordBytes(std::size_t frameBytes) {
    constexpr std::size_t kRecordPlaintext = 16 * 1024;
    constexpr std::size_t kRecordOverhead = 5 + 1 + 16;
    return frameBytes + kRecordOverhead * ((frameBytes + kRecordPlaintext - 1) / kRecordPlaintext);
}

FrameSizes measure(tlv::wire::ClientConnection& connection, const tlv::wire::Request& call) {
    tlv::wire::Request request = call;
    tlv::wire::Response response;
    FrameSizes sizes;
    if (connection.call(request, response) != CTerr_NoError) {
        return sizes;
    }
    tlv::wire::ClientFrame clientFrame;
    *clientFrame.mutable_request() = request;
    tlv::wire::ServerFrame serverFrame;
    *serverFrame.mutable_response() = response;
    std::string bytes;
    tlv::wire::encodeFrame(clientFrame, bytes);
    sizes.requestFrame = bytes.size();
    sizes.request = recordBytes(bytes.size());
    bytes.clear();
    tlv::wire::encodeFrame(serverFrame, bytes);
    sizes.answerFrame = bytes.size();
    sizes.answer = recordBytes(bytes.size());
    return sizes;
}

// tlvsd with 10,000 profiles, a registry naming it, one open session, and the frame sizes of
// the two calls measured on a connection of their own.
class BenchWorld final {
public:
    BenchWorld() {
        const std::string registry = m_registryDir.path() + "/registry.db";
        setenv("TLV_REGISTRY", registry.c_str(), 1);
        if (RegUseRegistryFile("") != ERROR_SUCCESS || !m_server.start({}) || !writeEntry()) {
            std::fprintf(stderr, "bench: cannot start tlvsd or write the server table\n");
            return;
        }
        CT_Initialize(nullptr);
        CTkvs options = 0;
        CTevtinfo record{};
        record.size = sizeof record;
        if (CTkvs_Create(&options, nullptr) != CT_SUCCESS ||
            CTkvs_PutString(options, KEY_ServerName, kEntryName, nullptr) != CT_SUCCESS ||
            CTses_Create(&m_session, "", 0, options, &record, nullptr) != CT_SUCCESS) {
            std::fprintf(stderr, "bench: no session (error 0x%08x)\n", record.error);
            m_session = 0;
        }
        CTkvs_Destroy(options, nullptr);
        if (m_session != 0) {
            fillProfiles();
            measureFrames();
            fillRedis();
        }
    }
    ~BenchWorld() {
        if (m_session != 0) {
            CTevtinfo record{};
            record.size = sizeof record;
            CTses_Destroy(m_session, CT_kvsEmpty, &record, nullptr);
        }
        CT_Shutdown(nullptr);
    }

    CTsession session() const { return m_session; }
    const FrameSizes& levelFrames() const { return m_level; }
    const FrameSizes& profileFrames() const { return m_profiles; }
    std::uint16_t pingPongPort() const { return m_pingPong.port(); }
    std::uint16_t serverPort() const { return m_server.port(); }
    pid_t serverPid() const { return m_server.pid(); }
    RedisPeer& redis() { return m_redis; }
    bool redisFilled() const { return m_bRedisFilled; }

private:
    bool writeEntry() {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const std::string connect = "tcp:127.0.0.1:" + std::to_string(m_server.port());
        const LONG result = RegSetValueExA(key, kEntryName, 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(connect.c_str()),
                                           static_cast<DWORD>(connect.size() + 1));
        RegCloseKey(key);
        return result == ERROR_SUCCESS && tlv::test::installEntryKey(kEntryName);
    }

    void fillProfiles() {
        CTevtinfo record{};
        record.size = sizeof record;
        char name[32];
        for (int i = 0; i < kProfileCount; ++i) {
            std::snprintf(name, sizeof name, "Profile%05d", i);
            CTadm_AddProfile(m_session, name, "Application", CT_kvsEmpty, &record, nullptr);
        }
    }

    void measureFrames() {
        auto connection = m_server.connect();
        if (connection == nullptr) {
            return;
        }
        tlv::wire::Request level;
        level.mutable_get_server_level();
        m_level = measure(*connection, level);
        tlv::wire::Request profiles;
        profiles.mutable_get_profile_info();
        m_profiles = measure(*connection, profiles);
    }

    // As many rows as profiles, each as large as one profile's share of the list answer.
    void fillRedis() {
        if (!m_redis.usable() || m_profiles.answer == 0) {
            return;
        }
        const std::size_t rowBytes = m_profiles.answer / kProfileCount;
        std::vector<std::string> rows;
        char name[32];
        for (int i = 0; i < kProfileCount; ++i) {
            std::snprintf(name, sizeof name, "Profile%05d", i);
            std::string row = name;
            row.resize(rowBytes, 'a');
            rows.push_back(std::move(row));
        }
        m_bRedisFilled = m_redis.fill(kRedisList, rows);
    }

    tlv::test::TempDir m_registryDir;
    tlv::test::TlvsdProcess m_server;
    PingPongServer m_pingPong;
    RedisPeer m_redis;
    bool m_bRedisFilled = false;
    CTsession m_session = 0;
    FrameSizes m_level;
    FrameSizes m_profiles;
};

BenchWorld& world() {
    static BenchWorld instance;
    return instance;
}

// Rounds of ours and of the peer taken in turn in this one process, so that both meet the same
// load from other work on the machine; each round gives a median, each pair of rounds a ratio.
struct Pairing {
    double ours = 0;  // medians of the rounds' medians, in microseconds
    double peer = 0;
    double ratio = 0;  // median of the rounds' ratios, and their spread
    double lowest = 0;
    double highest = 0;
    std::size_t rounds = 0;
};

std::map<std::string, Pairing>& pairings() {
    static std::map<std::string, Pairing> byName;
    return byName;
}

// Runs rounds of ours() and peer() in turn (each a median in microseconds, negative on failure)
// and keeps what they gave under key.
template <typename Ours, typename Peer>
void interleave(benchmark::State& state, const char* key, int rounds, Ours ours, Peer peer) {
    std::vector<double> oursMedians;
    std::vector<double> peerMedians;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            const double mine = ours();
            const double theirs = peer();
            if (mine <= 0 || theirs <= 0) {
                state.SkipWithError("a round failed");
                return;
            }
            oursMedians.push_back(mine);
            peerMedians.push_back(theirs);
            ratios.push_back(mine / theirs);
        }
    }
    Pairing pairing;
    pairing.ours = median(oursMedians);
    pairing.peer = median(peerMedians);
    pairing.ratio = median(ratios);
    pairing.lowest = *std::min_element(ratios.begin(), ratios.end());
    pairing.highest = *std::max_element(ratios.begin(), ratios.end());
    pairing.rounds = ratios.size();
    state.counters["ours_us"] = pairing.ours;
    state.counters["peer_us"] = pairing.peer;
    state.counters["ratio"] = pairing.ratio;
    state.counters["ratio_min"] = pairing.lowest;
    state.counters["ratio_max"] = pairing.highest;
    pairings()[key] = pairing;
}

// The median of calls calls of call(), each timed; negative when one failed.
template <typename Call>
double timedRound(int calls, Call call) {
    RoundTrips trips;
    for (int i = 0; i < calls; ++i) {
        const auto start = Clock::now();
        if (!call()) {
            return -1;
        }
        trips.add(Clock::now() - start);
    }
    return trips.median();
}

bool getServerLevel() {
    CTevtinfo record{};
    record.size = sizeof record;
    std::int32_t level = 0;
    return CTadm_GetServerLevel(world().session(), &level, &record, nullptr) == CT_SUCCESS;
}

// A connection to the ping-pong peer for one call's byte counts.
class PingPongClient final {
public:
    explicit PingPongClient(const FrameSizes& sizes)
        : m_request(sizes.request, 'r'), m_answer(sizes.answer) {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(world().pingPongPort());
        setNoDelay(m_socket);
        const std::uint32_t header[2] = {static_cast<std::uint32_t>(sizes.request),
                                         static_cast<std::uint32_t>(sizes.answer)};
        m_connected =
            sizes.request != 0 &&
            connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            sendAll(m_socket, reinterpret_cast<const char*>(header), sizeof header);
    }
    ~PingPongClient() { close(m_socket); }
    PingPongClient(const PingPongClient&) = delete;
    PingPongClient& operator=(const PingPongClient&) = delete;

    bool connected() const { return m_connected; }
    bool exchange() {
        return sendAll(m_socket, m_request.data(), m_request.size()) &&
               receiveAll(m_socket, m_answer.data(), m_answer.size());
    }

private:
    int m_socket = -1;
    bool m_connected = false;
    std::vector<char> m_request;
    std::vector<char> m_answer;
};

// CTadm_GetServerLevel beside the raw loopback ping-pong of its records' bytes, 500 of each in
// turn, 20 times.
void BM_LevelBesidePingPong(benchmark::State& state) {
    PingPongClient pingPong(world().levelFrames());
    if (world().session() == 0 || !pingPong.connected()) {
        state.SkipWithError("no session or no ping-pong peer");
        return;
    }
    constexpr int kCalls = 500;
    interleave(
        state, "GetServerLevel", 20, [] { return timedRound(kCalls, getServerLevel); },
        [&pingPong] { return timedRound(kCalls, [&pingPong] { return pingPong.exchange(); }); });
    state.counters["request_bytes"] = static_cast<double>(world().levelFrames().request);
    state.counters["answer_bytes"] = static_cast<double>(world().levelFrames().answer);
}

// The TLS of one level call by itself: both records sealed and opened, CPU per call.
void BM_TlsRecordsOfALevelCall(benchmark::State& state) {
    const FrameSizes& sizes = world().levelFrames();
    double micros = -1;
    for (auto _ : state) {
        micros = tlsRecordRoundMicros(tlv::test::testAdminKey(), sizes.requestFrame,
                                      sizes.answerFrame, 200000);
    }
    if (micros < 0) {
        state.SkipWithError("no TLS between two memory buffers");
        return;
    }
    state.counters["cpu_us"] = micros;
    medians()["TLS records of a level call"] = micros;
}

// One CTadm_GetProfileInfo of every profile without contents, read into arrays as the session
// reads them. The filter alternates between "" and "Application" (which select the same 10,000
// profiles) when every call is to carry the whole list: the library keeps one answer per kind
// of query, so the server cannot answer "unchanged".
class ProfileLister final {
public:
    ProfileLister() {
        m_record.size = sizeof m_record;
        CTkvs_Create(&m_record.kvs, nullptr);
    }
    ~ProfileLister() { CTkvs_Destroy(m_record.kvs, nullptr); }
    ProfileLister(const ProfileLister&) = delete;
    ProfileLister& operator=(const ProfileLister&) = delete;

    bool list(bool alternateFilters) {
        m_application = alternateFilters && !m_application;
        const char* const* names = nullptr;
        const char* const* classes = nullptr;
        return CTadm_GetProfileInfo(world().session(), nullptr, m_application ? "Application" : "",
                                    0, CT_kvsEmpty, &m_record, nullptr) == CT_SUCCESS &&
               CTkvs_GetStringArray(m_record.kvs, KEY_ProfileNames, &names, &m_count, nullptr) ==
                   CT_SUCCESS &&
               CTkvs_GetStringArray(m_record.kvs, KEY_ProfileClasses, &classes, &m_count,
                                    nullptr) == CT_SUCCESS;
    }
    std::uint32_t count() const { return m_count; }

private:
    CTevtinfo m_record{};
    bool m_application = false;
    std::uint32_t m_count = 0;
};

// The whole 10,000-profile list beside Redis's LRANGE of as many rows of the same size over TLS,
// timed by redis-benchmark (its median of 400 requests on one connection), 200 of ours and one
// run of it in turn, 10 times.
void BM_ProfileListBesideRedisTls(benchmark::State& state) {
    if (world().session() == 0 || !world().redisFilled()) {
        state.SkipWithError("no session, or redis-server not installed: peer skipped");
        return;
    }
    ProfileLister lister;
    interleave(
        state, "GetProfileInfo 10k", 10,
        [&lister] { return timedRound(200, [&lister] { return lister.list(true); }); },
        [] { return world().redis().lrangeMedianMicros(kRedisList, true, 400); });
    state.counters["profiles"] = lister.count();
}

void BM_GetProfileInfo10kUnchanged(benchmark::State& state) {
    if (world().session() == 0) {
        state.SkipWithError("no session");
        return;
    }
    ProfileLister lister;
    RoundTrips trips;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!lister.list(false)) {
            state.SkipWithError("call failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    state.counters["profiles"] = lister.count();
    trips.report(state, "GetProfileInfo 10k unchanged");
}

// Redis's LRANGE of as many rows of the same size in plain TCP, as redis-benchmark times it: one
// run of 2,000 requests, its median kept.
void BM_RedisLRange10kPlain(benchmark::State& state) {
    if (!world().redisFilled()) {
        state.SkipWithError("redis-server not installed or not started: peer skipped");
        return;
    }
    double median = -1;
    for (auto _ : state) {
        median = world().redis().lrangeMedianMicros(kRedisList, false, 2000);
    }
    if (median < 0) {
        state.SkipWithError("redis-benchmark failed or is not installed");
        return;
    }
    state.counters["median_us"] = median;
    medians()["Redis LRANGE 10k plain"] = median;
}

// The CPU time a process has spent, from /proc (clock ticks); 0 when it cannot be read.
double processCpuMillis(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14 || index == 15) {  // utime, stime
            ticks += std::strtod(field.c_str(), nullptr);
        }
    }
    return 1000.0 * ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double threadCpuMillis() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1000.0 * static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e6;
}

// One connection as a session opens it: TCP, the TLS handshake keyed by the admin key, and the
// protocol version's Hello. The client's CPU is this thread's (the library runs a connection on
// the calling thread); tlvsd's is its whole process's over the run.
void BM_Connection(benchmark::State& state) {
    if (world().session() == 0) {
        state.SkipWithError("no session");
        return;
    }
    RoundTrips trips;
    const double clientBefore = threadCpuMillis();
    const double serverBefore = processCpuMillis(world().serverPid());
    for (auto _ : state) {
        const auto start = Clock::now();
        tlv::wire::ClientConnection connection(std::chrono::seconds(5));
        if (connection.connect("127.0.0.1", world().serverPort()) != CTerr_NoError ||
            connection.handshake("bench", tlv::test::testAdminKey()) != CTerr_NoError) {
            state.SkipWithError("connection failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    const auto count = static_cast<double>(state.iterations());
    const double clientCpu = (threadCpuMillis() - clientBefore) / count;
    const double serverCpu = (processCpuMillis(world().serverPid()) - serverBefore) / count;
    state.counters["client_cpu_ms"] = clientCpu;
    state.counters["server_cpu_ms"] = serverCpu;
    medians()["connection client CPU"] = clientCpu;
    medians()["connection server CPU"] = serverCpu;
    trips.report(state);
}

// The raw ping-pong of the list call's byte counts, for reference.
void BM_RawPingPongProfileBytes(benchmark::State& state) {
    PingPongClient pingPong(world().profileFrames());
    if (!pingPong.connected()) {
        state.SkipWithError("no ping-pong connection");
        return;
    }
    RoundTrips trips;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!pingPong.exchange()) {
            state.SkipWithError("ping-pong failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    state.counters["request_bytes"] = static_cast<double>(world().profileFrames().request);
    state.counters["answer_bytes"] = static_cast<double>(world().profileFrames().answer);
    trips.report(state, "raw ping-pong profile bytes");
}

BENCHMARK(BM_LevelBesidePingPong)->UseRealTime()->Iterations(1);
BENCHMARK(BM_TlsRecordsOfALevelCall)->Iterations(1);
BENCHMARK(BM_Connection)->UseRealTime()->Iterations(1000);
BENCHMARK(BM_ProfileListBesideRedisTls)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_GetProfileInfo10kUnchanged)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_RedisLRange10kPlain)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RawPingPongProfileBytes)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints ours beside its peer as measured in turn, with the spread of the rounds' ratios.
void printPairing(const char* key, const char* peer, const char* target) {
    const auto found = pairings().find(key);
    if (found == pairings().end()) {
        std::printf("%s beside %s: not measured\n", key, peer);
        return;
    }
    const Pairing& p = found->second;
    std::printf("%s / %s, %zu rounds in turn: %.1f us / %.1f us = %.2f (rounds %.2f-%.2f; %s)\n",
                key, peer, p.rounds, p.ours, p.peer, p.ratio, p.lowest, p.highest, target);
}

// Prints "ours / peer" of two benchmarks' medians when both ran.
void printRatio(const char* ours, const char* peer, const char* target) {
    const auto& found = medians();
    if (found.count(ours) == 0 || found.count(peer) == 0) {
        std::printf("%s / %s: not measured\n", ours, peer);
        return;
    }
    std::printf("%s / %s: %.1f us / %.1f us = %.2f (%s)\n", ours, peer, found.at(ours),
                found.at(peer), found.at(ours) / found.at(peer), target);
}

void printMeasure(const char* key, const char* unit, const char* note) {
    const auto found = medians().find(key);
    if (found == medians().end()) {
        std::printf("%s: not measured\n", key);
        return;
    }
    std::printf("%s: %.3f %s (%s)\n", key, found->second, unit, note);
}

// The loaded machine's figures mean little without its load.
void printLoad() {
    double averages[3] = {0, 0, 0};
    if (getloadavg(averages, 3) == 3) {
        std::printf("load average: %.2f %.2f %.2f\n", averages[0], averages[1], averages[2]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    printLoad();
    benchmark::RunSpecifiedBenchmarks();
    printPairing("GetServerLevel", "raw ping-pong of its bytes", "target: at most 1.30");
    printMeasure("TLS records of a level call", "us of CPU",
                 "both records sealed and opened, no socket: part of the call's time");
    printMeasure("connection client CPU", "ms", "target: at most 2 ms");
    printMeasure("connection server CPU", "ms", "target: at most 2 ms");
    printPairing("GetProfileInfo 10k", "Redis LRANGE 10k over TLS", "target: at most 1.00");
    printRatio("GetProfileInfo 10k unchanged", "Redis LRANGE 10k plain", "for reference");
    printRatio("Redis LRANGE 10k plain", "raw ping-pong profile bytes", "for reference");
    printLoad();
    benchmark::Shutdown();
    return 0;
}
