#pragma once
// The default profile editor, the "DefaultEditor" value of the profile-classes table, as the
// "Change Default Editor" command reads and rewrites it. The command changes an existing value
// only: a table without one is reported, never given one.

#include <string>

#include "config/regfailure.h"
#include "config/registry.h"

class DefaultEditorKey final {
public:
    // Opens the profile-classes table.
    DefaultEditorKey();

    // Where the default editor is kept, for a message that names it.
    static RegistryPlace Place();

    // 0, or IDS_REGISTRY_ACCESS_FAILED when the table or its value cannot be read.
    unsigned Read(std::string& editor);
    // 0, or IDS_REGISTRY_UPDATE_FAILED.
    unsigned Write(const std::string& editor);

private:
    NT_RegKey m_key;
};
