#include "platform/process/alive.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process/spawn.h"

namespace tlv::platform {
namespace {

// The fields of /proc/PID/stat after the command name, from the state on; the name may hold
// blanks and parentheses, so the fields start after its last ')'.
std::vector<std::string> StatFields(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return {};
    std::istringstream rest(text.substr(nameEnd + 1));
    return {std::istream_iterator<std::string>(rest), std::istream_iterator<std::string>()};
}

// Field 22 of the stat line, counted from the pid; the state is field 3.
constexpr std::size_t kStartTimeField = 22 - 3;

bool IsZombie(const std::vector<std::string>& fields) {
    return !fields.empty() && (fields[0] == "Z" || fields[0] == "X");
}

}  // namespace

bool IsProcessAlive(pid_t pid) {
    if (pid <= 0)
        return false;
    CollectFinishedProcesses();
    // EPERM: it exists but belongs to another user.
    return kill(pid, 0) == 0 || errno == EPERM;
}

std::optional<uid_t> ProcessOwner(pid_t pid) {
    if (!IsProcessAlive(pid) || IsZombie(StatFields(pid)))
        return std::nullopt;
    // The effective uid of the "Uid:" line (real, effective, saved, file system): the owner of
    // /proc/PID would be root for a process that made itself non-dumpable.
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Uid:", 0) != 0)
            continue;
        std::istringstream ids(line.substr(4));
        uid_t real = 0;
        uid_t effective = 0;
        if (ids >> real >> effective)
            return effective;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> ProcessStartTime(pid_t pid) {
    if (!IsProcessAlive(pid))
        return std::nullopt;
    const std::vector<std::string> fields = StatFields(pid);
    if (fields.size() <= kStartTimeField || IsZombie(fields))
        return std::nullopt;
    const std::string& text = fields[kStartTimeField];
    std::uint64_t ticks = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ticks);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return ticks;
}

bool RequestProcessStop(pid_t pid) {
    return pid > 0 && kill(pid, SIGTERM) == 0;
}

}  // namespace tlv::platform
