#include "checker/ismemberof.h"

int IsMemberOf(const CString& s, const Array<CString>& list) {
    for (int i = 0; i < list.Size(); ++i) {
        const CString* element = list[i];
        if (element != nullptr && *element == s) {
            return 1;
        }
    }
    return 0;
}

MemberIndex::MemberIndex(const Array<CString>& list) {
    m_members.reserve(static_cast<std::size_t>(list.Size()));
    for (int i = 0; i < list.Size(); ++i) {
        if (const CString* element = list[i]; element != nullptr) {
            m_members.insert(*element);
        }
    }
}
