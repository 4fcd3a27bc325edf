// Round trips of CTadm_GetServerLevel and of a 10,000-profile CTadm_GetProfileInfo against a real
// tlvsd (in-memory store), each beside a raw loopback TCP ping-pong that moves the same bytes
// each way as the TLS records of the call, so the library's own cost (TLS included) shows as the
// ratio of the two medians. The profile list is also measured beside Redis's LRANGE of as many
// rows of the same size, over TLS and plain, timed by Redis's own client (redis-server and
// redis-benchmark from Debian's packages, when installed). A connection's CPU (TCP, TLS,
// version) is measured on both sides. The ratios are printed at the end.
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
#include <map>
#include <string>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "bench/redispeer.h"
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

// Per-call times of one benchmark; the median is reported as a counter.
class RoundTrips final {
public:
    void add(Clock::duration took) {
        m_micros.push_back(std::chrono::duration<double, std::micro>(took).count());
    }
    // Also keeps the median under key for the ratios, when one is given.
    void report(benchmark::State& state, const char* key = nullptr) {
        if (m_micros.empty()) {
            return;
        }
        std::nth_element(m_micros.begin(), m_micros.begin() + m_micros.size() / 2, m_micros.end());
        state.counters["median_us"] = m_micros[m_micros.size() / 2];
        if (key != nullptr) {
            medians()[key] = m_micros[m_micros.size() / 2];
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

// The bytes a call moves each way: the TLS records of its request frame and of its answer frame.
struct FrameSizes {
    std::size_t request = 0;
    std::size_t answer = 0;
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
    sizes.request = recordBytes(bytes.size());
    bytes.clear();
    tlv::wire::encodeFrame(serverFrame, bytes);
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

void BM_GetServerLevel(benchmark::State& state) {
    if (world().session() == 0) {
        state.SkipWithError("no session");
        return;
    }
    CTevtinfo record{};
    record.size = sizeof record;
    std::int32_t level = 0;
    RoundTrips trips;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (CTadm_GetServerLevel(world().session(), &level, &record, nullptr) != CT_SUCCESS) {
            state.SkipWithError("call failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    trips.report(state, "GetServerLevel");
}

// One CTadm_GetProfileInfo of every profile without contents, read into arrays as the session
// reads them. The filter alternates between "" and "Application" (which select the same 10,000
// profiles) when every call is to carry the whole list: the library keeps one answer per kind
// of query, so the server cannot answer "unchanged".
void getProfileInfo10k(benchmark::State& state, bool alternateFilters, const char* key) {
    if (world().session() == 0) {
        state.SkipWithError("no session");
        return;
    }
    CTevtinfo record{};
    record.size = sizeof record;
    CTkvs_Create(&record.kvs, nullptr);
    RoundTrips trips;
    std::uint32_t count = 0;
    bool application = false;
    for (auto _ : state) {
        application = alternateFilters && !application;
        const auto start = Clock::now();
        const char* const* names = nullptr;
        const char* const* classes = nullptr;
        if (CTadm_GetProfileInfo(world().session(), nullptr, application ? "Application" : "", 0,
                                 CT_kvsEmpty, &record, nullptr) != CT_SUCCESS ||
            CTkvs_GetStringArray(record.kvs, KEY_ProfileNames, &names, &count, nullptr) !=
                CT_SUCCESS ||
            CTkvs_GetStringArray(record.kvs, KEY_ProfileClasses, &classes, &count, nullptr) !=
                CT_SUCCESS) {
            state.SkipWithError("call failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    state.counters["profiles"] = count;
    CTkvs_Destroy(record.kvs, nullptr);
    trips.report(state, key);
}

void BM_GetProfileInfo10k(benchmark::State& state) {
    getProfileInfo10k(state, true, "GetProfileInfo 10k");
}

void BM_GetProfileInfo10kUnchanged(benchmark::State& state) {
    getProfileInfo10k(state, false, "GetProfileInfo 10k unchanged");
}

// Redis's LRANGE of as many rows of the same size, as redis-benchmark times it: one run of
// 2,000 requests, its median kept.
void redisLRange10k(benchmark::State& state, bool tls, const char* key) {
    if (!world().redisFilled()) {
        state.SkipWithError("redis-server not installed or not started: peer skipped");
        return;
    }
    double median = -1;
    for (auto _ : state) {
        median = world().redis().lrangeMedianMicros(kRedisList, tls, 2000);
    }
    if (median < 0) {
        state.SkipWithError("redis-benchmark failed or is not installed");
        return;
    }
    state.counters["median_us"] = median;
    medians()[key] = median;
}

void BM_RedisLRange10kTls(benchmark::State& state) {
    redisLRange10k(state, true, "Redis LRANGE 10k TLS");
}

void BM_RedisLRange10kPlain(benchmark::State& state) {
    redisLRange10k(state, false, "Redis LRANGE 10k plain");
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

// The raw ping-pong of one call's byte counts.
void rawPingPong(benchmark::State& state, const FrameSizes& sizes, const char* key) {
    if (sizes.request == 0) {
        state.SkipWithError("frame sizes unknown");
        return;
    }
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(world().pingPongPort());
    setNoDelay(client);
    const std::uint32_t header[2] = {static_cast<std::uint32_t>(sizes.request),
                                     static_cast<std::uint32_t>(sizes.answer)};
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        !sendAll(client, reinterpret_cast<const char*>(header), sizeof header)) {
        close(client);
        state.SkipWithError("no ping-pong connection");
        return;
    }
    const std::vector<char> request(sizes.request, 'r');
    std::vector<char> answer(sizes.answer);
    RoundTrips trips;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!sendAll(client, request.data(), request.size()) ||
            !receiveAll(client, answer.data(), answer.size())) {
            state.SkipWithError("ping-pong failed");
            break;
        }
        trips.add(Clock::now() - start);
    }
    close(client);
    state.counters["request_bytes"] = static_cast<double>(sizes.request);
    state.counters["answer_bytes"] = static_cast<double>(sizes.answer);
    trips.report(state, key);
}

void BM_RawPingPongLevelBytes(benchmark::State& state) {
    rawPingPong(state, world().levelFrames(), "raw ping-pong level bytes");
}

void BM_RawPingPongProfileBytes(benchmark::State& state) {
    rawPingPong(state, world().profileFrames(), "raw ping-pong profile bytes");
}

BENCHMARK(BM_GetServerLevel)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_RawPingPongLevelBytes)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Connection)->UseRealTime()->Iterations(1000);
BENCHMARK(BM_GetProfileInfo10k)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GetProfileInfo10kUnchanged)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_RedisLRange10kTls)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RedisLRange10kPlain)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RawPingPongProfileBytes)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints "ours / peer" of two benchmarks' medians when both ran, beside the target.
void printRatio(const char* ours, const char* peer, const char* target) {
    const auto& found = medians();
    if (found.count(ours) == 0 || found.count(peer) == 0) {
        std::printf("%s / %s: not measured\n", ours, peer);
        return;
    }
    std::printf("%s / %s: %.1f us / %.1f us = %.2f (%s)\n", ours, peer, found.at(ours),
                found.at(peer), found.at(ours) / found.at(peer), target);
}

void printConnectionCpu(const char* side) {
    const auto found = medians().find(std::string("connection ") + side + " CPU");
    if (found == medians().end()) {
        std::printf("connection %s CPU: not measured\n", side);
        return;
    }
    std::printf("connection %s CPU: %.3f ms (target: at most 2 ms)\n", side, found->second);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    printRatio("GetServerLevel", "raw ping-pong level bytes", "target: at most 1.30");
    printConnectionCpu("client");
    printConnectionCpu("server");
    printRatio("GetProfileInfo 10k", "raw ping-pong profile bytes", "for reference");
    printRatio("GetProfileInfo 10k", "Redis LRANGE 10k TLS", "target: at most 1.00");
    printRatio("GetProfileInfo 10k", "Redis LRANGE 10k plain", "for reference");
    printRatio("GetProfileInfo 10k unchanged", "Redis LRANGE 10k TLS", "target: at most 1.00");
    benchmark::Shutdown();
    return 0;
}
