// A shared library with a German (Windows-1252) version block before the US English one.

#include "platform/version/versionnote.h"

TLV_VERSION_NOTE(kGermanVersionNote,
                 "\\StringFileInfo\\040704e4\\ProductVersion\0"
                 "7.0-de\0"
                 "\\StringFileInfo\\040904b0\\ProductVersion\0"
                 "7.0-us\0");

extern "C" int tlv_version_testlib_marker() {
    return 7;
}
