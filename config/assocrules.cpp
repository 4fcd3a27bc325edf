#include "config/assocrules.h"

#include <algorithm>

#include "config/assocset.h"
#include "platform/text/nocase.h"
#include "resources/stringids.h"

namespace {

void AddOnce(std::vector<std::string>& choices, const std::string& path) {
    const bool present = std::any_of(choices.begin(), choices.end(),
                                     [&](const std::string& c) { return EqualNoCase(c, path); });
    if (!present) {
        choices.push_back(path);
    }
}

}  // namespace

unsigned CheckAssociationFields(const std::string& profileClass, const std::string& editor) {
    if (profileClass.empty() || editor.empty()) {
        return IDS_CLASS_OR_EDITOR_EMPTY;
    }
    if (!IsStorableProfileClass(profileClass)) {
        return IDS_PROFILE_CLASS_INVALID;
    }
    return CheckDefaultEditorField(editor);
}

unsigned CheckDefaultEditorField(const std::string& editor) {
    if (editor.size() > kMaxEditorPath) {
        return IDS_EDITOR_PATH_TOO_LONG;
    }
    return 0;
}

std::vector<std::string> EditorChoices(const EditorAssocSet& set) {
    std::vector<std::string> choices;
    for (unsigned index = 0; index < set.NoOfAssociations(); ++index) {
        AddOnce(choices, set.GetEditor(index));
    }
    if (const std::string defaultEditor = set.GetDefaultEditor(); !defaultEditor.empty()) {
        AddOnce(choices, defaultEditor);
    }
    return choices;
}

std::vector<std::string> ClassChoices(const EditorAssocSet& set) {
    std::vector<std::string> classes;
    for (unsigned index = 0; index < set.NoOfAssociations(); ++index) {
        classes.push_back(set.GetClass(index));
    }
    return classes;
}
