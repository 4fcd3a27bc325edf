#include "tools/tlvadm/targets.h"

#include <fnmatch.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/text/nocase.h"

namespace {

constexpr std::string_view kAddressPrefix = "tcp:";

bool IsAddress(std::string_view word) {
    return word.size() > kAddressPrefix.size() &&
           EqualNoCase(word.substr(0, kAddressPrefix.size()), kAddressPrefix);
}

bool IsPattern(std::string_view word) {
    return word.find_first_of("*?[") != std::string_view::npos;
}

bool IsList(std::string_view word) {
    return word.find(',') != std::string_view::npos;
}

// Where the table holds the name, compared as the registry compares value names.
std::optional<std::size_t> TableIndexOf(const std::vector<std::string>& table,
                                        std::string_view name) {
    const auto found = std::find_if(table.begin(), table.end(), [&](const std::string& entry) {
        return EqualNoCase(entry, name);
    });
    if (found == table.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - table.begin());
}

// Collects what a list or pattern names: table entries by their place, others as written.
class Selection final {
public:
    explicit Selection(const std::vector<std::string>& table)
        : m_table(table), m_chosen(table.size(), false) {}

    void AddEntry(std::size_t index) { m_chosen[index] = true; }

    // False when the pattern matches no entry.
    bool AddPattern(const std::string& pattern) {
        bool bAny = false;
        for (std::size_t i = 0; i < m_table.size(); ++i) {
            if (fnmatch(pattern.c_str(), m_table[i].c_str(), FNM_CASEFOLD) == 0) {
                m_chosen[i] = true;
                bAny = true;
            }
        }
        return bAny;
    }

    void AddOther(const std::string& word, bool bAddress) {
        const bool bSeen = std::any_of(m_others.begin(), m_others.end(), [&](const Target& t) {
            return bAddress ? t.name == word : EqualNoCase(t.name, word);
        });
        if (!bSeen)
            m_others.push_back({word, bAddress});
    }

    std::vector<Target> Targets() const {
        std::vector<Target> targets;
        for (std::size_t i = 0; i < m_table.size(); ++i) {
            if (m_chosen[i])
                targets.push_back({m_table[i], false});
        }
        targets.insert(targets.end(), m_others.begin(), m_others.end());
        return targets;
    }

private:
    const std::vector<std::string>& m_table;
    std::vector<bool> m_chosen;
    std::vector<Target> m_others;
};

bool AddWord(Selection& selection, const std::vector<std::string>& table, const std::string& word,
             std::string& error) {
    if (word.empty()) {
        error = "an empty server name in the list";
        return false;
    }
    if (const std::optional<std::size_t> index = TableIndexOf(table, word)) {
        selection.AddEntry(*index);
    } else if (IsAddress(word)) {
        selection.AddOther(word, true);
    } else if (IsPattern(word)) {
        if (!selection.AddPattern(word)) {
            error = "no server entry matches \"" + word + "\"";
            return false;
        }
    } else {
        selection.AddOther(word, false);  // its connect will say there is no such entry
    }
    return true;
}

std::vector<std::string> SplitList(const std::string& written) {
    std::vector<std::string> words;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = written.find(',', start);
        words.push_back(written.substr(start, comma - start));
        if (comma == std::string::npos)
            return words;
        start = comma + 1;
    }
}

}  // namespace

bool NeedsServerTable(const std::string& written) {
    return IsPattern(written) || IsList(written);
}

bool ResolveTargets(const std::string& written, bool bAll,
                    const std::vector<std::string>& tableNames, TargetPlan& plan,
                    std::string& error) {
    plan = {};
    if (bAll) {
        if (!written.empty()) {
            error = "--all takes no server name";
            return false;
        }
        if (tableNames.empty()) {
            error = "the administration server table has no entries";
            return false;
        }
        plan.bMany = true;
        for (const std::string& name : tableNames)
            plan.targets.push_back({name, false});
        return true;
    }
    const bool bOneEntry = TableIndexOf(tableNames, written).has_value();
    const bool bOneAddress = !bOneEntry && !IsList(written) && IsAddress(written);
    if (bOneEntry || bOneAddress || !NeedsServerTable(written)) {
        // As written, as tlvadm always opened one server.
        plan.targets.push_back({written, bOneAddress});
        return true;
    }
    Selection selection(tableNames);
    for (const std::string& word : IsList(written) ? SplitList(written) : std::vector{written}) {
        if (!AddWord(selection, tableNames, word, error))
            return false;
    }
    plan.bMany = true;
    plan.targets = selection.Targets();
    return true;
}
