#include "checker/rrcheck.h"

#include "checker/kvsread.h"
#include "resources/stringids.h"

namespace {

// Appends the rule's devices to devices; false when the rule has no readable device list.
bool AppendDevices(CTkvs rule, Array<std::string>& devices) {
    std::span<const char* const> names;
    if (!kvsread::StringArray(rule, KEY_RuleDevices, names)) {
        return false;
    }
    for (const char* name : names) {
        devices.Append(kvsread::Text(name));
    }
    return true;
}

}  // namespace

void RRProfChecker::ReadProfile() {
    m_inboundDevices.RemoveAll();
    m_outboundDevices.RemoveAll();
    m_inboundASIs.RemoveAll();
    ReadInboundRules();
    ReadOutboundRules();
}

// Devices are optional in an inbound rule, its ASI is not.
void RRProfChecker::ReadInboundRules() {
    for (const CTkvs rule : kvsread::OptionalKVSetArray(m_profile, KEY_InboundRules)) {
        AppendDevices(rule, m_inboundDevices);
        std::string asi;
        if (kvsread::String(rule, KEY_AsiName, asi)) {
            m_inboundASIs.Append(asi);
        } else {
            MarkWrongStructure();
        }
    }
}

// An outbound rule consists of its devices, so it must have them.
void RRProfChecker::ReadOutboundRules() {
    for (const CTkvs rule : kvsread::OptionalKVSetArray(m_profile, KEY_OutboundRules)) {
        if (!AppendDevices(rule, m_outboundDevices)) {
            MarkWrongStructure();
        }
    }
}

void RRProfChecker::ApplyRules(Array<CheckMessage>& messages) const {
    if (m_outboundDevices.Size() == 0 && m_inboundDevices.Size() == 0) {
        AppendFinding(messages, CE_Warning, IDS_CHK_NO_ROUTING_RULES, {});
    }
}
