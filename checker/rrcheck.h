#pragma once
// RRProfChecker: the routing rules (class "SCR_RoutingRules"). Inbound rules name devices
// and one ASI each, outbound rules name devices; rules that name no device at all are
// suspicious. The inbound rules' ASIs go to the rules across profiles.

#include "checker/checkbase.h"

class RRProfChecker final : public SingleProfileChecker {
public:
    RRProfChecker() = default;

    Array<CString> GetInboundASIList() const { return m_inboundASIs; }

protected:
    void ReadProfile() override;
    void ApplyRules(Array<CheckMessage>& messages) const override;

private:
    void ReadInboundRules();
    void ReadOutboundRules();

    Array<CString> m_inboundDevices;
    Array<CString> m_outboundDevices;
    Array<CString> m_inboundASIs;
};
