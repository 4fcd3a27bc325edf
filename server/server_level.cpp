#include "server/server_level.h"

#include <string>

#include "server/log.h"

namespace tlv::server {
namespace {

constexpr const char* kLevelSetting = "level";
constexpr int kMandatoryLevel = 2;
constexpr int kOptionalLevel = 3;

}  // namespace

ServerLevel::ServerLevel(ProfileStore& store, ServiceTable& services)
    : m_store(store), m_services(services) {}

void ServerLevel::restore() {
    const auto stored = m_store.setting(kLevelSetting);
    if (!stored || stored->size() != 1 || (*stored)[0] < '0' + kLowestLevel ||
        (*stored)[0] > '0' + kHighestLevel) {
        return;
    }
    const int level = (*stored)[0] - '0';
    logEvent("level %d restored", level);
    move(kLowestLevel, level, StopMode::Normal);
    m_level = level;
}

CTerror ServerLevel::setTarget(int level, CTsymbol mode) {
    if (level < kLowestLevel || level > kHighestLevel ||
        (mode != LEVEL_CHANGE_NORMAL && mode != LEVEL_CHANGE_EMERGENCY)) {
        return CTerr_InvalidArgument;
    }
    if (!m_store.setSetting(kLevelSetting, std::to_string(level))) {
        return CTerr_StoreFailed;
    }
    const bool emergency = mode == LEVEL_CHANGE_EMERGENCY;
    logEvent("level %d -> %d%s", m_level, level, emergency ? " (emergency)" : "");
    move(m_level, level, emergency ? StopMode::Emergency : StopMode::Normal);
    m_level = level;
    return CTerr_NoError;
}

void ServerLevel::move(int from, int to, StopMode mode) {
    if (from < kMandatoryLevel && to >= kMandatoryLevel) {
        m_services.startGroup(ServiceTable::Group::Mandatory);
    }
    if (from < kOptionalLevel && to >= kOptionalLevel) {
        m_services.startGroup(ServiceTable::Group::Optional);
    }
    if (from >= kOptionalLevel && to < kOptionalLevel) {
        m_services.stopGroup(ServiceTable::Group::Optional, mode);
    }
    if (from >= kMandatoryLevel && to < kMandatoryLevel) {
        m_services.stopGroup(ServiceTable::Group::Mandatory, mode);
    }
}

}  // namespace tlv::server
