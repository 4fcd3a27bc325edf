#pragma once
// ASIMapChecker: the ASI map (class "SCR_ASIMap"). Each mapping joins one source endpoint
// (profile, ASI) to destination endpoints; an endpoint mapped onto itself is suspicious. Its
// endpoint lists are what the rules across profiles compare with the other profiles.

#include "checker/checkbase.h"

class ASI_Mapping {
public:
    ASI_Mapping() = default;
    ASI_Mapping(const ASI_Mapping& other) = default;
    ASI_Mapping& operator=(const ASI_Mapping&) = delete;

    CString m_srcProfile;
    CString m_srcASI;
    Array<CString> m_destProfiles;
    Array<CString> m_destASIs;  // parallel to m_destProfiles
};

class ASIMapChecker final : public SingleProfileChecker {
public:
    ASIMapChecker() = default;

    // "profile:ASI" of every destination of every mapping, in order, duplicates included.
    Array<CString> GetDestASIList() const;
    // The source profile of every mapping, in order, duplicates included.
    Array<CString> GetSourceProfiles() const;
    // The source ASI of every mapping whose source profile is exactly profileName.
    Array<CString> GetSourceASIs(const CString& profileName) const;

protected:
    void ReadProfile() override;
    void ApplyRules(Array<CheckMessage>& messages) const override;

private:
    void ReadSource(CTkvs mapping, ASI_Mapping& out);
    void ReadDestinations(CTkvs mapping, ASI_Mapping& out);
    // Reads key into out; a missing value marks a wrong structure.
    bool ReadRequiredString(CTkvs kvs, CTsymbol key, CString& out);

    Array<ASI_Mapping> m_mappings;
};
