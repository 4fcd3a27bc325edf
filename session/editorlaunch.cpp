// Creating and editing profiles: the document starts the external editor of the profile's
// class on its own server entry and does not wait for it.

#include <sys/stat.h>

#include <QStringList>
#include <string>

#include "config/assocset.h"
#include "platform/process/spawn.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"

namespace {

std::string ToBytes(const CString& text) {
    return text.toLatin1().toStdString();
}

bool FileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

}  // namespace

int CAdminDoc::NewProfile(const CString& profileClass) {
    const QStringList words{m_strServerName, StringTable::Load(IDS_EDITOR_NEW), profileClass};
    return LaunchEditor(profileClass, words.join(QLatin1Char(' ')));
}

int CAdminDoc::EditProfile(const CString& name, const CString& profileClass) {
    const QStringList words{m_strServerName, StringTable::Load(IDS_EDITOR_EDIT), name,
                            profileClass};
    return LaunchEditor(profileClass, words.join(QLatin1Char(' ')));
}

int CAdminDoc::LaunchEditor(const CString& profileClass, const CString& arguments) {
    std::string editor;
    {
        const EditorAssocSet associations;
        if (!associations.Get(ToBytes(profileClass), editor))
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

int CAdminDoc::StartProcess(const CString& program, const CString& arguments) {
    return tlv::platform::StartDetachedProcess(ToBytes(program + QLatin1Char(' ') + arguments)) ? 1
                                                                                                : 0;
}
