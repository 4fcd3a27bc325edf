#include "s100/client/open_failure.h"

#include <map>
#include <mutex>

namespace tlv::client {
namespace {

struct Failures {
    std::mutex lock;
    std::map<std::string, std::string> byEntry;  // only entries whose last open failed
};

Failures& failures() {
    static Failures kept;
    return kept;
}

}  // namespace

std::string openFailureOf(const std::string& entryName) {
    Failures& kept = failures();
    const std::lock_guard<std::mutex> hold(kept.lock);
    const auto found = kept.byEntry.find(entryName);
    return found != kept.byEntry.end() ? found->second : std::string();
}

void noteOpenFailure(const std::string& entryName, std::string words) {
    Failures& kept = failures();
    const std::lock_guard<std::mutex> hold(kept.lock);
    if (words.empty()) {
        kept.byEntry.erase(entryName);
    } else {
        kept.byEntry[entryName] = std::move(words);
    }
}

}  // namespace tlv::client
