#pragma once
// ApplicationNames: what the rules across profiles need of the application profiles of a run,
// their names and each one's ASI names, in profile order. The texts stand back to back in one
// block, so that a run over many profiles keeps a few bytes per name instead of an object
// per name and a checker per profile.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "checker/array.h"
#include "checker/checkmessage.h"

class ApplicationNames final {
public:
    // Adds a profile after the others with its ASI names in order; null slots are skipped.
    // Throws std::bad_alloc when there is no room, leaving the profiles added before.
    void Add(std::string_view profile, const Array<std::string>& asiNames);
    void Clear();

    std::size_t Count() const { return m_firstText.size(); }
    // Profile p's name, ASI count and ASI a; views valid until the next Add or Clear.
    std::string_view Profile(std::size_t p) const { return TextAt(m_firstText[p]); }
    std::size_t AsiCount(std::size_t p) const { return EndOf(p) - m_firstText[p] - 1; }
    std::string_view Asi(std::size_t p, std::size_t a) const {
        return TextAt(m_firstText[p] + 1 + a);
    }

private:
    std::string_view TextAt(std::size_t t) const;
    // One past profile p's last text.
    std::size_t EndOf(std::size_t p) const {
        return p + 1 < m_firstText.size() ? m_firstText[p + 1] : m_textEnds.size();
    }
    void Append(std::string_view text);

    std::string m_texts;                  // every name, back to back
    std::vector<std::size_t> m_textEnds;  // by text: where it ends in m_texts
    std::vector<std::size_t> m_firstText; // by profile: its name's text, its ASIs following
};
