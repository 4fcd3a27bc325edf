#pragma once
// RRProfChecker: the routing rules (class "SCR_RoutingRules"). Inbound rules name devices
// and one ASI each, outbound rules name devices; rules that name no device at all are
// suspicious. The inbound rules' ASIs go to the rules across profiles.

#include "checker/checkbase.h"

class RRProfChecker final : public SingleProfileChecker {
public:
    RRProfChecker() = default;

    Array<std::string> GetInboundASIList() const { return m_inboundASIs; }

protected:
    void ReadProfile() override;
    void ApplyRules(Array<CheckMessage>& messages) const override;

private:
    void ReadInboundRules();
    void ReadOutboundRules();

    Array<std::string> m_inboundDevices;
    Array<std::string> m_outboundDevices;
    Array<std::string> m_inboundASIs;
};
