#include "checker/asicheck.h"

#include <string_view>
#include <utility>

#include "checker/ismemberof.h"
#include "checker/kvsread.h"
#include "resources/stringids.h"

std::string EndpointView::Text() const {
    std::string text;
    text.reserve(profile.size() + 1 + asi.size());
    return text.append(profile).append(1, ':').append(asi);
}

EndpointView ASIMapChecker::DestinationOf(const ASI_Mapping& mapping, int j) {
    return {TextAt(mapping.m_destProfiles, j), TextAt(mapping.m_destASIs, j)};
}

void ASIMapChecker::ReadProfile() {
    m_mappings.RemoveAll();
    std::span<const CTkvs> mappings;
    if (!kvsread::KVSetArray(m_profile, KEY_Mappings, mappings)) {
        MarkWrongStructure();
        return;
    }
    m_mappings.Reserve(static_cast<int>(mappings.size()));
    for (const CTkvs mapping : mappings) {
        // A large map hands out a view per destination: each mapping's go with its copy.
        const kvsread::PrivateCopy own(mapping);
        // Read in place, as copying a read mapping would copy every destination again. When
        // there is no room the mapping is still read, for its structure, and then dropped.
        ASI_Mapping* const appended = m_mappings[m_mappings.Append(ASI_Mapping())];
        ASI_Mapping dropped;
        ASI_Mapping& read = appended != nullptr ? *appended : dropped;
        ReadSource(own.Handle(), read);
        ReadDestinations(own.Handle(), read);
    }
}

void ASIMapChecker::ReadSource(CTkvs mapping, ASI_Mapping& out) {
    CTkvs source = CT_kvsEmpty;
    if (!kvsread::KVSet(mapping, KEY_MapSource, source)) {
        MarkWrongStructure();
        return;
    }
    ReadRequiredString(source, KEY_EndpointProfile, out.m_srcProfile);
    ReadRequiredString(source, KEY_EndpointAsi, out.m_srcASI);
}

void ASIMapChecker::ReadDestinations(CTkvs mapping, ASI_Mapping& out) {
    std::span<const CTkvs> destinations;
    if (!kvsread::KVSetArray(mapping, KEY_MapDestinations, destinations)) {
        MarkWrongStructure();
        return;
    }
    out.m_destProfiles.Reserve(static_cast<int>(destinations.size()));
    out.m_destASIs.Reserve(static_cast<int>(destinations.size()));
    for (const CTkvs destination : destinations) {
        std::string value;
        if (ReadRequiredString(destination, KEY_EndpointProfile, value)) {
            out.m_destProfiles.Append(std::move(value));
        }
        if (ReadRequiredString(destination, KEY_EndpointAsi, value)) {
            out.m_destASIs.Append(std::move(value));
        }
    }
}

bool ASIMapChecker::ReadRequiredString(CTkvs kvs, CTsymbol key, std::string& out) {
    if (kvsread::String(kvs, key, out)) {
        return true;
    }
    MarkWrongStructure();
    return false;
}

void ASIMapChecker::ApplyRules(Array<CheckMessage>& messages) const {
    for (int m = 0; m < m_mappings.Size(); ++m) {
        const ASI_Mapping& mapping = *m_mappings[m];
        for (int j = 0; j < mapping.m_destProfiles.Size(); ++j) {
            const EndpointView destination = DestinationOf(mapping, j);
            if (mapping.m_srcProfile == destination.profile &&
                mapping.m_srcASI == destination.asi) {
                AppendFinding(messages, CE_Warning, IDS_CHK_ONE_TO_ONE_MAPPING,
                              {destination.profile, destination.asi});
            }
        }
    }
}

int ASIMapChecker::DestinationCount() const {
    int destinations = 0;
    for (int m = 0; m < m_mappings.Size(); ++m) {
        destinations += m_mappings[m]->m_destProfiles.Size();
    }
    return destinations;
}

Array<std::string> ASIMapChecker::GetDestASIList() const {
    Array<std::string> endpoints;
    endpoints.Reserve(DestinationCount());
    ForEachDestination(
        [&endpoints](const EndpointView& destination) { endpoints.Append(destination.Text()); });
    return endpoints;
}

Array<std::string> ASIMapChecker::GetSourceProfiles() const {
    Array<std::string> profiles;
    profiles.Reserve(m_mappings.Size());
    for (int m = 0; m < m_mappings.Size(); ++m) {
        profiles.Append(m_mappings[m]->m_srcProfile);
    }
    return profiles;
}

Array<std::string> ASIMapChecker::GetSourceASIs(const std::string& profileName) const {
    Array<std::string> asis;
    for (int m = 0; m < m_mappings.Size(); ++m) {
        if (m_mappings[m]->m_srcProfile == profileName) {
            asis.Append(m_mappings[m]->m_srcASI);
        }
    }
    return asis;
}
