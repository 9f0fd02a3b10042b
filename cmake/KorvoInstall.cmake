# Installation as a desktop program and its Debian package:
#   <prefix>/bin                      korvo-bo6, korvo
#   <prefix>/share/korvo-bo6          the data every user's folder is seeded from
#   <prefix>/share/applications       korvo-bo6.desktop
#   <prefix>/share/icons/hicolor      the icon, 16 to 256 pixels and scalable
#   <prefix>/share/metainfo           the AppStream description
include(GNUInstallDirs)

set(KORVO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS korvo-bo6 korvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvo-bo6
        PATTERN .gitkeep EXCLUDE)
install(FILES ${KORVO_PACKAGING_DIR}/korvo-bo6.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  install(FILES ${KORVO_PACKAGING_DIR}/icons/${size}x${size}/korvo-bo6.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${KORVO_PACKAGING_DIR}/icons/scalable/korvo-bo6.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${KORVO_PACKAGING_DIR}/korvo-bo6.metainfo.xml
               ${PROJECT_BINARY_DIR}/packaging/korvo-bo6.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/korvo-bo6.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the copyright beside a compressed changelog, compressed
# without a time stamp so that two builds give the same package.
set(KORVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korvo-bo6)
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${KORVO_PACKAGING_DIR}/changelog
            > ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${KORVO_PACKAGING_DIR}/changelog)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  foreach(page IN ITEMS korvo-bo6.1 korvo.1)
    add_custom_command(
      OUTPUT ${PROJECT_BINARY_DIR}/packaging/${page}.gz
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${KORVO_PACKAGING_DIR}/man/${page}
              > ${PROJECT_BINARY_DIR}/packaging/${page}.gz
      DEPENDS ${KORVO_PACKAGING_DIR}/man/${page})
    list(APPEND compressed ${PROJECT_BINARY_DIR}/packaging/${page}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  add_custom_target(korvo_packaging_files ALL DEPENDS ${compressed})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${KORVO_DOC_DIR})
endif()
install(FILES ${KORVO_PACKAGING_DIR}/copyright DESTINATION ${KORVO_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/connections.md ${PROJECT_SOURCE_DIR}/docs/cost-model.md
        DESTINATION ${KORVO_DOC_DIR})

# cpack -G DEB: run-time dependencies from the executables' shared libraries
# (dpkg-shlibdeps); what is loaded at run time is recommended.
set(CPACK_PACKAGE_NAME korvo-bo6)
set(CPACK_PACKAGE_VENDOR "Korvo-BO6 developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvo-BO6 developers <korvo-bo6@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "query tool for Oracle databases through BusinessObjects universes")
# CPack puts the summary first and indents each line of the description.
set(CPACK_PACKAGE_DESCRIPTION
    "Korvo-BO6 lets analysts pick the classes, dimensions and measures of a
BusinessObjects 6.5 universe instead of writing SQL: it writes one Oracle
SELECT, asks the database for its cost and shows the rows in a grid that
can be sorted, copied or opened as a spreadsheet. It has a free SQL editor
and the korvo command line.

An embedded database engine speaking the Oracle dialect and a demo universe
come with it, so that it runs on a workstation without an Oracle client.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libqt6sql6-odbc, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
