#include "config/assocset.h"

#include "platform/text/nocase.h"

namespace {

constexpr const char* kEditorValue = "Editor";
constexpr const char* kDefaultEditorValue = "DefaultEditor";
constexpr DWORD kClassBufferSize = kMaxProfileClass + 1;
constexpr DWORD kEditorBufferSize = kMaxEditorPath + 1;

// The text of a string value, or empty when it cannot be read into an editor-sized buffer.
std::string ReadEditorValue(NT_RegKey& key, const char* name) {
    char buffer[kEditorBufferSize];
    return key.GetValue(name, buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

}  // namespace

bool IsStorableProfileClass(const std::string& profileClass) {
    return !profileClass.empty() && profileClass.size() <= kMaxProfileClass &&
           profileClass.find('\\') == std::string::npos;
}

EditorAssocSet::EditorAssocSet()
    : m_root(HKEY_LOCAL_MACHINE, kProfileClassesKey, kProfileClassesAccess) {
    m_bOK = Reload();
}

int EditorAssocSet::Reload() {
    DWORD subKeys = 0;
    const bool counted = m_root.GetNumberOfSubKeys(subKeys);
    m_classes.clear();
    m_editors.clear();
    m_nCount = 0;
    if (!counted) {
        return 0;
    }
    m_nCount = subKeys;
    if (!LoadClassNames() || !LoadEditors()) {
        m_classes.clear();
        m_editors.clear();
        m_nCount = 0;
    }
    m_strDefaultEditor = ReadEditorValue(m_root, kDefaultEditorValue);
    return 1;
}

bool EditorAssocSet::LoadClassNames() {
    for (unsigned index = 0; index < m_nCount; ++index) {
        char name[kClassBufferSize];
        if (!m_root.GetSubKeyName(index, name, sizeof name)) {
            return false;
        }
        m_classes.emplace_back(name);
    }
    return true;
}

bool EditorAssocSet::LoadEditors() {
    for (const std::string& profileClass : m_classes) {
        NT_RegKey classKey(m_root, profileClass.c_str(), KEY_READ);
        if (!classKey.IsValid()) {
            return false;
        }
        m_editors.push_back(ReadEditorValue(classKey, kEditorValue));
    }
    return true;
}

int EditorAssocSet::Associate(const std::string& profileClass, const std::string& editor) {
    if (!IsStorableProfileClass(profileClass) || editor.size() > kMaxEditorPath) {
        return 0;
    }
    // A new class key and its editor are kept together or not at all, so a failed write leaves
    // neither an empty class behind nor a changed one.
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS) {
        return 0;
    }
    HKEY created = m_root.CreateSubKey(profileClass.c_str(), KEY_WRITE);
    if (created == nullptr) {
        return 0;
    }
    if (NT_RegKey classKey(created); !classKey.SetValue(kEditorValue, editor.c_str())) {
        return 0;
    }
    if (transaction.Commit() != ERROR_SUCCESS) {
        return 0;
    }
    m_bOK = Reload();
    return m_bOK;
}

int EditorAssocSet::Remove(const std::string& profileClass) {
    if (!IsStorableProfileClass(profileClass) || !m_root.DeleteSubKey(profileClass.c_str())) {
        return 0;
    }
    return Reload();
}

int EditorAssocSet::Get(const std::string& profileClass, std::string& editor) const {
    for (unsigned index = 0; index < m_nCount; ++index) {
        if (EqualNoCase(m_classes[index], profileClass)) {
            editor = m_editors[index];
            return 1;
        }
    }
    return 0;
}

std::string EditorAssocSet::GetClass(unsigned index) const {
    return index < m_nCount ? m_classes[index] : std::string();
}

std::string EditorAssocSet::GetEditor(unsigned index) const {
    return index < m_nCount ? m_editors[index] : std::string();
}
