#pragma once
// Calls of our own beside CTses_Create and CTses_Destroy, so that a thread other than the one
// making a session's calls can end its waiting: a program keeps its window alive while the
// calls run on a thread of their own, and its operator can give up on a server that does not
// answer.

#include "s100/s100.h"

#ifdef __cplusplus
extern "C" {
#endif

// CTses_Create in two steps. TLVses_Reserve hands out a handle at once, connected to nothing,
// so that another thread can abort the connect before and while it runs. TLVses_Open connects
// it as CTses_Create does (same options, record and errors; an aborted connect fails with
// CTerr_ConnectionLost). A failed open releases the handle, as a failed CTses_Create leaves
// none; a handle that opened, or was never opened, is released with CTses_Destroy.
CTstatus TLVses_Reserve(CTsession* session, CTerror* error);
CTstatus TLVses_Open(CTsession session, CTkvs options, CTevtinfo* record);

// From any thread: ends the session's connection. The connect or call waiting in it now and
// every later call fail with CTerr_ConnectionLost; the session is lost for good. The answer to
// a call that was on its way is never read, so whether the server carried it out is unknown.
// CTerr_InvalidHandle for an unknown or released handle.
CTstatus TLVses_Abort(CTsession session, CTerror* error);

#ifdef __cplusplus
}  // extern "C"
#endif
