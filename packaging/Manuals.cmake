# The manual pages, made at build time so that they cannot drift from the programs:
# pagelift-cli(1) by help2man from pagelift-cli's own --help and --version, pagelift(1),
# for a program without a command line, from Markdown by go-md2man. Installed gzipped.
find_program(PAGELIFT_HELP2MAN help2man REQUIRED)
find_program(PAGELIFT_MD2MAN go-md2man REQUIRED)
find_program(PAGELIFT_GZIP gzip REQUIRED)

set(manuals ${CMAKE_BINARY_DIR}/manuals)
# The month of the build, as help2man writes it (both follow SOURCE_DATE_EPOCH).
string(TIMESTAMP manual_date "%B %Y" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pagelift.1.md ${manuals}/pagelift.1.md @ONLY)

# help2man writes the help's Japanese as "?" unless it runs in a UTF-8 locale.
add_custom_command(OUTPUT ${manuals}/pagelift-cli.1.gz
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
    ${PAGELIFT_HELP2MAN} --no-info --locale=C.UTF-8
    "--name=web pages as plain text, and the steps that make it"
    --include=${CMAKE_CURRENT_LIST_DIR}/pagelift-cli.h2m
    --output=${manuals}/pagelift-cli.1 $<TARGET_FILE:pagelift-cli>
  COMMAND ${PAGELIFT_GZIP} -9nf ${manuals}/pagelift-cli.1
  DEPENDS pagelift-cli ${CMAKE_CURRENT_LIST_DIR}/pagelift-cli.h2m
  VERBATIM)
add_custom_command(OUTPUT ${manuals}/pagelift.1.gz
  COMMAND ${PAGELIFT_MD2MAN} -in ${manuals}/pagelift.1.md -out ${manuals}/pagelift.1
  COMMAND ${PAGELIFT_GZIP} -9nf ${manuals}/pagelift.1
  DEPENDS ${manuals}/pagelift.1.md
  VERBATIM)
add_custom_target(manuals ALL DEPENDS ${manuals}/pagelift-cli.1.gz ${manuals}/pagelift.1.gz)
install(FILES ${manuals}/pagelift-cli.1.gz ${manuals}/pagelift.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
