#include "checker/destindex.h"

#include <functional>

DestinationIndex::DestinationIndex(const ASIMapChecker& asiMap) : m_asiMap(asiMap) {
    const auto destinations = static_cast<std::size_t>(asiMap.DestinationCount());
    m_table.Reset(destinations);
    m_slotOf.reserve(destinations);
    asiMap.ForEachDestination([this](const EndpointView& destination) {
        const std::size_t hash = Hash(destination.profile, destination.asi);
        std::uint32_t slot = Find(destination.profile, destination.asi, hash);
        if (slot == SlotTable::kNone) {
            slot = static_cast<std::uint32_t>(m_endpoints.size());
            m_endpoints.push_back(destination);
            m_table.Place(slot, hash);
        }
        m_slotOf.push_back(slot);
    });
    m_matched.assign(m_endpoints.size(), false);
}

std::size_t DestinationIndex::Hash(std::string_view profile, std::string_view asi) {
    const std::size_t first = std::hash<std::string_view>{}(profile);
    const std::size_t second = std::hash<std::string_view>{}(asi);
    return first ^ (second + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
}

std::uint32_t DestinationIndex::Find(std::string_view profile, std::string_view asi,
                                     std::size_t hash) const {
    return m_table.Find(hash, [this, profile, asi](std::uint32_t slot) {
        return m_endpoints[slot].profile == profile && m_endpoints[slot].asi == asi;
    });
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
    const std::uint32_t slot = Find(profile, asi, Hash(profile, asi));
    if (slot == SlotTable::kNone) {
        return false;
    }
    m_matched[slot] = true;
    return true;
}
