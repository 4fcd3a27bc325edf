#include "s100/client/open_failure.h"

#include <map>
#include <mutex>

namespace tlv::client {
namespace {

struct Failures {
    std::mutex lock;
    std::map<std::string, OpenFailure> byEntry;  // only entries whose last open failed
};

Failures& failures() {
    static Failures kept;
    return kept;
}

}  // namespace

OpenFailure openFailureOf(const std::string& entryName) {
    Failures& kept = failures();
    const std::lock_guard<std::mutex> hold(kept.lock);
    const auto found = kept.byEntry.find(entryName);
    if (found != kept.byEntry.end()) {
        return found->second;
    }
    OpenFailure none;
    none.entry = entryName;
    return none;
}

void noteOpenFailure(OpenFailure failure) {
    Failures& kept = failures();
    const std::lock_guard<std::mutex> hold(kept.lock);
    if (failure.step == OpenStep::None) {
        kept.byEntry.erase(failure.entry);
    } else {
        std::string entry = failure.entry;
        kept.byEntry[std::move(entry)] = std::move(failure);
    }
}

}  // namespace tlv::client
