#pragma once
// The bridge between the C API's KV set handles and the C++ model, for the other parts of the
// S.100 library (sessions fill a caller's result set from the wire and send a caller's set).

#include "s100/kvs/value.h"

namespace s100 {

// A copy of the set behind handle (a caller's set, a view handed out by a get, or
// CT_kvsEmpty). CTerr_InvalidHandle for an unknown or destroyed handle.
CTerror copyFromHandle(CTkvs handle, KVSet& out);

// A new handle holding set; the caller owns it and destroys it with CTkvs_Destroy.
// CTerr_NoMemory when the handle table is full.
CTerror makeHandle(KVSet set, CTkvs& handle);

// A new read-only handle holding set, lent to a caller for the length of one call: gets work
// on it, changes and CTkvs_Destroy are refused. The lender releases it with releaseLent.
// CTerr_NoMemory when the handle table is full.
CTerror lendHandle(KVSet set, CTkvs& handle);
// Releases a handle made by lendHandle and everything gets on it handed out.
void releaseLent(CTkvs handle);

// Replaces the whole contents of a caller's set. CTerr_ReadOnly for CT_kvsEmpty and for views;
// what earlier gets handed out for the set is released.
CTerror replaceContents(CTkvs handle, KVSet set);

// Whether CT_Initialize was called (and CT_Shutdown not since).
bool isInitialized();

}  // namespace s100
