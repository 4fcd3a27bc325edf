#include "checker/appnames.h"

void ApplicationNames::Add(std::string_view profile, const Array<std::string>& asiNames) {
    const std::size_t textsBefore = m_texts.size();
    const std::size_t endsBefore = m_textEnds.size();
    try {
        Append(profile);
        for (int a = 0; a < asiNames.Size(); ++a) {
            if (const std::string* asi = asiNames[a]; asi != nullptr) {
                Append(*asi);
            }
        }
        m_firstText.push_back(endsBefore);
    } catch (...) {
        m_texts.resize(textsBefore);
        m_textEnds.resize(endsBefore);
        throw;
    }
}

void ApplicationNames::Clear() {
    m_texts = std::string();
    m_textEnds = std::vector<std::size_t>();
    m_firstText = std::vector<std::size_t>();
}

std::string_view ApplicationNames::TextAt(std::size_t t) const {
    const std::size_t start = t == 0 ? 0 : m_textEnds[t - 1];
    return std::string_view(m_texts).substr(start, m_textEnds[t] - start);
}

void ApplicationNames::Append(std::string_view text) {
    m_texts.append(text);
    m_textEnds.push_back(m_texts.size());
}
