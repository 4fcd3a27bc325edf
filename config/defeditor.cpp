#include "config/defeditor.h"

#include "config/assocset.h"
#include "resources/stringids.h"

namespace {

constexpr const char* kDefaultEditorValue = "DefaultEditor";

}  // namespace

RegistryPlace DefaultEditorKey::Place() {
    return {kProfileClassesKey, kDefaultEditorValue, static_cast<DWORD>(kMaxEditorPath + 1)};
}

DefaultEditorKey::DefaultEditorKey()
    : m_key(HKEY_LOCAL_MACHINE, kProfileClassesKey, kProfileClassesAccess) {}

unsigned DefaultEditorKey::Read(std::string& editor) {
    char buffer[kMaxEditorPath + 1];
    if (!m_key.GetValue(kDefaultEditorValue, buffer, sizeof buffer)) {
        return IDS_REGISTRY_ACCESS_FAILED;
    }
    editor = buffer;
    return 0;
}

unsigned DefaultEditorKey::Write(const std::string& editor) {
    if (!m_key.SetValue(kDefaultEditorValue, editor.c_str())) {
        return IDS_REGISTRY_UPDATE_FAILED;
    }
    return 0;
}
