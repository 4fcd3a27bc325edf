#pragma once
// The S.100 client library: KV sets and arrays, symbols, sessions and the administrative calls.
//
// Every call returns CT_SUCCESS (1) or a failure status, and on failure leaves an error code
// (s100/errors.h) in the caller's error word or, for the calls that take one, at byte offset 36
// of the event-information record. A null error word or record pointer is allowed: the code
// is then dropped. Handles are checked: an unknown or destroyed handle is CTerr_InvalidHandle,
// never a crash. All calls are meant for one thread at a time per handle; the handle tables
// themselves are safe to use from several threads.
//
// Ownership: whoever creates a KV set (CTkvs_Create) or an array (CTary_Create) destroys it.
// Strings, arrays and nested sets returned by a get belong to the set they came from and stay
// valid until that set is destroyed or the key is put again.

#include <stddef.h>
#include <stdint.h>

#include "s100/errors.h"
#include "s100/symbols.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t CTstatus;    // CT_SUCCESS or a failure status
typedef uint32_t CTkvs;      // KV set handle
typedef uint32_t CTary;      // array value handle
typedef uint32_t CTsession;  // session handle
typedef uint32_t CTbool;     // a stored 32-bit word: 1 is true; other non-zero words are kept

#define CT_SUCCESS ((CTstatus)1)
#define CT_FAILURE ((CTstatus)0)
#define CT_NOMEMORY ((CTstatus)3)  // status of a failed allocation of a result array

// The library's empty set: always empty, cannot be changed, never destroyed.
#define CT_kvsEmpty ((CTkvs)1)

// Bounds of every set and array; a call or a decoder that would exceed one fails with
// CTerr_LimitExceeded and changes nothing.
#define CT_MAX_DEPTH 32             // sets and arrays nested in one another
#define CT_MAX_PAIRS 100000         // pairs in one set
#define CT_MAX_ELEMENTS 1000000     // elements in one array
#define CT_MAX_STRING (1u << 20)    // bytes of one string, without its NUL
#define CT_MAX_SYMBOL_NAME 2048     // buffer size of CTsym_SymbolToName

// A set the server stores (profile contents, service definitions) comes back inside a list
// answer, a result set holding an array of sets: two levels more. So a stored set is at most
// CT_MAX_STORED_DEPTH deep, and every answer that carries one stays within CT_MAX_DEPTH.
#define CT_ANSWER_WRAPPING_DEPTH 2
#define CT_MAX_STORED_DEPTH (CT_MAX_DEPTH - CT_ANSWER_WRAPPING_DEPTH)

// The event-information record: word 0 its own size (52), word 1 a KV set created by the caller
// before the call (results of the list queries arrive there), byte offset 36 the error code.
typedef struct CTevtinfo {
    uint32_t size;      // sizeof(CTevtinfo): 52
    CTkvs kvs;          // the caller's result set
    uint32_t reserved1[7];
    CTerror error;      // byte offset 36
    uint32_t reserved2[3];
} CTevtinfo;

// Library start and end: once at start-up and at exit.
CTstatus CT_Initialize(CTerror* error);
CTstatus CT_Shutdown(CTerror* error);

// ---- KV sets ----
CTstatus CTkvs_Create(CTkvs* kvs, CTerror* error);
CTstatus CTkvs_Destroy(CTkvs kvs, CTerror* error);
// Copies every pair of source into destination, replacing the values of equal keys.
CTstatus CTkvs_Copy(CTkvs destination, CTkvs source, CTerror* error);
// Number of pairs, and the key at an index (pairs stay in the order of their first put).
CTstatus CTkvs_GetCount(CTkvs kvs, uint32_t* count, CTerror* error);
CTstatus CTkvs_GetKeyAt(CTkvs kvs, uint32_t index, CTsymbol* key, CTerror* error);
CTstatus CTkvs_Remove(CTkvs kvs, CTsymbol key, CTerror* error);

