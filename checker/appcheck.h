#pragma once
// AppProfChecker: one application profile (class "Application"). Every group set an ASI
// names must exist and hold the ASI's default configuration; every resource the group sets
// name must be defined; what is defined but unused is remarked on.

#include <string_view>

#include "checker/checkbase.h"
#include "checker/ismemberof.h"

class AppProfChecker final : public SingleProfileChecker {
public:
    AppProfChecker() = default;

    const Array<std::string>& GetASIList() const { return m_asiNames; }
    const std::string& ProfileName() const { return m_name; }

protected:
    void ReadProfile() override;
    void ApplyRules(Array<CheckMessage>& messages) const override;

    // 1 when a group configuration of ASI i's group set has ASI i's default configuration.
    int GSConfigExists(int i) const;
    // Adds the resources named by a configuration element such as CFG1=(R1&R2)|R3 to the
    // used resources; always 1.
    int ExtractResources(std::string_view configElement);

private:
    // Empties every list but the ASI names, and the indexes over them; their room stays for the
    // next profile.
    void ForgetRuleData();
    void ReadAsis();
    void ReadGroupSets();
    void ReadResources();
    void AddGroupConfig(std::string&& entry);
    void AddUsedResource(std::string_view resource);

    void CheckAsis(Array<CheckMessage>& messages) const;
    void CheckGroupSets(Array<CheckMessage>& messages) const;
    void CheckGroupConfigs(Array<CheckMessage>& messages) const;
    void CheckResources(Array<CheckMessage>& messages) const;

    Array<std::string> m_asiNames;
    Array<std::string> m_asiGroupSets;
    Array<std::string> m_asiDefaultConfigs;
    Array<std::string> m_groupSetNames;
    Array<std::string> m_primaryResources;
    Array<std::string> m_groupConfigs;  // "<group set> <configuration element>"
    Array<std::string> m_usedResources;
    Array<std::string> m_definedResources;

    // Kept with m_usedResources while loading: resource extraction asks it for every token.
    MemberIndex m_usedIndex;
    // The (group set, configuration name) pair of every group configuration, as GetConfigNames
    // splits the entries; GSConfigExists asks it for each ASI.
    MemberIndex m_configPairIndex;
    // Kept with the lists of the same names, for the rules that search them.
    MemberIndex m_asiGroupSetIndex;
    MemberIndex m_defaultConfigIndex;
    MemberIndex m_groupSetIndex;
    MemberIndex m_definedIndex;
};

// Splits a group configuration entry "<group set> <configuration>=<expression>": the group
// set name is the text before the first space, the configuration name the text between that
// space (or the start) and the first equals sign. Either is empty when its delimiter is
// missing or stands first; the configuration name is also empty when the first equals sign
// comes before the first space.
void GetConfigNames(std::string_view s, std::string& groupSetName, std::string& configName);
