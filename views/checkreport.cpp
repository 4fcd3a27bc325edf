#include "views/checkreport.h"

#include <vector>

#include "checker/profchck.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"

namespace {

class CheckReport final : public CheckFindings {
public:
    explicit CheckReport(const Array<CheckMessage>& messages);

    int Count() const override { return static_cast<int>(m_lines.size()); }
    std::string Line(int index) const override;

private:
    std::vector<std::string> m_lines;
};

CheckReport::CheckReport(const Array<CheckMessage>& messages) {
    int errors = 0;
    int warnings = 0;
    m_lines.reserve(static_cast<std::size_t>(messages.Size()) + 2);
    for (int i = 0; i < messages.Size(); ++i) {
        const CheckMessage& message = *messages[i];
        m_lines.push_back(LabelledText(message));
        if (message.m_type == CE_Error || message.m_type == CE_Fatal)
            ++errors;
        else if (message.m_type == CE_Warning)
            ++warnings;
    }
    if (!m_lines.empty())
        m_lines.emplace_back();
    m_lines.push_back(CheckSummary(errors, warnings));
}

std::string CheckReport::Line(int index) const {
    return index >= 0 && index < Count() ? m_lines[static_cast<std::size_t>(index)] : std::string();
}

}  // namespace

std::unique_ptr<CheckFindings> RunCheckReport(ECTF_AdminSession& session,
                                              std::function<void(std::size_t checked)> progress) {
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    checker.SetProgress(std::move(progress));
    checker.Check(messages);
    return std::make_unique<CheckReport>(messages);
}

std::string CheckSummary(int errors, int warnings) {
    return StringTable::Text(IDS_CHECK_COMPLETE) + std::to_string(errors) +
           StringTable::Text(IDS_CHECK_ERRORS) + ", " + std::to_string(warnings) +
           StringTable::Text(IDS_CHECK_WARNINGS);
}
