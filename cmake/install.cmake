# The installation root, as the registry's "RootPath" names it:
#   Client/bin     tlvadmin, tlvadm, tlvedit, tlvreg        Server/bin   tlvsd
#   Shared Files   the shared libraries our programs load (none today; the folder is always there)
#   Client/Admin   the manual, admin.html with its pictures, where the help file is named
#   share/         man pages, the desktop file, the scalable icon
set(TLV_CLIENT_PROGRAMS tlvadmin tlvadm tlvedit tlvreg)
set(TLV_SERVER_PROGRAMS tlvsd)

foreach(program IN LISTS TLV_CLIENT_PROGRAMS TLV_SERVER_PROGRAMS)
  target_link_libraries(${program} PRIVATE platform_version_stamp)
endforeach()

install(TARGETS ${TLV_CLIENT_PROGRAMS} RUNTIME DESTINATION Client/bin)
install(TARGETS ${TLV_SERVER_PROGRAMS} RUNTIME DESTINATION Server/bin)
install(DIRECTORY DESTINATION "Shared Files")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION Client/Admin)

install(FILES
  ${PROJECT_SOURCE_DIR}/docs/man/tlvadmin.1 ${PROJECT_SOURCE_DIR}/docs/man/tlvadm.1
  ${PROJECT_SOURCE_DIR}/docs/man/tlvedit.1 ${PROJECT_SOURCE_DIR}/docs/man/tlvreg.1
  DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/tlvsd.8 DESTINATION share/man/man8)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrova-tlvadmin.desktop
  DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrova-tlvadmin.svg
  DESTINATION share/icons/hicolor/scalable/apps)
