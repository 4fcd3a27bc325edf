#include "tests/support/recording_editor.h"

#include <sys/stat.h>

#include <fstream>

#include "tests/support/tlvsd_process.h"

namespace tlv::test {

RecordingEditor::RecordingEditor(const std::string& folder)
    : m_path(folder + "/recording-editor"), m_record(folder + "/editor-arguments") {
    std::ofstream script(m_path);
    // Written aside and renamed, so a reader never sees half of it.
    script << "#!/bin/sh\n"
              "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '"
           << m_record << ".part'\n"
           << "mv '" << m_record << ".part' '" << m_record << "'\n";
    script.close();
    m_bReady = script.good() && chmod(m_path.c_str(), 0755) == 0;
}

bool RecordingEditor::WasStarted() const {
    struct stat status {};
    return stat(m_record.c_str(), &status) == 0;
}

std::optional<std::vector<std::string>> RecordingEditor::WaitForArguments() const {
    if (!waitUntil([this] { return WasStarted(); }))
        return std::nullopt;
    std::ifstream record(m_record);
    std::vector<std::string> words;
    for (std::string line; std::getline(record, line);)
        words.push_back(line);
    return words;
}

}  // namespace tlv::test
