#include "checker/appcheck.h"

#include <string_view>
#include <utility>

#include "checker/kvsread.h"
#include "resources/stringids.h"

namespace {

constexpr std::string_view kAllocatedByScr = "ALLOCATED_BY_SCR";
constexpr std::string_view kNoResource = "NONE";
constexpr std::string_view kResourceSeparators = "&+|()";

// Appends text to list and, once it is there, to the index kept over the list.
void AppendIndexed(Array<std::string>& list, MemberIndex& index, std::string&& text) {
    if (const std::string* appended = list[list.Append(std::move(text))]; appended != nullptr) {
        index.Add(*appended);
    }
}

// A group set and a configuration name as one key, unambiguous whatever the names hold.
std::string PairKey(std::string_view groupSetName, std::string_view configName) {
    std::string key = std::to_string(groupSetName.size());
    key.reserve(key.size() + 1 + groupSetName.size() + configName.size());
    return key.append(1, ':').append(groupSetName).append(configName);
}

}  // namespace

void GetConfigNames(std::string_view s, std::string& groupSetName, std::string& configName) {
    groupSetName.clear();
    configName.clear();
    const std::size_t space = s.find(' ');
    const std::size_t equals = s.find('=');
    if (space != std::string_view::npos && space > 0) {
        groupSetName = s.substr(0, space);
    }
    if (equals != std::string_view::npos && equals > 0) {
        const std::size_t start = space == std::string_view::npos ? 0 : space + 1;
        if (equals >= start) {
            configName = s.substr(start, equals - start);
        }
    }
}

void AppProfChecker::ForgetRuleData() {
    m_asiGroupSets.RemoveAll();
    m_asiDefaultConfigs.RemoveAll();
    m_groupSetNames.RemoveAll();
    m_primaryResources.RemoveAll();
    m_groupConfigs.RemoveAll();
    m_usedResources.RemoveAll();
    m_definedResources.RemoveAll();
    m_usedIndex.Clear();
    m_configPairIndex.Clear();
    m_asiGroupSetIndex.Clear();
    m_defaultConfigIndex.Clear();
    m_groupSetIndex.Clear();
    m_definedIndex.Clear();
}

void AppProfChecker::ReadProfile() {
    m_asiNames.RemoveAll();
    ForgetRuleData();
    ReadAsis();
    ReadGroupSets();
    ReadResources();
}

// A profile without an ASI list is one without ASIs; an ASI entry must have all three values.
void AppProfChecker::ReadAsis() {
    const std::span<const CTkvs> asis = kvsread::OptionalKVSetArray(m_profile, KEY_AsiList);
    const struct {
        CTsymbol key;
        Array<std::string>& list;
        MemberIndex* index;  // null for a list the rules do not search
    } fields[] = {{KEY_AsiName, m_asiNames, nullptr},
                  {KEY_AsiGroupSet, m_asiGroupSets, &m_asiGroupSetIndex},
                  {KEY_AsiDefaultConfig, m_asiDefaultConfigs, &m_defaultConfigIndex}};
    for (const auto& field : fields) {
        field.list.Reserve(static_cast<int>(asis.size()));
    }
    for (const CTkvs asi : asis) {
        for (const auto& field : fields) {
            std::string value;
            if (!kvsread::String(asi, field.key, value)) {
                MarkWrongStructure();
            } else if (field.index != nullptr) {
                AppendIndexed(field.list, *field.index, std::move(value));
            } else {
                field.list.Append(std::move(value));
            }
        }
    }
}

void AppProfChecker::ReadGroupSets() {
    std::span<const CTary> groupSets;
    if (!kvsread::ArrayOfArrays(m_profile, KEY_GroupSets, groupSets)) {
        MarkWrongStructure();
        return;
    }
    m_groupSetNames.Reserve(static_cast<int>(groupSets.size()));
    m_primaryResources.Reserve(static_cast<int>(groupSets.size()));
    for (const CTary groupSet : groupSets) {
        std::span<const char* const> strings;
        if (!kvsread::Strings(groupSet, strings) || strings.size() < 2) {
            MarkWrongStructure();
            continue;
        }
        const std::string_view name = kvsread::View(strings[0]);
        const std::string primary = kvsread::Text(strings[1]);
        AppendIndexed(m_groupSetNames, m_groupSetIndex, std::string(name));
        m_primaryResources.Append(primary);
        // Primary resources count once per group set, duplicates included.
        m_usedResources.Append(primary);
        m_usedIndex.Add(primary);
        for (std::size_t j = 2; j < strings.size(); ++j) {
            const std::string_view element = kvsread::View(strings[j]);
            std::string entry;
            entry.reserve(name.size() + 1 + element.size());
            AddGroupConfig(std::move(entry.append(name).append(1, ' ').append(element)));
            ExtractResources(element);
        }
    }
}

