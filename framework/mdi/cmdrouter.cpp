#include "framework/mdi/cmdrouter.h"

CommandRouter::CommandRouter(RouteProvider route) : m_route(std::move(route)) {}

std::optional<CCmdTarget::CommandEntry> CommandRouter::Find(unsigned id) const {
    for (const CCmdTarget* target : m_route()) {
        if (target == nullptr)
            continue;
        if (const CCmdTarget::CommandEntry* entry = target->FindCommand(id))
            return *entry;  // a copy: the handler may destroy its own target
    }
    return std::nullopt;
}

bool CommandRouter::isEnabled(unsigned id) const {
    const auto entry = Find(id);
    return entry && (!entry->enabled || entry->enabled());
}

bool CommandRouter::isChecked(unsigned id) const {
    const auto entry = Find(id);
    return entry && entry->checked && entry->checked();
}

bool CommandRouter::execute(unsigned id) const {
    const auto entry = Find(id);
    if (!entry || (entry->enabled && !entry->enabled()))
        return false;
    entry->handler();
    return true;
}
