#include "checker/destindex.h"

DestinationIndex::DestinationIndex(const ASIMapChecker& asiMap) : m_asiMap(asiMap) {
    m_slotOf.reserve(static_cast<std::size_t>(asiMap.DestinationCount()));
    std::uint32_t slots = 0;
    // A mapping's destinations mostly share a profile: its ASIs are found without a new lookup.
    std::string_view lastProfile;
    SlotByAsi* lastAsis = nullptr;
    asiMap.ForEachDestination([&](const EndpointView& destination) {
        if (lastAsis == nullptr || destination.profile != lastProfile) {
            lastProfile = destination.profile;
            lastAsis = &m_byProfile[destination.profile];
        }
        const auto [entry, added] = lastAsis->emplace(destination.asi, slots);
        slots += added ? 1 : 0;
        m_slotOf.push_back(entry->second);
    });
    m_matched.assign(slots, false);
}

bool DestinationIndex::Match(const EndpointView& endpoint) {
    bool found = MarkExact(endpoint.profile, endpoint.asi);
    if (endpoint.profile.find(':') == std::string_view::npos &&
        endpoint.asi.find(':') == std::string_view::npos) {
        return found;
    }
    // A ':' in a name lets other splits of the same text name destinations too.
    const CString text = endpoint.Text();
    const std::string_view whole(text);
    for (std::size_t colon = whole.find(':'); colon != std::string_view::npos;
         colon = whole.find(':', colon + 1)) {
        if (colon != endpoint.profile.size()) {
            found = MarkExact(whole.substr(0, colon), whole.substr(colon + 1)) || found;
        }
    }
    return found;
}

bool DestinationIndex::MarkExact(std::string_view profile, std::string_view asi) {
    const auto asis = m_byProfile.find(profile);
    if (asis == m_byProfile.end()) {
        return false;
    }
    const auto slot = asis->second.find(asi);
    if (slot == asis->second.end()) {
        return false;
    }
    m_matched[slot->second] = true;
    return true;
}