// A nameless entry (empty, or starting with "=") is kept as the empty name: nothing can use
// it, so the unused-resource remark points the operator at it.
void AppProfChecker::ReadResources() {
    std::span<const char* const> resources;
    if (!kvsread::StringArray(m_profile, KEY_Resources, resources)) {
        MarkWrongStructure();
        return;
    }
    m_definedResources.Reserve(static_cast<int>(resources.size()));
    for (const char* entry : resources) {
        const std::string_view text = kvsread::View(entry);
        const std::string_view name = text.substr(0, text.find('='));
        if (name != kAllocatedByScr) {
            AppendIndexed(m_definedResources, m_definedIndex, std::string(name));
        }
    }
}

int AppProfChecker::ExtractResources(std::string_view configElement) {
    const std::size_t equals = configElement.find('=');
    if (equals == std::string_view::npos) {
        return 1;
    }
    const std::string_view expression = configElement.substr(equals + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t separator = expression.find_first_of(kResourceSeparators, start);
        const std::string_view token = expression.substr(start, separator - start);
        if (!token.empty() && token != kNoResource) {
            AddUsedResource(token);
        }
        if (separator == std::string_view::npos) {
            break;
        }
        start = separator + 1;
    }
    return 1;
}

void AppProfChecker::AddGroupConfig(std::string&& entry) {
    std::string groupSetName;
    std::string configName;
    GetConfigNames(entry, groupSetName, configName);
    m_configPairIndex.Add(PairKey(groupSetName, configName));
    m_groupConfigs.Append(std::move(entry));
}

void AppProfChecker::AddUsedResource(std::string_view resource) {
    if (!m_usedIndex.Contains(resource)) {
        const std::string name(resource);
        m_usedResources.Append(name);
        m_usedIndex.Add(name);
    }
}

int AppProfChecker::GSConfigExists(int i) const {
    return m_configPairIndex.Contains(
               PairKey(TextAt(m_asiGroupSets, i), TextAt(m_asiDefaultConfigs, i)))
               ? 1
               : 0;
}

void AppProfChecker::ApplyRules(Array<CheckMessage>& messages) const {
    CheckAsis(messages);
    CheckGroupSets(messages);
    CheckGroupConfigs(messages);
    CheckResources(messages);
}

void AppProfChecker::CheckAsis(Array<CheckMessage>& messages) const {
    for (int i = 0; i < m_asiGroupSets.Size(); ++i) {
        const std::string_view groupSet = TextAt(m_asiGroupSets, i);
        const std::string_view asi = TextAt(m_asiNames, i);
        if (!m_groupSetIndex.Contains(groupSet)) {
            AppendFinding(messages, CE_Error, IDS_CHK_GROUPSET_UNDEFINED, {groupSet, asi});
        }
        if (GSConfigExists(i) == 0) {
            AppendFinding(messages, CE_Error, IDS_CHK_DEFAULT_CONFIG_MISSING,
                          {TextAt(m_asiDefaultConfigs, i), asi, groupSet});
        }
    }
}

void AppProfChecker::CheckGroupSets(Array<CheckMessage>& messages) const {
    for (int i = 0; i < m_groupSetNames.Size(); ++i) {
        const std::string_view groupSet = TextAt(m_groupSetNames, i);
        if (!m_asiGroupSetIndex.Contains(groupSet)) {
            AppendFinding(messages, CE_Info, IDS_CHK_GROUPSET_UNUSED, {groupSet});
        }
        if (!m_definedIndex.Contains(TextAt(m_primaryResources, i))) {
            AppendFinding(messages, CE_Error, IDS_CHK_PRIMARY_RESOURCE_UNDEFINED, {groupSet});
        }
    }
}

void AppProfChecker::CheckGroupConfigs(Array<CheckMessage>& messages) const {
    for (int i = 0; i < m_groupConfigs.Size(); ++i) {
        std::string groupSetName;
        std::string configName;
        GetConfigNames(TextAt(m_groupConfigs, i), groupSetName, configName);
        if (!m_defaultConfigIndex.Contains(configName)) {
            AppendFinding(messages, CE_Info, IDS_CHK_GROUP_CONFIG_UNUSED,
                          {configName, groupSetName});
        }
    }
}

void AppProfChecker::CheckResources(Array<CheckMessage>& messages) const {
    for (int i = 0; i < m_usedResources.Size(); ++i) {
        const std::string_view resource = TextAt(m_usedResources, i);
        if (!m_definedIndex.Contains(resource)) {
            AppendFinding(messages, CE_Error, IDS_CHK_RESOURCE_UNDEFINED, {resource});
        }
    }
    for (int i = 0; i < m_definedResources.Size(); ++i) {
        const std::string_view resource = TextAt(m_definedResources, i);
        if (!m_usedIndex.Contains(resource)) {
            AppendFinding(messages, CE_Info, IDS_CHK_RESOURCE_UNUSED, {resource});
        }
    }
}
