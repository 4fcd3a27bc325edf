#include "framework/mdi/cmdtarget.h"

const CCmdTarget::CommandEntry* CCmdTarget::FindCommand(unsigned id) const {
    const auto it = m_commands.find(id);
    return it == m_commands.end() ? nullptr : &it->second;
}

void CCmdTarget::OnCommand(unsigned id, Handler handler, Rule enabled, Rule checked) {
    m_commands[id] = CommandEntry{std::move(handler), std::move(enabled), std::move(checked)};
}
