#pragma once
// The shape shared by the three checkers of one profile: Load reads the profile into the
// checker's lists and notes whether its structure was right; Check then either reports the
// one fatal finding of a badly formed profile or applies the class's rules.

#include <initializer_list>
#include <string_view>

#include "checker/array.h"
#include "checker/checkmessage.h"
#include "resources/stringids.h"
#include "s100/s100.h"

class SingleProfileChecker {
public:
    virtual ~SingleProfileChecker() = default;
    SingleProfileChecker(const SingleProfileChecker&) = delete;
    SingleProfileChecker& operator=(const SingleProfileChecker&) = delete;

    // Keeps the name and the handle (not owned: it must outlive the checker) and reads the
    // profile; a missing or mistyped value that the class requires marks a wrong structure,
    // and reading goes on with what is left.
    void Load(const std::string& name, CTkvs profile);

    // 0 with one fatal finding when the profile did not have the right structure, else the
    // rules' findings in order and 1.
    int Check(Array<CheckMessage>& messages) const;

    // The string-table id of the load status: IDS_NO_ERROR or IDS_PROFILE_WRONG_STRUCTURE.
    unsigned LoadStatus() const { return m_loadStatus; }

protected:
    SingleProfileChecker() = default;

    // Empties the lists and reads m_profile into them.
    virtual void ReadProfile() = 0;
    virtual void ApplyRules(Array<CheckMessage>& messages) const = 0;

    // A finding about this profile: its text so far is the name and ": ".
    CheckMessage ErrorMsg(CE_Type type) const;
    // Appends the finding of a rule: ErrorMsg(type) extended by the formatted text.
    void AppendFinding(Array<CheckMessage>& messages, CE_Type type, unsigned textId,
                       std::initializer_list<std::string_view> args) const;
    void MarkWrongStructure();

    CTkvs m_profile = CT_kvsEmpty;
    std::string m_name;

private:
    unsigned m_loadStatus = IDS_NO_ERROR;
};
