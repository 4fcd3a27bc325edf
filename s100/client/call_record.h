#pragma once
// How the session and administrative calls take their text arguments and how they end: the
// record's error word and the status.

#include <string>

#include "s100/s100.h"

namespace tlv::client {

// A name, class or text argument; NULL is the empty text.
inline std::string argumentText(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

// Stores error in the record (a null record drops it) and returns CT_SUCCESS for
// CTerr_NoError, CT_FAILURE otherwise.
CTstatus finishCall(CTevtinfo* record, CTerror error);

}  // namespace tlv::client
