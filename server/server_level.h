#pragma once
// The server's operating level, 1 to 5. Level 2 starts the mandatory services, level 3 the
// optional ones; going below a level stops what it started (emergency: emergency stops). The
// level is kept in the store, so a restarted server comes back at the level it was left at.

#include "s100/errors.h"
#include "s100/symbols.h"
#include "server/profile_store.h"
#include "server/service_table.h"

namespace tlv::server {

inline constexpr int kLowestLevel = 1;
inline constexpr int kHighestLevel = 5;

class ServerLevel final {
public:
    ServerLevel(ProfileStore& store, ServiceTable& services);

    // Reads the stored level and starts what it calls for.
    void restore();
    int level() const { return m_level; }
    // CTerr_InvalidArgument for a level outside 1..5 or an unknown mode.
    CTerror setTarget(int level, CTsymbol mode);

private:
    void move(int from, int to, StopMode mode);

    ProfileStore& m_store;
    ServiceTable& m_services;
    int m_level = kLowestLevel;
};

}  // namespace tlv::server
