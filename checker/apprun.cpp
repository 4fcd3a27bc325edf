#include "checker/apprun.h"

#include <new>
#include <span>
#include <utility>

#include "checker/kvsread.h"

namespace {

// Loads and checks one application profile, then lets it go but for what the rules across
// profiles need. It is read from a set of its own, so that what reading it hands out goes with
// that set rather than staying until the whole result goes.
void CheckApplication(AppProfChecker& checker, CTkvs contents, Array<CheckMessage>& messages) {
    const kvsread::PrivateCopy own(contents);
    checker.Load(checker.ProfileName(), own.Handle());
    checker.Check(messages);
    checker.KeepOnlyCrossProfileData();
}

}  // namespace

AppProfChecker* ApplicationCheckers::AddBlock(std::size_t count) {
    std::unique_ptr<AppProfChecker[]> checkers(new (std::nothrow) AppProfChecker[count]);
    if (checkers == nullptr) {
        return nullptr;
    }
    m_blocks.push_back({std::move(checkers), count});
    m_count += count;
    return m_blocks.back().checkers.get();
}

// A findings array whose first block could not be allocated would drop every finding.
ApplicationRun::ApplicationRun() : m_bFailed(m_findings.Capacity() == 0) {}

bool ApplicationRun::TakeProfiles(CTkvs result) {
    try {
        std::span<const char* const> names;
        std::span<const CTkvs> contents;
        AppProfChecker* checkers = nullptr;
        if (!m_bFailed && kvsread::StringArray(result, KEY_ProfileNames, names) &&
            kvsread::KVSetArray(result, KEY_ProfileContents, contents) &&
            names.size() >= contents.size()) {
            checkers = m_checkers.AddBlock(contents.size());
        }
        if (checkers == nullptr) {
            MarkFailed();
            return false;
        }
        for (std::size_t i = 0; i < contents.size(); ++i) {
            checkers[i].SetName(kvsread::Text(names[i]));
        }
        for (std::size_t i = 0; i < contents.size(); ++i) {
            CheckApplication(checkers[i], contents[i], m_findings);
        }
        return true;
    } catch (const std::bad_alloc&) {
        MarkFailed();
        return false;
    }
}

CTstatus ApplicationRun::TakePart(CTkvs part, void* context) {
    return static_cast<ApplicationRun*>(context)->TakeProfiles(part) ? CT_SUCCESS : CT_FAILURE;
}

void ApplicationRun::MarkFailed() {
    m_bFailed = true;
    m_checkers = ApplicationCheckers();
    m_findings.RemoveAll();
}

void ApplicationRun::MoveFindingsTo(Array<CheckMessage>& messages) {
    for (int i = 0; i < m_findings.Size(); ++i) {
        messages.Append(std::move(*m_findings[i]));
    }
    m_findings.RemoveAll();
}
