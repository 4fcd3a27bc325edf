#include "checker/apprun.h"

#include <new>
#include <span>
#include <utility>

#include "checker/kvsread.h"

namespace {

// Loads and checks one application profile in reader, then keeps in the profile's checker what
// the rules across profiles need. One reader serves every profile, so its lists keep their room
// rather than each profile growing lists of its own. The profile is read from a set of its own,
// so that what reading it hands out goes with that set rather than staying until the whole
// result goes.
void CheckApplication(AppProfChecker& reader, AppProfChecker& checker, CTkvs contents,
                      Array<CheckMessage>& messages) {
    const kvsread::PrivateCopy own(contents);
    reader.Load(checker.ProfileName(), own.Handle());
    reader.Check(messages);
    checker.KeepCrossProfileDataOf(reader);
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
        if (checkers != nullptr && m_pReader == nullptr) {
            m_pReader.reset(new (std::nothrow) AppProfChecker);
        }
        if (checkers == nullptr || m_pReader == nullptr) {
            MarkFailed();
            return false;
        }
        for (std::size_t i = 0; i < contents.size(); ++i) {
            checkers[i].SetName(kvsread::Text(names[i]));
        }
        for (std::size_t i = 0; i < contents.size(); ++i) {
            CheckApplication(*m_pReader, checkers[i], contents[i], m_findings);
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
    messages.Reserve(messages.Size() + m_findings.Size());
    for (int i = 0; i < m_findings.Size(); ++i) {
        messages.Append(std::move(*m_findings[i]));
    }
    m_findings.RemoveAll();
}
