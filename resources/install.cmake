# Where an installed copy lives: binaries in bin/, the storage library in a
# folder of its own below lib/, the read-only program files below share/,
# and what the desktop needs to list the program and open .2db files.
include(GNUInstallDirs)
set(ORBO_SHARE ${CMAKE_INSTALL_DATADIR}/corvane-database)
set(ORBO_ID org.corvane_database.Orbo)
set(LINUX ${PROJECT_SOURCE_DIR}/resources/linux)

install(TARGETS orbo orbo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orboinout LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/corvane-database)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Texts ${ORBO_BIN_DIR}/help DESTINATION ${ORBO_SHARE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/data/root.dat DESTINATION ${ORBO_SHARE}/data)
install(FILES ${ORBO_BIN_DIR}/data/examples/ex1.2db DESTINATION ${ORBO_SHARE}/data/examples)
# Icons a user imported into a build folder are not the installation's.
install(DIRECTORY ${ORBO_BIN_DIR}/icons DESTINATION ${ORBO_SHARE} PATTERN "usericons/New" EXCLUDE)

install(FILES ${LINUX}/${ORBO_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LINUX}/${ORBO_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${LINUX}/${ORBO_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${ORBO_ID}.xml)
install(FILES ${LINUX}/orbo.1 ${LINUX}/orbo-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(size 16 22 24 32)
  install(FILES ${TANGO_ROOT}/${size}x${size}/mimetypes/x-office-address-book.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${ORBO_ID}.png)
endforeach()
install(FILES ${TANGO_ROOT}/scalable/mimetypes/x-office-address-book.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ORBO_ID}.svg)

# make package: a Debian package of the same files under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane-database)
set(CPACK_PACKAGE_VENDOR "Corvane Database developers")
set(CPACK_PACKAGE_CONTACT "Corvane Database developers <support@corvane-database.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop database for personal records")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the libraries' own dependencies do not name them:
# SVG pictures, and the GStreamer elements that play WAV and other sound.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Design forms from seven kinds of element, keep records in a tree of\n folders, find, sort and print them, in one .2db file.")
set(CPACK_STRIP_FILES ON)
include(CPack)
