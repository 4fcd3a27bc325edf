// The project's version, stamped into every program that links this object.

#include "platform/version/projectversion.h"
#include "platform/version/versionnote.h"

// US English, Unicode: the block a reader falls back to on any language.
TLV_VERSION_NOTE(kProgramVersionNote,
                 "\\StringFileInfo\\040904b0\\ProductVersion\0" TLV_PROJECT_VERSION_TEXT
                 "\0"
                 "\\StringFileInfo\\040904b0\\ProductName\0Kestrova Telvane Server\0");
