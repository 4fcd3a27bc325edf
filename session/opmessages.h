#pragma once
// Which message explains a failed document operation, by the session's error code.

#include "s100/errors.h"

unsigned DeleteProfileMessage(CTerror code);
unsigned NewServiceMessage(CTerror code);
unsigned UpdateServiceMessage(CTerror code);
unsigned DeleteServiceMessage(CTerror code);
unsigned StartServiceMessage(CTerror code);
unsigned StopServiceMessage(CTerror code);
unsigned ImportProfileMessage(CTerror code);
unsigned ExportProfileMessage(CTerror code);
unsigned ChangeServerLevelMessage(CTerror code);
