#include "checker/destindex.h"

#include <algorithm>

DestinationIndex::DestinationIndex(const ASIMapChecker& asiMap) : m_asiMap(asiMap) {
    const auto destinations = static_cast<std::uint32_t>(asiMap.DestinationCount());
    std::uint32_t position = 0;
    // A mapping's destinations mostly share a profile: its ASIs are found without a new lookup.
    std::string_view lastProfile;
    SlotsByAsi* lastAsis = nullptr;
    asiMap.ForEachDestination([&](const EndpointView& destination) {
        if (lastAsis == nullptr || destination.profile != lastProfile) {
            lastProfile = destination.profile;
            lastAsis = &m_byProfile[destination.profile];
        }
        lastAsis->push_back({destination.asi, position++});
    });
    m_slotOf.resize(destinations);
    for (auto& [profile, asis] : m_byProfile) {
        AssignSlots(asis);
    }
    m_matched.assign(destinations, false);
}

void DestinationIndex::AssignSlots(SlotsByAsi& asis) {
    // Equal ASIs in map order, so that the first stands for them all.
    std::sort(asis.begin(), asis.end(), [](const AsiSlot& left, const AsiSlot& right) {
        return left.asi != right.asi ? left.asi < right.asi : left.slot < right.slot;
    });
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < asis.size(); ++i) {
        if (distinct == 0 || asis[i].asi != asis[distinct - 1].asi) {
            asis[distinct++] = asis[i];
        }
        m_slotOf[asis[i].slot] = asis[distinct - 1].slot;
    }
    asis.resize(distinct);
    asis.shrink_to_fit();
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
    const auto slot = std::lower_bound(
        asis->second.begin(), asis->second.end(), asi,
        [](const AsiSlot& entry, std::string_view wanted) { return entry.asi < wanted; });
    if (slot == asis->second.end() || slot->asi != asi) {
        return false;
    }
    m_matched[slot->slot] = true;
    return true;
}
