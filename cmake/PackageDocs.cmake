# What Debian asks of a package beside the programs: a manual page for each
# program, the copyright file and the changelog. The manual pages are made
# from the programs' own --help and --version, so they cannot drift from them.
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
set(PACKAGE_DOCS_DIR ${CMAKE_BINARY_DIR}/package-docs)
set(PACKAGE_DOC_FILES)

# The program's page, gzipped as Debian wants it: best compression, no name
# or time stamp inside (-n), so the same program gives the same file. An
# optional help2man include file adds sections beyond --help.
function(zandor_manual_page program name)
  set(page ${PACKAGE_DOCS_DIR}/${program}.1)
  set(include_option)
  if(ARGC GREATER 2)
    set(include_option --include=${ARGV2})
  endif()
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_DOCS_DIR}
    # zandor is a window program: it answers --help without a screen only on
    # the headless platform. Leaks at the end of a sanitizer build's --help
    # must not fail the build.
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${HELP2MAN} --no-info --section=1 --name=${name} ${include_option}
            --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program} ${ARGV2}
    COMMENT "Manual page of ${program}"
    VERBATIM)
  set(PACKAGE_DOC_FILES ${PACKAGE_DOC_FILES} ${page}.gz PARENT_SCOPE)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

if(HELP2MAN)
  zandor_manual_page(zandor "curing tester workstation for resin-impregnated paper")
  # zandorctl's --help lists the commands; their options come from
  # "zandorctl help COMMAND".
  set(ctl_commands ${PACKAGE_DOCS_DIR}/zandorctl-commands.h2m)
  add_custom_command(OUTPUT ${ctl_commands}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_DOCS_DIR}
    COMMAND ${CMAKE_COMMAND} -DZANDORCTL=$<TARGET_FILE:zandorctl> -DOUTPUT=${ctl_commands}
            -P ${CMAKE_CURRENT_LIST_DIR}/CtlCommandsPage.cmake
    DEPENDS zandorctl ${CMAKE_CURRENT_LIST_DIR}/CtlCommandsPage.cmake
    VERBATIM)
  zandor_manual_page(zandorctl "command-line companion of the zandor curing tester workstation"
                     ${ctl_commands})
  zandor_manual_page(netpc-sim "simulated instrument PC of the zandor curing tester")
else()
  message(WARNING "help2man not found: the package gets no manual pages (scripts/setup.sh installs it)")
endif()

# A version without a Debian revision makes a native package, whose changelog
# is changelog.gz (not changelog.Debian.gz).
set(changelog ${PACKAGE_DOCS_DIR}/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/install/changelog ${changelog}
  COMMAND ${GZIP} -9nf ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/install/changelog
  VERBATIM)
list(APPEND PACKAGE_DOC_FILES ${changelog}.gz)
install(FILES ${changelog}.gz ${CMAKE_SOURCE_DIR}/resources/install/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zandor)

add_custom_target(package-docs ALL DEPENDS ${PACKAGE_DOC_FILES})
