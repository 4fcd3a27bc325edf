#include "checker/destindex.h"

#include <algorithm>
#include <functional>

DestinationIndex::DestinationIndex(const ASIMapChecker& asiMap) : m_asiMap(asiMap) {
    Build();
    m_matched.assign(m_slotOf.size(), false);
}

std::uint32_t DestinationIndex::HashOf(std::string_view asi) {
    const std::size_t hash = std::hash<std::string_view>{}(asi);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

void DestinationIndex::Build() {
    const auto destinations = static_cast<std::size_t>(m_asiMap.DestinationCount());
    std::vector<std::uint32_t> hashes;
    std::vector<std::uint32_t> profileSizes;
    hashes.reserve(destinations);
    m_slotOf.reserve(destinations);  // holds each destination's profile id until SortProfile
    m_mappingStart.reserve(static_cast<std::size_t>(m_asiMap.MappingCount()));
    // A mapping's destinations mostly share a profile: its ASIs are counted without a lookup.
    std::string_view lastProfile;
    std::uint32_t lastId = 0;
    for (int m = 0; m < m_asiMap.MappingCount(); ++m) {
        m_mappingStart.push_back(static_cast<std::uint32_t>(hashes.size()));
        for (int j = 0; j < m_asiMap.DestinationCountOf(m); ++j) {
            const EndpointView destination = m_asiMap.Destination(m, j);
            if (hashes.empty() || destination.profile != lastProfile) {
                lastId = m_profileIds.Add(destination.profile);
                if (lastId == profileSizes.size()) {
                    profileSizes.push_back(0);
                }
                lastProfile = destination.profile;
            }
            ++profileSizes[lastId];
            m_slotOf.push_back(lastId);
            hashes.push_back(HashOf(destination.asi));
        }
    }
    m_profileStart.assign(profileSizes.size() + 1, 0);
    for (std::size_t id = 0; id < profileSizes.size(); ++id) {
        m_profileStart[id + 1] = m_profileStart[id] + profileSizes[id];
    }
    std::vector<std::uint32_t>& next = profileSizes;  // by profile id: its next free entry
    std::copy(m_profileStart.begin(), m_profileStart.end() - 1, next.begin());
    m_entries.resize(hashes.size());
    for (std::uint32_t position = 0; position < hashes.size(); ++position) {
        m_entries[next[m_slotOf[position]]++] = {hashes[position], position};
    }
    for (std::uint32_t id = 0; id + 1 < m_profileStart.size(); ++id) {
        SortProfile(id);
    }
}

void DestinationIndex::SortProfile(std::uint32_t profileId) {
    const auto first = m_entries.begin() + m_profileStart[profileId];
    const auto last = m_entries.begin() + m_profileStart[profileId + 1];
    std::sort(first, last, [](const AsiEntry& left, const AsiEntry& right) {
        return left.hash != right.hash ? left.hash < right.hash : left.position < right.position;
    });
    // Equal ASIs share a hash, and a run of one hash is short: texts are read only there.
    for (auto run = first; run != last;) {
        const auto runEnd = std::find_if(
            run, last, [hash = run->hash](const AsiEntry& entry) { return entry.hash != hash; });
        for (auto entry = run; entry != runEnd; ++entry) {
            m_slotOf[entry->position] = entry->position;
            for (auto earlier = run; earlier != entry; ++earlier) {
                if (m_slotOf[earlier->position] == earlier->position &&
                    AsiAt(earlier->position) == AsiAt(entry->position)) {
                    m_slotOf[entry->position] = earlier->position;
                    break;
                }
            }
        }
        run = runEnd;
    }
}

std::string_view DestinationIndex::AsiAt(std::uint32_t position) const {
    // The last mapping starting at or before the position: a mapping without destinations
    // starts where the next one does.
    const auto after = std::upper_bound(m_mappingStart.begin(), m_mappingStart.end(), position);
    const auto mapping = static_cast<int>(after - m_mappingStart.begin()) - 1;
    return m_asiMap.Destination(mapping, static_cast<int>(position - m_mappingStart[mapping])).asi;
}

bool DestinationIndex::Match(const EndpointView& endpoint) {
    bool found = MarkExact(endpoint.profile, endpoint.asi);
    if (endpoint.profile.find(':') == std::string_view::npos &&
        endpoint.asi.find(':') == std::string_view::npos) {
        return found;
    }
    // A ':' in a name lets other splits of the same text name destinations too.
    const std::string text = endpoint.Text();
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
    if (m_lastProfileId == SlotTable::kNone || profile != m_lastProfile) {
        m_lastProfileId = m_profileIds.PositionOf(profile);
        if (m_lastProfileId == SlotTable::kNone) {
            return false;
        }
        m_lastProfile = profile;
    }
    const auto first = m_entries.begin() + m_profileStart[m_lastProfileId];
    const auto last = m_entries.begin() + m_profileStart[m_lastProfileId + 1];
    const std::uint32_t hash = HashOf(asi);
    auto entry = std::lower_bound(
        first, last, hash, [](const AsiEntry& e, std::uint32_t wanted) { return e.hash < wanted; });
    for (; entry != last && entry->hash == hash; ++entry) {
        if (AsiAt(entry->position) == asi) {
            m_matched[m_slotOf[entry->position]] = true;
            return true;
        }
    }
    return false;
}
