#pragma once
// EditorAssocSet: a snapshot of which editor program edits which profile class, plus the
// default editor for classes without one.
//
// The table is the key "SOFTWARE\Kestrova\TLVS Client\Admin\Profile Classes": one sub-key per
// class holding its "Editor" path, and the "DefaultEditor" path on the key itself. The snapshot
// is taken at construction and renewed only by this object's own Associate and Remove, so two
// sets may disagree. Results are 1 for success and 0 for failure.

#include <string>
#include <vector>

#include "config/registry.h"

inline constexpr const char* kProfileClassesKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Admin\\Profile Classes";
// Query, set, create sub-key, enumerate, notify, delete and read control.
inline constexpr REGSAM kProfileClassesAccess = 0x3001F;
// Class names are read into 256 bytes, editor paths into 2048 bytes (NUL included).
inline constexpr std::size_t kMaxProfileClass = 255;
inline constexpr std::size_t kMaxEditorPath = 2047;

class EditorAssocSet final {
public:
    // Opens the table and loads it; IsOK tells whether that load succeeded.
    EditorAssocSet();
    EditorAssocSet(const EditorAssocSet&) = delete;
    EditorAssocSet& operator=(const EditorAssocSet&) = delete;

    // Loads the table again. 0 only when the classes cannot be counted; a class that cannot be
    // read leaves the set empty but still succeeds.
    int Reload();
    // Writes the class's editor, creating the class when it is new, as one transaction; then
    // reloads and keeps that result as IsOK. On failure nothing is written and the snapshot and
    // IsOK stay as they were. A class name with a backslash (it would name a key path) or longer
    // than kMaxProfileClass is refused.
    int Associate(const std::string& profileClass, const std::string& editor);
    // Deletes the class; returns the result of the reload that follows (not kept as IsOK).
    int Remove(const std::string& profileClass);
    // The editor of the first class equal to the one asked for without regard to case; 0, with
    // the editor untouched, when there is none.
    int Get(const std::string& profileClass, std::string& editor) const;

    // Empty when the index is not below NoOfAssociations.
    std::string GetClass(unsigned index) const;
    std::string GetEditor(unsigned index) const;
    std::string GetDefaultEditor() const { return m_strDefaultEditor; }
    unsigned NoOfAssociations() const { return m_nCount; }
    int IsOK() const { return m_bOK; }

private:
    bool LoadClassNames();
    bool LoadEditors();

    NT_RegKey m_root;
    unsigned m_nCount = 0;
    std::vector<std::string> m_classes;
    std::vector<std::string> m_editors;
    std::string m_strDefaultEditor;
    int m_bOK = 0;
};

// Whether a class name can be one sub-key of the table.
bool IsStorableProfileClass(const std::string& profileClass);
