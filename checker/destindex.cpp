#include "checker/destindex.h"

namespace {

// FNV-1a, fed piece by piece, so that an endpoint hashes as its whole text would.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Feed(std::uint64_t hash, std::string_view bytes) {
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * kFnvPrime;
    }
    return hash;
}

}  // namespace

std::size_t DestinationIndex::TextHash::operator()(const EndpointView& endpoint) const {
    return static_cast<std::size_t>(
        Feed(Feed(Feed(kFnvOffset, endpoint.profile), ":"), endpoint.asi));
}

// Names holding ':' can give equal texts from different splits, compared as whole texts.
bool DestinationIndex::SameText::operator()(const EndpointView& a, const EndpointView& b) const {
    if (a.profile.size() == b.profile.size()) {
        return a.profile == b.profile && a.asi == b.asi;
    }
    return a.profile.size() + a.asi.size() == b.profile.size() + b.asi.size() &&
           a.Text() == b.Text();
}

DestinationIndex::DestinationIndex(const ASIMapChecker& asiMap) : m_asiMap(asiMap) {
    const auto count = static_cast<std::size_t>(asiMap.DestinationCount());
    m_slotByText.reserve(count);
    m_slotOf.reserve(count);
    std::uint32_t slots = 0;
    asiMap.ForEachDestination([this, &slots](const EndpointView& destination) {
        const auto [entry, added] = m_slotByText.emplace(destination, slots);
        slots += added ? 1 : 0;
        m_slotOf.push_back(entry->second);
    });
    m_matched.assign(slots, false);
}

bool DestinationIndex::Match(const EndpointView& endpoint) {
    const auto found = m_slotByText.find(endpoint);
    if (found == m_slotByText.end()) {
        return false;
    }
    m_matched[found->second] = true;
    return true;
}
