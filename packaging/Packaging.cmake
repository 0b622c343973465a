# Installation and the Debian package.
include(GNUInstallDirs)

install(TARGETS pagelift-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pagelift)
  install(TARGETS pagelift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/pagelift.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/shell/pictures/idle.xpm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME pagelift.xpm
  OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pagelift/samples
  FILES_MATCHING PATTERN "*.html")

set(CPACK_PACKAGE_NAME pagelift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pagelift developers <pagelift@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Web pages as plain text on the Clipboard, from the tray")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# wl-copy puts the text on the Clipboard of a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wl-clipboard)
# libcurl is loaded when the first download starts, so the linker cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libcurl4)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
