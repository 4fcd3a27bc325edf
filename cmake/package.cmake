# The .deb: the installation root under /opt, and the parts the system looks for elsewhere
# (commands in /usr/bin, man pages, bash completion, the desktop file, the icon, the tlvsd unit,
# the package's documents), which exist only in the package: `cmake --install` leaves them out
# (component "system", not installed by default).
set(TLV_PACKAGE_ROOT /opt/kestrova)
set(TLV_PACKAGE_DIR ${PROJECT_BINARY_DIR}/package)

# Symbolic links into the root, made here and installed as links.
function(tlv_package_link target_in_root link_dir name)
  file(MAKE_DIRECTORY ${TLV_PACKAGE_DIR}/links${link_dir})
  file(CREATE_LINK ${TLV_PACKAGE_ROOT}/${target_in_root} ${TLV_PACKAGE_DIR}/links${link_dir}/${name}
    SYMBOLIC)
  install(FILES ${TLV_PACKAGE_DIR}/links${link_dir}/${name} DESTINATION ${link_dir}
    COMPONENT system EXCLUDE_FROM_ALL)
endfunction()

foreach(program IN LISTS TLV_CLIENT_PROGRAMS)
  tlv_package_link(Client/bin/${program} /usr/bin ${program})
endforeach()
foreach(program IN LISTS TLV_SERVER_PROGRAMS)
  tlv_package_link(Server/bin/${program} /usr/bin ${program})
endforeach()
# Compressed as Debian wants them (gzip -9n: no name, no time stamp), at configure time; a changed
# source configures again.
function(tlv_package_gzip source target_dir name)
  file(MAKE_DIRECTORY ${TLV_PACKAGE_DIR}/gz)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${TLV_PACKAGE_DIR}/gz/${name}.gz
    COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  install(FILES ${TLV_PACKAGE_DIR}/gz/${name}.gz DESTINATION ${target_dir}
    COMPONENT system EXCLUDE_FROM_ALL)
endfunction()

foreach(page tlvadmin.1 tlvadm.1 tlvedit.1 tlvreg.1 tlvsd.8)
  string(REGEX REPLACE ".*\\." "" section ${page})
  tlv_package_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page} /usr/share/man/man${section} ${page})
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${TLV_PACKAGE_DIR}/changelog @ONLY)
tlv_package_gzip(${TLV_PACKAGE_DIR}/changelog /usr/share/doc/kestrova-telvane changelog)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION /usr/share/doc/kestrova-telvane
  COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION /usr/share/lintian/overrides RENAME kestrova-telvane
  COMPONENT system EXCLUDE_FROM_ALL)
# bash loads completion only from its own folder.
install(FILES ${PROJECT_SOURCE_DIR}/tools/completion/tlvadm ${PROJECT_SOURCE_DIR}/tools/completion/tlvreg
  DESTINATION /usr/share/bash-completion/completions COMPONENT system EXCLUDE_FROM_ALL)
tlv_package_link(share/applications/kestrova-tlvadmin.desktop /usr/share/applications
  kestrova-tlvadmin.desktop)
tlv_package_link(share/icons/hicolor/scalable/apps/kestrova-tlvadmin.svg
  /usr/share/icons/hicolor/scalable/apps kestrova-tlvadmin.svg)

configure_file(${PROJECT_SOURCE_DIR}/packaging/tlvsd.service.in ${TLV_PACKAGE_DIR}/tlvsd.service
  @ONLY)
install(FILES ${TLV_PACKAGE_DIR}/tlvsd.service DESTINATION /lib/systemd/system
  COMPONENT system EXCLUDE_FROM_ALL)

foreach(script postinst prerm postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${script}.in ${TLV_PACKAGE_DIR}/${script}
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova-telvane)
set(CPACK_PACKAGE_VENDOR Kestrova)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Telvane Server administration client, tools and reference server")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The Telvane Server administration client (tlvadmin) is a desktop program for
operators of Kestrova Telvane media servers: it lists and edits profiles,
Telvane Services and service providers, changes the server level and checks
the application profiles, the ASI map and the routing rules.
.
The package also holds the command-line tools tlvreg (the client's registry),
tlvadm (administration from scripts) and tlvedit (the default profile
editor), and tlvsd, the reference Telvane Server, with a systemd unit that is
installed but not enabled.")
set(CPACK_PACKAGE_CONTACT "Kestrova Telvane maintainers <telvane@kestrova.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${TLV_PACKAGE_ROOT})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified system)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${TLV_PACKAGE_DIR}/postinst ${TLV_PACKAGE_DIR}/prerm ${TLV_PACKAGE_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${TLV_PACKAGE_DIR})
include(CPack)
