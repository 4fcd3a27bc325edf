#include "session/admsess.h"

#include <memory>

#include "s100/kvs/ownedset.h"
#include "s100/sesabort.h"
#include "session/abortline.h"
#include "session/resultarrays.h"

namespace {

// A set the call needs that could not be made fails it with the library's error; an earlier
// failure stands.
void FailUnlessMade(const s100::OwnedSet& set, long& status, unsigned long& error) {
    if (status == CT_SUCCESS && !set.IsValid()) {
        status = CT_FAILURE;
        error = set.Error();
    }
}

}  // namespace

// The event-information record of one call with its result set, destroyed at scope end; the
// outcome of the destroy changes neither status nor error. Making it starts the call's status
// afresh.
class ECTF_AdminSession::CallRecord final {
public:
    CallRecord(long& status, unsigned long& error) {
        m_record.size = sizeof(CTevtinfo);
        m_record.error = CTerr_NoError;
        m_record.kvs = m_results.Handle();
        status = CT_SUCCESS;
        FailUnlessMade(m_results, status, error);
    }

    CTevtinfo* Get() { return &m_record; }
    CTkvs Results() const { return m_record.kvs; }
    CTerror Error() const { return m_record.error; }

private:
    const s100::OwnedSet m_results;
    CTevtinfo m_record{};
};

ECTF_AdminSession::ECTF_AdminSession(const SC_String& serverEntryName, SessionAbortLine* abortLine,
                                     const std::string& keyFile)
    : m_hSession(0),
      m_lStatus(CT_SUCCESS),
      m_ulError(CTerr_NoError),
      m_lConnected(0),
      m_pAbortLine(abortLine) {
    Connect(serverEntryName, keyFile);
}

ECTF_AdminSession::~ECTF_AdminSession() {
    if (m_lConnected)
        Disconnect();
}

void ECTF_AdminSession::Connect(const SC_String& serverEntryName, const std::string& keyFile) {
    m_lConnected = 0;
    m_ulError = CTerr_NoError;
    CallRecord record(m_lStatus, m_ulError);
    const s100::OwnedSet options;
    FailUnlessMade(options, m_lStatus, m_ulError);
    if (m_lStatus == CT_SUCCESS) {
        CTerror putError = CTerr_NoError;
        m_lStatus = CTkvs_PutString(options.Handle(), KEY_ServerName, serverEntryName, &putError);
        if (m_lStatus == CT_SUCCESS && !keyFile.empty())
            m_lStatus =
                CTkvs_PutString(options.Handle(), KEY_AdminKeyFile, keyFile.c_str(), &putError);
        if (m_lStatus != CT_SUCCESS)
            m_ulError = putError;
    }
    if (m_lStatus == CT_SUCCESS) {
        m_lStatus = OpenSession(options.Handle(), record.Get());
        if (m_lStatus != CT_SUCCESS)
            m_ulError = record.Error();
    }
    m_lConnected = m_lStatus == CT_SUCCESS ? 1 : 0;
}

CTstatus ECTF_AdminSession::OpenSession(CTkvs options, CTevtinfo* record) {
    if (m_pAbortLine == nullptr)
        return CTses_Create(&m_hSession, "", 0, options, record, nullptr);
    TLVses_Reserve(&m_hSession, nullptr);
    if (!m_pAbortLine->Attach(m_hSession)) {
        CTses_Destroy(m_hSession, CT_kvsEmpty, nullptr, nullptr);
        m_hSession = 0;
        record->error = CTerr_ConnectionLost;
        return CT_FAILURE;
    }
    const CTstatus status = TLVses_Open(m_hSession, options, record);
    if (status != CT_SUCCESS) {
        m_pAbortLine->Detach();
        m_hSession = 0;
    }
    return status;
}

void ECTF_AdminSession::Disconnect() {
    if (m_pAbortLine != nullptr)
        m_pAbortLine->Detach();
    CTsym_UnloadTable(m_hSession, nullptr);
    RunRecordCall(
        [&](CTevtinfo* record) { return CTses_Destroy(m_hSession, CT_kvsEmpty, record, nullptr); });
    m_lConnected = 0;
}

template <typename Call>
long ECTF_AdminSession::RunRecordCall(Call call) {
    m_ulError = CTerr_NoError;
    CallRecord record(m_lStatus, m_ulError);
    if (m_lStatus == CT_SUCCESS) {
        m_lStatus = call(record.Get());
        if (m_lStatus != CT_SUCCESS)
            m_ulError = record.Error();
    }
    return IsOK();
}

