#include "checker/checkbase.h"

#include <utility>

#include "checker/ruletext.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"

void SingleProfileChecker::Load(const std::string& name, CTkvs profile) {
    m_name = name;
    m_profile = profile;
    m_loadStatus = IDS_NO_ERROR;
    ReadProfile();
}

int SingleProfileChecker::Check(Array<CheckMessage>& messages) const {
    if (m_loadStatus != IDS_NO_ERROR) {
        CheckMessage fatal = ErrorMsg(CE_Fatal);
        fatal.m_text += StringTable::Text(m_loadStatus);
        AddFinding(messages, std::move(fatal));
        return 0;
    }
    ApplyRules(messages);
    return 1;
}

CheckMessage SingleProfileChecker::ErrorMsg(CE_Type type) const {
    return CheckMessage(type, m_name, m_name + ": ");
}

void SingleProfileChecker::AppendFinding(Array<CheckMessage>& messages, CE_Type type,
                                         unsigned textId,
                                         std::initializer_list<std::string_view> args) const {
    AddFinding(messages, RuleFinding(type, m_name, textId, args));
}

void SingleProfileChecker::MarkWrongStructure() {
    m_loadStatus = IDS_PROFILE_WRONG_STRUCTURE;
}
