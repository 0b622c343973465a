# Installation and the Debian package.
include(GNUInstallDirs)

# What the program is and where the project is reached, named once for the package and
# its metadata. The project has no address of its own yet: these are placeholders under
# example.org, a name reserved for examples, so that nothing points at somebody else's.
# The AppStream id is the home's name reversed; software centres know the program by it,
# so it must be settled before the first release.
set(PAGELIFT_HOMEPAGE "https://pagelift.example.org/")
set(PAGELIFT_CONTACT "Pagelift developers <pagelift@example.org>")
set(PAGELIFT_APPSTREAM_ID "org.example.pagelift")
set(PAGELIFT_SUMMARY "Web pages as plain text on the Clipboard, from the tray")
# The day this version was released: the metadata's release and the package's changelog.
set(PAGELIFT_RELEASE_DATE "2026-12-08")

install(TARGETS pagelift-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pagelift)
  install(TARGETS pagelift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The tray program runs it from beside its own folder: /usr/libexec/pagelift.
if(TARGET pagelift-wl-clipboard)
  install(TARGETS pagelift-wl-clipboard RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/pagelift)
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/pagelift.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/shell/qt/pictures/idle.xpm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME pagelift.xpm
  OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pagelift/samples
  FILES_MATCHING PATTERN "*.html")
include(${CMAKE_CURRENT_LIST_DIR}/Manuals.cmake)

# What Debian asks of every package: the copyright, the changelog (a native package keeps
# it as changelog.gz), and lintian's overrides, each with its reason.
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND date -u -R -d ${PAGELIFT_RELEASE_DATE}
  OUTPUT_VARIABLE changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${packaging_out}/changelog @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${packaging_out}/copyright @ONLY)
add_custom_command(OUTPUT ${packaging_out}/changelog.gz
  COMMAND ${PAGELIFT_GZIP} -9nkf ${packaging_out}/changelog
  DEPENDS ${packaging_out}/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${packaging_out}/changelog.gz)
install(FILES ${packaging_out}/copyright ${packaging_out}/changelog.gz
  ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pagelift)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pagelift)

# Software centres list the program by its AppStream metadata.
set(PAGELIFT_METAINFO ${packaging_out}/${PAGELIFT_APPSTREAM_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pagelift.metainfo.xml.in ${PAGELIFT_METAINFO} @ONLY)
install(FILES ${PAGELIFT_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME pagelift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PAGELIFT_CONTACT})
set(CPACK_PACKAGE_HOMEPAGE_URL ${PAGELIFT_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PAGELIFT_SUMMARY})
set(CPACK_PACKAGE_DESCRIPTION
  "Pagelift sits in the notification area (the tray) with a Japanese user
interface. A right click on its icon lists the web pages kept in its settings;
choosing one downloads the page, works out its Japanese character code
(Shift_JIS, ISO-2022-JP, EUC-JP, UTF-16, UTF-7 or UTF-8), reduces the HTML to
plain text, folds long lines to the width set, and puts the text on the
Clipboard, ready to paste.

pagelift-cli runs the same steps from a shell, and each step on its own.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian ships programs without their debugging information.
set(CPACK_STRIP_FILES ON)
# wl-copy puts the text on the Clipboard of a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wl-clipboard)
# libcurl is loaded when the first download starts, so the linker cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libcurl4)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
