#pragma once
// What the service dialogs do with a record beyond the record's own rules: the fields they open
// with, whether the set holds a key at all, and the checked save of OK. Free of widgets, so the
// OK steps are tested on real KV sets alone.
//
// The saves return the string-table id of the message to show, or 0 when the set now holds the
// record; the dialog only shows what they decide.

#include <cstdint>
#include <string>

#include "s100/s100.h"
#include "services/svcdef.h"

// The dialogs' own defaults, before the set is read: no command line or DLL path, since the
// callers set "*.exe" or "*.dll" for a new service themselves.
ExeServiceFields ExeDialogDefaults();
DllServiceFields DllDialogDefaults();

// Whether the set holds the key, whatever the type of its value.
bool KvsHoldsKey(CTkvs set, CTsymbol key);

// IDS_SERVICE_NAME_TOO_LONG, IDS_SERVICE_NAME_HAS_SPACE, IDS_SERVICE_NAME_INVALID or 0.
unsigned ServiceNameMessage(const std::string& name);

// The name is checked before any key is put; a failed put is IDS_KVSET_OPERATION_FAILED, and
// the keys put before it stay in the set.
unsigned SaveExeService(CTkvs set, const std::string& name, const ExeServiceFields& fields);
unsigned SaveDllService(CTkvs set, const std::string& name, const DllServiceFields& fields);

// Moving a service off processor 1 asks whether the machine has several processors. Only first
// characters count: a service opened on processor 12 counts as opened on "1".
bool AsksMultiProcessorQuestion(char processorAtOpening, uint32_t processorWritten);
