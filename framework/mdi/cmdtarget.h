#pragma once
// A command target: an object that handles some command ids, each with an enable rule and, for
// toggles, a check rule. The router asks the targets of the active route in turn; the first one
// that has an entry for the id runs it and decides whether it is enabled.

#include <functional>
#include <unordered_map>

class CCmdTarget {
public:
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    struct CommandEntry {
        Handler handler;
        Rule enabled;  // empty: always enabled
        Rule checked;  // empty: not a toggle
    };

    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // The entry for the id, or null when this target does not handle it.
    const CommandEntry* FindCommand(unsigned id) const;

protected:
    // Registers (or replaces) the handler of the id.
    void OnCommand(unsigned id, Handler handler, Rule enabled = {}, Rule checked = {});

private:
    std::unordered_map<unsigned, CommandEntry> m_commands;
};
