#pragma once
// The display texts of the service and provider rows, loaded once from the string table, and
// the rules that turn the server's symbols and flags into them.

#include "session/viewline.h"

struct DisplayTexts {
    // Loads every text by its id.
    static DisplayTexts Load();

    CString m_strIdle;
    CString m_strStarting;
    CString m_strWaiting;
    CString m_strRunning;
    CString m_strStopping;
    CString m_strIdleFailed;
    CString m_strStateUnknown;
    CString m_strMandatory;
    CString m_strOptional;
    CString m_strRoot;
    CString m_strTypeUnknown;
    CString m_strDisabled;
    CString m_strAvailable;
    CString m_strNotAvailable;
};

// "Idle", "Running", ... for a KEY_ServiceStates symbol; "Unknown" for any other.
const CString& StateText(const DisplayTexts& texts, unsigned long state);
// "Optional", "Mandatory", "Root" or "Unknown", followed by " [Disabled]" when disabled.
CString TypeText(const DisplayTexts& texts, unsigned long type, long disabled);
// "Available" for a non-zero flag, else "Not Available".
const CString& AvailabilityText(const DisplayTexts& texts, long available);
