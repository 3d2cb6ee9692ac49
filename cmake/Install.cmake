# Installation and the Debian package.
include(GNUInstallDirs)
# The package holds three programs only: installing and packaging must not build
# every test and benchmark of the shared tree first (cpack would do so on one
# core, and fail on anybody's unfinished test). Build the programs, then install.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS zandor zandorctl netpc-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/install/zandor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/install/zandor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
include(${CMAKE_CURRENT_LIST_DIR}/PackageDocs.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zandor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zandor laboratory software <lab@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Curing tester workstation for resin-impregnated paper")
# Debian wants the extended description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Zandor runs the curing tester of a laboratory for resin-impregnated paper."
    "It drives the instrument PC over the network, records the curing curves of"
    "five specimen boxes, evaluates each curve into its results, compares them"
    "with limit files, stores graphs and patterns in a database and prints test"
    "reports."
    ""
    "The package holds the workstation program zandor, the command-line companion"
    "zandorctl for lab automation, and netpc-sim, a simulated instrument PC for"
    "trials and demonstrations.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps (with their
# versions); named here is only what is loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-liberation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