// Scalars. A put of a key the set holds replaces its value (and may change its type).
// A missing key is CTerr_NotFound; a value of another type CTerr_WrongType.
CTstatus CTkvs_GetString(CTkvs kvs, CTsymbol key, const char** value, CTerror* error);
CTstatus CTkvs_PutString(CTkvs kvs, CTsymbol key, const char* value, CTerror* error);
CTstatus CTkvs_GetInt(CTkvs kvs, CTsymbol key, int32_t* value, CTerror* error);
CTstatus CTkvs_PutInt(CTkvs kvs, CTsymbol key, int32_t value, CTerror* error);
CTstatus CTkvs_GetUInt(CTkvs kvs, CTsymbol key, uint32_t* value, CTerror* error);
CTstatus CTkvs_PutUInt(CTkvs kvs, CTsymbol key, uint32_t value, CTerror* error);
CTstatus CTkvs_GetBool(CTkvs kvs, CTsymbol key, CTbool* value, CTerror* error);
CTstatus CTkvs_PutBool(CTkvs kvs, CTsymbol key, CTbool value, CTerror* error);
CTstatus CTkvs_GetSymbol(CTkvs kvs, CTsymbol key, CTsymbol* value, CTerror* error);
CTstatus CTkvs_PutSymbol(CTkvs kvs, CTsymbol key, CTsymbol value, CTerror* error);
// A nested set: the get hands out a handle that belongs to the outer set; the put copies.
CTstatus CTkvs_GetKVSet(CTkvs kvs, CTsymbol key, CTkvs* value, CTerror* error);
CTstatus CTkvs_PutKVSet(CTkvs kvs, CTsymbol key, CTkvs value, CTerror* error);

// Typed arrays under a key. An empty array reads as an array of any type.
CTstatus CTkvs_GetStringArray(CTkvs kvs, CTsymbol key, const char* const** elements,
                              uint32_t* count, CTerror* error);
CTstatus CTkvs_GetIntArray(CTkvs kvs, CTsymbol key, const int32_t** elements, uint32_t* count,
                           CTerror* error);
CTstatus CTkvs_GetUIntArray(CTkvs kvs, CTsymbol key, const uint32_t** elements, uint32_t* count,
                            CTerror* error);
CTstatus CTkvs_GetBoolArray(CTkvs kvs, CTsymbol key, const CTbool** elements, uint32_t* count,
                            CTerror* error);
CTstatus CTkvs_GetSymbolArray(CTkvs kvs, CTsymbol key, const CTsymbol** elements,
                              uint32_t* count, CTerror* error);
CTstatus CTkvs_GetKVSetArray(CTkvs kvs, CTsymbol key, const CTkvs** elements, uint32_t* count,
                             CTerror* error);
CTstatus CTkvs_PutStringArray(CTkvs kvs, CTsymbol key, const char* const* elements,
                              uint32_t count, CTerror* error);
CTstatus CTkvs_PutIntArray(CTkvs kvs, CTsymbol key, const int32_t* elements, uint32_t count,
                           CTerror* error);
CTstatus CTkvs_PutUIntArray(CTkvs kvs, CTsymbol key, const uint32_t* elements, uint32_t count,
                            CTerror* error);
CTstatus CTkvs_PutBoolArray(CTkvs kvs, CTsymbol key, const CTbool* elements, uint32_t count,
                            CTerror* error);
CTstatus CTkvs_PutSymbolArray(CTkvs kvs, CTsymbol key, const CTsymbol* elements, uint32_t count,
                              CTerror* error);
CTstatus CTkvs_PutKVSetArray(CTkvs kvs, CTsymbol key, const CTkvs* elements, uint32_t count,
                             CTerror* error);

// ---- Arrays of any element type, arrays of arrays included ----
// The array value under a key, as a handle that belongs to the set.
CTstatus CTkvs_GetArray(CTkvs kvs, CTsymbol key, CTary* array, CTerror* error);
// Puts a copy of an array built with CTary_Create.
CTstatus CTkvs_PutArray(CTkvs kvs, CTsymbol key, CTary array, CTerror* error);
// The elements of an array of arrays (handles that belong to the same owner as the array).
CTstatus CTary_GetArray(CTary array, const CTary** elements, uint32_t* count, CTerror* error);
// The elements of an array of strings.
CTstatus CTary_GetString(CTary array, const char* const** elements, uint32_t* count,
                         CTerror* error);
CTstatus CTary_GetCount(CTary array, uint32_t* count, CTerror* error);
// Building arrays: an empty array owned by the caller, to which elements of one type are appended.
CTstatus CTary_Create(CTary* array, CTerror* error);
CTstatus CTary_Destroy(CTary array, CTerror* error);
CTstatus CTary_AppendString(CTary array, const char* value, CTerror* error);
CTstatus CTary_AppendArray(CTary array, CTary element, CTerror* error);  // appends a copy

// ---- Symbols ----
// The session handle may be 0: the built-in table, which needs no session.
CTstatus CTsym_LoadTable(CTsession session, CTevtinfo* record, void* reserved);
CTstatus CTsym_UnloadTable(CTsession session, CTerror* error);
CTstatus CTsym_NameToSymbol(CTsession session, const char* name, CTsymbol* symbol,
                            CTerror* error);