template <typename Call>
long ECTF_AdminSession::RunErrorWordCall(Call call) {
    m_ulError = CTerr_NoError;
    CTerror error = CTerr_NoError;
    m_lStatus = call(&error);
    if (m_lStatus != CT_SUCCESS)
        m_ulError = error;
    return IsOK();
}

template <typename Call, typename Arrays>
long ECTF_AdminSession::RunListQuery(bool nothingFoundIsEmpty, Call call,
                                     ArrayCopyResult (*copy)(CTkvs, bool, Arrays&),
                                     Arrays& arrays) {
    m_ulError = CTerr_NoError;
    CallRecord record(m_lStatus, m_ulError);
    const s100::OwnedSet query;
    FailUnlessMade(query, m_lStatus, m_ulError);
    bool nothingFound = false;
    if (m_lStatus == CT_SUCCESS) {
        m_lStatus = call(query.Handle(), record.Get());
        if (m_lStatus != CT_SUCCESS) {
            m_ulError = record.Error();
            if (nothingFoundIsEmpty && m_ulError == CTerr_NotFound) {
                m_lStatus = CT_SUCCESS;
                m_ulError = CTerr_NoError;
                nothingFound = true;
            }
        }
    }
    if (m_lStatus == CT_SUCCESS) {
        const ArrayCopyResult copied = copy(record.Results(), nothingFound, arrays);
        m_lStatus = copied.status;
        if (copied.status != CT_SUCCESS)
            m_ulError = copied.error;
    }
    return IsOK();
}

long ECTF_AdminSession::RemoveProfile(const SC_String& name, const SC_String& profileClass) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_RemoveProfile(m_hSession, name, profileClass, record, nullptr);
    });
}

long ECTF_AdminSession::ImportProfile(const SC_String& fileName, const SC_String& name,
                                      const SC_String& profileClass) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_ImportProfile(m_hSession, fileName, name, profileClass, record, nullptr);
    });
}

long ECTF_AdminSession::ExportProfile(const SC_String& fileName, const SC_String& name,
                                      const SC_String& profileClass) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_ExportProfile(m_hSession, fileName, name, profileClass, record, nullptr);
    });
}

long ECTF_AdminSession::AddProfile(const SC_String& name, const SC_String& profileClass,
                                   CTkvs contents) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_AddProfile(m_hSession, name, profileClass, contents, record, nullptr);
    });
}

long ECTF_AdminSession::UpdateProfile(const SC_String& name, const SC_String& profileClass,
                                      CTkvs contents) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_UpdateProfile(m_hSession, name, profileClass, contents, record, nullptr);
    });
}

long ECTF_AdminSession::GetServiceStatus(const std::vector<std::string>& names,
                                         std::vector<TLVserviceStatus>& statuses) {
    return RunRecordCall([&](CTevtinfo* record) {
        return TLVadm_GetServiceStatus(m_hSession, names, statuses, record);
    });
}

long ECTF_AdminSession::GetProfile(const SC_String& name, const SC_String& profileClass,
                                   CTkvs contents) {
    m_ulError = CTerr_NoError;
    CallRecord record(m_lStatus, m_ulError);
    const s100::OwnedSet query;
    FailUnlessMade(query, m_lStatus, m_ulError);
    if (m_lStatus == CT_SUCCESS) {
        m_lStatus = CTadm_GetProfileInfo(m_hSession, name, profileClass, 1, query.Handle(),
                                         record.Get(), nullptr);
        if (m_lStatus != CT_SUCCESS)
            m_ulError = record.Error();
    }
    if (m_lStatus == CT_SUCCESS) {
        const CTkvs* profiles = nullptr;
        uint32_t count = 0;
        CTerror error = CTerr_NoError;
        m_lStatus =
            CTkvs_GetKVSetArray(record.Results(), KEY_ProfileContents, &profiles, &count, &error);
        if (m_lStatus == CT_SUCCESS && count != 1) {
            m_lStatus = CT_FAILURE;
            error = CTerr_NotFound;
        }
        if (m_lStatus == CT_SUCCESS)
            m_lStatus = CTkvs_Copy(contents, profiles[0], &error);
        if (m_lStatus != CT_SUCCESS)
            m_ulError = error;
    }
    return IsOK();
}

long ECTF_AdminSession::AddService(const SC_String& name, CTkvs definition) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_AddService(m_hSession, name, definition, record, nullptr);
    });
}

long ECTF_AdminSession::UpdateService(const SC_String& name, CTkvs definition) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_UpdateService(m_hSession, name, definition, record, nullptr);
    });
}

