#pragma once
// The application profiles of one check run, checked as they arrive: from a whole query
// result, or part by part from a query answered in parts. Each profile is named, loaded,
// checked and then reduced to what the rules across profiles need; its findings wait in an
// array of their own, since the run's findings about the ASI map and the routing rules stand
// before them.

#include <cstddef>
#include <functional>
#include <memory>

#include "checker/appcheck.h"
#include "checker/appnames.h"
#include "checker/array.h"
#include "checker/checkmessage.h"
#include "s100/s100.h"

class ApplicationRun final {
public:
    ApplicationRun();

    // Names and checks the profiles of a query result or of one part of it (KEY_ProfileNames
    // and KEY_ProfileContents, paired by index; names beyond the contents are not read). A
    // result that cannot be read, or running out of memory, fails the whole run: false.
    bool TakeProfiles(CTkvs result);

    // The handler of a query answered in parts; context is the ApplicationRun.
    static CTstatus TakePart(CTkvs part, void* context);

    // Told how many profiles have been checked, after each result or part taken.
    void SetProgress(std::function<void(std::size_t checked)> progress) {
        m_progress = std::move(progress);
    }

    // The profiles could not all be read: there are no application profiles.
    void MarkFailed();
    bool Failed() const { return m_bFailed; }

    const ApplicationNames& Names() const { return m_names; }
    // Moves the profiles' findings, in index order, behind what messages holds.
    void MoveFindingsTo(Array<CheckMessage>& messages);

private:
    ApplicationNames m_names;
    Array<CheckMessage> m_findings;
    std::unique_ptr<AppProfChecker> m_pReader;  // loads and checks each profile in turn
    std::function<void(std::size_t checked)> m_progress;
    bool m_bFailed;
};
