#pragma once
// DestinationIndex: the ASI map's destination endpoints, each with whether an application
// endpoint matched it. Endpoints are compared as their whole text ("profile:ASI"), but looked up
// by profile and ASI without making that text; the index holds views of the map's texts, so the
// map must outlive it unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checker/asicheck.h"

class DestinationIndex final {
public:
    explicit DestinationIndex(const ASIMapChecker& asiMap);

    // Marks the destinations whose text equals the endpoint's as matched; false when there is
    // none.
    bool Match(const EndpointView& endpoint);

    // Calls report(EndpointView) for every destination no endpoint matched, in map order.
    template <typename Report>
    void ForEachUnmatched(Report report) const {
        std::size_t i = 0;
        m_asiMap.ForEachDestination([this, &i, &report](const EndpointView& destination) {
            if (!m_matched[m_slotOf[i++]]) {
                report(destination);
            }
        });
    }

private:
    struct AsiSlot {
        std::string_view asi;
        std::uint32_t slot;
    };
    // One profile's distinct destination ASIs, sorted by ASI.
    using SlotsByAsi = std::vector<AsiSlot>;

    // Sorts each profile's ASIs, which hold their destination's position until then, and gives
    // equal ones the slot of the first.
    void AssignSlots(SlotsByAsi& asis);
    // Marks the destinations with exactly this profile and ASI; false when there is none.
    bool MarkExact(std::string_view profile, std::string_view asi);

    const ASIMapChecker& m_asiMap;
    // By profile, then by ASI: the ASIs of one profile are looked up together, in one block.
    std::unordered_map<std::string_view, SlotsByAsi> m_byProfile;
    std::vector<std::uint32_t> m_slotOf;  // by destination, in map order
    std::vector<bool> m_matched;          // by slot: the position of its first destination
};
