#pragma once
// A stand-in profile editor for tests: a script in a folder of the test's that writes each of
// its arguments on a line of its own into a file beside it, so a test can see exactly the
// argument vector the program was started with.

#include <optional>
#include <string>
#include <vector>

namespace tlv::test {

class RecordingEditor final {
public:
    // Writes the script into the folder (which must exist).
    explicit RecordingEditor(const std::string& folder);

    const std::string& Path() const { return m_path; }
    bool IsReady() const { return m_bReady; }

    // The arguments of the last start (without the program), once it has written them; waits
    // at most a few seconds, empty optional when nothing came.
    std::optional<std::vector<std::string>> WaitForArguments() const;
    // Whether a start wrote anything yet, without waiting.
    bool WasStarted() const;

private:
    std::string m_path;
    std::string m_record;
    bool m_bReady = false;
};

}  // namespace tlv::test
