#pragma once
// DestinationIndex: the ASI map's destination endpoints, each with whether an application
// endpoint matched it. Endpoints are compared as their whole text ("profile:ASI"), but looked up
// by profile and ASI without making that text. The index holds the destinations' positions and
// the hashes of their ASIs, a few bytes each, and reads a text only to confirm a match; the map
// must outlive it unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "checker/asicheck.h"
#include "checker/ismemberof.h"

class DestinationIndex final {
public:
    explicit DestinationIndex(const ASIMapChecker& asiMap);

    // Marks the destinations whose text equals the endpoint's as matched; false when there is
    // none.
    bool Match(const EndpointView& endpoint);

    // Calls report(EndpointView) for every destination no endpoint matched, in map order. Only
    // those destinations' texts are read.
    template <typename Report>
    void ForEachUnmatched(Report report) const {
        std::uint32_t position = 0;
        for (int m = 0; m < m_asiMap.MappingCount(); ++m) {
            for (int j = 0; j < m_asiMap.DestinationCountOf(m); ++j) {
                if (!m_matched[m_slotOf[position++]]) {
                    report(m_asiMap.Destination(m, j));
                }
            }
        }
    }

private:
    // A destination by its position in map order, with the hash of its ASI.
    struct AsiEntry {
        std::uint32_t hash;
        std::uint32_t position;
    };

    static std::uint32_t HashOf(std::string_view asi);
    // Numbers the profiles, hashes the ASIs and sorts the destinations into m_entries.
    void Build();
    // Within each profile: by hash, then position. Equal ASIs get the slot of the first.
    void SortProfile(std::uint32_t profileId);
    std::string_view AsiAt(std::uint32_t position) const;
    // Marks the destinations with exactly this profile and ASI; false when there is none.
    bool MarkExact(std::string_view profile, std::string_view asi);

    const ASIMapChecker& m_asiMap;
    std::vector<std::uint32_t> m_mappingStart;  // by mapping: its first destination's position
    MemberIndex m_profileIds;  // a profile's id is its position
    std::vector<std::uint32_t> m_profileStart;  // by profile id: its first entry; then the end
    std::vector<AsiEntry> m_entries;            // by profile, then as SortProfile orders them
    std::vector<std::uint32_t> m_slotOf;        // by position: the position of the first equal
    std::vector<bool> m_matched;                // by slot
    // The profile looked up last: the endpoints of one profile come one after the other.
    std::uint32_t m_lastProfileId = SlotTable::kNone;
    std::string m_lastProfile;
};