long ECTF_AdminSession::RemoveService(const SC_String& name) {
    return RunRecordCall(
        [&](CTevtinfo* record) { return CTadm_RemoveService(m_hSession, name, record, nullptr); });
}

long ECTF_AdminSession::StartService(const SC_String& name) {
    return RunRecordCall(
        [&](CTevtinfo* record) { return CTadm_StartService(m_hSession, name, record, nullptr); });
}

long ECTF_AdminSession::StopService(const SC_String& name, unsigned long mode) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_StopService(m_hSession, name, static_cast<CTsymbol>(mode), record, nullptr);
    });
}

long ECTF_AdminSession::GetServerLevel(long& level) {
    int32_t read = 0;
    const long ok = RunRecordCall([&](CTevtinfo* record) {
        return CTadm_GetServerLevel(m_hSession, &read, record, nullptr);
    });
    level = read;
    return ok;
}

long ECTF_AdminSession::ChangeServerLevel(long level, unsigned long mode) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_SetTargetServerLevel(m_hSession, static_cast<int32_t>(level),
                                          static_cast<CTsymbol>(mode), record, nullptr);
    });
}

long ECTF_AdminSession::GetProfileInfo(const SC_String& name, const SC_String& profileClass,
                                       long withContents, CTkvs result) {
    m_ulError = CTerr_NoError;
    CallRecord record(m_lStatus, m_ulError);
    if (m_lStatus == CT_SUCCESS) {
        m_lStatus =
            CTadm_GetProfileInfo(m_hSession, name, profileClass, static_cast<int32_t>(withContents),
                                 result, record.Get(), nullptr);
        if (m_lStatus != CT_SUCCESS)
            m_ulError = record.Error();
    }
    if (m_lStatus == CT_SUCCESS)
        CTkvs_Copy(result, record.Results(), nullptr);
    return IsOK();
}

long ECTF_AdminSession::GetProfileInfoInParts(const SC_String& name, const SC_String& profileClass,
                                              long withContents, CTprofilePartHandler handler,
                                              void* context) {
    return RunRecordCall([&](CTevtinfo* record) {
        return CTadm_GetProfileInfoInParts(m_hSession, name, profileClass,
                                           static_cast<int32_t>(withContents), handler, context,
                                           record);
    });
}

long ECTF_AdminSession::GetProfileList(const SC_String& profileClass, SC_String*& names,
                                       SC_String*& classes, int& count) {
    ProfileArrays arrays;
    RunListQuery(
        true,
        [&](CTkvs query, CTevtinfo* record) {
            return CTadm_GetProfileInfo(m_hSession, nullptr, profileClass, 0, query, record,
                                        nullptr);
        },
        CopyProfileArrays, arrays);
    count = arrays.count;
    names = arrays.names.release();
    classes = arrays.classes.release();
    return IsOK();
}

long ECTF_AdminSession::GetServiceStates(SC_String*& names, unsigned long*& states,
                                         unsigned long*& types, long*& disabled, int& count) {
    ServiceArrays arrays;
    RunListQuery(
        true,
        [&](CTkvs query, CTevtinfo* record) {
            return CTadm_GetServiceState(m_hSession, "", query, record, nullptr);
        },
        CopyServiceArrays, arrays);
    count = arrays.count;
    names = arrays.names.release();
    states = arrays.states.release();
    types = arrays.types.release();
    disabled = arrays.disabled.release();
    return IsOK();
}

long ECTF_AdminSession::GetSPList(SC_String*& names, long*& available, int& count) {
    SPArrays arrays;
    RunListQuery(
        false,
        [&](CTkvs query, CTevtinfo* record) {
            return CTadm_GetSPInfo(m_hSession, "", query, record, nullptr);
        },
        CopySPArrays, arrays);
    count = arrays.count;
    names = arrays.names.release();
    available = arrays.available.release();
    return IsOK();
}

long ECTF_AdminSession::LoadSymbolTable() {
    return RunRecordCall(
        [&](CTevtinfo* record) { return CTsym_LoadTable(m_hSession, record, nullptr); });
}

long ECTF_AdminSession::NameToSymbol(const SC_String& name, CTsymbol& symbol) {
    return RunErrorWordCall(
        [&](CTerror* error) { return CTsym_NameToSymbol(m_hSession, name, &symbol, error); });
}

long ECTF_AdminSession::SymbolToName(CTsymbol symbol, SC_String& name) {
    char buffer[CT_MAX_SYMBOL_NAME] = {};
    const long ok = RunErrorWordCall([&](CTerror* error) {
        return CTsym_SymbolToName(m_hSession, symbol, buffer, sizeof buffer, error);
    });
    if (ok)
        name = buffer;
    return ok;
}
