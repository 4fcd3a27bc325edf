#pragma once
// Error codes left by the S.100 calls in their error word or in the event-information record.
// The numbers the administration client turns into messages must stay as they are.

#include <stdint.h>

typedef uint32_t CTerror;

enum : CTerror {
    CTerr_NoError = 0x01600400,           // reset value: nothing failed
    CTerr_InvalidHandle = 0x01600401,     // unknown, destroyed or wrong kind of handle
    CTerr_WrongType = 0x01600402,         // the key holds a value of another type
    CTerr_LimitExceeded = 0x01600403,     // nesting depth, element count or size above its limit
    CTerr_ReadOnly = 0x01600404,          // CT_kvsEmpty cannot be changed
    CTerr_BufferTooSmall = 0x01600405,    // a caller's buffer cannot hold the text and its NUL
    CTerr_ConnectionLost = 0x01600407,    // closed, reset or timed-out connection; the session is dead
    CTerr_ServiceBusy = 0x01600408,       // the service is starting or stopping
    CTerr_FileCreate = 0x01600409,        // export: the file cannot be created
    CTerr_NoMemory = 0x0160040C,          // an allocation failed
    CTerr_UnknownServer = 0x01600410,     // the server entry is not in the administration table
    CTerr_BadConnectString = 0x01600411,  // the entry's connection string is not tcp:host:port
    CTerr_ConnectRefused = 0x01600412,    // nothing answers at host:port
    CTerr_ProtocolMismatch = 0x01600413,  // the server speaks another protocol version
    CTerr_BadProfileFile = 0x01600414,    // import: the file is not a valid profile file
    CTerr_NotInitialized = 0x01600415,    // CT_Initialize was not called
    CTerr_StoreFailed = 0x01600416,       // the server could not commit the change to its store
    CTerr_NoAdminKey = 0x01600417,        // no usable admin key file for the server entry
    CTerr_KeyRejected = 0x01600418,       // the admin key proof failed (the keys differ)
    CTerr_InvalidArgument = 0x01600427,   // an argument the call cannot use (bad kind, bad level, ...)
    CTerr_NotFound = 0x01600436,          // nothing found, or the named object does not exist
    CTerr_FileOpen = 0x0160044A,          // import: the file cannot be opened
    CTerr_Exists = 0x0160044F,            // the profile, service or file already exists
    CTerr_FileWrite = 0x01600451,         // export: writing the file failed
    CTerr_InvalidName = 0x01600453,       // service name empty, longer than 32 or with a space
    CTerr_Deferred = 0x0160046C,          // accepted for later: marked for removal or next start
    CTerr_HandlerFailed = 0x0160046D,     // the caller's part handler failed: no further part handed
};
