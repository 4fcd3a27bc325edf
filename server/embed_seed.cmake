# Writes OUTPUT, a C++ file holding every .ief file of SEED_DIR as a byte string.
file(GLOB seed_files RELATIVE ${SEED_DIR} ${SEED_DIR}/*.ief)
list(SORT seed_files)
set(body "")
foreach(name IN LISTS seed_files)
  file(READ ${SEED_DIR}/${name} bytes HEX)
  string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${bytes}")
  string(APPEND body "        {\"${name}\", \"${escaped}\"},\n")
endforeach()
file(WRITE ${OUTPUT}.tmp
  "// Generated from server/seed/demo by server/embed_seed.cmake; do not edit.\n"
  "#include \"server/seed.h\"\n\n"
  "namespace tlv::server {\n\n"
  "const std::vector<SeedFile>& demoSeedFiles()\n{\n"
  "    static const std::vector<SeedFile> files{\n${body}    };\n"
  "    return files;\n}\n\n"
  "}  // namespace tlv::server\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
