// Creating and editing profiles: the document starts the external editor of the profile's
// class on its own server entry and does not wait for it.

#include <sys/stat.h>

#include <QStringList>
#include <string>
#include <vector>

#include "config/assocset.h"
#include "framework/bytetext.h"
#include "platform/process/spawn.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"

namespace {

bool FileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

}  // namespace

// Each name is one argument of the editor, whatever blanks or other bytes the server gave it.
int CAdminDoc::NewProfile(const CString& profileClass) {
    return LaunchEditor(profileClass,
                        {m_strServerName, StringTable::Load(IDS_EDITOR_NEW), profileClass});
}

int CAdminDoc::EditProfile(const CString& name, const CString& profileClass) {
    return LaunchEditor(profileClass, {m_strServerName, StringTable::Load(IDS_EDITOR_EDIT), name,
                                       profileClass});
}

int CAdminDoc::LaunchEditor(const CString& profileClass, const QStringList& arguments) {
    std::string editor;
    {
        const EditorAssocSet associations;
        if (!associations.Get(BytesOfByteString(profileClass), editor))
            editor = associations.GetDefaultEditor();
    }
    if (editor.empty()) {
        m_nLastMessage = IDS_NO_EDITOR;
        return 0;
    }
    if (!FileExists(editor)) {
        m_nLastMessage = IDS_EDITOR_MISSING;
        return 0;
    }
    if (!StartProcess(QString::fromLatin1(editor.c_str()), arguments)) {
        m_nLastMessage = IDS_EDITOR_START_FAILED;
        return 0;
    }
    return 1;
}

int CAdminDoc::StartProcess(const CString& program, const QStringList& arguments) {
    std::vector<std::string> argv{BytesOfByteString(program)};
    for (const CString& argument : arguments)
        argv.push_back(BytesOfByteString(argument));
    return tlv::platform::StartDetachedProgram(std::move(argv)) ? 1 : 0;
}
