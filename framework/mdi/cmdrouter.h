#pragma once
// The command router: a command goes along the active route (active view, its document, the
// main frame, the application); the first target with an entry for the id handles it and its
// enable rule decides. A command that no target of the route handles is disabled.

#include <functional>
#include <optional>
#include <vector>

#include "framework/mdi/cmdtarget.h"

class CommandRouter final {
public:
    // Gives the targets of the route, first asked first; null entries are skipped.
    using RouteProvider = std::function<std::vector<const CCmdTarget*>()>;

    explicit CommandRouter(RouteProvider route);

    bool isEnabled(unsigned id) const;
    // Whether the command is a toggle that is on now.
    bool isChecked(unsigned id) const;
    // Runs the command when it is enabled; false when it was not run.
    bool execute(unsigned id) const;

private:
    std::optional<CCmdTarget::CommandEntry> Find(unsigned id) const;

    RouteProvider m_route;
};
