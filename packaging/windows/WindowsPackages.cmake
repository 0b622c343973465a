# The Windows packages: a portable zip (the two programs, the sample pages and a read-me)
# and an installer made by NSIS. Both come out of the build folder:
# Pagelift-<version>-win64.zip and Pagelift-<version>-setup.exe.
set(stage ${CMAKE_BINARY_DIR}/package/Pagelift)
set(PAGELIFT_STAGE ${stage})
set(PAGELIFT_INSTALLER ${CMAKE_BINARY_DIR}/Pagelift-${PROJECT_VERSION}-setup.exe)
set(zip ${CMAKE_BINARY_DIR}/Pagelift-${PROJECT_VERSION}-win64.zip)

configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${stage}/README.txt @ONLY
  NEWLINE_STYLE CRLF)
# The licence, and the notices of what the programs carry followed by the copyright statement
# of the mingw-w64 sources whose runtime they are linked with, with Windows' line ends.
set(mingw_copyright /usr/share/doc/mingw-w64-common/copyright)
if(NOT EXISTS ${mingw_copyright})
  message(FATAL_ERROR "no ${mingw_copyright}: the Windows build is made with Debian's mingw-w64")
endif()
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
file(READ ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt notices)
file(READ ${mingw_copyright} mingw)
foreach(text license notices mingw)
  string(REPLACE "\n" "\r\n" ${text} "${${text}}")
endforeach()
file(WRITE ${stage}/LICENSE.txt "${license}")
file(WRITE ${stage}/THIRD-PARTY-NOTICES.txt "${notices}\r\n${mingw}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt ${mingw_copyright})
file(GLOB sample_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/*.html)
set(PAGELIFT_SAMPLE_FILES "")
set(PAGELIFT_SAMPLE_DELETES "")
set(staged_samples "")
foreach(page IN LISTS sample_pages)
  get_filename_component(name ${page} NAME)
  configure_file(${page} ${stage}/samples/${name} COPYONLY)
  list(APPEND staged_samples samples/${name})
  string(APPEND PAGELIFT_SAMPLE_FILES "  File \"${stage}/samples/${name}\"\n")
  string(APPEND PAGELIFT_SAMPLE_DELETES "  Delete \"$INSTDIR\\samples\\${name}\"\n")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/pagelift.nsi.in ${CMAKE_BINARY_DIR}/pagelift.nsi @ONLY)

find_program(PAGELIFT_MAKENSIS makensis REQUIRED)
add_custom_command(OUTPUT ${zip} ${PAGELIFT_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Pagelift> $<TARGET_FILE:pagelift-cli> ${stage}
  # The build keeps the debugging information; a user does not need it.
  COMMAND ${CMAKE_STRIP} ${stage}/Pagelift.exe ${stage}/pagelift-cli.exe
  COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
          ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Pagelift
  COMMAND ${PAGELIFT_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${CMAKE_BINARY_DIR}/pagelift.nsi
  DEPENDS Pagelift pagelift-cli ${CMAKE_BINARY_DIR}/pagelift.nsi ${stage}/README.txt
          ${stage}/LICENSE.txt ${stage}/THIRD-PARTY-NOTICES.txt
  COMMENT "Making the zip and the installer"
  VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${zip} ${PAGELIFT_INSTALLER})
