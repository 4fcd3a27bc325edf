#pragma once
// ASIMapChecker: the ASI map (class "SCR_ASIMap"). Each mapping joins one source endpoint
// (profile, ASI) to destination endpoints; an endpoint mapped onto itself is suspicious. Its
// endpoint lists are what the rules across profiles compare with the other profiles.

#include <string_view>

#include "checker/checkbase.h"

class ASI_Mapping {
public:
    ASI_Mapping() = default;
    ASI_Mapping(const ASI_Mapping& other) = default;
    ASI_Mapping& operator=(const ASI_Mapping&) = delete;

    std::string m_srcProfile;
    std::string m_srcASI;
    Array<std::string> m_destProfiles;
    Array<std::string> m_destASIs;  // parallel to m_destProfiles
};

// One endpoint as views of a mapping's texts, valid while the mapping is unchanged. Its text is
// the profile name, ':' and the ASI name.
struct EndpointView {
    std::string_view profile;
    std::string_view asi;

    std::string Text() const;
};

class ASIMapChecker final : public SingleProfileChecker {
public:
    ASIMapChecker() = default;

    // "profile:ASI" of every destination of every mapping, in order, duplicates included.
    Array<std::string> GetDestASIList() const;
    // How many destinations all mappings have together.
    int DestinationCount() const;
    // Calls visit(EndpointView) for the same destinations in the same order, without copying.
    template <typename Visit>
    void ForEachDestination(Visit visit) const {
        for (int m = 0; m < m_mappings.Size(); ++m) {
            const ASI_Mapping& mapping = *m_mappings[m];
            for (int j = 0; j < mapping.m_destProfiles.Size(); ++j) {
                visit(DestinationOf(mapping, j));
            }
        }
    }
    // The same destinations by mapping and index within the mapping.
    int MappingCount() const { return m_mappings.Size(); }
    int DestinationCountOf(int mapping) const { return m_mappings[mapping]->m_destProfiles.Size(); }
    EndpointView Destination(int mapping, int j) const {
        return DestinationOf(*m_mappings[mapping], j);
    }
    // The source profile of every mapping, in order, duplicates included.
    Array<std::string> GetSourceProfiles() const;
    // The source ASI of every mapping whose source profile is exactly profileName.
    Array<std::string> GetSourceASIs(const std::string& profileName) const;

protected:
    void ReadProfile() override;
    void ApplyRules(Array<CheckMessage>& messages) const override;

private:
    // Destination j of a mapping; a side missing from its array reads as empty.
    static EndpointView DestinationOf(const ASI_Mapping& mapping, int j);

    void ReadSource(CTkvs mapping, ASI_Mapping& out);
    void ReadDestinations(CTkvs mapping, ASI_Mapping& out);
    // Reads key into out; a missing value marks a wrong structure.
    bool ReadRequiredString(CTkvs kvs, CTsymbol key, std::string& out);

    Array<ASI_Mapping> m_mappings;
};
