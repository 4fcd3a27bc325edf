#include "checker/apprun.h"

#include <new>
#include <span>
#include <utility>

#include "checker/kvsread.h"

namespace {

// Loads and checks one application profile in reader, then keeps what the rules across
// profiles need of it. One reader serves every profile, so its lists keep their room rather
// than each profile growing lists of its own. The profile is read from a set of its own, so
// that what reading it hands out goes with that set rather than staying until the whole result
// goes.
void CheckApplication(AppProfChecker& reader, const std::string& name, CTkvs contents,
                      Array<CheckMessage>& messages, ApplicationNames& names) {
    const kvsread::PrivateCopy own(contents);
    reader.Load(name, own.Handle());
    reader.Check(messages);
    names.Add(name, reader.GetASIList());
}

}  // namespace

// A findings array whose first block could not be allocated would drop every finding.
ApplicationRun::ApplicationRun() : m_bFailed(m_findings.Capacity() == 0) {}

bool ApplicationRun::TakeProfiles(CTkvs result) {
    try {
        std::span<const char* const> names;
        std::span<const CTkvs> contents;
        if (!m_bFailed && m_pReader == nullptr) {
            m_pReader.reset(new (std::nothrow) AppProfChecker);
        }
        if (m_bFailed || m_pReader == nullptr ||
            !kvsread::StringArray(result, KEY_ProfileNames, names) ||
            !kvsread::KVSetArray(result, KEY_ProfileContents, contents) ||
            names.size() < contents.size()) {
            MarkFailed();
            return false;
        }
        for (std::size_t i = 0; i < contents.size(); ++i) {
            CheckApplication(*m_pReader, kvsread::Text(names[i]), contents[i], m_findings,
                             m_names);
        }
        if (m_progress)
            m_progress(m_names.Count());
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
    m_names.Clear();
    m_findings.RemoveAll();
}

void ApplicationRun::MoveFindingsTo(Array<CheckMessage>& messages) {
    messages.Reserve(messages.Size() + m_findings.Size());
    for (int i = 0; i < m_findings.Size(); ++i) {
        messages.Append(std::move(*m_findings[i]));
    }
    m_findings.RemoveAll();
}