// Writes the name, or "0x" and 8 hex digits for a symbol without a name, with its NUL.
CTstatus CTsym_SymbolToName(CTsession session, CTsymbol symbol, char* buffer, uint32_t size,
                            CTerror* error);

// ---- Sessions ----
// options holds the server entry name under KEY_ServerName; the name is resolved through the
// administration server table of the registry. With KEY_AdminKeyFile (ours) as well,
// KEY_ServerName is a connection string "tcp:HOST:PORT" used as it is, and the key is read
// from the file named there, checked as an entry's key file is. Calls block up to
// TLV_CALL_TIMEOUT_MS (10 s).
CTstatus CTses_Create(CTsession* session, const char* reserved_text, uint32_t reserved_flags,
                      CTkvs options, CTevtinfo* record, void* reserved);
CTstatus CTses_Destroy(CTsession session, CTkvs empty, CTevtinfo* record, void* reserved);

// ---- Administrative calls ----
// name NULL or "" and profile_class "" (or NULL) mean all; with_contents 1 adds
// KEY_ProfileContents. Results arrive in record->kvs; nothing found is CTerr_NotFound.
CTstatus CTadm_GetProfileInfo(CTsession session, const char* name, const char* profile_class,
                              int32_t with_contents, CTkvs kvs, CTevtinfo* record, void* reserved);
// The same query with its answer handed to handler part by part as it arrives, so that no more
// than one part is held at a time: each part is a read-only set holding KEY_ProfileNames,
// KEY_ProfileClasses (and KEY_ProfileContents) of the next run of profiles, in the order of the
// whole answer, valid only until the handler returns (it is then released with everything
// read from it). The handler must not call the same session. A handler that returns anything
// but CT_SUCCESS is handed nothing more: the rest of the answer is read and dropped, so the
// session stays usable, and the call fails with CTerr_HandlerFailed (CTerr_NoMemory when a
// part's handle could not be made). Nothing found is CTerr_NotFound without a call of the
// handler; other errors as CTadm_GetProfileInfo. Answers with contents are never kept for
// later queries, and neither are these.
typedef CTstatus (*CTprofilePartHandler)(CTkvs part, void* context);
CTstatus CTadm_GetProfileInfoInParts(CTsession session, const char* name,
                                     const char* profile_class, int32_t with_contents,
                                     CTprofilePartHandler handler, void* context,
                                     CTevtinfo* record);
CTstatus CTadm_GetServiceState(CTsession session, const char* reserved_text, CTkvs kvs,
                               CTevtinfo* record, void* reserved);
CTstatus CTadm_GetSPInfo(CTsession session, const char* reserved_text, CTkvs kvs,
                         CTevtinfo* record, void* reserved);
CTstatus CTadm_GetServerLevel(CTsession session, int32_t* level, CTevtinfo* record,
                              void* reserved);
CTstatus CTadm_SetTargetServerLevel(CTsession session, int32_t level, CTsymbol mode,
                                    CTevtinfo* record, void* reserved);
CTstatus CTadm_AddProfile(CTsession session, const char* name, const char* profile_class,
                          CTkvs contents, CTevtinfo* record, void* reserved);
CTstatus CTadm_UpdateProfile(CTsession session, const char* name, const char* profile_class,
                             CTkvs contents, CTevtinfo* record, void* reserved);
CTstatus CTadm_RemoveProfile(CTsession session, const char* name, const char* profile_class,
                             CTevtinfo* record, void* reserved);
// Profile files live on the client machine: import reads the file and adds the profile under
// the given name and class; export fetches the profile and writes a new file (never overwrites).
CTstatus CTadm_ImportProfile(CTsession session, const char* file_name, const char* name,
                             const char* profile_class, CTevtinfo* record, void* reserved);
CTstatus CTadm_ExportProfile(CTsession session, const char* file_name, const char* name,
                             const char* profile_class, CTevtinfo* record, void* reserved);
CTstatus CTadm_AddService(CTsession session, const char* name, CTkvs definition,
                          CTevtinfo* record, void* reserved);
CTstatus CTadm_UpdateService(CTsession session, const char* name, CTkvs definition,
                             CTevtinfo* record, void* reserved);
CTstatus CTadm_RemoveService(CTsession session, const char* name, CTevtinfo* record,
                             void* reserved);
CTstatus CTadm_StartService(CTsession session, const char* name, CTevtinfo* record,
                            void* reserved);
CTstatus CTadm_StopService(CTsession session, const char* name, CTsymbol mode,
                           CTevtinfo* record, void* reserved);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(CTevtinfo) == 52, "the event-information record is 52 bytes");
static_assert(offsetof(CTevtinfo, error) == 36, "the error code sits at byte offset 36");
#endif
