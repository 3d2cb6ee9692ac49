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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zandor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zandor laboratory software <lab@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Curing tester workstation for resin-impregnated paper")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6sql6, libqt6sql6-sqlite, libqt6printsupport6, qt6-qpa-plugins, fonts-liberation, libmdb3")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
