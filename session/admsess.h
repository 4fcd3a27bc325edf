#pragma once
// ECTF_AdminSession: the one gateway to one server. It opens an S.100 session to a named
// server entry (not a connection string: the library resolves the name), offers each
// administrative call as a member, and turns the library's status and error into a success
// flag (1/0) plus LastError. Nothing here shows a message.
//
// The list queries hand out arrays made with array new; the caller owns them and deletes
// each (array delete) when the count is above 0. With a count of 0 every pointer is null.

#include <string>
#include <vector>

#include "s100/s100.h"
#include "s100/svcstatus.h"
#include "session/ctstring.h"

class SessionAbortLine;
struct ArrayCopyResult;

class ECTF_AdminSession final {
public:
    // Connects; the caller checks IsOK at once. Through the abort line (which must outlive the
    // session) another thread can end the connect and every call waiting in the session. With
    // a key file, the name is a connection string "tcp:HOST:PORT" of a server without an
    // entry, and its key is read from that file.
    explicit ECTF_AdminSession(const SC_String& serverEntryName,
                               SessionAbortLine* abortLine = nullptr,
                               const std::string& keyFile = {});
    // Disconnects when connected.
    ~ECTF_AdminSession();
    ECTF_AdminSession(const ECTF_AdminSession&) = delete;
    ECTF_AdminSession& operator=(const ECTF_AdminSession&) = delete;

    long IsOK() const { return m_lStatus == CT_SUCCESS ? 1 : 0; }
    unsigned long LastError() const { return m_ulError; }

    long RemoveProfile(const SC_String& name, const SC_String& profileClass);
    long ImportProfile(const SC_String& fileName, const SC_String& name,
                       const SC_String& profileClass);
    long ExportProfile(const SC_String& fileName, const SC_String& name,
                       const SC_String& profileClass);
    long AddProfile(const SC_String& name, const SC_String& profileClass, CTkvs contents);
    long UpdateProfile(const SC_String& name, const SC_String& profileClass, CTkvs contents);
    // The contents of exactly one profile, copied into the caller's set; a profile that is
    // not there fails with CTerr_NotFound.
    long GetProfile(const SC_String& name, const SC_String& profileClass, CTkvs contents);

    long AddService(const SC_String& name, CTkvs definition);
    long UpdateService(const SC_String& name, CTkvs definition);
    long RemoveService(const SC_String& name);
    long StartService(const SC_String& name);
    // mode: LEVEL_CHANGE_NORMAL or LEVEL_CHANGE_EMERGENCY.
    long StopService(const SC_String& name, unsigned long mode);

    long GetServerLevel(long& level);
    // Why the named services (all when none is named) are where they are; a name that is no
    // service is left out of statuses.
    long GetServiceStatus(const std::vector<std::string>& names,
                          std::vector<TLVserviceStatus>& statuses);
    long ChangeServerLevel(long level, unsigned long mode);

    // Passes the result set to the call as well, and on success copies every pair of the
    // record's set into it.
    long GetProfileInfo(const SC_String& name, const SC_String& profileClass, long withContents,
                        CTkvs result);

    // The same query handed to handler part by part, each part a read-only set valid only
    // while the handler runs (CTadm_GetProfileInfoInParts); so a caller that takes what it
    // needs from each part never holds the whole answer. A failing handler stops the handing
    // with CTerr_HandlerFailed and leaves the session usable; nothing found is CTerr_NotFound
    // without a part.
    long GetProfileInfoInParts(const SC_String& name, const SC_String& profileClass,
                               long withContents, CTprofilePartHandler handler, void* context);

    // "Nothing found" (CTerr_NotFound) is an empty list for profiles and services, a failure
    // for service providers.
    long GetProfileList(const SC_String& profileClass, SC_String*& names, SC_String*& classes,
                        int& count);
    long GetServiceStates(SC_String*& names, unsigned long*& states, unsigned long*& types,
                          long*& disabled, int& count);
    long GetSPList(SC_String*& names, long*& available, int& count);

    long LoadSymbolTable();
    long NameToSymbol(const SC_String& name, CTsymbol& symbol);
    long SymbolToName(CTsymbol symbol, SC_String& name);

private:
    class CallRecord;

    void Connect(const SC_String& serverEntryName, const std::string& keyFile);
    // CTses_Create, in the two steps that let the abort line reach the connect.
    CTstatus OpenSession(CTkvs options, CTevtinfo* record);
    void Disconnect();

    // Steps of every call with a record: reset the error, make the record's set, run the
    // call while the status is 1, take the record's error on failure.
    template <typename Call>
    long RunRecordCall(Call call);
    // Steps of a call that reports into an error word.
    template <typename Call>
    long RunErrorWordCall(Call call);
    // A list query: call(query set, record), then, while the status is 1, copy of the results
    // into the arrays.
    template <typename Call, typename Arrays>
    long RunListQuery(bool nothingFoundIsEmpty, Call call,
                      ArrayCopyResult (*copy)(CTkvs, bool, Arrays&), Arrays& arrays);

    CTsession m_hSession;
    long m_lStatus;
    unsigned long m_ulError;
    long m_lConnected;
    SessionAbortLine* m_pAbortLine;
};
