# Debian's hardening flags (dpkg-buildflags with hardening=+all) for the optimised builds the
# package is made from: position-independent executables, read-only relocations bound at start
# (RELRO with BIND_NOW), fortified libc calls, the stack protector and stack clash protection.
# Debug and sanitizer builds keep their own flags: _FORTIFY_SOURCE needs optimisation, and the
# sanitizers do their own checking of the same calls.
if(NOT TLV_SANITIZE AND NOT TLV_FUZZ AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(LINKER:-z,relro,-z,now)
endif()

# g++ 12 at -O2 warns -Wrestrict inside std::string's own copies where nothing overlaps (GCC bug
# 105651, fixed in 13); optimised builds would fail with warnings as errors on correct code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13
   AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_options(-Wno-restrict)
endif()
