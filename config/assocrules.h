#pragma once
// The checks and choices of the association dialogs, kept apart from the widgets. Checks
// return the string-table id of the message to show, or 0 when the input is fine.

#include <string>
#include <vector>

class EditorAssocSet;

// OK in "Associate": both fields filled, a class that can be stored, a path that can be read
// back.
unsigned CheckAssociationFields(const std::string& profileClass, const std::string& editor);
// OK in "Change Default Profile Editor": any path that can be read back, also an empty one.
unsigned CheckDefaultEditorField(const std::string& editor);

// The editor paths to offer: every association's editor, then the default editor when there is
// one, each path once (paths equal without regard to case count as one), first one kept.
std::vector<std::string> EditorChoices(const EditorAssocSet& set);
// The class names of the set, in its order.
std::vector<std::string> ClassChoices(const EditorAssocSet& set);
